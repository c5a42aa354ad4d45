// The configurator page: edits a blueprint, asks the server about it while
// the user types, designs it and shows what came out.

import {get, post, download, ApiError} from './api.js';
import {renderEditor, placeReports, el} from './editor.js';
import {renderClocks, renderChains, renderDynamicProfiles, hz} from './design.js';
import {renderPlot} from './plots.js';

const $ = (id) => document.getElementById(id);
const state = {blueprint: null, features: [], catalogue: [], name: 'blueprint', design: null};

const request = (extra = {}) => ({blueprint: state.blueprint, features: state.features, ...extra});

function showReports(list, lines) {
  list.replaceChildren(...lines.map((line) => el('li', {class: /^ERROR/.test(line) ? 'error' : 'note'}, line)));
}

function bits(mask) {
  const set = [];
  for (let b = 0; b < 32; b++) if ((mask >>> b) & 1) set.push(b);
  return set;
}

function maskView(title, masks) {
  return el('div', {class: 'mask'}, el('strong', {}, title),
    ...masks.map(([name, value]) => el('div', {class: 'mask-row'},
      `${name}: 0x${(value >>> 0).toString(16).padStart(8, '0')} `,
      el('span', {class: 'bits'}, bits(value).map((b) => `bit ${b}`).join(' · ') || 'none'))));
}

// Live answers: one inspect at a time, the newest edit wins.
let inspecting = null;
let timer = null;
function scheduleInspect() {
  clearTimeout(timer);
  timer = setTimeout(inspect, 300);
}

async function inspect() {
  if (inspecting) inspecting.abort();
  inspecting = new AbortController();
  const badge = $('viability');
  try {
    const answer = await post('inspect', request(), inspecting.signal);
    badge.textContent = answer.viable ? 'viable' : 'not viable';
    badge.className = 'badge ' + (answer.viable ? 'ok' : 'bad');
    const lo = answer.loMapping;
    $('lo-mapping').replaceChildren(lo ? el('p', {},
      `LO mapping: Rx ${lo.rxLoSelect.join(', ')} · Tx ${lo.txLoSelect.join(', ')} · external ${lo.loIsExternal.map(String).join(', ')}`)
      : el('p', {}, 'LO mapping: none'));
    const masks = [];
    if (answer.initCalMask) {
      masks.push(maskView('Initial calibrations', [['system', answer.initCalMask.systemMask],
        ...answer.initCalMask.channelMask.map((m, i) => [`channel ${i + 1}`, m])]));
    }
    if (answer.trackingCalMask) {
      masks.push(maskView('Tracking calibrations', answer.trackingCalMask.channelMask.map((m, i) => [`channel ${i + 1}`, m])));
    }
    $('masks').replaceChildren(...masks);
    showReports($('live-reports'), answer.reports);
    placeReports($('blueprint-form'), state.blueprint, answer.reports);
  } catch (e) {
    if (e.name === 'AbortError') return;
    badge.textContent = 'not viable';
    badge.className = 'badge bad';
    const lines = e instanceof ApiError ? [...e.reports, e.message] : [String(e)];
    showReports($('live-reports'), lines);
    placeReports($('blueprint-form'), state.blueprint, lines);
  }
}

function edited() {
  $('design-state').textContent = state.design ? 'edited since the last design' : '';
  scheduleInspect();
}

// The newest load wins: a slow earlier one must not replace what the user chose since.
let loads = 0;
async function loadBlueprint(blueprint, name) {
  const mine = ++loads;
  const answer = await post('blueprint', {blueprint});
  if (mine !== loads) return;
  state.blueprint = answer.blueprint;
  state.name = name;
  renderEditor($('blueprint-form'), state.blueprint, state.features, state.catalogue, edited);
  scheduleInspect();
}

async function design() {
  const status = $('design-state');
  status.textContent = 'designing…';
  $('design').disabled = true;
  try {
    const answer = await post('design', request());
    state.design = answer;
    $('design-result').hidden = false;
    renderClocks($('clocks'), answer.summary);
    renderChains($('chains'), answer.summary);
    showReports($('design-reports'), answer.reports);
    status.textContent = 'designed';
    await responses(answer.summary);
  } catch (e) {
    state.design = null;
    $('design-result').hidden = true;
    status.textContent = 'the design failed';
    const lines = e instanceof ApiError ? [...e.reports, e.message] : [String(e)];
    showReports($('live-reports'), lines);
    placeReports($('blueprint-form'), state.blueprint, lines);
  } finally {
    $('design').disabled = false;
  }
}

async function responses(summary) {
  const plots = $('plots');
  plots.replaceChildren();
  for (const c of summary.channels) {
    const m = /^(RX|TX)([12])$/.exec(c.channel);
    if (!m) continue;
    try {
      const answer = await post('response', request({port: m[1].toLowerCase(), channel: Number(m[2]), maxPoints: 2048, stages: true}));
      renderPlot(plots, c.channel, answer);
    } catch (e) {
      plots.append(el('p', {class: 'error'}, `${c.channel}: ${e.message}`));
    }
  }
}

async function chainsSearch() {
  const number = (id) => Number($(id).value) || 0;
  const box = $('cs-result');
  box.textContent = 'searching…';
  const query = {rxRate_Hz: number('cs-rx-rate'), rxBandwidth_Hz: number('cs-rx-bw'),
                 goal: $('cs-goal').value, targetRipple_dB: Number($('cs-ripple').value)};
  if (number('cs-tx-rate')) Object.assign(query, {txRate_Hz: number('cs-tx-rate'), txBandwidth_Hz: number('cs-tx-bw')});
  try {
    const answer = await post('chains', query);
    const rows = [['system clock', hz(answer.systemClockFrequency_Hz)],
                  ['Rx chain', answer.rxChain.join(' ')], ['Rx ripple', `${answer.rxRipple_dB.toFixed(4)} dB`]];
    if (answer.txChain) rows.push(['Tx chain', answer.txChain.join(' ')], ['Tx ripple', `${answer.txRipple_dB.toFixed(4)} dB`]);
    // The answer's blueprint has Rx 1 (and Tx 1) at these rates, their data
    // paths pinned to the chains found: designing it gives them back.
    const use = el('button', {type: 'button', id: 'cs-use'}, 'Use this chain');
    use.disabled = !answer.blueprint;
    if (use.disabled) use.title = 'no blueprint with these chains could be completed';
    use.addEventListener('click', () => loadBlueprint(answer.blueprint, 'chains'));
    box.replaceChildren(el('dl', {}, ...rows.flatMap(([k, v]) => [el('dt', {}, k), el('dd', {}, v)])), use);
  } catch (e) {
    box.replaceChildren(el('p', {class: 'error'}, e.message));
  }
}

async function start() {
  const [version, examples, catalogue] = await Promise.all([get('version'), get('examples'), get('features').catch(() => ({features: []}))]);
  $('version').textContent = version.plover;
  state.catalogue = catalogue.features;
  for (const name of examples.examples) $('example').append(el('option', {value: name}, name));

  $('example').addEventListener('change', async (ev) => {
    if (!ev.target.value) return;
    const answer = await get(`examples/${encodeURIComponent(ev.target.value)}`);
    await loadBlueprint(answer.blueprint, ev.target.value);
  });
  $('open-file').addEventListener('change', async (ev) => {
    const file = ev.target.files[0];
    if (!file) return;
    try {
      await loadBlueprint(JSON.parse(await file.text()), file.name.replace(/\.json$/, ''));
    } catch (e) {
      showReports($('live-reports'), [`${file.name}: ${e.message}`]);
    }
  });
  $('download-blueprint').addEventListener('click', async () => {
    const answer = await post('blueprint', request());
    download(`${state.name}.json`, answer.text);
  });
  $('design').addEventListener('click', design);
  $('download-profile').addEventListener('click', () => download(`${state.name}.profile.json`, state.design.profile));
  $('download-settings').addEventListener('click', async () => {
    download(`${state.name}.stream-settings.json`, (await post('stream-settings', request())).text);
  });
  $('download-image').addEventListener('click', async () => {
    download(`${state.name}.bin`, await post('stream-image', request()), 'application/octet-stream');
  });
  $('dynamic-show').addEventListener('click', async () => {
    try {
      const answer = await post('dynamic-profiles', request({count: Number($('dynamic-count').value)}));
      renderDynamicProfiles($('dynamic-table'), answer.dynamicProfiles);
    } catch (e) {
      $('dynamic-table').replaceChildren(el('p', {class: 'error'}, e.message), ...e.reports.map((l) => el('p', {}, l)));
    }
  });
  $('cs-run').addEventListener('click', chainsSearch);
  await loadBlueprint({}, 'blueprint');
}

start().catch((e) => showReports($('live-reports'), [`the page could not start: ${e.message}`]));
