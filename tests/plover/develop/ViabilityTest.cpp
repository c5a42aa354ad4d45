// What the viability check promises, the design delivers: over a grid of
// single and paired channels, and every example, a blueprint is viable
// exactly when it can be developed. The SSI settings are chosen fast enough
// for each rate, since the SSI clock rules are checked by the design alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

void Enable(ChannelBlueprint& channel, std::uint32_t rate_Hz, double fraction)
{
    channel.enabled = true;
    channel.samplingRate_Hz(rate_Hz);
    channel.rfChannelBandwidth_Hz = static_cast<std::uint32_t>(rate_Hz * fraction);
    const bool lvds = rate_Hz >= 1000000;
    channel.ssiType = lvds ? 2 : 1;
    channel.ssiNumLane = lvds ? 1 : 0;
    channel.ssiDataFormat = 4;
    channel.ssiDataRate = rate_Hz >= 40000000 ? SsiDataRate::DOUBLE : SsiDataRate::SINGLE;
}

std::vector<std::pair<std::string, MarlinBlueprint>> Grid()
{
    std::vector<std::pair<std::string, MarlinBlueprint>> grid;
    const auto add = [&grid](const std::string& name, auto&& setup) {
        MarlinBlueprint blueprint;
        blueprint.deviceClockInput_kHz = 38400;
        setup(blueprint);
        grid.emplace_back(name, blueprint);
    };
    for (const double fraction : {0.1, 0.35, 0.6, 0.9}) {
        const std::string tag = " at " + std::to_string(fraction);
        for (const std::uint32_t rate : {24000u, 48000u, 96000u, 144000u, 192000u, 480000u, 960000u, 1000000u, 1920000u,
                                         3840000u, 7680000u, 9600000u, 15360000u, 23040000u, 30720000u, 46080000u,
                                         61440000u, 92160000u, 122880000u, 245760000u}) {
            const std::string at = std::to_string(rate) + tag;
            add("Rx1 " + at, [&](MarlinBlueprint& b) { Enable(b.rxChannel1, rate, fraction); });
            add("Tx2 " + at, [&](MarlinBlueprint& b) { Enable(b.txChannel2, rate, fraction); });
            add("Rx1+Tx1 " + at, [&](MarlinBlueprint& b) {
                Enable(b.rxChannel1, rate, fraction);
                Enable(b.txChannel1, rate, fraction);
            });
        }
        for (const auto& [first, second] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                 {96000, 144000}, {144000, 96000}, {24000, 48000}, {48000, 96000}, {96000, 192000}}) {
            const std::string at = std::to_string(first) + " + " + std::to_string(second) + tag;
            add("Rx pair " + at, [&](MarlinBlueprint& b) {
                Enable(b.rxChannel1, first, fraction);
                Enable(b.rxChannel2, second, fraction);
            });
            add("Tx pair " + at, [&](MarlinBlueprint& b) {
                Enable(b.txChannel1, first, fraction);
                Enable(b.txChannel2, second, fraction);
            });
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("examples"))) {
        if (entry.path().extension() == ".json") grid.emplace_back(entry.path().filename(), Example(entry.path().stem()));
    }
    return grid;
}

}  // namespace

TEST(Viability, ViableExactlyWhenDesignable)
{
    int designable = 0;
    for (const auto& [name, blueprint] : Grid()) {
        ReportCapture capture;
        const bool viable = blueprint.isViable();
        Profile profile;
        const bool designed = Develop(profile, blueprint) == 0;
        designable += designed ? 1 : 0;
        EXPECT_EQ(viable, designed) << name << (capture.lines().empty() ? "" : ": " + capture.lines().back());
    }
    EXPECT_GT(designable, 100);  // the grid reaches both sides of the line
}
