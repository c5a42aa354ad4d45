// The common clock of the designed chains: its refusals, each with its own
// line (the successes are every example's), and the VCO resolution.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "DesignerTestSupport.h"
#include "support/Files.h"
#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/design/FilterDesignerClock.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

// A chain of the given stages 2.. (the rest 1), as a design leaves it.
template <typename Path>
void Chain(Path& path, const std::vector<unsigned char>& stages)
{
    for (std::size_t stage = 2; stage <= 17; ++stage) path.stages[stage] = 1;
    std::size_t stage = 2;
    for (const unsigned char factor : stages) path.stages[stage++] = factor;
}

struct ClockFixture {
    MarlinBlueprint blueprint;
    std::array<ChannelDataPaths, 2> paths{};
    ClockFixture()
    {
        for (auto& path : paths) path.rxRipple_dB = path.txRipple_dB = -1.0;
    }
    template <typename Path>
    void Set(ChannelBlueprint& channel, Path& path, const nlohmann::json& setting)
    {
        Enable(channel, setting.at("rate_Hz"), 500);
        if (setting.contains("chain")) Chain(path, setting.at("chain").get<std::vector<unsigned char>>());
        if (setting.contains("fill")) path.stages.fill(setting.at("fill").get<unsigned char>());
        if (setting.contains("preprocessor")) path.stages[TxPath::PreprocessorStage] = setting.at("preprocessor");
        if (setting.contains("directFmFsk")) path.stages[TxPath::DirectFmFskStage] = setting.at("directFmFsk");
    }
};

}  // namespace

TEST(SystemClock, FailuresReportTheirLines)
{
    for (const auto& row : nlohmann::json::parse(ReadText(SourcePath("tests/data/design/system-clock-refusals.json")))) {
        SCOPED_TRACE(row.at("name").get<std::string>());
        ClockFixture f;
        for (std::size_t index = 0; index < 2; ++index) {
            const std::string k = std::to_string(index + 1);
            if (row.contains("rx" + k)) f.Set(f.blueprint.rxChannel(index), f.paths[index].rx, row.at("rx" + k));
            if (row.contains("tx" + k)) f.Set(f.blueprint.txChannel(index), f.paths[index].tx, row.at("tx" + k));
        }
        ReportCapture capture;
        std::uint32_t clock = 7;
        EXPECT_EQ(SystemClock_Find(f.blueprint, f.paths, clock), -1);
        EXPECT_EQ(clock, 7u);
        const auto parts = row.contains("channel") ? std::vector<std::string>{row.at("channel")} : std::vector<std::string>{};
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", row.at("line"), parts)});
    }
    ClockFixture f;
    f.Set(f.blueprint.rxChannel1, f.paths[0].rx, {{"rate_Hz", 1920000}, {"chain", {3, 1, 1, 2, 2, 2, 2, 2}}});
    f.paths[0].rxRipple_dB = f.paths[0].txRipple_dB = 0.0;
    std::uint32_t clock = 0;
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { SystemClock_Find(f.blueprint, f.paths, clock); }),
              ReportLine("FilterDesigner", 392));
}

TEST(VcoFrequency, MustBeAMultipleOfTenHertz)
{
    MarlinBlueprint blueprint;
    std::uint64_t vco = 0;
    EXPECT_EQ(VcoFrequency_Check(blueprint, Clock184_Hz, vco), 0);
    EXPECT_EQ(vco, 8847360000ULL);
    // 166,666,667 Hz x 48 = 8,000,000,016 Hz; halved 4,000,000,008 Hz: neither resolves.
    for (const ClockPllMode mode : {ClockPllMode::HIGH_PERFORMANCE, ClockPllMode::LOW_POWER}) {
        blueprint.clockPllMode = mode;
        ReportCapture capture;
        vco = 1;
        EXPECT_EQ(VcoFrequency_Check(blueprint, 166666667, vco), -1);
        EXPECT_EQ(vco, 1u);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 435)});
    }
}
