#pragma once
// The system clock every designed chain must share, and the clock PLL's VCO
// frequency that produces it.

#include <array>
#include <cstdint>

#include "plover/blueprint/Blueprint.h"
#include "plover/design/FilterDesigner.h"

namespace Veltrix::Marlin::Native {

// The clock PLL's VCO runs at this multiple of the system clock (halved in
// low-power mode) and is programmed in steps of 10 Hz.
inline constexpr std::uint64_t VcoSystemClockRatio = 48;
inline constexpr std::uint64_t VcoResolution_Hz = 10;
// A direct FM/FSK transmitter always interpolates by this much, whatever its
// chain bytes say.
inline constexpr std::uint64_t DirectFmFskInterpolation = 1920;

// The clock a chain runs on: its sampling rate x the product of stages 2 to
// 17 (for Tx also x the preprocessor stage, or 1920 for direct FM/FSK). Stage
// bytes read from a file may be anything: products are held at the largest
// 64-bit value instead of wrapping, and anything beyond 32 bits is no clock.
std::uint64_t ChainClock_Hz(std::uint32_t samplingRate_Hz, const RxPath& path);
std::uint64_t ChainClock_Hz(std::uint32_t samplingRate_Hz, const TxPath& path);

// The one clock of every designed chain (ChainClock_Hz of each).
// 0 with the clock set; -1 after an ERROR report.
std::int8_t SystemClock_Find(const MarlinBlueprint& blueprint, const std::array<ChannelDataPaths, 2>& paths,
                             std::uint32_t& systemClock_Hz);

// 0 with the VCO frequency set; -1 after an ERROR report when the PLL cannot
// be programmed to it.
std::int8_t VcoFrequency_Check(const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz,
                               std::uint64_t& vco_Hz);

}  // namespace Veltrix::Marlin::Native
