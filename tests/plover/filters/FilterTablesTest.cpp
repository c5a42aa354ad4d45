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
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

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
        {S::DMR_24k, {"DMR_24k", 0, 126, Y::AboutTap, 3674001, 8388601}},
        {S::DMR_48k, {"DMR_48k", 0, 126, Y::AboutTap, 2001178, 8388610}},
        {S::LTE_1p4M, {"LTE_1p4M", 32, 95, Y::AboutHalf, 4480229, 8388190}},
        {S::LTE_3M, {"LTE_3M", 0, 126, Y::AboutHalfWithOwnFirst, 4882163, 8388183}},
        {S::LTE_5M, {"LTE_5M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869}},
        {S::LTE_10M, {"LTE_10M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869}},
        {S::LTE_20M, {"LTE_20M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869}},
        {S::LTE_40M, {"LTE_40M", 0, 126, Y::AboutHalfWithOwnFirst, 4391599, 8388869}},
        {S::P25, {"P25", 0, 126, Y::AboutTap, 4099798, 8388614}},
        {S::TETRA_25k, {"TETRA_25k", 0, 126, Y::AboutTap, 1411374, 8388616}},
        {S::TETRA_50k, {"TETRA_50k", 1, 125, Y::AboutTap, 2825719, 8388613}},
        {S::TETRA_100k, {"TETRA_100k", 1, 125, Y::AboutTap, 2825719, 8388613}},
        {S::TETRA_150k, {"TETRA_150k", 0, 126, Y::AboutTap, 4254577, 8388609}},
        {S::TETRA_192k, {"TETRA_192k", 2, 124, Y::AboutTap, 991196, 8388606}},
        {S::CUSTOM1_RX20_5p4M, {"CUSTOM1_RX20_5p4M", 0, 127, Y::AboutHalf, 2344899, 8305418}},
        {S::CUSTOM1_RX20_7p3M, {"CUSTOM1_RX20_7p3M", 0, 127, Y::AboutHalf, 3024823, 8299048}},
        {S::CUSTOM1_RX20_9p2M,
         {"CUSTOM1_RX20_9p2M", 0, 127, Y::AboutHalf, 3609412, 8120314}},
        {S::CUSTOM2_RX936k_7813, {"CUSTOM2_RX936k_7813", 0, 127, Y::AboutHalf, 319816, 8385310}},
        {S::CUSTOM2_RX936k_31250,
         {"CUSTOM2_RX936k_31250", 0, 127, Y::AboutHalf, 546496, 8395116}},
        {S::CUSTOM2_RX936k_62500,
         {"CUSTOM2_RX936k_62500", 0, 127, Y::AboutHalf, 820851, 8394492}},
        {S::CUSTOM2_RX936k_156250,
         {"CUSTOM2_RX936k_156250", 0, 127, Y::AboutHalf, 1637380, 8383056}},
        {S::CUSTOM2_RX936k_312500,
         {"CUSTOM2_RX936k_312500", 0, 127, Y::AboutHalf, 2898179, 8383030}},
        {S::CUSTOM3_RX42P666M_20M,
         {"CUSTOM3_RX42P666M_20M", 0, 126, Y::AboutTap, 4198997, 8391121}},
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
        {S::DMR_24k, {"DMR_24k", 3, 123, Y::AboutTap, 1771863, 8388611}},
        {S::DMR_48k, {"DMR_48k", 3, 123, Y::AboutTap, 882404, 8388614}},
        {S::ANALOG_FM_24k, {"ANALOG_FM_24k", 1, 125, Y::AboutTap, 2265498, 8388596}},
        {S::ANALOG_FM_48k, {"ANALOG_FM_48k", 2, 124, Y::AboutTap, 1218646, 8388610}},
    };
    return cases;
}

Coefficients ChannelSet(ChannelFilterSelect key)
{
    return ChannelFilter_Lookup(key).buffer.coefficients;
}

Coefficients PulseSet(PulseShapeFilterSelect key)
{
    return PulseShapeFilter_Lookup(key).buffer.coefficients;
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
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { ChannelFilter tooMany(coefficients); }),
              ReportLine("ChannelFilter", 21, {"128"}));
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { PulseShapeFilter tooMany(coefficients); }),
              ReportLine("PulseShapeFiltersLut", 22));
}

TEST(FilterTables, SelectsOutsideTheEnumerationAreRejected)
{
    const std::string channel = ReportLine("ChannelFilter", 106);
    const std::string pulse = ReportLine("PulseShapeFiltersLut", 55);
    EXPECT_EQ(ThrownText<std::runtime_error>([] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(24)); }), channel);
    EXPECT_EQ(ThrownText<std::runtime_error>([] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(-1)); }), channel);
    EXPECT_EQ(ThrownText<std::runtime_error>([] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(5)); }), pulse);
    EXPECT_EQ(ThrownText<std::runtime_error>([] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(-3)); }), pulse);
}
