#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "support/Reports.h"
#include "plover/blueprint/LoMapping.h"
#include "plover/profile/Profile.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

const nlohmann::json& Tables()
{
    static const auto tables = nlohmann::json::parse(ReadText(SourcePath("tests/data/profile/tables.json")));
    return tables;
}

}  // namespace

TEST(ProfileDeviceSystem, PhaseSyncWaitOnlyWhenPllsRetuneUnderMcs)
{
    for (const auto& row : Tables().at("profilePhaseSyncWait_us")) {
        ReportCapture capture;
        Profile profile;
        profile.deviceSystem.mcsMode = row.at("mcsMode");
        profile.FrequencyHoppingEnable(row.at("hopping"));
        profile.allowPllRetuning = row.at("retuning");
        profile.deviceSystem.pllPhaseSyncWait_us = 1234;
        profile.PllPhaseSyncWait_us_Calculate(row.at("frequency_kHz"));
        EXPECT_EQ(profile.deviceSystem.pllPhaseSyncWait_us, row.at("us")) << row;
        EXPECT_EQ(profile.pllPhaseSyncWait_us, row.at("us"));
        EXPECT_EQ(capture.lines().empty(), row.at("us") <= 0x7FFF) << row;
    }
}

// The stored wait and its stream code keep their saturation; the device
// would wait too short, so the caller is told both figures.
TEST(ProfileDeviceSystem, PhaseSyncWaitBeyondTheStreamFieldIsReported)
{
    struct Case {
        std::uint32_t deviceClock_kHz;
        std::uint16_t stored_us;
        std::vector<std::string> warning;  // the parts of the report; none: the streams can wait that long
    };
    const Case cases[] = {
        {38'400, 48'851, {"48851", "", "32767"}},
        {10'000, 65'535, {"187587", ", more than the profile's 65535 us", "32767"}},
        {61'440, 30'531, {}},
    };
    for (const Case& c : cases) {
        Profile profile;
        profile.clocks.deviceClock_kHz = c.deviceClock_kHz;
        profile.processorClockFrequency_Hz = 184'320'000;
        profile.deviceSystem.mcsMode = 2;
        profile.FrequencyHoppingEnable(true);
        ReportCapture capture;
        profile.PllPhaseSyncWait_us_Calculate(1000);
        EXPECT_EQ(profile.pllPhaseSyncWait_us, c.stored_us);
        EXPECT_EQ(profile.GenerateMarlinStreamSettings()->pllPhaseSyncWait(),
                  0x8000 | std::min<std::uint16_t>(c.stored_us, 0x7FFF));
        EXPECT_EQ(capture.lines(), c.warning.empty() ? std::vector<std::string>{}
                                                     : std::vector<std::string>{ReportLine("Profile", 612, c.warning)});
    }
}

// Mode 2 is an external LO, and LO2 in mode 3 holds its selections.
TEST(ProfileDeviceSystem, InternalLoSwapMovesSelectionsOnlyBetweenInternalLos)
{
    for (const auto& row : Tables().at("internalLoSwap")) {
        Profile profile;
        profile.clocks.rfPll1LoMode = row.at("pll1Mode");
        profile.clocks.rfPll2LoMode = row.at("pll2Mode");
        vx_marlin_LoSel* selects[] = {&profile.clocks.rx1LoSelect, &profile.clocks.rx2LoSelect,
                                      &profile.clocks.tx1LoSelect, &profile.clocks.tx2LoSelect};
        for (std::size_t i = 0; i < 4; ++i) *selects[i] = row.at("before")[i];
        profile.InternalLoMapping_Swap();
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(*selects[i], row.at("after")[i]) << row;
    }
}

TEST(ProfileDeviceSystem, PowerSettingsReachEveryChannel)
{
    Profile profile;
    profile.InternalPowerSettings_Configure(0, 1, 3, 4, 5);
    for (const RxChannel& channel : profile.rxChannels) {
        EXPECT_EQ(channel.tiaPower * 10 + channel.tiaPowerLp, 34);
    }
    for (const TxChannel& channel : profile.txChannels) {
        EXPECT_EQ(channel.txBbfPower, 5);
    }
}
