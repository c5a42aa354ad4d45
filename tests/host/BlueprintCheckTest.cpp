// The client-side blueprint check: every problem with its key path (the cases
// are tests/data/host/blueprint_check.json), and nothing at all for files the
// library writes.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "host/BlueprintCheck.h"
#include "host/Inputs.h"
#include "host/MarlinBlueprint.h"
#include "support/Files.h"

namespace {

using namespace Veltrix::Marlin;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (const BlueprintProblem& problem : Blueprint_CheckKeys(text)) lines.push_back(problem.text);
    return lines;
}

TEST(BlueprintCheck, EveryProblemIsNamedWithItsKeyPath)
{
    const auto table = nlohmann::json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/host/blueprint_check.json")));
    for (const auto& c : table["cases"]) {
        SCOPED_TRACE(c["text"].get<std::string>());
        EXPECT_EQ(Lines(c["text"]), c["lines"].get<std::vector<std::string>>());
    }
    const auto syntax = Blueprint_CheckKeys(std::string(100000, '[') + std::string(100000, ']'));
    ASSERT_EQ(syntax.size(), 1u);
    EXPECT_EQ(syntax[0].kind, BlueprintProblem::Kind::Syntax);
    EXPECT_NE(syntax[0].text.find("nested deeper than 64"), std::string::npos) << syntax[0].text;
}

// Every example with fields at the ends of their ranges: saved, checked clean,
// read back and saved again byte for byte.
TEST(BlueprintCheck, FilesTheLibraryWritesPassAndReadBackByteIdentically)
{
    PloverTest::TempFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(PloverTest::SourcePath("examples"))) {
        if (entry.path().extension() != ".json") continue;  // examples/python holds scripts
        SCOPED_TRACE(entry.path().string());
        MarlinBlueprint blueprint;
        blueprint.Load(entry.path().string());
        blueprint.txChannel2().peakLoopbackPower_dBm(-32768);
        blueprint.rxChannel1().intermediateFrequency_Hz(-2147483647 - 1);
        blueprint.rxChannel2().samplingRate_Hz(4294967295u);
        std::string saved, again, problem;
        blueprint.Save(folder.File("saved.json"));
        ASSERT_TRUE(InputFile_Read(folder.File("saved.json"), saved, problem)) << problem;
        EXPECT_EQ(Lines(saved), std::vector<std::string>{});

        MarlinBlueprint reread;
        reread.LoadFromString(saved);
        reread.Save(folder.File("again.json"));
        ASSERT_TRUE(InputFile_Read(folder.File("again.json"), again, problem)) << problem;
        EXPECT_EQ(again, saved);
    }
}

}  // namespace
