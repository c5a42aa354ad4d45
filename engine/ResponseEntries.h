#pragma once
// Frequency response of a designed Rx or Tx path on the 2^22-point analysis
// grid from 0 up to the converter clock, with its magnitude compensation.

#include <cstddef>
#include <cstdint>

#include "engine/EngineRecords.h"

namespace Veltrix::Marlin::Native {

// Both buffers hold ResponseGridPoints doubles. grid_Hz receives k times the
// step, response_dB the path's magnitude in dB. Status 0, 255 (passband
// ripple above 0.1 dB), or the compensation pre-check codes 253 / 252 after
// which both buffers stay zero.
void Engine_RxResponse(const RxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB);
void Engine_TxResponse(const TxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB);

// Passband bins of the response ripple test: Rx rounds up, Tx down.
std::size_t RxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz);
std::size_t TxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz);

inline constexpr double ResponseRippleLimit_dB = 0.1;

// 255 when the passband ripple exceeds 0.1 dB (exactly 0.1 passes), else 0.
inline std::uint8_t ResponseStatus_FromRipple(double ripple_dB) { return ripple_dB > ResponseRippleLimit_dB ? 255 : 0; }

}  // namespace Veltrix::Marlin::Native
