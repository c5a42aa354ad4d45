// The blueprint handle: children as the authoritative copies, copy by value,
// feature enabling by ID and the number checks.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/MarlinBlueprint.h"
#include "support/Files.h"

using PloverTest::TempFolder;

namespace {

using namespace Veltrix::Marlin;

TEST(BlueprintHandle, ChildEditsReachSaveWithoutAnyOtherCall)
{
    TempFolder folder;
    MarlinBlueprint blueprint;
    blueprint.rxChannel2().enabled(true);
    blueprint.rxChannel2().samplingRate_Hz(1920000);
    blueprint.txChannel1().peakLoopbackPower_dBm(-7);
    blueprint.loExternal2().loDivisor(6);
    blueprint.Save(folder.File("bp.json"));

    Native::MarlinBlueprint saved;
    saved.Load(folder.File("bp.json"));
    EXPECT_TRUE(saved.rxChannel2.enabled);
    EXPECT_EQ(saved.rxChannel2.samplingRate_Hz(), 1920000u);
    EXPECT_EQ(saved.txChannel1.peakLoopbackPower_dBm, -7);
    EXPECT_EQ(saved.loExternal2.loDivisor, 6);
}

TEST(BlueprintHandle, CopiesNeverShareTheEngineObject)
{
    MarlinBlueprint original;
    original.duplex(Duplex::FDD);
    original.rxChannel1().samplingRate_Hz(480000);

    MarlinBlueprint copy(original);
    copy.duplex(Duplex::TDD);
    copy.rxChannel1().samplingRate_Hz(960000);

    EXPECT_EQ(original.duplex(), Duplex::FDD);
    EXPECT_EQ(original.rxChannel1().samplingRate_Hz(), 480000u);
    EXPECT_NE(copy.GetInstance(), original.GetInstance());

    // From an engine blueprint: the children come from it, not from defaults.
    Native::MarlinBlueprint native;
    native.txChannel2.enabled = true;
    MarlinBlueprint wrapped(&native);
    EXPECT_TRUE(wrapped.txChannel2().enabled());
    EXPECT_TRUE(wrapped.ToNative().txChannel2.enabled);
}

TEST(BlueprintHandle, DisposeReleasesOnceAndLaterUseIsReported)
{
    RxChannelBlueprint channel;
    channel.Dispose();
    channel.Dispose();
    EXPECT_EQ(channel.GetInstance(), nullptr);
    EXPECT_THROW(channel.enabled(), std::logic_error);
}

TEST(BlueprintHandle, BadLoAndChannelNumbersThrowTheirMessages)
{
    MarlinBlueprint blueprint;
    const LoExternalBlueprint lo;
    const RxChannelBlueprint rx;
    const TxChannelBlueprint tx;
    for (const std::int32_t number : {0, 3, -1, 255}) {
        SCOPED_TRACE(number);
        const auto expectMessage = [](auto&& call, const std::string& message) {
            try {
                call();
                ADD_FAILURE() << "no exception";
            } catch (const std::invalid_argument& e) {
                EXPECT_EQ(e.what(), message);
            }
        };
        expectMessage([&] { blueprint.LoExternals_Get(number); }, "LO number not recognized.");
        expectMessage([&] { blueprint.LoExternals_Set(lo, number); }, "LO number not recognized.");
        expectMessage([&] { blueprint.RxChannels_Get(number); }, "Channel number not recognized.");
        expectMessage([&] { blueprint.RxChannels_Set(rx, number); }, "Channel number not recognized.");
        expectMessage([&] { blueprint.TxChannels_Get(number); }, "Channel number not recognized.");
        expectMessage([&] { blueprint.TxChannels_Set(tx, number); }, "Channel number not recognized.");
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

TEST(BlueprintHandle, UnknownFeatureIdReturns255AndChangesNothing)
{
    MarlinBlueprint blueprint;
    ASSERT_EQ(blueprint.Feature_Enable(DynamicProfileFeature(3)), 0);
    blueprint.rxChannel1().samplingRate_Hz(777000);  // not yet copied in
    const std::string before = blueprint.GetInstance()->SaveToString();

    EXPECT_EQ(blueprint.Feature_Enable(UnknownFeature()), 255);

    const auto features = blueprint.GetInstance()->features();
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0]->ID(), "DynamicProfile");
    EXPECT_EQ(blueprint.GetInstance()->SaveToString(), before);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 777000u);
}

TEST(BlueprintHandle, EnabledFeatureIsACopyOfTheHandle)
{
    MarlinBlueprint blueprint;
    DynamicProfileFeature feature(4);
    ASSERT_EQ(blueprint.Feature_Enable(feature), 0);
    feature.numDynamicProfiles(2);
    const auto stored = std::dynamic_pointer_cast<Native::DynamicProfileFeature>(blueprint.GetInstance()->features()[0]);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->numDynamicProfiles, 4);
}

TEST(BlueprintHandle, MonitorModeSyncSeesChildEditsAndHandsItsChangesBack)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1().samplingRate_Hz(24000);
    blueprint.rxChannel2().samplingRate_Hz(48000);
    ASSERT_EQ(blueprint.Feature_Enable(MonitorModeSyncFeature(MonitorModeSyncOverSamplingRatio::OSR_8)), 0);
    EXPECT_EQ(blueprint.rxChannel1().ssiInterfaceRate_Hz(), 8u * 24000u);
    EXPECT_EQ(blueprint.rxChannel2().ssiInterfaceRate_Hz(), 8u * 48000u);
    // The children kept the edits made before enabling.
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 24000u);
}

TEST(BlueprintHandle, LoadFromStringRebuildsChildrenAndKeepsFeatures)
{
    Native::MarlinBlueprint source;
    source.rxChannel1.enabled = true;
    source.rxChannel1.samplingRate_Hz(3840000);
    source.duplex = Native::Duplex::FDD;
    const std::string text = source.SaveToString();

    MarlinBlueprint blueprint;
    ASSERT_EQ(blueprint.Feature_Enable(FrequencyHoppingFeature()), 0);
    blueprint.rxChannel1().samplingRate_Hz(1);
    blueprint.LoadFromString(text);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 3840000u);
    EXPECT_TRUE(blueprint.rxChannel1().enabled());
    EXPECT_EQ(blueprint.duplex(), Duplex::FDD);
    EXPECT_EQ(blueprint.GetInstance()->features().size(), 1u);

    // Bad text: the handle stays as it was.
    EXPECT_ANY_THROW(blueprint.LoadFromString("{\"duplex\": \"FDD\"}"));
    EXPECT_EQ(blueprint.duplex(), Duplex::FDD);
    EXPECT_EQ(blueprint.rxChannel1().samplingRate_Hz(), 3840000u);
}

}  // namespace

namespace {

TEST(BlueprintHandle, DisposedChildIsReportedWhenCopiedIn)
{
    Veltrix::Marlin::MarlinBlueprint blueprint;
    blueprint.txChannel2().Dispose();
    EXPECT_THROW(blueprint.ToNative(), std::logic_error);
    EXPECT_THROW(blueprint.isDesigned(), std::logic_error);
}

}  // namespace
