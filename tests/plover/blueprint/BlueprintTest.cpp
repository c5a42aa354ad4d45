#include <gtest/gtest.h>

#include <memory>

#include "plover/blueprint/Blueprint.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;

TEST(Blueprint, ChannelIndexBeyondTheSecondThrows)
{
    const MarlinBlueprint b;
    EXPECT_NO_THROW((void)b.txChannel(1));
    EXPECT_THROW((void)b.rxChannel(2), std::out_of_range);
}

// The ADC rate sets both receivers' SINC and HB selections and the loopback
// rate of both transmitters (each rate's SINC factor is DataPathTest's), when
// set and again when a blueprint is copied.
TEST(Blueprint, AdcRateSetsReceiveSelectionsAndLoopbackRate)
{
    const auto expectCoupled = [](const MarlinBlueprint& b) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(b.rxChannel(i).dataPath.stages[19], 3);
            EXPECT_EQ(b.rxChannel(i).dataPath.stages[20], 1);
            EXPECT_EQ(b.txChannel(i).loopBackAdcRate, AdcRate::LOW);
        }
    };
    MarlinBlueprint a;
    a.rxChannel2.dataPath.stages[20] = 2;
    a.adcRate(AdcRate::LOW);
    expectCoupled(a);
    a.rxChannel1.dataPath.stages[19] = 6;  // out of step with the ADC rate
    a.txChannel1.loopBackAdcRate = AdcRate::HIGH;
    MarlinBlueprint assigned;
    assigned = a;
    expectCoupled(assigned);
    expectCoupled(MarlinBlueprint(a));
}

TEST(Blueprint, CopiesShareFeaturesAndOverrideButNotChannels)
{
    MarlinBlueprint a;
    a.rxChannel1.enabled = true;
    a.rxChannel1.samplingRate_Hz(1920000);
    a.txChannel2.dataPath.stages[5] = 2;
    a.expandedSearchEnable = true;
    auto feature = std::make_shared<TestFeature>("T");
    ASSERT_EQ(a.Feature_Enable(feature), 0);
    a.LoMapping_Overwrite(LoMapping{});

    MarlinBlueprint b(a);
    EXPECT_EQ(b.SaveToString(), a.SaveToString());
    EXPECT_EQ(b.rxChannel1.ssiInterfaceRate_Hz(), 1920000u);
    EXPECT_TRUE(b.expandedSearchEnable);
    ASSERT_EQ(b.features().size(), 1u);
    EXPECT_EQ(b.features()[0].get(), feature.get());
    EXPECT_EQ(b.loMappingOverride.get(), a.loMappingOverride.get());
    EXPECT_TRUE(b.loMappingOverridden);
    b.rxChannel1.enabled = false;
    EXPECT_TRUE(a.rxChannel1.enabled);
}

// Features are keyed by ID; enabling one runs every update in ID order, a
// failing one is kept and stops the updates after it.
TEST(Blueprint, FeaturesAreKeyedByIdAndUpdatedInIdOrder)
{
    std::vector<std::string> log;
    MarlinBlueprint b;
    EXPECT_EQ(b.Feature_Enable(std::make_shared<TestFeature>("MMSync", &log)), 0);
    EXPECT_EQ(b.Feature_Enable(std::make_shared<TestFeature>("FH", &log)), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"MMSync", "FH", "MMSync"}));
    auto replacement = std::make_shared<TestFeature>("FH", &log);
    b.Feature_Enable(replacement);
    ASSERT_EQ(b.features().size(), 2u);
    EXPECT_EQ(b.features()[0].get(), replacement.get());
    b.Feature_Disable("absent");
    b.Feature_Disable("MMSync");
    EXPECT_EQ(b.features().size(), 1u);
    b.Features_Clear();
    EXPECT_TRUE(b.features().empty());

    b.Feature_Enable(std::make_shared<TestFeature>("C", &log));
    auto failing = std::make_shared<TestFeature>("B", &log, -1);
    EXPECT_EQ(b.Feature_Enable(failing), 255);
    EXPECT_EQ(b.features().size(), 2u);
    log.clear();
    b.Feature_Enable(std::make_shared<TestFeature>("A", &log));
    EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(b.Update(), -1);
    failing->status(0);
    EXPECT_EQ(b.Update(), 0);
}

TEST(Blueprint, DesignedWhenEveryEnabledChannelIsDesigned)
{
    MarlinBlueprint b;
    EXPECT_TRUE(b.isDesigned());
    b.txChannel2.enabled = true;
    EXPECT_FALSE(b.isDesigned());
    b.txChannel2.dataPath.stages[2] = 1;
    EXPECT_TRUE(b.isDesigned());
    b.rxChannel1.enabled = true;
    EXPECT_FALSE(b.isDesigned());
    b.rxChannel1.dataPath.stages[2] = 3;
    b.rxChannel2.dataPath.stages[2] = 0;  // disabled channels are not asked
    EXPECT_TRUE(b.isDesigned());
}
