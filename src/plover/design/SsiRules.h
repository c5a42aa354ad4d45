#pragma once
// The SSI clocking rules: once the system clock and the clock PLL's VCO
// frequency are known, every enabled channel's serial data interface must be
// able to run from them. The format and lane rules that need no clock are
// Ssi_Validate (SsiFormat.h).

#include <cstdint>

#include "plover/blueprint/Blueprint.h"

namespace Veltrix::Marlin::Native {

inline constexpr std::uint32_t SsiCmosClockMax_Hz = 80000000;
inline constexpr std::uint32_t SsiLvdsClockMax_Hz = 1000000000;

// Checks Rx1, Tx1, Rx2, Tx2 in that order (enabled channels only). Reports the
// first violation as an ERROR and returns 255; 0 when every interface can run.
std::uint8_t Ssi_Check(const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz, std::uint64_t vco_Hz);

}  // namespace Veltrix::Marlin::Native
