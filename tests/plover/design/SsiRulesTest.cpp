// Every SSI rule, one row each in tests/data/design/ssi-rules.json: a channel's
// interface settings and the report line they earn (0: they pass).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "support/Reports.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/design/SsiRules.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

constexpr std::uint32_t SystemClock_Hz = 184320000;
constexpr std::uint64_t Vco_Hz = 8847360000ULL;  // 48 x the system clock

ChannelBlueprint& Configure(MarlinBlueprint& blueprint, const nlohmann::json& row)
{
    const std::string name = row.at("channel");
    const std::size_t index = name[2] == '1' ? 0 : 1;
    ChannelBlueprint& channel = name[0] == 't' ? static_cast<ChannelBlueprint&>(blueprint.txChannel(index))
                                               : static_cast<ChannelBlueprint&>(blueprint.rxChannel(index));
    channel.enabled = true;
    channel.ssiType = row.at("type");
    channel.ssiDataFormat = row.at("format");
    channel.ssiNumLane = row.at("lanes");
    channel.ssiDataRate = row.at("ddr") ? SsiDataRate::DOUBLE : SsiDataRate::SINGLE;
    channel.samplingRate_Hz(row.at("sampling_Hz"));
    if (row.at("interface_Hz") != 0) channel.ssiInterfaceRate_Hz(row.at("interface_Hz"));
    if (name[0] == 't') blueprint.txChannel(index).int3Factor = row.value("int3Factor", 1u);
    return channel;
}

}  // namespace

TEST(SsiCheck, EveryRuleReportsItsMessage)
{
    for (const auto& row : nlohmann::json::parse(ReadText(SourcePath("tests/data/design/ssi-rules.json")))) {
        SCOPED_TRACE(row.at("name").get<std::string>());
        MarlinBlueprint blueprint;
        Configure(blueprint, row);
        const int line = row.at("line");
        ReportCapture capture;
        EXPECT_EQ(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), line == 0 ? 0 : 255);
        EXPECT_EQ(capture.lines(), line == 0 ? std::vector<std::string>{}
                                             : std::vector<std::string>{ReportLine("FilterDesigner", line, row.at("parts"))});
    }
}

TEST(SsiCheck, ChannelsAreVisitedRx1Tx1Rx2Tx2AndDisabledOnesSkipped)
{
    MarlinBlueprint blueprint;
    for (const char* name : {"rx2", "tx1", "rx1"}) {
        Configure(blueprint, {{"channel", name}, {"type", 0}, {"format", 4}, {"lanes", 0}, {"ddr", false},
                              {"sampling_Hz", 1000000}, {"interface_Hz", 1500000}});
    }
    blueprint.rxChannel1.enabled = false;
    ReportCapture capture;
    EXPECT_EQ(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), 255);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 590, {"1"})});
    blueprint.txChannel1.enabled = false;
    blueprint.rxChannel2.ssiType = 1;
    blueprint.rxChannel2.ssiDataFormat = 7;
    EXPECT_THROW(Ssi_Check(blueprint, SystemClock_Hz, Vco_Hz), std::runtime_error);  // unknown data format
}
