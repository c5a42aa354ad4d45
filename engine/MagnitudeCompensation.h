#pragma once
// Magnitude compensation: equiripple FIRs that flatten the droop of the
// analog filter, the converter and the stages ahead of their position, so
// that the passband of the whole path is flat. Entries of the engine used by
// the programmable-FIR code, and the design record the response entries use.

#include <array>
#include <cstdint>
#include <string>

#include "engine/EngineRecords.h"
#include "engine/EquirippleExchange.h"

namespace Veltrix::Marlin::Native {

inline constexpr std::int32_t CompensationUnity = 8388608;  // 2^23
inline constexpr std::size_t CompensationDesignBins = 16384;

enum MagCompStatus : std::uint8_t {
    MagCompSuccess = 0,
    MagCompBiquadLowRate = 252,
    MagCompAnalogAboveLowRate = 253,
    MagCompOutOfBandGain = 254,
    MagCompRippleMissed = 255,
};

// What one compensation design produced, besides the coefficients.
struct CompensationReport {
    std::uint8_t status = 0;
    double ripple_dB = 0.0;
    double outOfBandGain_dB = 0.0;
    double passEdge = 0.0;  // band edges on the 0..1 scale of the position rate
    double stopEdge = 0.0;
    double positionRate_Hz = 0.0;
    EquirippleStatus exchange = EquirippleStatus::Converged;
    int iterations = 0;
    double deviation = 0.0;
    std::string error;  // "Fstop must be > Fpass, ..." when the bands collapse
};

// The compensation filters of one request as taps (quantised, unity 1.0).
struct CompensationDesign {
    std::array<double, 21> taps21{};
    std::array<double, 13> taps13{};
    bool compensated = false;  // false: pass-through 21 taps (no design or a failed one)
    bool lowRate13 = false;    // the 13-tap filter was designed
    CompensationReport report;
};

CompensationDesign RxCompensation_Design(const RxFilterRequest& request);
CompensationDesign TxCompensation_Design(const TxFilterRequest& request);

// Rx: 21 taps written only on success (else the pass-through set), 13 taps
// always; status 0, 252..255.
void Engine_RxMagComp(const RxFilterRequest& request, std::int32_t* taps21, std::int32_t* taps13,
                      std::uint8_t& status);
// Tx: 21 taps always written, 13 taps set by the narrowband path; 0 or 255.
void Engine_TxMagComp(const TxFilterRequest& request, std::int32_t* taps21, std::int32_t* taps13,
                      std::int32_t& status);

}  // namespace Veltrix::Marlin::Native
