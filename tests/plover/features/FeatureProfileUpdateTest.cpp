// What each feature's profile update leaves in a developed profile, seen in
// the whole saved profile: an example developed with the features below must
// save to tests/data/features/NAME.profile.json (see the README there). After
// an intended change:
//     PLOVER_REGENERATE_GOLDEN=1 build/tests/tests_plover --gtest_filter='FeatureProfileUpdate*'

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "support/Examples.h"
#include "support/Json.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(FeatureProfileUpdate, DevelopedProfilesMatchTheirGoldenFiles)
{
    auto dynamic = std::make_shared<DynamicProfileFeature>();
    dynamic->numDynamicProfiles = 5;
    marlin_RxLnaConfig_t first{};
    first.externalLnaPresent = true;
    first.lnaGainSteps_mdB = {1000, 2000, 3000, 4000};
    marlin_RxLnaConfig_t second{};
    second.settlingDelay = 7;
    auto impedance = std::make_shared<RxPortImpedanceControlFeature>();
    impedance->rxPortImpedanceControl(2, true);
    auto mcs = std::make_shared<McsFeature>();
    mcs->mode = 2;
    mcs->interfaceType = 1;
    mcs->minOperatingFrequency_kHz = 1000;  // below every divider step: 2^8
    auto sync = std::make_shared<MonitorModeSyncFeature>();
    struct Case {
        const char* name;
        const char* example;
        std::vector<std::shared_ptr<Feature>> features;
    };
    // Without hopping the PLLs need no phase-sync wait; with it, MCS (updated
    // after hopping) waits for a 38.4 MHz clock and D = 256.
    const Case cases[] = {
        {"lte20-dynamic-profiles-lna-impedance", "lte-20mhz-2t2r-tdd",
         {dynamic, std::make_shared<ExternalLnaFeature>(std::array{first, second}), impedance}},
        {"lte20-diversity-mcs", "lte-20mhz-2t2r-tdd", {mcs}},
        {"lte20-diversity-mcs-hopping", "lte-20mhz-2t2r-tdd", {mcs, std::make_shared<FrequencyHoppingFeature>()}},
        {"dmr48k-monitor-mode-sync", "dmr-12p5khz-48ksps", {sync}},
    };
    const bool regenerating = std::getenv("PLOVER_REGENERATE_GOLDEN") != nullptr;
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint blueprint = Example(c.example);
        blueprint.diversity = std::string(c.name).find("diversity") != std::string::npos;
        for (const auto& feature : c.features) EXPECT_EQ(blueprint.Feature_Enable(feature), 0);
        Profile profile;
        ASSERT_EQ(Develop(profile, blueprint), 0);
        ASSERT_EQ(profile.Save(folder.File("saved.json")), 0);
        const std::string golden = SourcePath("tests/data/features/" + std::string(c.name) + ".profile.json");
        if (regenerating) WriteText(golden, ReadText(folder.File("saved.json")));
        EXPECT_EQ(FirstDifference(ReadText(golden), ReadText(folder.File("saved.json"))), "") << "golden vs now";
        if (c.features.back() == impedance) {  // not in the saved profile
            EXPECT_FALSE(profile.clocks.rxPortImpedanceControl(1));
            EXPECT_TRUE(profile.clocks.rxPortImpedanceControl(2));
        }
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
