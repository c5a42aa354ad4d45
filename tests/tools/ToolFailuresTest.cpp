// The plover tool's exit statuses and error lines: a failing design reports
// the collected lines exactly; bad usage and unreadable input end with status
// 2 and one line.

#include <gtest/gtest.h>

#include <filesystem>

#include "ToolRunner.h"

namespace {

const std::string kLte20 = Example("lte-20mhz-2t2r-tdd.json");

// One receiver at a rate no chain reaches.
const char* kUnreachableRate = R"({"rxChannel1": {"enabled": true, "rfChannelBandwidth_Hz": 18000000,
    "samplingRate_Hz": 7, "ssiInterfaceRate_Hz": 7, "ssiType": 2, "ssiNumLane": 1}})";

void ExpectOneErrorLine(const ToolResult& r, const std::string& context)
{
    EXPECT_EQ(r.status, 2) << context << "\n" << r.err;
    const auto lines = r.ErrLines();
    ASSERT_EQ(lines.size(), 1u) << context << "\n" << r.err;
    EXPECT_EQ(lines[0].rfind("plover: error: ", 0), 0u) << lines[0];
    EXPECT_EQ(r.out, "") << context;
}

TEST(ToolFailures, FailingDesignPrintsTheCollectedLinesAndKeepsTheOutput)
{
    TempFolder folder;
    WriteText(folder.File("bad.json"), kUnreachableRate);
    WriteText(folder.File("out.json"), "keep");
    const ToolResult r = RunTool(folder, {"design", folder.File("bad.json"), "-o", folder.File("out.json")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ERROR: In ..\\..\\..\\src\\plover\\FilterDesigner on line 203: Sampling rate not possible\n");
    EXPECT_EQ(ReadText(folder.File("out.json")), "keep");

    const ToolResult json = RunTool(folder, {"design", folder.File("bad.json"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "{\"profile\":null,\"reports\":[\"ERROR: In ..\\\\..\\\\..\\\\src\\\\plover\\\\FilterDesigner "
                        "on line 203: Sampling rate not possible\"],\"status\":-1}\n");
}

TEST(ToolFailures, MalformedBlueprintsAreUsageErrors)
{
    TempFolder folder;
    // The corpus the server's tests send too.
    const std::filesystem::path corpus = std::string(PLOVER_SOURCE_DIR) + "/tests/malformed";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        for (const char* command : {"design", "inspect"}) {
            ExpectOneErrorLine(RunTool(folder, {command, entry.path().string()}),
                               std::string(command) + " " + entry.path().filename().string());
        }
        ++count;
    }
    EXPECT_GE(count, 6);
    ExpectOneErrorLine(RunTool(folder, {"design", folder.File("missing.json")}), "missing file");
    ExpectOneErrorLine(RunTool(folder, {"inspect", folder.path().string()}), "a folder");
    ExpectOneErrorLine(RunTool(folder, {"blueprint", folder.File("missing.json"), "-o", folder.File("x.json")}),
                       "blueprint from a missing file");
}

TEST(ToolFailures, BadUsageIsOneLine)
{
    TempFolder folder;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"design"},
        {"design", kLte20, "--no-such-option"},
        {"response", kLte20, "--port", "orx", "--channel", "1"},
        {"response", kLte20, "--port", "rx", "--channel", "3"},
        {"stream-image", kLte20, "-o", "x.bin", "--si-version", "a0"},
        {"inspect", kLte20, "--feature", "Turbo"},
        {"inspect", kLte20, "--feature", "FH:speed=9"},
        {"inspect", kLte20, "--feature", "FH:mode=two"},
        {"inspect", kLte20, "--feature", "MMSync:monitorModeSyncOverSamplingRatio=3"},
        {"inspect", kLte20, "--feature", "RxPortImpedanceControl:rx1=maybe"},
        {"inspect", kLte20, "--feature", "ExternalLna:gain=1"},
        {"chains", "--rx-rate", "1000000", "--rx-bandwidth", "500000", "--tx-rate", "1000000"},
    };
    for (const auto& args : cases) {
        std::string context;
        for (const auto& a : args) {
            context += a + " ";
        }
        ExpectOneErrorLine(RunTool(folder, args), context);
    }
}

TEST(ToolFailures, UnreadableImagesAndResourcesAndUnwritableOutputs)
{
    TempFolder folder;
    WriteText(folder.File("junk.bin"), "not an image");
    ExpectOneErrorLine(RunTool(folder, {"disasm", folder.File("junk.bin")}), "junk image");
    ExpectOneErrorLine(RunTool(folder, {"disasm", folder.File("none.bin")}), "missing image");
    ExpectOneErrorLine(RunTool(folder, {"stream-image", kLte20, "-o", folder.File("i.bin"), "--resources",
                                        folder.path().string()}),
                       "folder without resources");
    ExpectOneErrorLine(RunTool(folder, {"blueprint", "-o", folder.File("no/such/folder/b.json")}), "unwritable");
    ExpectOneErrorLine(RunTool(folder, {"stream-settings", kLte20, "-o", folder.File("no/such/s.json")}),
                       "unwritable settings");
}

TEST(ToolFailures, FeaturesApplyInOrderAndAFailingFeatureIsAFailedOperation)
{
    TempFolder folder;
    // Frequency hopping needs what this blueprint does not have; the feature's
    // own line says why.
    const ToolResult r = RunTool(folder, {"inspect", kLte20, "--feature", "FH:mode=2,minFrameDuration_us=20000"});
    if (r.status == 0) {
        GTEST_SKIP() << "frequency hopping accepts this blueprint";
    }
    EXPECT_EQ(r.status, 1);
    const auto lines = r.ErrLines();
    ASSERT_GE(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines.front().rfind("ERROR: In ", 0), 0u) << r.err;
    EXPECT_EQ(lines.back(), "plover: error: enabling feature 'FH:mode=2,minFrameDuration_us=20000' failed");
}

}  // namespace
