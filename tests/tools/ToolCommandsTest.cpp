// The plover tool end to end: every subcommand on the bundled examples.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "ToolRunner.h"

namespace {

using json = nlohmann::json;

const std::string kLte20 = Example("lte-20mhz-2t2r-tdd.json");

TEST(Tool, VersionLine)
{
    TempFolder folder;
    const ToolResult r = RunTool(folder, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "plover 0.53.13 (streams 1.0.4)\n");
}

TEST(Tool, EverySubcommandHasHelp)
{
    TempFolder folder;
    for (const char* name : {"blueprint", "design", "inspect", "response", "dynamic-profiles", "stream-settings",
                             "stream-image", "disasm", "chains", "coefficients", "features"}) {
        const ToolResult r = RunTool(folder, {name, "--help"});
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_NE(r.out.find("Usage:"), std::string::npos) << name;
    }
}

TEST(Tool, BlueprintWritesANormalisedFileThatReadsBackTheSame)
{
    TempFolder folder;
    ASSERT_EQ(RunTool(folder, {"blueprint", "-o", folder.File("default.json")}).status, 0);
    const json defaults = json::parse(ReadText(folder.File("default.json")));
    EXPECT_FALSE(defaults["rxChannel1"]["enabled"].get<bool>());

    ASSERT_EQ(RunTool(folder, {"blueprint", kLte20, "-o", folder.File("a.json")}).status, 0);
    ASSERT_EQ(RunTool(folder, {"blueprint", folder.File("a.json"), "-o", folder.File("b.json")}).status, 0);
    const std::string a = ReadText(folder.File("a.json"));
    EXPECT_EQ(a, ReadText(folder.File("b.json")));
    EXPECT_EQ(json::parse(a)["rxChannel1"]["samplingRate_Hz"], 30720000);
}

TEST(Tool, InspectAnswersAsOneJsonObject)
{
    TempFolder folder;
    const ToolResult r = RunTool(folder, {"inspect", kLte20});
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    EXPECT_TRUE(out["viable"].get<bool>());
    EXPECT_FALSE(out["designed"].get<bool>());
    EXPECT_EQ(out["status"], 0);
    EXPECT_EQ(out["loMapping"]["rxLoSelect"].size(), 2u);
    EXPECT_TRUE(out["initCalMask"].contains("systemMask"));
    EXPECT_TRUE(out["trackingCalMask"].contains("channelMask"));
    EXPECT_TRUE(out["twoStageInitCal"].is_boolean());
}

TEST(Tool, DesignWritesTheProfileAndSummarises)
{
    TempFolder folder;
    const std::string blueprint = folder.File("lte.json");
    std::filesystem::copy_file(kLte20, blueprint);

    const ToolResult text = RunTool(folder, {"design", blueprint});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("system clock:     184320000 Hz"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("RX1: rate 30720000 Hz, bandwidth 18000000 Hz"), std::string::npos) << text.out;
    const json profile = json::parse(ReadText(folder.File("lte.profile.json")));
    EXPECT_TRUE(profile.contains("clocks"));
    EXPECT_TRUE(profile.contains("pfirBuffer"));

    const ToolResult summary =
        RunTool(folder, {"design", blueprint, "-o", folder.File("p.json"), "--json", "--redesign",
                         "--feature", "DynamicProfile:numDynamicProfiles=3"});
    ASSERT_EQ(summary.status, 0) << summary.err;
    const json out = json::parse(summary.out);
    EXPECT_EQ(out["status"], 0);
    EXPECT_EQ(out["systemClockFrequency_Hz"], 184320000);
    EXPECT_EQ(out["processorClockFrequency_Hz"], 184320000);
    EXPECT_TRUE(out["pllLockWait_us"].is_number());
    EXPECT_TRUE(out["pllPhaseSyncWait_us"].is_number());
    EXPECT_EQ(out["profile"], folder.File("p.json"));
    EXPECT_EQ(json::parse(ReadText(folder.File("p.json")))["sysConfig"]["numDynamicProfiles"], 3);
}

TEST(Tool, ResponseWritesEvenlySubsampledCsvAndFigures)
{
    TempFolder folder;
    const ToolResult r = RunTool(folder, {"response", kLte20, "--port", "rx", "--channel", "1", "-o",
                                          folder.File("r.csv"), "--max-points", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = ReadText(folder.File("r.csv"));
    EXPECT_EQ(csv.rfind("frequency_Hz,magnitude_dB\n0,", 0), 0u) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 6);
    EXPECT_NE(r.out.find("passband ripple: "), std::string::npos);
    EXPECT_NE(r.out.find("alias rejection: "), std::string::npos);
}

TEST(Tool, DynamicProfilesAsAnArray)
{
    TempFolder folder;
    const ToolResult r = RunTool(folder, {"dynamic-profiles", kLte20, "--count", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2]["dynamicProfileIndex"], 2);
    EXPECT_EQ(out[0]["dynamicProfileChannels"].size(), 2u);
    EXPECT_EQ(RunTool(folder, {"dynamic-profiles", kLte20, "--count", "9"}).status, 2);
}

TEST(Tool, StreamSettingsImageAndListing)
{
    TempFolder folder;
    ASSERT_EQ(RunTool(folder, {"stream-settings", kLte20, "-o", folder.File("s.json")}).status, 0);
    const json settings = json::parse(ReadText(folder.File("s.json")));
    EXPECT_EQ(settings["LdoPowerUpWait"], 32968);
    EXPECT_TRUE(settings["Rx1IntLo"].get<bool>());

    const ToolResult image = RunTool(folder, {"stream-image", kLte20, "-o", folder.File("i.bin")});
    ASSERT_EQ(image.status, 0) << image.err;
    EXPECT_FALSE(ReadText(folder.File("i.bin")).empty());

    const ToolResult listing = RunTool(folder, {"disasm", folder.File("i.bin")});
    ASSERT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find("main processor disassembly information"), std::string::npos);
    EXPECT_NE(listing.out.find("RETURN"), std::string::npos);

    const std::string resources = std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level";
    ASSERT_EQ(RunTool(folder, {"stream-image", kLte20, "-o", folder.File("b0.bin"), "--resources", resources,
                               "--si-version", "b0"})
                  .status,
              0);
}

TEST(Tool, ChainsPrintsChainsClockAndRipples)
{
    TempFolder folder;
    const ToolResult r = RunTool(folder, {"chains", "--rx-rate", "30720000", "--rx-bandwidth", "18000000",
                                          "--tx-rate", "30720000", "--tx-bandwidth", "18000000"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    EXPECT_EQ(out["systemClockFrequency_Hz"], 184320000.0);
    EXPECT_LT(out["rxRipple_dB"].get<double>(), 0.1);
    EXPECT_EQ(out["txChain"].size(), 16u);

    const ToolResult none = RunTool(folder, {"chains", "--rx-rate", "7", "--rx-bandwidth", "3"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(RunTool(folder, {"chains", "--rx-rate", "1000000"}).status, 2);
}

}  // namespace
