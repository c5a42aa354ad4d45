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
    // Every slot is rebuilt from its record; the working values start afresh.
    EXPECT_EQ(loaded.rxChannels[0].rxOffsetLo_kHz, -1);
    EXPECT_FALSE(loaded.rxChannels[0].inUse);
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
    const std::vector<std::uint64_t> kept{profile.marlinBlueprint.deviceClockInput_kHz, profile.systemClockFrequency_Hz,
                                          profile.processorClockFrequency_Hz, std::uint64_t(profile.pllLockWait_us),
                                          std::uint64_t(profile.pllPhaseSyncWait_us), std::uint64_t(profile.clocks.pllCalibration),
                                          profile.clocks.clkPllVcoFreq_daHz};
    EXPECT_EQ(kept, (std::vector<std::uint64_t>{122'880, 184'320'000, 92'160'000, 77, 410, 1, 884'736'000}));
}

TEST_F(ProfileFile, MissingOrMalformedFilesThrowAndChangeNothing)
{
    ASSERT_EQ(DesignedProfile().Save(Path("good.json")), 0);
    nlohmann::json shortList = nlohmann::json::parse(ReadText(Path("good.json")));
    shortList["rx"]["rxChannelCfg"].erase(7);  // the other record faults are the records' tests
    const std::pair<std::string, const char*> cases[] = {
        {ReadText(Path("good.json")).substr(0, 400), "parse error"},
        {"", "parse error"},
        {shortList.dump(2), "out of range"},
    };
    Profile profile = DesignedProfile();
    profile.rxChannels[2].rxOffsetLo_kHz = 123;
    const std::string before = nlohmann::json(profile.ToInit()).dump();
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { profile.Load(Path("absent.json")); }), ReportLine("Profile", 603));
    EXPECT_THROW(profile.Load(folder_.path().string()), std::runtime_error);  // a folder is no file
    for (const auto& [text, fragment] : cases) {
        WriteText(Path("bad.json"), text);
        EXPECT_THAT(ThrownText<nlohmann::json::exception>([&] { profile.Load(Path("bad.json")); }),
                    ::testing::HasSubstr(fragment));
        EXPECT_EQ(nlohmann::json(profile.ToInit()).dump(), before) << fragment;
        EXPECT_EQ(profile.rxChannels[0].decimation, 16u);  // working values untouched too
    }
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
    EXPECT_TRUE(IsReport(folderTarget[0], "Profile", 573)) << folderTarget[0];

    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(other.Save(Path("keep.json")), -1);
        fs::permissions(folder_.path(), fs::perms::owner_all);
    }
    EXPECT_EQ(ReadText(Path("keep.json")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}
