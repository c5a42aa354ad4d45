#pragma once
// Frequency response of a designed Rx or Tx path on the 2^22-point analysis
// grid from 0 up to the converter clock, with its magnitude compensation.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/EngineRecords.h"
#include "engine/PathEvaluation.h"

namespace Veltrix::Marlin::Native {

// Both buffers hold ResponseGridPoints doubles. grid_Hz receives k times the
// step, response_dB the path's magnitude in dB. Status 0, 255 (passband
// ripple above 0.1 dB), or the compensation pre-check codes 253 / 252 after
// which both buffers stay zero.
void Engine_RxResponse(const RxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB);
void Engine_TxResponse(const TxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB);

// A window of the same grid with the figures of the whole grid, for callers
// that look at a few thousand points: what Engine_RxResponse would write
// there, the passband levels and the stopband's largest level, bit for bit,
// at a fraction of the cost.
struct ResponseWindowResult {
    std::uint8_t status = 0;  // as the full entries give it
    bool evaluated = false;   // false: a pre-check code or nothing to evaluate
    double step_Hz = 0.0;
    GridFigures figures;
    // With parts: the analog front and every stage alone over the window, in
    // dB, and their names ("front" first).
    std::vector<std::vector<double>> parts;
    std::vector<std::string> partNames;
};
// table: the caller's buffer of ResponseGridPoints doubles.
void Engine_RxResponseWindow(const RxFilterRequest& request, const GridBands& bands, bool parts,
                             std::span<double> table, ResponseWindowResult& result);
void Engine_TxResponseWindow(const TxFilterRequest& request, const GridBands& bands, bool parts,
                             std::span<double> table, ResponseWindowResult& result);

// Passband bins of the response ripple test: Rx rounds up, Tx down.
std::size_t RxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz);
std::size_t TxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz);

inline constexpr double ResponseRippleLimit_dB = 0.1;

// 255 when the passband ripple exceeds 0.1 dB (exactly 0.1 passes), else 0.
inline std::uint8_t ResponseStatus_FromRipple(double ripple_dB) { return ripple_dB > ResponseRippleLimit_dB ? 255 : 0; }

}  // namespace Veltrix::Marlin::Native
