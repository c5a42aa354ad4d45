#include <gtest/gtest.h>

#include <memory>

#include "support/Examples.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

Profile DevelopWith(MarlinBlueprint blueprint, const std::shared_ptr<Feature>& feature)
{
    EXPECT_EQ(blueprint.Feature_Enable(feature), 0);
    Profile profile;
    EXPECT_EQ(Develop(profile, blueprint), 0);
    return profile;
}

}  // namespace

// Dynamic profiles mask every receive strobe; the external LNA configures the
// two main receivers only; the impedance control reaches the clocks.
TEST(FeatureProfileUpdate, PassiveFeaturesReachTheProfile)
{
    MarlinBlueprint blueprint = Example("lte-20mhz-2t2r-tdd");
    auto dynamic = std::make_shared<DynamicProfileFeature>();
    dynamic->numDynamicProfiles = 5;
    ASSERT_EQ(blueprint.Feature_Enable(dynamic), 0);
    marlin_RxLnaConfig_t first{};
    first.externalLnaPresent = true;
    first.lnaGainSteps_mdB = {1000, 2000, 3000, 4000};
    marlin_RxLnaConfig_t second{};
    second.settlingDelay = 7;
    auto impedance = std::make_shared<RxPortImpedanceControlFeature>();
    impedance->rxPortImpedanceControl(2, true);
    ASSERT_EQ(blueprint.Feature_Enable(impedance), 0);
    const Profile profile = DevelopWith(blueprint, std::make_shared<ExternalLnaFeature>(std::array{first, second}));
    EXPECT_EQ(profile.deviceSystem.numDynamicProfiles, 5);
    for (const RxChannel& channel : profile.rxChannels) EXPECT_TRUE(channel.rxSsiConfig.rxMaskStrobeEn);
    EXPECT_EQ(profile.rxChannels[0].lnaConfig, first);
    EXPECT_EQ(profile.rxChannels[1].lnaConfig, second);
    EXPECT_EQ(profile.rxChannels[4].lnaConfig, marlin_RxLnaConfig_t{});
    EXPECT_FALSE(profile.clocks.rxPortImpedanceControl(1));
    EXPECT_TRUE(profile.clocks.rxPortImpedanceControl(2));
}

TEST(FeatureProfileUpdate, FrequencyHoppingAndMultiChipSync)
{
    MarlinBlueprint blueprint = Example("lte-20mhz-2t2r-tdd");
    blueprint.diversity = true;
    auto mcs = std::make_shared<McsFeature>();
    mcs->mode = 2;
    mcs->interfaceType = 1;
    mcs->minOperatingFrequency_kHz = 1000;  // below every divider step: 2^8
    ASSERT_EQ(blueprint.Feature_Enable(mcs), 0);
    {
        // Without hopping or retuning the PLLs never need a phase-sync wait.
        Profile profile;
        ASSERT_EQ(Develop(profile, blueprint), 0);
        EXPECT_EQ(profile.deviceSystem.mcsMode, 2);
        EXPECT_EQ(profile.deviceSystem.mcsInterfaceType, 1);
        EXPECT_EQ(profile.deviceSystem.fhModeOn, 0);
        EXPECT_EQ(profile.pllPhaseSyncWait_us, 0u);
    }
    const Profile profile = DevelopWith(blueprint, std::make_shared<FrequencyHoppingFeature>());
    EXPECT_EQ(profile.deviceSystem.fhModeOn, 1);
    // Hopping is updated before MCS, which then waits for a 38.4 MHz clock and D = 256.
    EXPECT_EQ(profile.deviceSystem.pllPhaseSyncWait_us, 48851u);
    EXPECT_EQ(profile.pllPhaseSyncWait_us, 48851u);
}

TEST(FeatureProfileUpdate, MonitorModeSyncFeedsTheInputFifo)
{
    auto feature = std::make_shared<MonitorModeSyncFeature>();
    feature->monitorModeSyncOverSamplingRatio = MonitorModeSyncOverSamplingRatio::OSR_4;
    const Profile profile = DevelopWith(Example("dmr-12p5khz-48ksps"), feature);
    EXPECT_EQ(profile.rxChannels[0].rxInterfaceSampleRate_Hz, 192000u);
    EXPECT_EQ(profile.marlinBlueprint.rxChannel1.ssiInterfaceRate_Hz(), 192000u);
    for (const RxChannel& channel : profile.rxChannels) {
        EXPECT_TRUE(channel.rxSsiConfig.rxMaskStrobeEn);
        EXPECT_EQ(channel.rxDpProfile.rxNbDem.dpInFifo.dpInFifoEn, 1);
        EXPECT_EQ(channel.rxDpProfile.rxNbDem.dpInFifo.dpInFifoMode, 1);
        EXPECT_EQ(channel.rxDpProfile.rxNbDem.dpInFifo.dpInFifoTestDataSel, 0);
    }
}

TEST(FeatureProfileUpdate, FailingBlueprintUpdateFailsTheDesign)
{
    // Hopping refuses an external LO; the designer's final update reports it again.
    MarlinBlueprint blueprint = Example("lte-10mhz-external-lo");
    blueprint.Feature_Enable(std::make_shared<FrequencyHoppingFeature>());
    Profile profile;
    const marlin_Init_t before = profile.ToInit();
    EXPECT_NE(Develop(profile, blueprint), 0);
    EXPECT_EQ(profile.ToInit(), before);
}
