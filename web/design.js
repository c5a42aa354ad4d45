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

// Stages come converter first; a block shows the stage, its factor and the
// rate after it in the direction the samples flow (receive: towards the
// host, transmit: towards the converter).
function stageBlock(stage, rx) {
  if (typeof stage !== 'object') return el('li', {class: 'stage'}, el('span', {class: 'stage-name'}, String(stage)));
  return el('li', {class: 'stage'}, el('span', {class: 'stage-name'}, stage.name),
            el('span', {class: 'stage-factor'}, `${rx ? '↓' : '↑'}${stage.factor}`),
            el('span', {class: 'stage-rate'}, hz(rx ? stage.hostRate_Hz : stage.rate_Hz)));
}

const endBlock = (name, rate) => el('li', {class: 'stage end'}, el('span', {class: 'stage-name'}, name),
                                    el('span', {class: 'stage-rate'}, hz(rate)));

export function renderChains(box, summary) {
  box.replaceChildren(...summary.channels.map((c) => {
    const rx = !c.channel.startsWith('TX');
    const converter = c.adcClock_Hz ? ['ADC', c.adcClock_Hz] : c.dacClock_Hz ? ['DAC', c.dacClock_Hz] : null;
    const facts = [`rate ${hz(c.rate_Hz)}`, `bandwidth ${hz(c.bandwidth_Hz)}`];
    if (converter) facts.push(`${converter[0]} ${hz(converter[1])}`);
    if (c.ssiClock_Hz) facts.push(`SSI ${hz(c.ssiClock_Hz)}`);
    const stages = (c.stages || []).map((s) => stageBlock(s, rx));
    const named = (c.stages || []).some((s) => typeof s === 'object');
    const blocks = !named ? stages : rx
      ? [...(converter ? [endBlock(...converter)] : []), ...stages, endBlock('host', c.rate_Hz)]
      : [endBlock('host', c.rate_Hz), ...stages.reverse(), ...(converter ? [endBlock(...converter)] : [])];
    return el('div', {class: 'chain', 'data-channel': c.channel},
              el('h4', {}, c.channel, ' ', el('span', {class: 'muted'}, facts.join(', '))),
              el('ol', {class: 'stages', 'aria-label': `${c.channel} chain`}, ...blocks));
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
