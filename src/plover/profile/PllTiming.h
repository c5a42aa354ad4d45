#pragma once
// How long the device must wait for its PLLs: the lock time after a retune
// and the phase-synchronisation wait of multi-chip sync.

#include <cstdint>

namespace Veltrix::Marlin::Native {

// Lock time of the RF PLLs for a device clock, in microseconds. A calibrated
// PLL locks several times faster than an uncalibrated one.
std::uint16_t PllLockTime_us_Get(std::uint32_t deviceClock_kHz, bool pllCalibrated);

// The power-of-two divider the phase-sync counter runs at for a minimum
// operating frequency: 2^n with n the smallest of 1..8 such that the
// frequency reaches 6,500,000 kHz >> n (n = 8 below that).
std::uint32_t PllPhaseSyncDivider_Get(std::uint32_t minimumFrequency_kHz);

// Phase-sync wait for a device clock and a divider, in whole microseconds,
// with a 10 % margin; held at the largest 32-bit value (a zero device clock
// waits for ever).
std::uint32_t PllPhaseSyncWaitWanted_us(std::uint32_t deviceClock_kHz, std::uint32_t divider);

// The same wait in the profile's 16-bit field. Waits beyond it saturate
// instead of wrapping (a wrapped wait would be far too short).
std::uint16_t PllPhaseSyncWait_us_Get(std::uint32_t deviceClock_kHz, std::uint32_t divider);

}  // namespace Veltrix::Marlin::Native
