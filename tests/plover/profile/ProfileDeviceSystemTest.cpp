#include <gtest/gtest.h>

#include <algorithm>

#include "support/Reports.h"
#include "plover/blueprint/LoMapping.h"
#include "plover/profile/Profile.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(ProfileDeviceSystem, LockWaitFollowsDeviceClockAndCalibration)
{
    Profile profile;
    profile.clocks = Clocks(245'760, ClockPllMode::HIGH_PERFORMANCE, 2, 3, ProcessorClockDivisor::DIVISOR_1, {0, 0});
    profile.PllLockWait_us_Calculate();
    EXPECT_EQ(profile.pllLockWait_us, 17);
    EXPECT_EQ(profile.deviceSystem.pllLockTime_us, 17);
}

TEST(ProfileDeviceSystem, PhaseSyncWaitOnlyWhenPllsRetuneUnderMcs)
{
    struct Case {
        std::int32_t mcsMode;
        bool hopping, retuning;
        std::uint32_t frequency_kHz;
        std::uint16_t expected_us;
    };
    const Case cases[] = {
        {2, true, false, 3'250'000, 410},   {2, true, false, 6'000'000, 410},
        {2, true, false, 25'389, 48'851},   {2, false, true, 25'000, 48'851},
        {2, false, false, 3'250'000, 0},    {1, true, true, 3'250'000, 0},
        {0, true, true, 25'000, 0},
    };
    for (const Case& c : cases) {
        ReportCapture capture;
        Profile profile;
        profile.deviceSystem.mcsMode = c.mcsMode;
        profile.FrequencyHoppingEnable(c.hopping);
        profile.allowPllRetuning = c.retuning;
        profile.deviceSystem.pllPhaseSyncWait_us = 1234;
        profile.PllPhaseSyncWait_us_Calculate(c.frequency_kHz);
        EXPECT_EQ(profile.deviceSystem.pllPhaseSyncWait_us, c.expected_us) << c.frequency_kHz;
        EXPECT_EQ(profile.pllPhaseSyncWait_us, c.expected_us);
        EXPECT_EQ(capture.lines().empty(), c.expected_us <= 0x7FFF) << c.frequency_kHz;
    }
    // One band lower doubles the divider: a longer wait than at D = 2.
    Profile profile;
    profile.deviceSystem.mcsMode = 2;
    profile.FrequencyHoppingEnable(true);
    profile.PllPhaseSyncWait_us_Calculate(3'249'999);
    EXPECT_GT(profile.pllPhaseSyncWait_us, 410);
    EXPECT_LT(profile.pllPhaseSyncWait_us, 48'851);
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

TEST(ProfileDeviceSystem, InternalLoSwapMovesSelectionsOnlyBetweenInternalLos)
{
    struct Case {
        std::int32_t pll1Mode, pll2Mode;
        std::array<vx_marlin_LoSel, 4> before, after;
    };
    // Mode 2 is an external LO, and LO2 in mode 3 holds its selections.
    const Case cases[] = {
        {0, 0, {LO1, LO2, LO1, 3}, {LO2, LO1, LO2, 3}},
        {2, 0, {LO1, LO2, LO1, LO2}, {LO1, LO2, LO1, LO2}},
        {0, 2, {LO2, LO2, LO1, LO1}, {LO2, LO2, LO1, LO1}},
        {0, 3, {LO1, LO2, LO2, LO1}, {LO1, LO2, LO2, LO1}},
        {2, 2, {LO1, LO2, 0, LO1}, {LO1, LO2, 0, LO1}},
    };
    for (const Case& c : cases) {
        Profile profile;
        profile.clocks.rfPll1LoMode = c.pll1Mode;
        profile.clocks.rfPll2LoMode = c.pll2Mode;
        profile.clocks.rx1LoSelect = c.before[0];
        profile.clocks.rx2LoSelect = c.before[1];
        profile.clocks.tx1LoSelect = c.before[2];
        profile.clocks.tx2LoSelect = c.before[3];
        profile.InternalLoMapping_Swap();
        const std::array<vx_marlin_LoSel, 4> after = {profile.clocks.rx1LoSelect, profile.clocks.rx2LoSelect,
                                                     profile.clocks.tx1LoSelect, profile.clocks.tx2LoSelect};
        EXPECT_EQ(after, c.after);
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
