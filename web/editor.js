// The blueprint editor: one labelled control per blueprint key, built from
// the normalised blueprint the server returns, so every key it knows is
// editable and nothing is lost on the way through the page.

import {GLOBAL, LO, CHANNELS, channelFields, REPORT_KEYWORDS} from './fields.js';

const el = (tag, attrs = {}, ...children) => {
  const node = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (k === 'class') node.className = v;
    else if (k in node && typeof v !== 'string') node[k] = v;
    else node.setAttribute(k, v);
  }
  node.append(...children);
  return node;
};
export {el};

const controlId = (path) => 'f-' + path.join('-');

// One control for blueprint[path]; edits are written back into the object.
function control(blueprint, path, rule, onChange) {
  const parent = path.slice(0, -1).reduce((o, k) => o[k], blueprint);
  const key = path[path.length - 1];
  const value = parent[key];
  const id = controlId(path);
  let input;
  if (typeof value === 'boolean') {
    input = el('input', {type: 'checkbox', id, checked: value});
    input.addEventListener('change', () => { parent[key] = input.checked; onChange(path); });
  } else if (Array.isArray(value)) {
    input = el('textarea', {id, rows: 2, spellcheck: 'false'});
    input.value = value.join(', ');
    input.addEventListener('change', () => {
      const numbers = input.value.split(/[\s,]+/).filter(Boolean).map(Number);
      if (numbers.some((n) => !Number.isInteger(n))) { input.setCustomValidity('whole numbers only'); input.reportValidity(); return; }
      input.setCustomValidity('');
      parent[key] = numbers;
      onChange(path);
    });
  } else if (rule && rule.options) {
    input = el('select', {id});
    for (const [v, text] of Object.entries(rule.options)) input.append(el('option', {value: v}, `${text} (${v})`));
    if (!(String(value) in rule.options)) input.append(el('option', {value: String(value)}, String(value)));
    input.value = String(value);
    input.addEventListener('change', () => { parent[key] = Number(input.value); onChange(path); });
  } else {
    input = el('input', {type: 'number', id, step: 1, inputmode: 'numeric'});
    if (rule && rule.min !== undefined) input.min = rule.min;
    if (rule && rule.max !== undefined) input.max = rule.max;
    input.value = value;
    input.addEventListener('input', () => {
      if (input.value === '' || !Number.isInteger(Number(input.value))) return;
      parent[key] = Number(input.value);
      onChange(path);
    });
  }
  const unit = rule && rule.unit ? el('span', {class: 'unit'}, rule.unit) : '';
  const note = el('span', {class: 'field-note', id: id + '-note', 'aria-live': 'polite'});
  input.setAttribute('aria-describedby', note.id);
  const label = el('label', {for: id}, rule ? rule.label : key);
  const row = el('div', {class: 'field', 'data-key': key}, label, el('span', {class: 'input'}, input, unit), note);
  return row;
}

// Listed keys first, then every other key of the object under "More".
function fieldset(blueprint, path, rules, title, onChange, extraClass = '') {
  const object = path.reduce((o, k) => o[k], blueprint);
  const box = el('fieldset', {class: 'card ' + extraClass, id: controlId(path.length ? path : ['global'])},
                 el('legend', {}, title));
  const listed = new Set(rules.map((s) => s.key));
  for (const rule of rules) {
    if (rule.key in object) box.append(control(blueprint, [...path, rule.key], rule, onChange));
  }
  const rest = Object.keys(object).filter((k) => !listed.has(k) && (typeof object[k] !== 'object' || Array.isArray(object[k])));
  if (rest.length) {
    const more = el('details', {}, el('summary', {}, 'More settings'));
    for (const k of rest) more.append(control(blueprint, [...path, k], null, onChange));
    box.append(more);
  }
  return box;
}

function featureBox(catalogue, features, onChange) {
  const box = el('fieldset', {class: 'card features', id: 'features'}, el('legend', {}, 'Features'));
  for (const feature of catalogue) {
    const enabled = features.find((f) => f.id === feature.id);
    const id = `feature-${feature.id}`;
    const toggle = el('input', {type: 'checkbox', id, checked: Boolean(enabled)});
    const fieldsBox = el('div', {class: 'feature-fields'});
    const current = enabled || {id: feature.id};
    for (const field of feature.fields || []) {
      if (!(field.name in current)) current[field.name] = field.default;
      const fid = `${id}-${field.name}`;
      let input;
      if (field.type === 'boolean') {
        input = el('input', {type: 'checkbox', id: fid, checked: current[field.name]});
        input.addEventListener('change', () => { current[field.name] = input.checked; onChange(); });
      } else if (field.allowed) {
        input = el('select', {id: fid});
        for (const v of field.allowed) input.append(el('option', {value: v}, String(v)));
        input.value = String(current[field.name]);
        input.addEventListener('change', () => { current[field.name] = Number(input.value); onChange(); });
      } else {
        input = el('input', {type: 'number', id: fid, step: 1, min: field.min, max: field.max, value: current[field.name]});
        input.addEventListener('input', () => {
          if (Number.isInteger(Number(input.value)) && input.value !== '') { current[field.name] = Number(input.value); onChange(); }
        });
      }
      const range = field.type === 'boolean' ? '' : field.allowed ? field.allowed.join(', ') : `${field.min}…${field.max}`;
      fieldsBox.append(el('div', {class: 'field', title: field.description || ''}, el('label', {for: fid}, field.name),
                          el('span', {class: 'input'}, input, el('span', {class: 'unit'}, range))));
    }
    fieldsBox.hidden = !enabled;
    toggle.addEventListener('change', () => {
      const at = features.findIndex((f) => f.id === feature.id);
      if (toggle.checked && at < 0) features.push(current);
      if (!toggle.checked && at >= 0) features.splice(at, 1);
      fieldsBox.hidden = !toggle.checked;
      onChange();
    });
    box.append(el('div', {class: 'feature'}, el('label', {for: id, title: feature.description || ''}, toggle, ' ', feature.id),
                  feature.description ? el('span', {class: 'unit'}, ' ', feature.description) : '', fieldsBox));
  }
  return box;
}

export function renderEditor(form, blueprint, features, catalogue, onChange) {
  form.replaceChildren(
    fieldset(blueprint, [], GLOBAL, 'Global settings', onChange, 'global'),
    el('div', {class: 'cards'}, ...CHANNELS.map((c) =>
      fieldset(blueprint, [c.name], channelFields(c.port), c.title, onChange, 'channel'))),
    el('div', {class: 'cards'},
       fieldset(blueprint, ['loExternal1'], LO, 'External LO 1', onChange),
       fieldset(blueprint, ['loExternal2'], LO, 'External LO 2', onChange)),
    featureBox(catalogue, features, onChange),
  );
}

// Shows each report line next to the controls it concerns: the keys its
// words name, in the channels it names (or every enabled channel).
export function placeReports(form, blueprint, lines) {
  for (const note of form.querySelectorAll('.field-note')) note.textContent = '';
  for (const field of form.querySelectorAll('.field.flagged')) field.classList.remove('flagged');
  for (const line of lines) {
    const keys = REPORT_KEYWORDS.filter(([re]) => re.test(line)).flatMap(([, k]) => k);
    const named = CHANNELS.filter((c) => new RegExp(`\\b${c.title.replace(' ', '\\s?')}\\b`, 'i').test(line));
    const channels = named.length ? named : CHANNELS.filter((c) => blueprint[c.name].enabled);
    const paths = keys.length ? channels.flatMap((c) => keys.map((k) => [c.name, k]))
                              .concat(keys.map((k) => [k])) : [];

    for (const path of paths) {
      const note = form.querySelector(`#${controlId(path)}-note`);
      if (!note) continue;
      note.textContent = line.replace(/^(\w+): In .*? on line \d+: /, '$1: ');
      note.closest('.field').classList.add('flagged');

      break;
    }

  }
}
