// The client-side blueprint check: every problem with its key path, and
// nothing at all for files the library writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/BlueprintCheck.h"
#include "host/Inputs.h"
#include "host/MarlinBlueprint.h"
#include "support/Files.h"

using PloverTest::TempFolder;

namespace {

using namespace Veltrix::Marlin;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (const BlueprintProblem& problem : Blueprint_CheckKeys(text)) {
        lines.push_back(problem.text);
    }
    return lines;
}

TEST(BlueprintCheck, EveryProblemIsNamedWithItsKeyPath)
{
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {R"({"Duplex": 1})", {"Duplex: unknown key (did you mean duplex?)"}},
        {R"({"rxChannel1": {"samplingRate_Hz": 4325687296}})",
         {"rxChannel1.samplingRate_Hz: 4325687296 is out of range 0..4294967295"}},
        {R"({"txChannel2": {"frequencyDeviation_Hz": -1, "peakLoopbackPower_dBm": 40000}})",
         {"txChannel2.frequencyDeviation_Hz: -1 is out of range 0..4294967295",
          "txChannel2.peakLoopbackPower_dBm: 40000 is out of range -32768..32767"}},
        {R"({"rxChannel1": {"ssiType": 7, "enabled": 1, "ncoEnable": true}})",
         {"rxChannel1.enabled: expected true or false, not 1", "rxChannel1.ssiType: 7 is out of range 0..2"}},
        {R"({"duplex": 3, "processorClockDivisor": 3, "adcRate": true})",
         {"adcRate: expected an integer, not true", "duplex: 3 is not one of 0, 1 or 2",
          "processorClockDivisor: 3 is not one of 1, 2, 4, 8, 16, 32, 64, 128 or 256"}},
        {R"({"deviceClockInput_kHz": 38400.5, "loExternal1": {"loDivisor": 65536.0}})",
         {"deviceClockInput_kHz: 38400.5 is not a whole number", "loExternal1.loDivisor: 65536.0 is out of range 0..65535"}},
        // A whole number written as a float is taken.
        {R"({"deviceClockInput_kHz": 38400.0})", {}},
        {R"({"rxChannel2": {"dataPath": [1, 2, 300]}, "txChannel1": []})",
         {"rxChannel2.dataPath: has 3 entries, expected 24", "rxChannel2.dataPath[2]: 300 is out of range 0..255",
          "txChannel1: expected an object, not array"}},
        {R"({"diversity": false, "rxChannel1": {"enabled": true, "enabled": false}, "diversity": true})",
         {"rxChannel1.enabled: duplicate key", "diversity: duplicate key"}},
        {R"({"txChannel1": {"channelFilter": "none", "orxEnable": true}})",
         {"txChannel1.channelFilter: expected an array of 128 integers, not \"none\"",
          "txChannel1.orxEnable: unknown key (did you mean orxEnabled?)"}},
        {R"([1])", {"the blueprint: expected an object, not array"}},
        {R"({"zzzzzzzz": 0})", {"zzzzzzzz: unknown key"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Lines(c.text), c.lines);
    }

    const auto syntax = Blueprint_CheckKeys(std::string(100000, '[') + std::string(100000, ']'));
    ASSERT_EQ(syntax.size(), 1u);
    EXPECT_EQ(syntax[0].kind, BlueprintProblem::Kind::Syntax);
    EXPECT_NE(syntax[0].text.find("nested deeper than 64"), std::string::npos) << syntax[0].text;
}

TEST(BlueprintCheck, FilesTheLibraryWritesPassAndReadBackByteIdentically)
{
    TempFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PLOVER_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() != ".json") continue;  // examples/python holds scripts
        SCOPED_TRACE(entry.path().string());
        MarlinBlueprint blueprint;
        blueprint.Load(entry.path().string());
        blueprint.txChannel2().peakLoopbackPower_dBm(-32768);
        blueprint.rxChannel1().intermediateFrequency_Hz(-2147483647 - 1);
        blueprint.rxChannel2().samplingRate_Hz(4294967295u);
        blueprint.Save(folder.File("saved.json"));
        std::string saved;
        std::string problem;
        ASSERT_TRUE(InputFile_Read(folder.File("saved.json"), saved, problem)) << problem;
        EXPECT_EQ(Lines(saved), std::vector<std::string>{});

        MarlinBlueprint reread;
        reread.LoadFromString(saved);
        reread.Save(folder.File("again.json"));
        std::string again;
        ASSERT_TRUE(InputFile_Read(folder.File("again.json"), again, problem)) << problem;
        EXPECT_EQ(again, saved);
    }
}

}  // namespace
