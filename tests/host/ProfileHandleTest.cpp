// The profile handle on a developed example: development through the
// blueprint's children, file methods, responses and stream operations.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/ProfileArchitect.h"
#include "support/Files.h"

using PloverTest::TempFolder;

namespace {

using namespace Veltrix::Marlin;

const std::string kExample = std::string(PLOVER_SOURCE_DIR) + "/examples/lte-20mhz-2t2r-tdd.json";
const std::string kTopLevel = std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level";

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProfileHandle : public ::testing::Test {
protected:
    void SetUp() override
    {
        blueprint.Load(kExample);
        DesignSummary summary;
        ASSERT_EQ(ProfileArchitect::Profile_Develop(profile, summary, blueprint), 0);
    }
    MarlinBlueprint blueprint;
    Profile profile;
};

TEST_F(ProfileHandle, DevelopsWhatTheChildrenSay)
{
    EXPECT_EQ(profile.systemClockFrequency_Hz(), 184320000u);
    EXPECT_EQ(profile.RxChannels_Get(1).GetManaged().rxOutputRate_Hz, 30720000u);

    blueprint.rxChannel2().enabled(false);
    blueprint.txChannel2().enabled(false);
    Profile single;
    DesignSummary summary;
    ASSERT_EQ(ProfileArchitect::Profile_Develop(single, summary, blueprint, true), 0);
    EXPECT_FALSE(single.GetInstance()->rxChannels[1].inUse);
    EXPECT_FALSE(single.marlinBlueprint().rxChannel2().enabled());
}

TEST_F(ProfileHandle, SaveMethodsWriteTheInitRecord)
{
    TempFolder folder;
    ASSERT_EQ(profile.Save(folder.File("native.json")), 0);
    ASSERT_EQ(profile.Save(folder.File("net.json"), ProfileSaveMethod::JSON_NET), 0);
    const auto native = nlohmann::json::parse(Slurp(folder.File("native.json")));
    const auto net = nlohmann::json::parse(Slurp(folder.File("net.json")));
    EXPECT_EQ(native, net);
    EXPECT_EQ(profile.init(), profile.GetInstance()->ToInit());

    Profile loaded;
    loaded.Load(folder.File("native.json"));
    EXPECT_EQ(loaded.ToInit(), profile.ToInit());

    EXPECT_EQ(profile.Save(folder.File("no/such/folder/p.json")), -1);
}

std::vector<std::string> KeysOf(const nlohmann::ordered_json& object)
{
    std::vector<std::string> keys;
    for (const auto& item : object.items()) {
        keys.push_back(item.key());
    }
    return keys;
}

TEST_F(ProfileHandle, NetFormKeepsTheRecordDeclarationOrder)
{
    TempFolder folder;
    ASSERT_EQ(profile.Save(folder.File("native.json")), 0);
    ASSERT_EQ(profile.Save(folder.File("net.json"), ProfileSaveMethod::JSON_NET), 0);
    const std::string netText = Slurp(folder.File("net.json"));
    const auto net = nlohmann::ordered_json::parse(netText);

    EXPECT_EQ(KeysOf(net), (std::vector<std::string>{"clocks", "rx", "tx", "sysConfig", "pfirBuffer"}));
    const auto clockKeys = KeysOf(net.at("clocks"));
    ASSERT_GE(clockKeys.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(clockKeys.begin(), clockKeys.begin() + 4),
              (std::vector<std::string>{"deviceClock_kHz", "clkPllVcoFreq_daHz", "clkPllHsDiv", "clkPllMode"}));
    const auto sysKeys = KeysOf(net.at("sysConfig"));
    ASSERT_FALSE(sysKeys.empty());
    EXPECT_EQ(sysKeys.front(), "duplexMode");
    EXPECT_EQ(sysKeys.back(), "warmBootEnable");

    // Same content as the native file, only the key order differs.
    const std::string nativeText = Slurp(folder.File("native.json"));
    EXPECT_NE(netText, nativeText);
    EXPECT_EQ(nlohmann::json::parse(netText), nlohmann::json::parse(nativeText));
    // Both files share the two-space layout.
    EXPECT_EQ(net.dump(2) + "\n", netText);
    EXPECT_EQ(nlohmann::json::parse(netText).dump(2), nativeText);
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
    EXPECT_THROW(profile.RxChannels_Get(3), std::invalid_argument);
}

TEST_F(ProfileHandle, StreamImageOverloadsAgree)
{
    const auto implicitC0 = profile.StreamImage_Get(kTopLevel);
    const auto explicitC0 = profile.StreamImage_Get(kTopLevel, "c0");
    ASSERT_FALSE(implicitC0.empty());
    EXPECT_EQ(implicitC0, explicitC0);

    TempFolder folder;
    ASSERT_EQ(profile.StreamImage_Save(folder.File("image.bin"), kTopLevel), 0);
    const std::string saved = Slurp(folder.File("image.bin"));
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), implicitC0);
}

TEST_F(ProfileHandle, StreamSettingsFollowTheProfile)
{
    StreamSettings settings;
    profile.StreamSettings_Get(settings);
    const StreamSettingsRecord record = settings.GetManaged();
    EXPECT_TRUE(record.rx1IntLo);
    EXPECT_TRUE(record.tx2IntLo);
    EXPECT_FALSE(record.tx1FMDM);
    EXPECT_EQ(record.ldoPowerUpWait, 0x8000 | 200);
    // 1 us at the profile's processor clock, rounded to whole cycles.
    EXPECT_EQ(record.delay_1us, profile.NanoSecondsToStreamDelay(1000));
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(20000), 0x8000 | 20);
}

}  // namespace
