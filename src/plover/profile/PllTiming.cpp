#include "plover/profile/PllTiming.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace Veltrix::Marlin::Native {

namespace {

struct LockTimeRow {
    std::uint32_t threshold_kHz;
    std::uint16_t calibrated_us;
    std::uint16_t uncalibrated_us;
};

// Measured lock times per device-clock band; a clock uses the row of the
// highest threshold it reaches, and clocks below the table use its first row.
constexpr std::array<LockTimeRow, 8> LockTimes = {{
    {30'000, 91, 400},
    {38'400, 77, 380},
    {50'000, 56, 340},
    {100'000, 27, 300},
    {150'000, 20, 290},
    {200'000, 20, 285},
    {245'760, 17, 280},
    {300'000, 15, 280},
}};

}  // namespace

std::uint16_t PllLockTime_us_Get(std::uint32_t deviceClock_kHz, bool pllCalibrated)
{
    const LockTimeRow* row = &LockTimes.front();
    for (const LockTimeRow& candidate : LockTimes) {
        if (candidate.threshold_kHz <= deviceClock_kHz) {
            row = &candidate;
        }
    }
    return pllCalibrated ? row->calibrated_us : row->uncalibrated_us;
}

std::uint32_t PllPhaseSyncDivider_Get(std::uint32_t minimumFrequency_kHz)
{
    constexpr std::uint32_t topFrequency_kHz = 6'500'000;
    std::uint32_t shift = 1;
    while (shift < 8 && minimumFrequency_kHz < (topFrequency_kHz >> shift)) {
        ++shift;
    }
    return 1u << shift;
}

std::uint32_t PllPhaseSyncWaitWanted_us(std::uint32_t deviceClock_kHz, std::uint32_t divider)
{
    const double clock_Hz = static_cast<double>(deviceClock_kHz) * 1000.0;
    const double d = static_cast<double>(divider);
    // The sequence's duration in device-clock periods: 2^22 / 4095 periods
    // for each of six steps per divider tick, half a 1024-period window per
    // divider tick and one whole window; then a 10 % margin.
    const double seconds =
        ((4194304.0 / clock_Hz) / 4095.0 * 6.0 * d + (d * (1024.0 / clock_Hz) * 0.5 + 1024.0 / clock_Hz)) * 1.1;
    const double wait_us = seconds * 1000000.0;
    constexpr double largest = std::numeric_limits<std::uint32_t>::max();
    if (!(wait_us < largest)) {  // also catches the infinity of a zero device clock
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(wait_us);
}

std::uint16_t PllPhaseSyncWait_us_Get(std::uint32_t deviceClock_kHz, std::uint32_t divider)
{
    const std::uint32_t wait_us = PllPhaseSyncWaitWanted_us(deviceClock_kHz, divider);
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(wait_us, std::numeric_limits<std::uint16_t>::max()));
}

}  // namespace Veltrix::Marlin::Native
