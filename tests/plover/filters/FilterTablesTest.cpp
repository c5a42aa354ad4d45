// The fixed channel and pulse-shape filter sets and the keys that pick them,
// against tests/data/filters/filters.json (its README says where the values
// come from), then the header, custom coefficients and the errors.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "plover/filters/ChannelFilter.h"
#include "plover/filters/PulseShapeFiltersLut.h"
#include "support/Files.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using json = nlohmann::json;

namespace {

const json& Data(const std::string& table)
{
    static const json data = json::parse(ReadText(SourcePath("tests/data/filters/filters.json")));
    return data.at(table).at("rows");
}

void ExpectSet(const std::array<std::int32_t, 128>& c, const json& row)
{
    SCOPED_TRACE(row.dump());
    const int first = row[2], last = row[3];
    const std::string symmetry = row[4];
    for (int n = 0; n < 128; ++n) {
        EXPECT_TRUE((n >= first && n <= last) || c[n] == 0) << "outside the span at " << n;
        const int partner = symmetry == "tap" ? 126 - n : 127 - n;
        const bool paired = partner >= 0 && !(symmetry == "half-own-first" && (n == 0 || n == 127));
        EXPECT_EQ(c[n], paired ? c[partner] : c[n]) << "pair of " << n;
    }
    EXPECT_NE(c[first], 0);
    EXPECT_NE(c[last], 0);
    EXPECT_EQ(c[63], row[5].get<std::int32_t>());
    EXPECT_EQ(std::accumulate(c.begin(), c.end(), std::int64_t{0}), row[6].get<std::int64_t>());
    EXPECT_TRUE(symmetry != "half-own-first" || c[127] == 0);
}

}  // namespace

TEST(FilterTables, KeysPickTheirSetsAndSetsHoldTheirValues)
{
    for (const json& row : Data("channelKeys")) {
        EXPECT_EQ(static_cast<int>(ChannelFilterSelect_Get(row[0], row[1])), row[2]) << row.dump();
    }
    for (const json& row : Data("pulseKeys")) {
        EXPECT_EQ(static_cast<int>(PulseShapeFilterSelect_Get(static_cast<RxChannelSignalSetup>(row[0]), row[1], row[2])),
                  row[3])
            << row.dump();
    }
    for (const json& row : Data("channelSets")) {
        const auto buffer = ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(row[0])).buffer;
        EXPECT_EQ((std::array{int{buffer.numCoeff}, buffer.symmetricSel, buffer.tapsSel, buffer.gainSel}),
                  (std::array{128, 0, 3, 2}));
        ExpectSet(buffer.coefficients, row);
    }
    for (const json& row : Data("pulseSets")) {
        const auto buffer = PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(row[0])).buffer;
        EXPECT_EQ((std::array{int{buffer.numCoeff}, buffer.symmetricSel, int{buffer.taps}, buffer.gainSel}),
                  (std::array{128, 0, 128, 2}));
        ExpectSet(buffer.coefficients, row);
    }
    // Keys that share a set share the whole record; the two families differ.
    EXPECT_EQ(ChannelFilter_Lookup(ChannelFilterSelect::TETRA_100k).buffer,
              ChannelFilter_Lookup(ChannelFilterSelect::TETRA_50k).buffer);
    EXPECT_NE(ChannelFilter_Lookup(ChannelFilterSelect::DMR_24k).buffer.coefficients,
              PulseShapeFilter_Lookup(PulseShapeFilterSelect::DMR_24k).buffer.coefficients);
}

TEST(FilterTables, CustomCoefficientsFillFromPositionZeroAndAtMost128AreAccepted)
{
    std::vector<std::int32_t> coefficients(128);
    std::iota(coefficients.begin(), coefficients.end(), -60);
    const ChannelFilter full(coefficients);
    EXPECT_EQ(full.buffer.coefficients[0], -60);
    EXPECT_EQ(full.buffer.coefficients[127], 67);
    EXPECT_EQ(full.buffer.tapsSel, 3);
    const PulseShapeFilter shortPulse(std::vector<std::int32_t>{5, -6, 7});
    EXPECT_EQ(shortPulse.buffer.coefficients[2], 7);
    EXPECT_EQ(shortPulse.buffer.coefficients[3], 0);
    EXPECT_EQ(shortPulse.buffer.taps, 128);

    coefficients.push_back(1);
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { ChannelFilter tooMany(coefficients); }),
              ReportLine("ChannelFilter", 21, {"128"}));
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { PulseShapeFilter tooMany(coefficients); }),
              ReportLine("PulseShapeFiltersLut", 22));
}

TEST(FilterTables, UnknownKeysAndSetupsRaise)
{
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(24)); }, ReportLine("ChannelFilter", 106)},
        {[] { ChannelFilter_Lookup(static_cast<ChannelFilterSelect>(-1)); }, ReportLine("ChannelFilter", 106)},
        {[] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(5)); }, ReportLine("PulseShapeFiltersLut", 55)},
        {[] { PulseShapeFilter_Lookup(static_cast<PulseShapeFilterSelect>(-3)); }, ReportLine("PulseShapeFiltersLut", 55)},
        {[] { PulseShapeFilterSelect_Get(RxChannelSignalSetup::P25, 48000, 12000); }, ReportLine("RxChannel", 502)},
        {[] { PulseShapeFilterSelect_Get(static_cast<RxChannelSignalSetup>(4), 48000, 12000); }, ReportLine("RxChannel", 507)},
    };
    for (const auto& [call, text] : cases) EXPECT_EQ(ThrownText<std::runtime_error>(call), text);
}
