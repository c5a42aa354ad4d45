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

void Enable(ChannelBlueprint& channel, std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    channel.enabled = true;
    channel.samplingRate_Hz(rate_Hz);
    channel.rfChannelBandwidth_Hz = bandwidth_Hz;
    const bool lvds = rate_Hz >= 1000000;
    channel.ssiType = lvds ? 2 : 1;
    channel.ssiNumLane = lvds ? 1 : 0;
    channel.ssiDataFormat = 4;
    channel.ssiDataRate = rate_Hz >= 40000000 ? SsiDataRate::DOUBLE : SsiDataRate::SINGLE;
}

MarlinBlueprint Base()
{
    MarlinBlueprint blueprint;
    blueprint.deviceClockInput_kHz = 38400;
    return blueprint;
}

struct Named {
    std::string name;
    MarlinBlueprint blueprint;
};

std::vector<Named> Grid()
{
    std::vector<Named> grid;
    const std::uint32_t rates_Hz[] = {24000,    48000,    96000,    144000,   192000,   480000,   960000,
                                      1000000,  1920000,  3840000,  7680000,  9600000,  15360000, 23040000,
                                      30720000, 46080000, 61440000, 92160000, 122880000, 245760000};
    const double fractions[] = {0.1, 0.35, 0.6, 0.9};
    for (const std::uint32_t rate : rates_Hz) {
        for (const double fraction : fractions) {
            const auto bandwidth = static_cast<std::uint32_t>(rate * fraction);
            const std::string tag = std::to_string(rate) + " Hz / " + std::to_string(bandwidth) + " Hz";
            Named rx{"Rx1 " + tag, Base()};
            Enable(rx.blueprint.rxChannel1, rate, bandwidth);
            Named tx{"Tx2 " + tag, Base()};
            Enable(tx.blueprint.txChannel2, rate, bandwidth);
            Named both{"Rx1+Tx1 " + tag, Base()};
            Enable(both.blueprint.rxChannel1, rate, bandwidth);
            Enable(both.blueprint.txChannel1, rate, bandwidth);
            grid.push_back(std::move(rx));
            grid.push_back(std::move(tx));
            grid.push_back(std::move(both));
        }
    }
    const std::pair<std::uint32_t, std::uint32_t> pairs[] = {
        {96000, 144000}, {144000, 96000}, {24000, 48000}, {48000, 96000}, {96000, 192000}};
    for (const auto& [first, second] : pairs) {
        for (const double fraction : fractions) {
            const std::string tag = std::to_string(first) + " + " + std::to_string(second) + " Hz at " +
                                    std::to_string(fraction);
            Named rx{"Rx pair " + tag, Base()};
            Enable(rx.blueprint.rxChannel1, first, static_cast<std::uint32_t>(first * fraction));
            Enable(rx.blueprint.rxChannel2, second, static_cast<std::uint32_t>(second * fraction));
            Named tx{"Tx pair " + tag, Base()};
            Enable(tx.blueprint.txChannel1, first, static_cast<std::uint32_t>(first * fraction));
            Enable(tx.blueprint.txChannel2, second, static_cast<std::uint32_t>(second * fraction));
            grid.push_back(std::move(rx));
            grid.push_back(std::move(tx));
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PLOVER_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() != ".json") continue;  // examples/python holds scripts
        grid.push_back({entry.path().filename().string(), Example(entry.path().stem().string())});
    }
    return grid;
}

}  // namespace

TEST(Viability, ViableExactlyWhenDesignable)
{
    int designable = 0;
    for (const Named& c : Grid()) {
        ReportCapture capture;
        const bool viable = c.blueprint.isViable();
        Profile profile;
        const bool designed = Develop(profile, c.blueprint) == 0;
        designable += designed ? 1 : 0;
        EXPECT_EQ(viable, designed) << c.name << (capture.lines().empty() ? "" : ": " + capture.lines().back());
    }
    // The grid reaches both sides of the line.
    EXPECT_GT(designable, 100);
}
