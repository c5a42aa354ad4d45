// The design view: clocks, each channel's chain as a row of stage blocks,
// and the dynamic-profiles table.

import {el} from './editor.js';

const hz = (v) => {
  if (v === undefined || v === null) return '–';
  const n = Number(v);
  if (Math.abs(n) >= 1e6) return `${+(n / 1e6).toFixed(6)} MHz`;
  if (Math.abs(n) >= 1e3) return `${+(n / 1e3).toFixed(3)} kHz`;
  return `${n} Hz`;
};
export {hz};

export function renderClocks(dl, summary) {
  const rows = [
    ['System clock', hz(summary.systemClockFrequency_Hz)],
    ['Processor clock', hz(summary.processorClockFrequency_Hz)],
    ['PLL lock wait', `${summary.pllLockWait_us} µs`],
    ['PLL phase sync wait', `${summary.pllPhaseSyncWait_us} µs`],
  ];
  dl.replaceChildren(...rows.flatMap(([k, v]) => [el('dt', {}, k), el('dd', {}, v)]));
}

// A stage is either a named record {name, factor, rate_Hz} or, from an older
// summary, a bare stage code.
function stageBlock(stage) {
  if (typeof stage !== 'object') return el('li', {class: 'stage'}, el('span', {class: 'stage-name'}, String(stage)));
  const factor = stage.factor !== undefined ? el('span', {class: 'stage-factor'}, `${stage.direction === 'up' ? '↑' : '↓'}${stage.factor}`) : '';
  return el('li', {class: 'stage'}, el('span', {class: 'stage-name'}, stage.name), factor,
            el('span', {class: 'stage-rate'}, hz(stage.rate_Hz ?? stage.outputRate_Hz)));
}

export function renderChains(box, summary) {
  box.replaceChildren(...summary.channels.map((c) => {
    const facts = [`rate ${hz(c.rate_Hz)}`, `bandwidth ${hz(c.bandwidth_Hz)}`];
    if (c.adcClock_Hz) facts.push(`ADC ${hz(c.adcClock_Hz)}`);
    if (c.ssiClock_Hz) facts.push(`SSI ${hz(c.ssiClock_Hz)}`);
    const stages = (c.namedStages || c.stages || []).filter((s) => typeof s === 'object' ? s.factor !== 1 || s.name : true);
    return el('div', {class: 'chain', 'data-channel': c.channel},
              el('h4', {}, c.channel, ' ', el('span', {class: 'muted'}, facts.join(', '))),
              el('ol', {class: 'stages', 'aria-label': `${c.channel} chain`}, ...stages.map(stageBlock)));
  }));
}

export function renderDynamicProfiles(box, profiles) {
  const head = el('tr', {}, ...['#', 'slot', 'Rx rate', 'Rx bandwidth', 'Tx rate', 'Tx bandwidth']
    .map((t) => el('th', {scope: 'col'}, t)));
  const rows = profiles.flatMap((p) => p.dynamicProfileChannels.map((c, i) => el('tr', {},
    el('td', {}, String(p.dynamicProfileIndex)), el('td', {}, String(i + 1)),
    el('td', {}, hz(c.rxDynamicProfile.rxOutputRate_Hz)), el('td', {}, hz(c.rxDynamicProfile.primaryBw_Hz)),
    el('td', {}, hz(c.txDynamicProfile.txInputRate_Hz)), el('td', {}, hz(c.txDynamicProfile.primaryBw_Hz)))));
  box.replaceChildren(el('table', {}, el('thead', {}, head), el('tbody', {}, ...rows)));
}
