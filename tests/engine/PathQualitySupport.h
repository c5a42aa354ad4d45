#pragma once
// The stock configurations the quality bars are measured on, and the
// measurements: passband ripple and alias (image) rejection of a response.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineRecords.h"

namespace PathQuality {

using namespace Veltrix::Marlin::Native;

inline constexpr std::uint32_t SystemClock_Hz = 184320000;

struct Configuration {
    std::uint32_t rate_Hz;
    std::uint32_t bandwidth_Hz;
    std::array<std::uint8_t, 16> codes;  // chain positions 0..15 of the stock row
};

// Rows of the stock table for the ratio system clock / rate.
inline const std::vector<Configuration>& Configurations()
{
    static const std::vector<Configuration> table = {
        {61440000, 38000000, {3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {30720000, 18000000, {3, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {15360000, 9000000, {3, 1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {7680000, 4500000, {3, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {3840000, 2700000, {3, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {1920000, 1008000, {3, 1, 1, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {144000, 25000, {1, 2, 2, 1, 1, 1, 1, 1, 10, 2, 2, 2, 2, 1, 1, 2}},
        {48000, 12000, {1, 2, 2, 1, 1, 1, 1, 1, 10, 2, 2, 2, 2, 1, 3, 2}},
        {24000, 12000, {1, 2, 2, 1, 1, 1, 1, 1, 10, 2, 2, 2, 2, 2, 3, 2}},
    };
    return table;
}

// Rx data-path stages of a high-rate ADC (SINC 6, HB2) around the chain.
inline std::array<std::uint8_t, 24> RxStages(const Configuration& c)
{
    std::array<std::uint8_t, 24> s{};
    s[0] = 6;
    s[1] = 2;
    for (std::size_t i = 0; i < 16; ++i) {
        s[i + 2] = c.codes[i];
    }
    s[19] = 6;
    s[20] = 2;
    s[21] = 3;
    s[22] = 5;
    s[23] = c.codes[7] == 2 ? 1 : 0;
    return s;
}

// Rx request of the HP1/LP1 designs and of the channel response: analog
// bandwidth 100 MHz with the TIA, 70.71 MHz with the Biquad.
inline RxFilterRequest RxRequest(const Configuration& c, const std::uint8_t* stages, bool highPower, bool tia)
{
    RxFilterRequest r;
    r.analogBandwidth_Hz = tia ? 100000000u : 70710000u;
    r.channelBandwidth_Hz = c.bandwidth_Hz;
    r.converterRate_Hz = SystemClock_Hz * 12u;
    r.highPowerAdc = highPower ? 1 : 0;
    r.tiaFilter = tia ? 1 : 0;
    r.stages = stages;
    r.mode0 = 2;
    r.mode1 = stages[21];
    r.mode2 = stages[22];
    r.mode3 = stages[23] == 2 ? 1 : 0;
    r.mode4 = 1;
    r.rippleTarget_dB = 0.1f;
    return r;
}

// Rx request of the narrow-corner designs of the programmable-FIR banks: the
// receiver's default 40 MHz corner with the TIA (28.2 MHz, the clamp, with the
// Biquad), HB1 beside the converter, at the high-rate position or the
// low-rate one.
inline RxFilterRequest RxNarrowRequest(const Configuration& c, const std::uint8_t* stages, bool highPower, bool tia,
                                       bool lowRate)
{
    RxFilterRequest r = RxRequest(c, stages, highPower, tia);
    r.analogBandwidth_Hz = tia ? 40000000u : 28200000u;
    r.mode0 = 1;
    r.mode4 = lowRate ? 2 : 1;
    return r;
}

inline bool TxWide(const Configuration& c) { return c.bandwidth_Hz >= 1000000u; }

// Tx data path: INT3 next to the DAC for wideband channels (DAC at three
// times the clock), none for narrowband ones (DAC at the clock).
inline std::array<std::uint8_t, 26> TxStages(const Configuration& c)
{
    std::array<std::uint8_t, 26> s{};
    s[0] = TxWide(c) ? 3 : 1;
    s[1] = 1;
    for (std::size_t i = 0; i < 16; ++i) {
        s[i + 2] = c.codes[i];
    }
    s[19] = TxWide(c) ? 2 : 0;
    s[21] = c.codes[7] == 2 ? 1 : 0;
    return s;
}

inline TxFilterRequest TxRequest(const Configuration& c, const std::uint8_t* stages)
{
    TxFilterRequest r;
    r.analogBandwidth_Hz = c.rate_Hz >= 1000000u ? 50000000u : 33000000u;
    r.channelBandwidth_Hz = c.bandwidth_Hz;
    r.converterRate_Hz = SystemClock_Hz * (TxWide(c) ? 3u : 1u);
    r.stages = stages;
    r.option0 = stages[19] >= 2 ? 1 : 0;
    r.option1 = stages[21] == 2 ? 1 : 0;
    r.option2 = 1;
    r.narrowband = c.rate_Hz < 1000000u ? 1 : 0;
    r.rippleTarget_dB = 0.1f;
    return r;
}

struct Quality {
    double ripple_dB = 0.0;     // max - min over |f| <= B/2
    double rejection_dB = 0.0;  // mean passband level minus the worst alias
    double worstAlias_Hz = 0.0;
};

// Passband: grid points with f <= B/2. Aliases (images): every grid point
// from fs - B/2 up to half the converter clock within B/2 of a multiple of fs.
inline Quality Measure(const double* grid, const double* response, std::size_t n, double clock_Hz, double rate_Hz,
                       double bandwidth_Hz)
{
    Quality q;
    const double half = bandwidth_Hz / 2.0;
    double sum = 0.0;
    std::size_t count = 0;
    double low = 1e300;
    double high = -1e300;
    for (std::size_t k = 0; k < n && grid[k] <= half; ++k) {
        sum += response[k];
        ++count;
        low = std::min(low, response[k]);
        high = std::max(high, response[k]);
    }
    q.ripple_dB = high - low;
    const double mean = sum / static_cast<double>(count);
    double worst = -1e300;
    for (std::size_t k = 0; k < n && grid[k] <= clock_Hz / 2.0; ++k) {
        const double f = grid[k];
        if (f < rate_Hz - half) {
            continue;
        }
        const double nearest = std::round(f / rate_Hz) * rate_Hz;
        if (std::fabs(f - nearest) <= half && response[k] > worst) {
            worst = response[k];
            q.worstAlias_Hz = f;
        }
    }
    q.rejection_dB = mean - worst;
    return q;
}

}  // namespace PathQuality
