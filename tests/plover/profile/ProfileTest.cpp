#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "support/Reports.h"
#include "support/Throws.h"
#include "support/Json.h"
#include "support/Files.h"
#include "plover/profile/Profile.h"
#include "plover/records/ProfileRecordsJson.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
namespace fs = std::filesystem;

namespace {

class ProfileFile : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }

    TempFolder folder_;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A profile with something in every section, including negative offsets,
// an unused channel with stray values and coefficients beyond numCoeff.
Profile DesignedProfile()
{
    Profile profile;
    RxChannel rx(1'920'000, 1'008'000, 1, 30'000, AnalogFilterOrder::ORDER_2, 0);
    rx.IntermediateFrequency_Set(true, -1'999);
    rx.ChannelType_Set(ChannelType::RX1);
    RxPath path;
    path.stages = {6, 2, 1, 2, 2, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, 6, 2, 3, 5, 1};
    rx.Adc_Configure(184'320'000, AdcRate::HIGH, 2, path);
    profile.rxChannels[0] = rx;
    profile.rxInitChannelMask = 1;
    profile.rxChannels[5].rxDpProfile.rxSincHBTop.gainComp9GainQ[5] = -3;

    TxChannel tx(1'920'000, 1'008'000);
    tx.txOffsetLo_kHz = -250;
    tx.Loopback_Set(ElbType::BEFORE_PA, -20);
    tx.ChannelNumber_Set(2);
    profile.txChannels[1] = tx;
    profile.txInitChannelMask = 8;

    profile.deviceSystem.pllModulus.dmModulus[1] = 7;
    profile.pfir.pfirRxMagCompNb[1].numCoeff = 2;
    profile.pfir.pfirRxMagCompNb[1].coefficients[12] = -42;
    profile.pfir.pfirTxWbNbPulShpCoeff_D.coefficients[127] = 1 << 23;
    profile.clocks.clkPllVcoFreq_daHz = 884'736'000;
    return profile;
}

}  // namespace

TEST(Pfir, DefaultPassesReceiveChannelsThroughUnity)
{
    const Pfir pfir;
    for (const marlin_PfirWbNbBuffer_t* bank : {&pfir.pfirRxWbNbChFilterCoeff_A, &pfir.pfirRxWbNbChFilterCoeff_B,
                                                &pfir.pfirRxWbNbChFilterCoeff_C, &pfir.pfirRxWbNbChFilterCoeff_D}) {
        EXPECT_EQ(bank->numCoeff, 128);
        EXPECT_EQ(bank->symmetricSel, 0);
        EXPECT_EQ(bank->tapsSel, 3);
        EXPECT_EQ(bank->gainSel, 2);
        for (std::size_t i = 0; i < 128; ++i) {
            ASSERT_EQ(bank->coefficients[i], i == 63 ? 8'388'608 : 0) << i;
        }
    }
    // Everything else is zero, numCoeff included.
    marlin_PfirBuffer_t rest = pfir;
    rest.pfirRxWbNbChFilterCoeff_A = rest.pfirRxWbNbChFilterCoeff_B = {};
    rest.pfirRxWbNbChFilterCoeff_C = rest.pfirRxWbNbChFilterCoeff_D = {};
    const nlohmann::json zero = marlin_PfirBuffer_t{};
    EXPECT_EQ(nlohmann::json(rest), zero);
}

TEST(Profile, ToInitCopiesEverySection)
{
    const Profile profile = DesignedProfile();
    const marlin_Init_t init = profile.ToInit();
    EXPECT_EQ(init.clocks.clkPllVcoFreq_daHz, 884'736'000u);
    EXPECT_EQ(init.rx.rxInitChannelMask, 1u);
    EXPECT_EQ(init.rx.rxChannelCfg[0].profile.rxOffsetLo_kHz, -1);
    EXPECT_EQ(init.rx.rxChannelCfg[0].profile.channelType, 1u);
    EXPECT_EQ(init.rx.rxChannelCfg[5].profile.rxDpProfile.rxSincHBTop.gainComp9GainQ[5], -3);
    EXPECT_EQ(init.tx.txInitChannelMask, 8u);
    EXPECT_EQ(init.tx.txProfile[1].txOffsetLo_kHz, -250);
    EXPECT_EQ(init.tx.txProfile[1].txPeakLoopBackPower, -200);
    EXPECT_EQ(init.sysConfig.pllModulus.dmModulus[1], 7u);
    EXPECT_EQ(init.pfirBuffer.pfirRxMagCompNb[1].coefficients[12], -42);
}

TEST_F(ProfileFile, SaveLoadSaveIsByteIdentical)
{
    const Profile original = DesignedProfile();
    ASSERT_EQ(original.Save(Path("a.json")), 0);
    const std::string first = ReadText(Path("a.json"));
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first.back(), '\n');
    EXPECT_EQ(first.substr(0, 14), "{\n  \"clocks\": ");

    Profile loaded;
    loaded.Load(Path("a.json"));
    EXPECT_EQ(nlohmann::json(loaded.ToInit()), nlohmann::json(original.ToInit()));
    ASSERT_EQ(loaded.Save(Path("b.json")), 0);
    EXPECT_EQ(ReadText(Path("b.json")), first);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 2);  // no temporaries left

    // Every slot is rebuilt from its record; the working values start afresh.
    EXPECT_EQ(loaded.rxChannels[0].rxOffsetLo_kHz, -1);
    EXPECT_FALSE(loaded.rxChannels[0].inUse);
    EXPECT_EQ(loaded.rxChannels[0].decimation, 0u);
    EXPECT_EQ(loaded.txChannels[1].txOffsetLo_kHz, -250);
    EXPECT_EQ(loaded.rxChannels.size(), 8u);
    EXPECT_EQ(loaded.txChannels.size(), 2u);
}

TEST_F(ProfileFile, KeysAreSortedInEveryObject)
{
    ASSERT_EQ(DesignedProfile().Save(Path("p.json")), 0);
    const std::string text = ReadText(Path("p.json"));
    // Parsing into an order-preserving JSON keeps the file's own key order.
    EXPECT_TRUE(KeysSortedEverywhere(nlohmann::ordered_json::parse(text)));
    EXPECT_LT(text.find("\"armClkDiv\""), text.find("\"armPowerSavingClkDiv\""));
    EXPECT_LT(text.find("\"armPowerSavingClkDiv\""), text.find("\"auxPllPower\""));
    EXPECT_LT(text.find("\"auxPllPower\""), text.find("\"clk1105Div\""));
}

TEST_F(ProfileFile, LoadKeepsTheBlueprintAndClockFigures)
{
    ASSERT_EQ(DesignedProfile().Save(Path("p.json")), 0);
    Profile profile;
    profile.marlinBlueprint.deviceClockInput_kHz = 122'880;
    profile.systemClockFrequency_Hz = 184'320'000;
    profile.processorClockFrequency_Hz = 92'160'000;
    profile.pllLockWait_us = 77;
    profile.pllPhaseSyncWait_us = 410;
    profile.clocks.pllCalibration = 1;
    profile.Load(Path("p.json"));
    EXPECT_EQ(profile.marlinBlueprint.deviceClockInput_kHz, 122'880u);
    EXPECT_EQ(profile.systemClockFrequency_Hz, 184'320'000u);
    EXPECT_EQ(profile.processorClockFrequency_Hz, 92'160'000u);
    EXPECT_EQ(profile.pllLockWait_us, 77);
    EXPECT_EQ(profile.pllPhaseSyncWait_us, 410);
    EXPECT_EQ(profile.clocks.pllCalibration, 1);
    EXPECT_EQ(profile.clocks.clkPllVcoFreq_daHz, 884'736'000u);
    EXPECT_EQ(profile.deviceSystem.pllModulus.dmModulus[1], 7u);
}

TEST_F(ProfileFile, MissingFileThrowsFileNotFound)
{
    Profile profile;
    const std::size_t recorded = ErrorHandler::errors().size();
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { profile.Load(Path("absent.json")); }),
              "In ..\\..\\..\\src\\plover\\Profile on line 603: Error: File not found.");
    EXPECT_EQ(ErrorHandler::errors().size(), recorded + 1);
    EXPECT_THROW(profile.Load(folder_.path().string()), std::runtime_error);  // a folder is no file
}

TEST_F(ProfileFile, MalformedFilesThrowAndChangeNothing)
{
    ASSERT_EQ(DesignedProfile().Save(Path("good.json")), 0);
    const nlohmann::json good = nlohmann::json::parse(ReadText(Path("good.json")));

    struct Case {
        const char* name;
        std::string text;
        const char* fragment;  // of the JSON library's message
    };
    auto edited = [&](auto&& edit) {
        nlohmann::json copy = good;
        edit(copy);
        return copy.dump(2);
    };
    const Case cases[] = {
        {"truncated", ReadText(Path("good.json")).substr(0, 400), "parse error"},
        {"empty", "", "parse error"},
        {"not json", "clocks = 1", "parse error"},
        {"top level array", "[1, 2]", "type must be object"},
        {"string for a number", edited([](auto& j) { j["clocks"]["deviceClock_kHz"] = "38400"; }),
         "type must be number, but is string"},
        {"null for an enumeration", edited([](auto& j) { j["rx"]["rxChannelCfg"][3]["profile"]["adcType"] = nullptr; }),
         "type must be number, but is null"},
        {"number for a boolean", edited([](auto& j) { j["clocks"]["refClockOutEnable"] = 1; }),
         "type must be boolean, but is number"},
        {"short coefficient array",
         edited([](auto& j) { j["pfirBuffer"]["pfirRxWbNbChFilterCoeff_C"]["coefficients"].erase(127); }),
         "out of range"},
        {"short channel list", edited([](auto& j) { j["rx"]["rxChannelCfg"].erase(7); }), "out of range"},
        {"object for an array", edited([](auto& j) { j["sysConfig"]["pllModulus"]["modulus"] = nlohmann::json::object(); }),
         "cannot use at() with object"},
        {"record as a number", edited([](auto& j) { j["tx"]["txProfile"][1]["txDpProfile"] = 5; }),
         "type must be object"},
    };
    for (const Case& c : cases) {
        Profile profile = DesignedProfile();
        profile.rxChannels[2].rxOffsetLo_kHz = 123;
        const std::string before = nlohmann::json(profile.ToInit()).dump();
        WriteText(Path("bad.json"), c.text);
        try {
            profile.Load(Path("bad.json"));
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const nlohmann::json::exception& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(c.fragment)) << c.name;
        }
        EXPECT_EQ(nlohmann::json(profile.ToInit()).dump(), before) << c.name;
        EXPECT_EQ(profile.rxChannels[0].decimation, 16u) << c.name;  // working values untouched too
    }
}

TEST_F(ProfileFile, LenientReadsFollowTheFileRules)
{
    ASSERT_EQ(DesignedProfile().Save(Path("good.json")), 0);
    nlohmann::json j = nlohmann::json::parse(ReadText(Path("good.json")));
    j["clocks"].erase("deviceClock_kHz");
    j["rx"]["rxChannelCfg"][0]["profile"]["rxDpProfile"]["rxDecTop"]["decBy3Blk15En"] = true;
    j["rx"]["rxChannelCfg"][1]["profile"]["rxDpProfile"]["rxDecTop"]["decBy3Blk15En"] = 2.9;
    j["pfirBuffer"]["pfirRxWbNbChFilterCoeff_A"]["coefficients"].push_back(99);
    j["unknownKey"] = "ignored";
    WriteText(Path("lenient.json"), j.dump() + "\ntrailing text is not read");

    Profile profile;
    profile.Load(Path("lenient.json"));
    EXPECT_EQ(profile.clocks.deviceClock_kHz, 0u);  // absent key: the record starts from zero
    EXPECT_EQ(profile.rxChannels[0].rxDpProfile.rxDecTop.decBy3Blk15En, 1);
    EXPECT_EQ(profile.rxChannels[1].rxDpProfile.rxDecTop.decBy3Blk15En, 2);
    EXPECT_EQ(profile.pfir.pfirRxWbNbChFilterCoeff_A.coefficients[63], 8'388'608);
}

TEST_F(ProfileFile, UnwritableTargetReportsAndKeepsTheOldFile)
{
    const Profile profile = DesignedProfile();
    ASSERT_EQ(profile.Save(Path("keep.json")), 0);
    const std::string before = ReadText(Path("keep.json"));

    Profile other;
    std::int8_t status = 0;
    const auto folderTarget = ReportsOf([&] { status = other.Save(folder_.path().string()); });
    EXPECT_EQ(status, -1);
    ASSERT_EQ(folderTarget.size(), 1u);
    EXPECT_THAT(folderTarget[0], ::testing::StartsWith("ERROR: In ..\\..\\..\\src\\plover\\Profile on line 573: "));

    const auto missingFolder = ReportsOf([&] { status = other.Save(Path("no/such/folder/p.json")); });
    EXPECT_EQ(status, -1);
    EXPECT_EQ(missingFolder.size(), 1u);

    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(other.Save(Path("keep.json")), -1);
        fs::permissions(folder_.path(), fs::perms::owner_all);
    }
    EXPECT_EQ(ReadText(Path("keep.json")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}
