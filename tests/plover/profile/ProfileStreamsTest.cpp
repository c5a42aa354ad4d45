// What a profile hands to stream generation, the settings it yields and their
// file, and the faults of its stream operations.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "support/Reports.h"
#include "support/Throws.h"
#include "support/Files.h"
#include "plover/blueprint/ChannelBlueprint.h"
#include "plover/profile/ProfileStreams.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using Veltrix::Runnel::MarlinSettings;

namespace {

const std::string kTopLevel = std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level";

// A profile with every fact the streams read set away from its default, and
// each setting it drives on the side its default does not give.
Profile MixedProfile()
{
    Profile profile;
    profile.processorClockFrequency_Hz = 184'320'000;
    profile.txChannels[0].inUse = true;
    profile.txChannels[0].ChannelNumber_Set(1);
    profile.txChannels[0].outputSignaling = TxSignalType::DIRECT_FM_FSK;
    // Direct FM on a transmitter that is not in use must not count.
    profile.txChannels[1].ChannelNumber_Set(2);
    profile.txChannels[1].outputSignaling = TxSignalType::DIRECT_FM_FSK;
    profile.channelLoSource = {LoSource::INTERNAL, LoSource::EXTERNAL, LoSource::EXTERNAL, LoSource::INTERNAL};
    profile.clocks.rx1RfInputSel = 0;
    profile.clocks.rx2RfInputSel = 1;
    profile.clocks.rxPortImpedanceControl(2, true);
    profile.clocks.rfPll1LoMode = 0;
    profile.pllLockWait_us = 750;
    profile.pllPhaseSyncWait_us = 50;
    return profile;
}

struct SettingsCase {
    const char* name;
    std::function<void(Profile&)> change;
    std::function<bool(const MarlinSettings&)> holds;
};

TEST(ProfileStreamSettings, EachFactDrivesItsSetting)
{
    const std::vector<SettingsCase> cases{
        // The transmitter's own number decides, not its slot.
        {"number, not slot", [](Profile& p) { p.txChannels[0].ChannelNumber_Set(2); },
         [](const MarlinSettings& s) { return !s.tx1FMDM() && s.tx2FMDM(); }},
        {"other signalling", [](Profile& p) { p.txChannels[0].outputSignaling = TxSignalType::IQ_FM_FSK; },
         [](const MarlinSettings& s) { return !s.tx1FMDM(); }},
        // Each PLL waits for lock unless its own LO comes from outside.
        {"external LO1: no lock wait for PLL1 only", [](Profile& p) { p.clocks.rfPll1LoMode = 2; },
         [](const MarlinSettings& s) { return s.pll1LockWait() == 0 && s.pll2LockWait() == 0x82EE; }},
        {"external LO2: no lock wait for PLL2 only", [](Profile& p) { p.clocks.rfPll2LoMode = 2; },
         [](const MarlinSettings& s) { return s.pll1LockWait() == 0x82EE && s.pll2LockWait() == 0; }},
        {"both LOs external: no lock wait at all",
         [](Profile& p) { p.clocks.rfPll1LoMode = p.clocks.rfPll2LoMode = 2; },
         [](const MarlinSettings& s) { return s.pll1LockWait() == 0 && s.pll2LockWait() == 0; }},
        // 5 us is 921.6 cycles of 184.32 MHz: cycles, rounded to nearest.
        {"short lock wait in cycles", [](Profile& p) { p.pllLockWait_us = 5; },
         [](const MarlinSettings& s) { return s.pll1LockWait() == 922 && s.pll2LockWait() == 922; }},
        {"no phase sync", [](Profile& p) { p.pllPhaseSyncWait_us = 0; },
         [](const MarlinSettings& s) { return s.pllPhaseSyncWait() == 0; }},
        // Half the clock halves the cycle counts.
        {"processor clock", [](Profile& p) { p.processorClockFrequency_Hz = 92'160'000; },
         [](const MarlinSettings& s) { return s.delay_80ns() == 7 && s.delay_1us() == 92; }},
        {"receiver 1 on input B", [](Profile& p) { p.clocks.rx1RfInputSel = 1; },
         [](const MarlinSettings& s) { return !s.rx1A(); }},
        {"impedance control of receiver 1", [](Profile& p) { p.clocks.rxPortImpedanceControl(1, true); },
         [](const MarlinSettings& s) { return s.rx1PortImpedanceControl(); }},
    };
    for (const SettingsCase& c : cases) {
        Profile profile = MixedProfile();
        c.change(profile);
        EXPECT_TRUE(c.holds(*profile.GenerateMarlinStreamSettings())) << c.name;
    }
}

TEST(ProfileStreamDelay, UsesTheProfilesProcessorClock)
{
    Profile profile;
    profile.processorClockFrequency_Hz = 184'320'000;
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(0), 0);
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(80), 15);
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(1000), 184);
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(9999), 1843);
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(10000), 0x800A);
    profile.processorClockFrequency_Hz = 1000;  // the slowest clock accepted
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(9999), 0);  // under half of its 1 ms cycle
    EXPECT_EQ(profile.NanoSecondsToStreamDelay(10000), 0x800A);
}

// An undesigned profile has no processor clock: every stream operation refuses
// it instead of dividing by it, and no file appears.
TEST(ProfileStreamFaults, NoProcessorClockIsRefusedEverywhere)
{
    TempFolder folder;
    for (const std::uint32_t clock_Hz : {0U, 999U}) {
        Profile profile = MixedProfile();
        profile.processorClockFrequency_Hz = clock_Hz;
        EXPECT_THROW(profile.NanoSecondsToStreamDelay(1000), std::invalid_argument);
        EXPECT_THROW(profile.NanoSecondsToStreamDelay(20000), std::invalid_argument);
        EXPECT_THROW(profile.GenerateMarlinStreamSettings(), std::invalid_argument);
        EXPECT_THROW(profile.StreamSettings_Save(folder.File("settings.json")), std::invalid_argument);
        EXPECT_THROW(profile.StreamImage_Get(kTopLevel), std::invalid_argument);
        EXPECT_THROW(profile.StreamImage_Save(folder.File("image.bin"), kTopLevel), std::invalid_argument);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(ProfileStreamSettingsFile, IsSortedJsonWithIndentFourAndALineBreak)
{
    TempFolder folder;
    const std::string file = folder.File("settings.json");
    ASSERT_EQ(MixedProfile().StreamSettings_Save(file), 0);
    EXPECT_EQ(ReadText(file), ReadText(SourcePath("tests/data/profile/mixed.stream-settings.json")));

    // Read back, the file gives the same token table.
    MarlinSettings loaded;
    loaded.Load(file);
    EXPECT_EQ(loaded.tokens->tokens, MixedProfile().GenerateMarlinStreamSettings()->tokens->tokens);
    EXPECT_EQ(loaded.tokens->ReplaceTokens("$IfTx1FMDM$WR 1|$IfNoTx1FMDM$WR 2|$Pll1LockWait$"), "WR 1|#WR 2|82EE");
}

// A missing folder is reported; a folder in the way stays as it was, and no
// temporary file is left beside it.
TEST(ProfileStreamFiles, AFileThatCannotBeWrittenIsReportedAndLeftAlone)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "taken" / "inside");
    const std::function<std::int8_t(const std::string&)> saves[] = {
        [](const std::string& file) { return MixedProfile().StreamSettings_Save(file); },
        [](const std::string& file) { return MixedProfile().StreamImage_Save(file, kTopLevel); }};
    const int lines[] = {668, 689};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string nowhere = folder.File("missing/file");
        EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(saves[i](nowhere), -1); }),
                  std::vector<std::string>{ReportLine("Profile", lines[i], {nowhere})});
        EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(saves[i](folder.File("taken")), -1); }).size(), 1U);
        EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "taken" / "inside"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    }
}

TEST(ProfileStreamImageFile, ABuildFaultThrowsAndKeepsTheEarlierImage)
{
    TempFolder folder;
    const std::string file = folder.File("image.bin");
    std::ofstream(file) << "earlier image";
    const ReportCapture report;
    EXPECT_EQ(ThrownText<std::invalid_argument>([&] { MixedProfile().StreamImage_Save(file, folder.path().string()); }),
              "topLevelPath invalid!");
    EXPECT_THROW(MixedProfile().StreamImage_Save(file, kTopLevel, "a0"), std::invalid_argument);
    EXPECT_TRUE(report.lines().empty());
    EXPECT_EQ(ReadText(file), "earlier image");
}

}  // namespace
