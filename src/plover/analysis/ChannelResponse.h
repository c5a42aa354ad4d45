#pragma once
// The magnitude response of a designed channel's whole path (analog filter,
// converter, every active stage and the magnitude compensation), evaluated by
// the design engine on its 2^22-point grid from 0 up to the converter clock.

#include <cstdint>
#include <vector>

#include "engine/PathModel.h"
#include "engine/ResponseEntries.h"

namespace Veltrix::Marlin::Native {

class RxChannel;
class TxChannel;

// The channel must carry its designed data path and converter clock (after
// Adc_Configure / Dac_Configure). `magnitudes_dB` is resized to the grid
// (4,194,304 values) and receives the response; `initialFrequency_Hz` and
// `deltaFrequency_Hz` receive the first grid frequency and the grid step.
// Returns the engine's status as a signed byte: 0 success, -1 (255) passband
// ripple above 0.1 dB, with the response filled in either way. A channel
// without a designed data path or converter clock (one read back from a
// profile file) gets an ERROR line and -1, and the outputs are not touched.
std::int8_t ChannelResponse_Get(const RxChannel& channel, std::vector<double>& magnitudes_dB,
                                double& initialFrequency_Hz, double& deltaFrequency_Hz);
std::int8_t ChannelResponse_Get(const TxChannel& channel, std::vector<double>& magnitudes_dB,
                                double& initialFrequency_Hz, double& deltaFrequency_Hz);

// The same grid, evaluated only over bands.first .. +count, with the figures
// of the whole grid (ResponseWindowResult). Same statuses and refusals as
// ChannelResponse_Get.
std::int8_t ChannelResponseWindow_Get(const RxChannel& channel, const GridBands& bands, bool parts,
                                      ResponseWindowResult& result);
std::int8_t ChannelResponseWindow_Get(const TxChannel& channel, const GridBands& bands, bool parts,
                                      ResponseWindowResult& result);

// The path the response evaluates, filters included; an unevaluable model
// for a channel without a designed data path or converter clock.
// withCompensation as for RxPath_Model.
PathModel ChannelPath_Model(const RxChannel& channel, bool withCompensation);
PathModel ChannelPath_Model(const TxChannel& channel, bool withCompensation);

}  // namespace Veltrix::Marlin::Native
