// The blueprint handle: children as the authoritative copies, copy by value,
// feature enabling by ID and the number checks.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/MarlinBlueprint.h"
#include "support/Files.h"
#include "support/Throws.h"

namespace {

using namespace Veltrix::Marlin;

TEST(BlueprintHandle, ChildEditsReachSaveAndCopiesNeverShareTheEngineObject)
{
    PloverTest::TempFolder folder;
    MarlinBlueprint blueprint;
    blueprint.duplex(Duplex::FDD);
    blueprint.rxChannel2().samplingRate_Hz(1920000);
    blueprint.txChannel1().peakLoopbackPower_dBm(-7);
    blueprint.loExternal2().loDivisor(6);
    MarlinBlueprint copy(blueprint);
    copy.duplex(Duplex::TDD);
    copy.rxChannel2().samplingRate_Hz(960000);
    EXPECT_NE(copy.GetInstance(), blueprint.GetInstance());
    blueprint.Save(folder.File("bp.json"));

    Native::MarlinBlueprint saved;
    saved.Load(folder.File("bp.json"));
    EXPECT_EQ(saved.duplex, Native::Duplex::FDD);
    EXPECT_EQ(saved.rxChannel2.samplingRate_Hz(), 1920000u);
    EXPECT_EQ(saved.txChannel1.peakLoopbackPower_dBm, -7);
    EXPECT_EQ(saved.loExternal2.loDivisor, 6);

    // From an engine blueprint: the children come from it, not from defaults.
    saved.txChannel2.enabled = true;
    MarlinBlueprint wrapped(&saved);
    EXPECT_TRUE(wrapped.txChannel2().enabled());
    EXPECT_TRUE(wrapped.ToNative().txChannel2.enabled);
}

TEST(BlueprintHandle, DisposedHandlesAreReportedWhenUsed)
{
    RxChannelBlueprint channel;
    channel.Dispose();
    channel.Dispose();
    EXPECT_EQ(channel.GetInstance(), nullptr);
    EXPECT_THROW(channel.enabled(), std::logic_error);

    MarlinBlueprint blueprint;
    blueprint.txChannel2().Dispose();
    EXPECT_THROW(blueprint.ToNative(), std::logic_error);
    EXPECT_THROW(blueprint.isDesigned(), std::logic_error);
}

TEST(BlueprintHandle, BadLoAndChannelNumbersThrowTheirMessages)
{
    MarlinBlueprint blueprint;
    const auto error = [](auto&& call) { return PloverTest::ThrownText<std::invalid_argument>(call); };
    for (const std::int32_t n : {0, 3, -1, 255}) {
        EXPECT_EQ(error([&] { blueprint.LoExternals_Get(n); }) + error([&] { blueprint.LoExternals_Set({}, n); }),
                  "LO number not recognized.LO number not recognized.") << n;
        EXPECT_EQ(error([&] { blueprint.RxChannels_Get(n); }) + error([&] { blueprint.RxChannels_Set({}, n); }) +
                      error([&] { blueprint.TxChannels_Get(n); }) + error([&] { blueprint.TxChannels_Set({}, n); }),
                  "Channel number not recognized.Channel number not recognized.Channel number not recognized."
                  "Channel number not recognized.") << n;
    }
    // Numbers 1 and 2 select the matching child, by copy.
    RxChannelBlueprint edited;
    edited.samplingRate_Hz(123456);
    blueprint.RxChannels_Set(edited, 2);
    edited.samplingRate_Hz(1);
    EXPECT_EQ(blueprint.rxChannel2().samplingRate_Hz(), 123456u);
    EXPECT_EQ(&blueprint.RxChannels_Get(2), &blueprint.rxChannel2());
}

class UnknownFeature : public Feature {
public:
    std::string ID() const override { return "Turbo"; }
    std::shared_ptr<Native::Feature> SharedCopy() const override
    {
        ADD_FAILURE() << "an unknown feature must not be copied";
        return nullptr;
    }
};

// An enabled feature is a copy of the handle; an unknown ID returns 255 and changes nothing.
TEST(BlueprintHandle, FeaturesAreEnabledAsCopiesAndUnknownOnesChangeNothing)
{
    MarlinBlueprint blueprint;
    DynamicProfileFeature feature(4);
    ASSERT_EQ(blueprint.Feature_Enable(feature), 0);
    feature.numDynamicProfiles(2);
    blueprint.rxChannel1().samplingRate_Hz(777000);  // not yet copied in
    const std::string before = blueprint.GetInstance()->SaveToString();

    EXPECT_EQ(blueprint.Feature_Enable(UnknownFeature()), 255);
    const auto features = blueprint.GetInstance()->features();
    ASSERT_EQ(features.size(), 1u);
    const auto stored = std::dynamic_pointer_cast<Native::DynamicProfileFeature>(features[0]);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->numDynamicProfiles, 4);
    EXPECT_EQ(blueprint.GetInstance()->SaveToString(), before);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 777000u);
}

TEST(BlueprintHandle, MonitorModeSyncSeesChildEditsAndHandsItsChangesBack)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1().samplingRate_Hz(24000);
    blueprint.rxChannel2().samplingRate_Hz(48000);
    ASSERT_EQ(blueprint.Feature_Enable(MonitorModeSyncFeature(MonitorModeSyncOverSamplingRatio::OSR_8)), 0);
    EXPECT_EQ(blueprint.rxChannel1().ssiInterfaceRate_Hz(), 8u * 24000u);
    EXPECT_EQ(blueprint.rxChannel2().ssiInterfaceRate_Hz(), 8u * 48000u);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 24000u);
}

TEST(BlueprintHandle, LoadFromStringRebuildsChildrenKeepsFeaturesAndFailsWithoutChange)
{
    Native::MarlinBlueprint source;
    source.rxChannel1.enabled = true;
    source.rxChannel1.samplingRate_Hz(3840000);
    source.duplex = Native::Duplex::FDD;

    MarlinBlueprint blueprint;
    ASSERT_EQ(blueprint.Feature_Enable(FrequencyHoppingFeature()), 0);
    blueprint.rxChannel1().samplingRate_Hz(1);
    blueprint.LoadFromString(source.SaveToString());
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 3840000u);
    EXPECT_TRUE(blueprint.rxChannel1().enabled());
    EXPECT_EQ(blueprint.duplex(), Duplex::FDD);
    EXPECT_EQ(blueprint.GetInstance()->features().size(), 1u);

    EXPECT_ANY_THROW(blueprint.LoadFromString("{\"duplex\": \"FDD\"}"));
    EXPECT_EQ(blueprint.duplex(), Duplex::FDD);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 3840000u);
}

}  // namespace
