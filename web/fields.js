// What the editor shows for each blueprint key: a label, a unit and the
// allowed values. Keys not listed here are still editable under "More".

const onOff = null;

export const GLOBAL = [
  {key: 'duplex', label: 'Duplex', options: {0: 'TDD', 1: 'FDD', 2: 'TDM FDD'}},
  {key: 'deviceClockInput_kHz', label: 'Device clock', unit: 'kHz', min: 0},
  {key: 'clockPllMode', label: 'Clock PLL mode', options: {0: 'high performance', 1: 'low power'}},
  {key: 'clockPllPower', label: 'Clock PLL power level', min: 0, max: 3},
  {key: 'processorClockDivisor', label: 'Processor clock divisor',
   options: {1: '÷1', 2: '÷2', 4: '÷4', 8: '÷8', 16: '÷16', 32: '÷32'}},
  {key: 'adcRate', label: 'ADC rate', options: {1: 'low', 2: 'medium', 3: 'high'}},
  {key: 'pllCalibration', label: 'PLL calibration mode', min: 0},
  {key: 'allowPllRetuning', label: 'Allow PLL retuning', bool: onOff},
  {key: 'diversity', label: 'Diversity', bool: onOff},
  {key: 'swapExternalLoMapping', label: 'Swap external LO mapping', bool: onOff},
  {key: 'warmBootEnable', label: 'Warm boot', bool: onOff},
];

export const LO = [
  {key: 'loDivisor', label: 'Divisor', min: 0, max: 65535},
  {key: 'loSignalingType', label: 'Signalling type', min: 0},
];

const SIGNAL_RX = {0: 'I/Q', 1: 'frequency deviation', 2: 'FM symbols (not supported)'};
const SIGNAL_TX = {0: 'I/Q', 1: 'I/Q FM/FSK', 2: 'direct FM/FSK'};

export function channelFields(port) {
  return [
    {key: 'enabled', label: 'Enabled', bool: onOff},
    {key: 'samplingRate_Hz', label: 'Sampling rate', unit: 'Hz', min: 0},
    {key: 'rfChannelBandwidth_Hz', label: 'RF bandwidth', unit: 'Hz', min: 0},
    {key: 'channelSignalType', label: 'Signal type', options: port === 'rx' ? SIGNAL_RX : SIGNAL_TX},
    {key: 'ssiType', label: 'SSI type', options: {0: 'disabled', 1: 'CMOS', 2: 'LVDS'}},
    {key: 'ssiDataFormat', label: 'SSI data format', options: {
      0: '2 bits', 1: '8 bits', 2: '16-bit I only', 3: '12-bit I/Q (24 bits)', 4: '16-bit I/Q (32 bits)',
      5: '32 bits (Rx only)', 6: '64 bits (Rx only)'}},
    {key: 'ssiNumLane', label: 'SSI lanes', options: {0: 'one', 1: 'two', 2: 'four'}},
    {key: 'ssiDataRate', label: 'SSI data rate', options: {0: 'single', 1: 'double'}},
    {key: 'ssiInterfaceRate_Hz', label: 'SSI interface rate', unit: 'Hz', min: 0},
    {key: 'ssiStrobeType', label: 'SSI strobe type', min: 0},
    {key: 'loSource', label: 'LO source', options: {0: 'internal', 1: 'external'}},
    {key: 'channelFilterType', label: 'Channel filter', options: {0: 'disabled', 1: 'custom', 2: 'look-up'}},
    ...(port === 'tx' ? [{key: 'channelFilterInterpolation', label: 'Channel filter interpolation',
                          options: {1: '×1', 2: '×2', 3: '×3'}}] : []),
  ];
}

// Where a report line points: words of the line to the keys they concern.
export const REPORT_KEYWORDS = [
  [/sampling rate|rate not possible|output rate/i, ['samplingRate_Hz']],
  [/bandwidth/i, ['rfChannelBandwidth_Hz']],
  [/ssi|interface rate|lane|strobe/i, ['ssiType', 'ssiInterfaceRate_Hz', 'ssiNumLane', 'ssiDataFormat', 'ssiDataRate']],
  [/\blo\b|external lo/i, ['loSource']],
  [/device clock|clock pll|vco/i, ['deviceClockInput_kHz', 'clockPllMode']],
  [/duplex|tdd|fdd/i, ['duplex']],
  [/signal type|fm|fsk/i, ['channelSignalType']],
];

export const CHANNELS = [
  {name: 'rxChannel1', title: 'Rx 1', port: 'rx'},
  {name: 'rxChannel2', title: 'Rx 2', port: 'rx'},
  {name: 'txChannel1', title: 'Tx 1', port: 'tx'},
  {name: 'txChannel2', title: 'Tx 2', port: 'tx'},
];
