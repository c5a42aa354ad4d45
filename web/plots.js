// One response plot per designed channel, drawn with dygraphs (packaged by
// Debian as libjs-dygraphs and served from vendor/). The previous design's
// curve stays as a faint trace so two designs can be compared.

import {el} from './editor.js';

const previous = new Map();  // channel name -> {frequency_Hz, magnitude_dB}

// Current and previous curves on one x axis: each row carries a value for
// the series it belongs to and null for the others.
function rows(current, before) {
  const names = ['response', ...(current.stages || []).map((s) => s.name)];
  const width = names.length + (before ? 1 : 0);
  const out = current.frequency_Hz.map((f, i) => {
    const row = [f, current.magnitude_dB[i], ...(current.stages || []).map((s) => s.magnitude_dB[i])];
    if (before) row.push(null);
    return row;
  });
  if (before) {
    before.frequency_Hz.forEach((f, i) => {
      const row = new Array(width + 1).fill(null);
      row[0] = f;
      row[width] = before.magnitude_dB[i];
      out.push(row);
    });
    out.sort((a, b) => a[0] - b[0]);
  }
  return {labels: ['frequency (Hz)', ...names, ...(before ? ['previous design'] : [])], data: out};
}

export function renderPlot(container, channel, answer) {
  const before = previous.get(channel);
  previous.set(channel, {frequency_Hz: answer.frequency_Hz, magnitude_dB: answer.magnitude_dB});
  const {labels, data} = rows(answer, before);
  const graphBox = el('div', {class: 'graph', role: 'img',
                              'aria-label': `${channel} magnitude response`});
  const figures = el('p', {class: 'figures'},
    `passband ripple ${answer.ripple_dB.toFixed(4)} dB · ` +
    `${channel.startsWith('RX') ? 'alias' : 'image'} rejection ${answer.rejection_dB.toFixed(2)} dB`);
  const controls = el('div', {class: 'plot-controls'});
  const card = el('figure', {class: 'plot', 'data-channel': channel},
                  el('figcaption', {}, `${channel} response`), figures, controls, graphBox);
  container.append(card);

  const half = answer.bandwidth_Hz / 2;
  const colors = ['#1b5e9b', ...(answer.stages || []).map((_, i) => `hsl(${(i * 67) % 360} 55% 45%)`),
                  ...(before ? ['#999'] : [])];
  const graph = new Dygraph(graphBox, data, {
    labels, colors, connectSeparatedPoints: true, strokeWidth: 1.2,
    series: before ? {'previous design': {strokeWidth: 1, strokePattern: [4, 3]}} : {},
    xlabel: 'frequency (Hz)', ylabel: 'magnitude (dB)', legend: 'follow', labelsKMB: true,
    // The passband, shaded, so ripple is read where it is judged.
    underlayCallback: (canvas, area, g) => {
      const left = g.toDomXCoord(-half);
      const right = g.toDomXCoord(half);
      canvas.fillStyle = 'rgba(27, 94, 155, 0.08)';
      canvas.fillRect(left, area.y, right - left, area.h);
    },
  });
  const passband = el('button', {type: 'button'}, 'Passband');
  passband.addEventListener('click', () => {
    const inBand = answer.frequency_Hz.map((f, i) => [f, answer.magnitude_dB[i]]).filter(([f]) => Math.abs(f) <= half * 1.1);
    const values = inBand.map(([, m]) => m);
    const lo = Math.min(...values);
    const hi = Math.max(...values);
    const pad = Math.max(0.05, (hi - lo) * 0.5);
    const from = Math.max(answer.frequency_Hz[0], -half * 1.1);
    graph.updateOptions({dateWindow: [from, half * 1.1], valueRange: [lo - pad, hi + pad]});
  });
  const reset = el('button', {type: 'button'}, 'Whole span');
  reset.addEventListener('click', () => graph.updateOptions({dateWindow: null, valueRange: null}));
  controls.append(passband, reset);
  labels.slice(2).forEach((name, i) => {
    const id = `toggle-${channel}-${i}`;
    const box = el('input', {type: 'checkbox', id, checked: true});
    box.addEventListener('change', () => graph.setVisibility(i + 1, box.checked));
    controls.append(el('label', {for: id}, box, ' ', name));
  });
  return graph;
}
