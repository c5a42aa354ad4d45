// The profile handle on a developed example: development through the
// blueprint's children, file methods, responses and stream operations.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "host/ProfileArchitect.h"
#include "support/Files.h"

namespace {

using namespace Veltrix::Marlin;

const std::string kTopLevel = PloverTest::SourcePath("resources/asm/marlin/top_level");

class ProfileHandle : public ::testing::Test {
protected:
    void SetUp() override
    {
        blueprint.Load(PloverTest::ExamplePath("lte-20mhz-2t2r-tdd"));
        DesignSummary summary;
        ASSERT_EQ(ProfileArchitect::Profile_Develop(profile, summary, blueprint), 0);
    }
    MarlinBlueprint blueprint;
    Profile profile;
    PloverTest::TempFolder folder;
};

TEST_F(ProfileHandle, DevelopsWhatTheChildrenSay)
{
    EXPECT_EQ(profile.systemClockFrequency_Hz(), 184320000u);
    EXPECT_EQ(profile.RxChannels_Get(1).GetManaged().rxOutputRate_Hz, 30720000u);
    EXPECT_THROW(profile.RxChannels_Get(3), std::invalid_argument);

    blueprint.rxChannel2().enabled(false);
    Profile single;
    DesignSummary summary;
    ASSERT_EQ(ProfileArchitect::Profile_Develop(single, summary, blueprint, true), 0);
    EXPECT_FALSE(single.GetInstance()->rxChannels[1].inUse);
    EXPECT_FALSE(single.marlinBlueprint().rxChannel2().enabled());
}

// Both save methods write the init record with a two-space layout; the .NET
// form keeps the record's declaration order, the native one sorts the keys.
TEST_F(ProfileHandle, SaveMethodsWriteTheInitRecord)
{
    ASSERT_EQ(profile.Save(folder.File("native.json")), 0);
    ASSERT_EQ(profile.Save(folder.File("net.json"), ProfileSaveMethod::JSON_NET), 0);
    EXPECT_EQ(profile.Save(folder.File("no/such/folder/p.json")), -1);
    const std::string netText = PloverTest::ReadText(folder.File("net.json"));
    const std::string nativeText = PloverTest::ReadText(folder.File("native.json"));
    const auto net = nlohmann::ordered_json::parse(netText);
    std::vector<std::string> keys;
    for (const auto& item : net.items()) keys.push_back(item.key());
    for (const auto& item : net.at("clocks").items()) keys.push_back(item.key());
    keys.resize(9);
    EXPECT_EQ(keys, (std::vector<std::string>{"clocks", "rx", "tx", "sysConfig", "pfirBuffer", "deviceClock_kHz",
                                              "clkPllVcoFreq_daHz", "clkPllHsDiv", "clkPllMode"}));
    EXPECT_EQ(std::prev(net.at("sysConfig").end()).key(), "warmBootEnable");
    EXPECT_EQ(net.dump(2) + "\n", netText);
    EXPECT_EQ(nlohmann::json::parse(netText).dump(2), nativeText);
    EXPECT_EQ(profile.init(), profile.GetInstance()->ToInit());

    Profile loaded;
    loaded.Load(folder.File("native.json"));
    EXPECT_EQ(loaded.ToInit(), profile.ToInit());
}

TEST_F(ProfileHandle, ResponseIsReplacedOnlyOnSuccess)
{
    std::vector<double> magnitudes{42.0};
    double f0 = -1.0;
    double df = -1.0;
    ASSERT_EQ(profile.FrequencyResponse_Get(magnitudes, f0, df, PortRx, 1), 0);
    EXPECT_GT(magnitudes.size(), 1000u);
    EXPECT_GT(df, 0.0);
    EXPECT_NEAR(magnitudes[0], 0.0, 0.1);

    profile.GetInstance()->txChannels[1].inUse = false;
    std::vector<double> untouched{42.0};
    EXPECT_NE(profile.FrequencyResponse_Get(untouched, f0, df, PortTx, 2), 0);
    EXPECT_EQ(untouched, std::vector<double>{42.0});
}

TEST_F(ProfileHandle, StreamImageOverloadsAndDelaysAgree)
{
    const auto image = profile.StreamImage_Get(kTopLevel);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image, profile.StreamImage_Get(kTopLevel, "c0"));
    ASSERT_EQ(profile.StreamImage_Save(folder.File("image.bin"), kTopLevel), 0);
    const std::string saved = PloverTest::ReadText(folder.File("image.bin"));
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), image);

    // 1 us at the profile's processor clock, rounded to whole cycles; 20 us in whole microseconds.
    StreamSettings settings;
    profile.StreamSettings_Get(settings);
    const StreamSettingsRecord record = settings.GetManaged();
    EXPECT_EQ((std::vector<long>{record.rx1IntLo, record.tx2IntLo, record.tx1FMDM, record.ldoPowerUpWait, record.delay_1us}),
              (std::vector<long>{1, 1, 0, 0x8000 | 200, profile.NanoSecondsToStreamDelay(1000)}));
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(20000), 0x8000 | 20);
}

}  // namespace
