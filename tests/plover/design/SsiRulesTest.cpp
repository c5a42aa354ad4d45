#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Reports.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/design/SsiRules.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

constexpr std::uint32_t SystemClock_Hz = 184320000;
constexpr std::uint64_t Vco_Hz = 8847360000ULL;  // 48 x the system clock

struct SsiCase {
    const char* name;
    bool tx;
    std::size_t index;
    vx_marlin_SsiType type;
    vx_marlin_SsiDataFormat format;
    vx_marlin_SsiNumLane lanes;
    SsiDataRate rate;
    std::uint32_t sampling_Hz;
    std::uint32_t interface_Hz;  // 0: follows the sampling rate
    int line;                    // 0: passes
    std::vector<std::string> parts;  // of the report's text
    std::uint32_t int3Factor = 1;
};

void Configure(ChannelBlueprint& channel, const SsiCase& c)
{
    channel.enabled = true;
    channel.ssiType = c.type;
    channel.ssiDataFormat = c.format;
    channel.ssiNumLane = c.lanes;
    channel.ssiDataRate = c.rate;
    channel.samplingRate_Hz(c.sampling_Hz);
    if (c.interface_Hz != 0) channel.ssiInterfaceRate_Hz(c.interface_Hz);
}

constexpr auto S = SsiDataRate::SINGLE;
constexpr auto D = SsiDataRate::DOUBLE;

}  // namespace

TEST(SsiCheck, EveryRuleReportsItsMessage)
{
    const SsiCase cases[] = {
        {"rx cmos too fast", false, 0, 1, 4, 0, S, 61440000, 0, 463, {"1", "80000000"}},
        {"rx cmos not derivable", false, 0, 1, 1, 0, S, 7000000, 0, 468, {"1"}},
        {"rx cmos ddr halves the clock", false, 0, 1, 1, 0, D, 15360000, 0, 0, {}},
        {"rx cmos 64-bit on four lanes", false, 1, 1, 6, 2, S, 1920000, 0, 475, {"2"}},
        {"rx lvds too fast", false, 0, 2, 6, 1, S, 61440000, 0, 484, {"1", "1000000000"}},
        {"rx lvds not derivable from the vco", false, 0, 2, 4, 1, D, 10000000, 0, 487, {"1"}},
        {"rx lvds single too slow for the sampling rate", false, 0, 2, 4, 1, S, 61440000, 0, 494, {"1"}},
        {"rx lvds double carries 61.44 MHz", false, 0, 2, 4, 1, D, 61440000, 0, 0, {}},
        {"rx lvds too slow for the interface rate", false, 0, 2, 4, 1, S, 30720000, 61440000, 498, {"1"}},
        {"rx interface twice the sampling rate", false, 0, 0, 4, 0, S, 1000000, 2000000, 0, {}},
        {"rx interface 1.5 x the sampling rate", false, 1, 0, 4, 0, S, 1000000, 1500000, 518, {"2"}},
        {"rx interface below the sampling rate", false, 0, 0, 4, 0, S, 3000000, 2000000, 518, {"1"}},
        {"tx cmos too fast", true, 0, 1, 4, 0, S, 61440000, 0, 534, {"1", "80000000"}},
        {"tx cmos not derivable", true, 1, 1, 1, 0, S, 7000000, 0, 540, {"2"}},
        // 8.64 MHz of 8-bit samples on one lane is a 69.12 MHz clock: it
        // divides 3 x 184.32 MHz but not 1 x 184.32 MHz.
        {"tx cmos clock from the INT3 factor", true, 0, 1, 1, 0, S, 8640000, 0, 0, {}, 3},
        {"tx cmos clock without INT3", true, 0, 1, 1, 0, S, 8640000, 0, 540, {"1"}},
        {"tx lvds too fast", true, 0, 2, 6, 1, S, 61440000, 0, 548, {"1", "1000000000"}},
        {"tx lvds not derivable from the vco", true, 0, 2, 4, 1, D, 10000000, 0, 551, {"1"}},
        {"tx lvds too slow for the sampling rate", true, 0, 2, 4, 1, S, 61440000, 0, 558, {"1"}},
        {"tx lvds too slow for the interface rate", true, 1, 2, 4, 1, S, 30720000, 61440000, 562, {"2"}},
        {"tx receive-only format", true, 0, 0, 5, 0, S, 1000000, 0, 571, {"1"}},
        {"tx ratio", true, 0, 0, 4, 0, S, 1000000, 1500000, 590, {"1"}},
        // Settings that would shift or divide by zero are refused with their own lines.
        {"rx lanes above four", false, 0, 1, 0, 3, S, 1000000, 0, 459, {"1"}},
        {"tx negative lanes", true, 1, 2, 4, -1, S, 1000000, 0, 530, {"2"}},
        {"rx zero rate on cmos", false, 0, 1, 4, 0, S, 0, 0, 468, {"1"}},
        {"tx zero rate on lvds", true, 0, 2, 4, 1, S, 0, 0, 551, {"1"}},
        {"rx zero sampling rate", false, 0, 0, 4, 0, S, 0, 1000000, 516, {"1"}},
        {"tx zero sampling rate", true, 1, 0, 4, 0, S, 0, 2000000, 588, {"2"}},
        {"rx rate wraps 32 bits", false, 0, 2, 6, 1, D, 4000000000u, 0, 484, {"1", "1000000000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint blueprint;
        if (c.tx) {
            Configure(blueprint.txChannel(c.index), c);
            blueprint.txChannel(c.index).int3Factor = c.int3Factor;
        } else {
            Configure(blueprint.rxChannel(c.index), c);
        }
        ReportCapture capture;
        EXPECT_EQ(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), c.line == 0 ? 0 : 255);
        EXPECT_EQ(capture.lines(), c.line == 0 ? std::vector<std::string>{}
                                               : std::vector<std::string>{ReportLine("FilterDesigner", c.line, c.parts)});
    }
}

TEST(SsiCheck, ChannelsAreVisitedRx1Tx1Rx2Tx2AndDisabledOnesSkipped)
{
    MarlinBlueprint blueprint;
    const SsiCase bad{"", false, 0, 0, 4, 0, S, 1000000, 1500000, 0, {}};
    Configure(blueprint.rxChannel2, bad);
    Configure(blueprint.txChannel1, bad);
    Configure(blueprint.rxChannel1, bad);
    blueprint.rxChannel1.enabled = false;
    ReportCapture capture;
    EXPECT_EQ(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), 255);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 590, {"1"})});
}

TEST(SsiCheck, UnknownDataFormatRaises)
{
    MarlinBlueprint blueprint;
    Configure(blueprint.rxChannel1, {"", false, 0, 1, 7, 0, S, 1000000, 0, 0, {}});
    EXPECT_THROW(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), std::runtime_error);
}
