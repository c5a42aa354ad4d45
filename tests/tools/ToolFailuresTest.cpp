// The plover tool's exit statuses and error lines: a failing design reports
// the collected lines exactly; bad usage and unreadable input end with status
// 2 and one line.

#include <gtest/gtest.h>

#include <unistd.h>

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
    EXPECT_EQ(r.err, "ERROR: In ..\\..\\..\\src\\plover\\FilterDesigner on line 203: Sampling rate not possible\n"
                     "plover: hint: RX1 at 7 Hz, bandwidth 18000000 Hz: the receive bandwidth (18000000 Hz) is above "
                     "its rate (7 Hz)\n");
    EXPECT_EQ(ReadText(folder.File("out.json")), "keep");

    const ToolResult json = RunTool(folder, {"design", folder.File("bad.json"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "{\"profile\":null,\"reports\":[\"ERROR: In ..\\\\..\\\\..\\\\src\\\\plover\\\\FilterDesigner "
                        "on line 203: Sampling rate not possible\"],\"status\":-1}\n");
}

TEST(ToolFailures, FailedDesignEndsWithAHintNamingChannelRateBandwidthAndRemedy)
{
    TempFolder folder;
    // The FDD example (Rx 1 and Tx 1 at 15.36 MHz, 9 MHz wide) with some values replaced.
    int count = 0;
    const auto lte = [&](const std::vector<std::pair<std::string, std::string>>& edits) {
        std::string text = ReadText(Example("lte-10mhz-1t1r-fdd.json"));
        for (const auto& [from, to] : edits) {
            text.replace(text.find(from), from.size(), to);
        }
        const std::string path = folder.File("bp" + std::to_string(count++) + ".json");
        WriteText(path, text);
        return path;
    };
    const std::string rxRate = "\"samplingRate_Hz\": 15360000";
    const std::string rxWidth = "\"rfChannelBandwidth_Hz\": 9000000";
    const std::string out = folder.File("out");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"design", Example("cmos-9p6mhz-4lane-expanded-search.json"), "-o", out},
         "RX1 at 9600000 Hz, bandwidth 5400000 Hz; TX1 at 9600000 Hz, bandwidth 5400000 Hz: the design succeeds "
         "with --expanded-search (a wider system-clock search)"},
        {{"stream-image", lte({{rxRate, "\"samplingRate_Hz\": 8000000"}}), "-o", out},
         "RX1 at 8000000 Hz, bandwidth 9000000 Hz: the receive bandwidth (9000000 Hz) is above its rate (8000000 Hz)"},
        {{"response", lte({{rxRate, "\"samplingRate_Hz\": 20000"}, {rxWidth, "\"rfChannelBandwidth_Hz\": 10000"}}),
          "--port", "rx", "--channel", "1"},
         "RX1 at 20000 Hz, bandwidth 10000 Hz: the receive rate 20000 Hz is outside the range 20834 to 67584000 Hz"},
        {{"design", lte({{rxRate, "\"samplingRate_Hz\": 12000000"}, {rxWidth, "\"rfChannelBandwidth_Hz\": 6000000"}}),
          "-o", out},
         "RX1 at 12000000 Hz, bandwidth 6000000 Hz; TX1 at 15360000 Hz, bandwidth 9000000 Hz: --expanded-search does "
         "not help; plover chains --rx-rate 12000000 --rx-bandwidth 6000000 --tx-rate 15360000 --tx-bandwidth "
         "9000000 shows which chains the rates allow"},
        {{"design", lte({{"\"deviceClockInput_kHz\": 38400", "\"deviceClockInput_kHz\": 0"}}), "-o", out},
         "RX1 at 15360000 Hz, bandwidth 9000000 Hz; TX1 at 15360000 Hz, bandwidth 9000000 Hz: --expanded-search does "
         "not help; the lines above say what to change"},
    };
    for (const auto& [args, hint] : cases) {
        const ToolResult r = RunTool(folder, args);
        EXPECT_EQ(r.status, 1) << args[1] << r.err;
        const auto lines = r.ErrLines();
        ASSERT_GE(lines.size(), 2u) << r.err;
        EXPECT_EQ(lines[lines.size() - 2].rfind("ERROR: ", 0), 0u) << r.err;  // the library's line stays first
        EXPECT_EQ(lines.back(), "plover: hint: " + hint) << args[1];
    }
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

TEST(ToolFailures, UnreadableImagesAndResources)
{
    TempFolder folder;
    // A short image gets a second line with the size expected (ToolStreamsTest).
    ExpectOneErrorLine(RunTool(folder, {"disasm", folder.File("none.bin")}), "missing image");
    ExpectOneErrorLine(RunTool(folder, {"stream-image", kLte20, "-o", folder.File("i.bin"), "--resources",
                                        folder.path().string()}),
                       "folder without resources");
}

TEST(ToolFailures, FeaturesApplyInOrderAndAFailingFeatureIsAFailedOperation)
{
    TempFolder folder;
    // Frequency hopping needs what this blueprint does not have; the feature's
    // own line says why.
    const ToolResult r = RunTool(folder, {"inspect", kLte20, "--feature", "FH:mode=2,minFrameDuration_us=20000"});
    EXPECT_EQ(r.status, 1);
    const auto lines = r.ErrLines();
    ASSERT_EQ(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines[0].rfind("ERROR: In ..\\..\\..\\src\\plover\\FrequencyHoppingFeature.h on line 77: ", 0), 0u) << r.err;
    EXPECT_EQ(lines[1], "plover: error: enabling feature 'FH:mode=2,minFrameDuration_us=20000' failed");
}

// Hostile inputs of every kind the tool reads, each refused with status 2 and
// lines that say what and where; never a crash, a hang or a silent default.
TEST(ToolFailures, HostileInputsAreRefusedWithWhatAndWhere)
{
    TempFolder folder;
    WriteText(folder.File("deep.json"), std::string(150000, '[') + std::string(150000, ']'));
    WriteText(folder.File("big.json"), "{}");
    ASSERT_EQ(::truncate(folder.File("big.json").c_str(), 17 * 1024 * 1024), 0);
    WriteText(folder.File("typo.json"), R"({"Duplex": 1, "rxChannel1": {"enabled": false}})");
    WriteText(folder.File("numbers.json"),
              R"({"rxChannel1": {"samplingRate_Hz": 4325687296, "ssiType": 7}, "duplex": 0, "duplex": 1})");
    const std::string profile = std::string(PLOVER_SOURCE_DIR) + "/tests/golden/lte-20mhz-2t2r-tdd.profile.json";
    const std::string rx1 = "--port=rx";
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> lines;  // each must appear, in order, as a whole line or its start
    } cases[] = {
        {{"inspect", folder.File("deep.json")}, {"plover: error: " + folder.File("deep.json") + ": [json.exception.parse_error.101]"}},
        {{"inspect", "/dev/zero"}, {"plover: error: blueprint file: '/dev/zero' is not a regular file"}},
        {{"design", folder.File("big.json")},
         {"plover: error: blueprint file: '" + folder.File("big.json") + "' is larger than the 16777216-byte limit"}},
        {{"disasm", "/dev/urandom"}, {"plover: error: "}},
        {{"inspect", folder.File("typo.json")},
         {"plover: error: " + folder.File("typo.json") +
          ": Duplex: unknown key (did you mean duplex?) (--lenient lets unknown keys pass)"}},
        {{"design", folder.File("numbers.json")},
         {"plover: error: " + folder.File("numbers.json") + ": duplex: duplicate key",
          "plover: error: " + folder.File("numbers.json") +
              ": rxChannel1.samplingRate_Hz: 4325687296 is out of range 0..4294967295",
          "plover: error: " + folder.File("numbers.json") + ": rxChannel1.ssiType: 7 is out of range 0..2"}},
        {{"inspect", profile}, {"plover: error: " + profile + ": "}},
        {{"response", kLte20, rx1, "--channel", "1", "--max-points", "-1"},
         {"plover: error: --max-points: '-1' is not a number in 0..4294967295"}},
        {{"response", kLte20, rx1, "--channel", "1", "--max-points", "12abc"}, {"plover: error: --max-points: "}},
        {{"response", kLte20, rx1, "--channel", "1.5"}, {"plover: error: --channel: '1.5' is not a number in 1..2"}},
        {{"chains", "--rx-rate", "30720000", "--rx-bandwidth", "18000000", "--target-ripple", "nan"},
         {"plover: error: --target-ripple: 'nan' is not a finite number"}},
        {{"chains", "--rx-rate", "4294967296", "--rx-bandwidth", "18000000"}, {"plover: error: --rx-rate: "}},
        {{"dynamic-profiles", kLte20, "--count", "7"}, {"plover: error: --count: '7' is not a number in 2..6"}},
        {{"inspect", kLte20, "--feature", "DynamicProfile:numDynamicProfiles=2147483647"},
         {"plover: error: feature DynamicProfile field numDynamicProfiles takes a whole number in 1..6, not "
          "'2147483647'"}},
        {{"inspect", kLte20, "--feature", "MCS:mode=7"},
         {"plover: error: feature MCS field mode takes a whole number in 0..2, not '7'"}},
        {{"inspect", kLte20, "--feature", "FH:mode=2,mode=3"}, {"plover: error: feature FH field mode is given twice"}},
        {{"inspect", kLte20, "--feature", "RxPortImpedanceControl:rx1=true,rx1PortImpedanceControl=false"},
         {"plover: error: feature RxPortImpedanceControl field rx1 is given twice"}},
        {{"inspect", kLte20, "--feature", "FH:minFrameDuration_us=-5"}, {"plover: error: feature FH field "}},
    };
    for (const auto& c : cases) {
        std::string context;
        for (const auto& a : c.args) {
            context += a + " ";
        }
        const ToolResult r = RunTool(folder, c.args);
        EXPECT_EQ(r.status, 2) << context << "\n" << r.err;
        EXPECT_EQ(r.out, "") << context;
        const auto lines = r.ErrLines();
        ASSERT_GE(lines.size(), c.lines.size()) << context << "\n" << r.err;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lines[i].rfind(c.lines[i], 0), 0u) << context << "\n" << r.err;
        }
    }

    // Unknown keys only warn with --lenient; the rest of the file is taken.
    const ToolResult lenient = RunTool(folder, {"inspect", folder.File("typo.json"), "--lenient"});
    EXPECT_EQ(lenient.status, 0) << lenient.err;
    ASSERT_FALSE(lenient.ErrLines().empty());
    EXPECT_EQ(lenient.ErrLines()[0],
              "plover: warning: " + folder.File("typo.json") + ": Duplex: unknown key (did you mean duplex?)");
}

}  // namespace

namespace {

TEST(ToolFailures, ReportLinesAndEchoesReadCleanly)
{
    TempFolder folder;
    // Each command with what its standard error must be.
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        // A successful design whose 150 MHz retry first failed: no ERROR line of
        // the abandoned attempt, a line repeated by one operation once, counted, and
        // the channel a shared fixed text was about beside it.
        {{"design", Example("cmos-9p6mhz-4lane-expanded-search.json"), "--expanded-search", "-o", folder.File("p.json")},
         "WARNING: In ..\\..\\..\\src\\plover\\FilterDesigner on line 682: When designing the low rate filter(102X), "
         "the analog filter bandwidth exceeds 86% sample rate at the low rate filter position. [rxChannel1] (2 times)\n"},
        {{"frobnicate"},
         "plover: error: unknown subcommand 'frobnicate' (commands: blueprint, design, inspect, response, "
         "dynamic-profiles, stream-settings, stream-image, disasm, chains, serve, coefficients, features)\n"},
        {{"design", folder.File("bad\x1b[2Jname.json")},
         "plover: error: blueprint file: cannot open '" + folder.File("bad\\x1b[2Jname.json") + "'\n"},
        {{"blueprint", kLte20, "--feature", "FH", "-o", folder.File("b.json")},
         "plover: error: --feature is not stored in blueprint files; give it to the command that reads the blueprint "
         "(design, inspect, response, ...)\n"},
    };
    for (const auto& [args, err] : cases) {
        EXPECT_EQ(RunTool(folder, args).err, err) << args[0];
    }
    // Every option with a default shows it in --help.
    EXPECT_NE(RunTool(folder, {"stream-image", "--help"}).out.find("=c0"), std::string::npos);
    EXPECT_NE(RunTool(folder, {"chains", "--help"}).out.find("=160000000"), std::string::npos);
}

}  // namespace
