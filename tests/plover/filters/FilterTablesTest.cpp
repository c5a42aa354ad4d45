#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "plover/filters/ChannelFilter.h"
#include "plover/filters/PulseShapeFiltersLut.h"

using namespace Veltrix::Marlin::Native;

namespace {

using Coefficients = std::array<std::int32_t, 128>;

enum class Symmetry { AboutTap, AboutHalf, AboutHalfWithOwnFirst };

// The values every user of a set relies on: layout, centre, gain and how it starts.
struct BindingValues {
    std::string name;
    int start;
    int end;
    Symmetry symmetry;
    std::int32_t centre;
    std::int64_t sum;
    std::array<std::int32_t, 3> first;
};

void ExpectBindingValues(const Coefficients& c, const BindingValues& b)
{
    SCOPED_TRACE(b.name);
    for (int n = 0; n < 128; ++n) {
        if (n < b.start || n > b.end) {
            EXPECT_EQ(c[n], 0) << "outside the span at " << n;
        }
    }
    EXPECT_NE(c[b.start], 0);
    EXPECT_NE(c[b.end], 0);
    EXPECT_EQ(std::accumulate(c.begin(), c.end(), std::int64_t{0}), b.sum);

    std::vector<std::int32_t> nonZero;
    for (std::int32_t v : c) {
        if (v != 0) {
            nonZero.push_back(v);
        }
    }
    ASSERT_GE(nonZero.size(), 3u);
    EXPECT_THAT(std::vector<std::int32_t>(nonZero.begin(), nonZero.begin() + 3), ::testing::ElementsAreArray(b.first));

    switch (b.symmetry) {
    case Symmetry::AboutTap:
        EXPECT_EQ(c[63], b.centre);
        for (int k = 1; k <= 63; ++k) {
            EXPECT_EQ(c[63 - k], c[63 + k]) << "pair " << k;
        }
        break;
    case Symmetry::AboutHalf:
        EXPECT_EQ(c[63], b.centre);
        EXPECT_EQ(c[64], b.centre);
        for (int k = 0; k < 64; ++k) {
            EXPECT_EQ(c[k], c[127 - k]) << "pair " << k;
        }
        break;
    case Symmetry::AboutHalfWithOwnFirst:
        EXPECT_EQ(c[63], b.centre);
        EXPECT_EQ(c[64], b.centre);
        EXPECT_EQ(c[127], 0);
        for (int k = 1; k < 64; ++k) {
            EXPECT_EQ(c[k], c[127 - k]) << "pair " << k;
        }
        break;
    }
}

struct ChannelCase {
    ChannelFilterSelect key;
    BindingValues values;
};

const std::vector<ChannelCase>& ChannelCases()
{
    using S = ChannelFilterSelect;
    using Y = Symmetry;
    static const std::vector<ChannelCase> cases = {
        {S::DMR_24k, {"DMR_24k", 0, 126, Y::AboutTap, 3674001, 8388601, {1, -5, -2}}},
        {S::DMR_48k, {"DMR_48k", 0, 126, Y::AboutTap, 2001178, 8388610, {1, 4, 10}}},
        {S::LTE_1p4M, {"LTE_1p4M", 32, 95, Y::AboutHalf, 4480229, 8388190, {-392, -228, 1164}}},
        {S::LTE_3M, {"LTE_3M", 0, 126, Y::AboutHalfWithOwnFirst, 4882163, 8388183, {-235, -352, 372}}},
        {S::LTE_5M, {"LTE_5M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869, {475, 312, -782}}},
        {S::LTE_10M, {"LTE_10M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869, {475, 312, -782}}},
        {S::LTE_20M, {"LTE_20M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869, {475, 312, -782}}},
        {S::LTE_40M, {"LTE_40M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869, {475, 312, -782}}},
        {S::P25, {"P25", 0, 126, Y::AboutTap, 4099798, 8388614, {3, 6, -3}}},
        {S::TETRA_25k, {"TETRA_25k", 0, 126, Y::AboutTap, 1411374, 8388616, {4, 10, 16}}},
        {S::TETRA_50k, {"TETRA_50k", 1, 125, Y::AboutTap, 2825719, 8388613, {-1, 4, 10}}},
        {S::TETRA_100k, {"TETRA_100k", 1, 125, Y::AboutTap, 2825719, 8388613, {-1, 4, 10}}},
        {S::TETRA_150k, {"TETRA_150k", 0, 126, Y::AboutTap, 4254577, 8388609, {5, -5, -9}}},
        {S::TETRA_192k, {"TETRA_192k", 2, 124, Y::AboutTap, 991196, 8388606, {-2, -3, -2}}},
        {S::CUSTOM1_RX20_5p4M, {"CUSTOM1_RX20_5p4M", 0, 127, Y::AboutHalf, 2344899, 8305418, {414, 1702, 4283}}},
        {S::CUSTOM1_RX20_7p3M, {"CUSTOM1_RX20_7p3M", 0, 127, Y::AboutHalf, 3024823, 8299048, {682, 2716, 5591}}},
        {S::CUSTOM1_RX20_9p2M,
         {"CUSTOM1_RX20_9p2M", 0, 127, Y::AboutHalf, 3609412, 8120314, {-1862, -11077, -30920}}},
        {S::CUSTOM2_RX936k_7813, {"CUSTOM2_RX936k_7813", 0, 127, Y::AboutHalf, 319816, 8385310, {13, -39, -68}}},
        {S::CUSTOM2_RX936k_31250,
         {"CUSTOM2_RX936k_31250", 0, 127, Y::AboutHalf, 546496, 8395116, {-123, -187, -316}}},
        {S::CUSTOM2_RX936k_62500,
         {"CUSTOM2_RX936k_62500", 0, 127, Y::AboutHalf, 820851, 8394492, {-129, -230, -405}}},
        {S::CUSTOM2_RX936k_156250,
         {"CUSTOM2_RX936k_156250", 0, 127, Y::AboutHalf, 1637380, 8383056, {-25, -251, -551}}},
        {S::CUSTOM2_RX936k_312500,
         {"CUSTOM2_RX936k_312500", 0, 127, Y::AboutHalf, 2898179, 8383030, {164, 151, -329}}},
        {S::CUSTOM3_RX42P666M_20M,
         {"CUSTOM3_RX42P666M_20M", 0, 126, Y::AboutTap, 4198997, 8391121, {561, 1427, 1146}}},
    };
    return cases;
}

struct PulseCase {
    PulseShapeFilterSelect key;
    BindingValues values;
};

const std::vector<PulseCase>& PulseCases()
{
    using S = PulseShapeFilterSelect;
    using Y = Symmetry;
    static const std::vector<PulseCase> cases = {
        {S::DMR_24k, {"DMR_24k", 3, 123, Y::AboutTap, 1771863, 8388611, {-985, -3750, -4451}}},
        {S::DMR_48k, {"DMR_48k", 3, 123, Y::AboutTap, 882404, 8388614, {6637, 8064, 8273}}},
        {S::ANALOG_FM_24k, {"ANALOG_FM_24k", 1, 125, Y::AboutTap, 2265498, 8388596, {2, 8, 12}}},
        {S::ANALOG_FM_48k, {"ANALOG_FM_48k", 2, 124, Y::AboutTap, 1218646, 8388610, {2, 7, 15}}},
    };
    return cases;
}

// Magnitude of the DTFT at f cycles per sample, relative to the gain at DC, in dB.
double ResponseDb(const Coefficients& c, double f)
{
    double re = 0.0;
    double im = 0.0;
    double dc = 0.0;
    for (int n = 0; n < 128; ++n) {
        re += c[n] * std::cos(2.0 * std::numbers::pi * f * n);
        im -= c[n] * std::sin(2.0 * std::numbers::pi * f * n);
        dc += c[n];
    }
    return 20.0 * std::log10(std::max(std::hypot(re, im), 1e-9) / std::abs(dc));
}

struct LowPassCase {
    std::string name;
    Coefficients coefficients;
    double passEdge;     // cycles per sample
    double stopEdge;     // cycles per sample
    double stopLevelDb;  // the stopband stays below this
};

// Flat (within 0.5 dB of the DC gain) to the pass edge, and below the stop
// level from the stop edge to half the sampling rate.
void ExpectLowPass(const LowPassCase& c)
{
    SCOPED_TRACE(c.name);
    constexpr int points = 400;
    double worstPass = 0.0;
    for (int k = 0; k <= points; ++k) {
        worstPass = std::max(worstPass, std::abs(ResponseDb(c.coefficients, c.passEdge * k / points)));
    }
    EXPECT_LT(worstPass, 0.5);
    double worstStop = -400.0;
    for (int k = 0; k <= points; ++k) {
        worstStop = std::max(worstStop, ResponseDb(c.coefficients, c.stopEdge + (0.5 - c.stopEdge) * k / points));
    }
    EXPECT_LT(worstStop, c.stopLevelDb);
}

Coefficients ChannelSet(ChannelFilterSelect key)
{
    return ChannelFilter_Lookup(key).buffer.coefficients;
}

Coefficients PulseSet(PulseShapeFilterSelect key)
{
    return PulseShapeFilter_Lookup(key).buffer.coefficients;
}

template <typename F>
std::string ErrorText(F&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(ChannelFilterTables, EverySetHoldsItsBindingValuesUnderTheFixedHeader)
{
    for (const ChannelCase& c : ChannelCases()) {
        const ChannelFilter filter = ChannelFilter_Lookup(c.key);
        EXPECT_EQ(filter.buffer.numCoeff, 128);
        EXPECT_EQ(filter.buffer.symmetricSel, 0);
        EXPECT_EQ(filter.buffer.tapsSel, 3);
        EXPECT_EQ(filter.buffer.gainSel, 2);
        ExpectBindingValues(filter.buffer.coefficients, c.values);
    }
}

TEST(PulseShapeFilterTables, EverySetHoldsItsBindingValuesUnderTheFixedHeader)
{
    for (const PulseCase& c : PulseCases()) {
        const PulseShapeFilter filter = PulseShapeFilter_Lookup(c.key);
        EXPECT_EQ(filter.buffer.numCoeff, 128);
        EXPECT_EQ(filter.buffer.symmetricSel, 0);
        EXPECT_EQ(filter.buffer.taps, 128);
        EXPECT_EQ(filter.buffer.gainSel, 2);
        ExpectBindingValues(filter.buffer.coefficients, c.values);
    }
}

TEST(FilterTables, UnityIsOneCentreTap)
{
    Coefficients unity{};
    unity[63] = 8388608;
    const ChannelFilter channel = ChannelFilter_Lookup(ChannelFilterSelect::Unity);
    EXPECT_EQ(channel.buffer.coefficients, unity);
    EXPECT_EQ(channel.buffer.numCoeff, 128);
    EXPECT_EQ(channel.buffer.tapsSel, 3);
    EXPECT_EQ(channel.buffer.gainSel, 2);
    EXPECT_EQ(PulseSet(PulseShapeFilterSelect::Unity), unity);
}

TEST(ChannelFilterTables, SharedKeysGiveIdenticalRecordsAndOthersDiffer)
{
    const auto lte = ChannelFilter_Lookup(ChannelFilterSelect::LTE_5M).buffer;
    EXPECT_EQ(ChannelFilter_Lookup(ChannelFilterSelect::LTE_10M).buffer, lte);
    EXPECT_EQ(ChannelFilter_Lookup(ChannelFilterSelect::LTE_20M).buffer, lte);
    EXPECT_EQ(ChannelFilter_Lookup(ChannelFilterSelect::LTE_40M).buffer, lte);
    EXPECT_EQ(ChannelFilter_Lookup(ChannelFilterSelect::TETRA_100k).buffer,
              ChannelFilter_Lookup(ChannelFilterSelect::TETRA_50k).buffer);
    EXPECT_NE(ChannelSet(ChannelFilterSelect::DMR_24k), PulseSet(PulseShapeFilterSelect::DMR_24k));
}

TEST(FilterTables, EverySetIsALowPassFilter)
{
    using C = ChannelFilterSelect;
    using P = PulseShapeFilterSelect;
    // Pass edges are the key's half bandwidth over its sampling rate where the
    // set reaches it; stop edges follow the transition its centre value implies.
    const std::vector<LowPassCase> cases = {
        {"DMR_24k", ChannelSet(C::DMR_24k), 0.19, 0.245, -80},  // 12.5 kHz channel at 24 kHz
        {"DMR_48k", ChannelSet(C::DMR_48k), 0.094, 0.145, -80},
        {"LTE_1p4M", ChannelSet(C::LTE_1p4M), 1008e3 / 2 / 1920e3, 0.372, -80},
        {"LTE_3M", ChannelSet(C::LTE_3M), 2700e3 / 2 / 3840e3, 0.383, -50},
        {"LTE_5M", ChannelSet(C::LTE_5M), 4500e3 / 2 / 7680e3, 0.323, -50},
        {"P25", ChannelSet(C::P25), 0.219, 0.27, -80},
        {"TETRA_25k", ChannelSet(C::TETRA_25k), 0.059, 0.11, -80},
        {"TETRA_50k", ChannelSet(C::TETRA_50k), 0.143, 0.194, -80},
        {"TETRA_150k", ChannelSet(C::TETRA_150k), 0.228, 0.279, -80},
        {"TETRA_192k", ChannelSet(C::TETRA_192k), 0.034, 0.085, -80},
        {"CUSTOM1_RX20_5p4M", ChannelSet(C::CUSTOM1_RX20_5p4M), 0.131, 0.162, -50},
        {"CUSTOM1_RX20_7p3M", ChannelSet(C::CUSTOM1_RX20_7p3M), 0.179, 0.21, -48},
        {"CUSTOM1_RX20_9p2M", ChannelSet(C::CUSTOM1_RX20_9p2M), 9.2e6 / 2 / 20e6, 0.263, -40},
        {"CUSTOM2_RX936k_7813", ChannelSet(C::CUSTOM2_RX936k_7813), 7813.0 / 2 / 936e3, 0.035, -50},
        {"CUSTOM2_RX936k_31250", ChannelSet(C::CUSTOM2_RX936k_31250), 31250.0 / 2 / 936e3, 0.049, -55},
        {"CUSTOM2_RX936k_62500", ChannelSet(C::CUSTOM2_RX936k_62500), 62500.0 / 2 / 936e3, 0.065, -55},
        {"CUSTOM2_RX936k_156250", ChannelSet(C::CUSTOM2_RX936k_156250), 156250.0 / 2 / 936e3, 0.116, -55},
        {"CUSTOM2_RX936k_312500", ChannelSet(C::CUSTOM2_RX936k_312500), 312500.0 / 2 / 936e3, 0.199, -55},
        {"CUSTOM3_RX42P666M_20M", ChannelSet(C::CUSTOM3_RX42P666M_20M), 20e6 / 2 / 42.666e6, 0.266, -55},
        // Root-raised-cosine, roll-off 0.2, 4800 symbols/s: flat to (1 - 0.2) x 2400 Hz,
        // and its truncated tails keep the stopband some way beyond (1 + 0.2) x 2400 Hz.
        {"pulse DMR_24k", PulseSet(P::DMR_24k), 1920.0 / 24000, 0.15, -50},
        {"pulse DMR_48k", PulseSet(P::DMR_48k), 1920.0 / 48000, 0.075, -42},
        // FM receive audio: speech band to 3 kHz.
        {"pulse ANALOG_FM_24k", PulseSet(P::ANALOG_FM_24k), 3000.0 / 24000, 0.151, -50},
        {"pulse ANALOG_FM_48k", PulseSet(P::ANALOG_FM_48k), 3000.0 / 48000, 0.088, -50},
    };
    for (const LowPassCase& c : cases) {
        ExpectLowPass(c);
    }
}

TEST(PulseShapeFilterTables, DmrShapersAreRootRaisedCosinesHalfPowerAtHalfTheSymbolRate)
{
    EXPECT_NEAR(ResponseDb(PulseSet(PulseShapeFilterSelect::DMR_24k), 2400.0 / 24000), -3.01, 0.15);
    EXPECT_NEAR(ResponseDb(PulseSet(PulseShapeFilterSelect::DMR_48k), 2400.0 / 48000), -3.01, 0.15);
}

TEST(FilterTables, CustomCoefficientsFillFromPositionZeroAndAtMost128AreAccepted)
{
    std::vector<std::int32_t> coefficients(128);
    std::iota(coefficients.begin(), coefficients.end(), -60);
    const ChannelFilter full(coefficients);
    EXPECT_EQ(full.buffer.coefficients[0], -60);
    EXPECT_EQ(full.buffer.coefficients[127], 67);
    EXPECT_EQ(full.buffer.numCoeff, 128);
    EXPECT_EQ(full.buffer.tapsSel, 3);

    const std::vector<std::int32_t> few = {5, -6, 7};
    const PulseShapeFilter shortPulse(few);
    EXPECT_EQ(shortPulse.buffer.coefficients[2], 7);
    EXPECT_EQ(shortPulse.buffer.coefficients[3], 0);
    EXPECT_EQ(shortPulse.buffer.taps, 128);

    coefficients.push_back(1);
    EXPECT_EQ(ErrorText([&] { ChannelFilter tooMany(coefficients); }),
              "In ..\\..\\..\\src\\plover\\ChannelFilter on line 21: "
              "Maximum number of channel filter coefficients is 128");
    EXPECT_EQ(ErrorText([&] { PulseShapeFilter tooMany(coefficients); }),
              "In ..\\..\\..\\src\\plover\\PulseShapeFiltersLut on line 22: Too many coefficients. Max is 128");
}

TEST(FilterTables, SelectsOutsideTheEnumerationAreRejected)
{
    const std::string channel =
        "In ..\\..\\..\\src\\plover\\ChannelFilter on line 106: Unrecognized channel filter select";
    const std::string pulse =
        "In ..\\..\\..\\src\\plover\\PulseShapeFiltersLut on line 55: Unrecognized pulse shape filter select";
    EXPECT_EQ(ErrorText([] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(24)); }), channel);
    EXPECT_EQ(ErrorText([] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(-1)); }), channel);
    EXPECT_EQ(ErrorText([] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(5)); }), pulse);
    EXPECT_EQ(ErrorText([] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(-3)); }), pulse);
}
