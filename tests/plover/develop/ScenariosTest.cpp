// Blueprints as data, developed the way the tool develops them and compared
// with the outcome kept for them, so that every change to a design is
// deliberate and reviewed:
// - every example in examples/ develops to tests/golden/NAME.profile.json;
// - every scenario in tests/scenarios develops to tests/scenarios/golden:
//   NAME.txt holds the status and every report line, NAME.profile.json the
//   saved profile of a success.
// A name ending in "-expanded-search" asks for the expanded search and one
// ending in "-redesign" for the redesign of designed data paths: both are the
// caller's choice, not part of the file. After an intended change:
//     PLOVER_REGENERATE_GOLDEN=1 build/tests/tests_plover --gtest_filter='Examples*:Scenarios*'
// then review the difference (tests/golden/README.md, tests/scenarios/README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Examples.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> BlueprintFiles(const std::string& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(SourcePath(folder))) {
        if (entry.path().extension() == ".json") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Regenerating()
{
    const char* flag = std::getenv("PLOVER_REGENERATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

bool NameEndsWith(const std::string& name, const std::string& suffix)
{
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Develops the file and compares with (or, regenerating, writes) its golden
// profile and, when `goldenOutcome` is given, its status and report lines.
// Without one the blueprint must develop.
void DevelopToGolden(const fs::path& file, const fs::path& goldenProfile, const fs::path& goldenOutcome)
{
    const std::string name = file.stem().string();
    SCOPED_TRACE(name);
    ReportCapture capture;
    MarlinBlueprint blueprint;
    blueprint.Load(file.string());
    blueprint.expandedSearchEnable = name.find("-expanded-search") != std::string::npos;
    Profile profile;
    const std::int8_t status = Develop(profile, blueprint, NameEndsWith(name, "-redesign"));
    std::string outcome = "status " + std::to_string(status) + "\n";
    for (const std::string& line : capture.lines()) outcome += line + "\n";
    if (goldenOutcome.empty()) {
        ASSERT_EQ(status, 0) << outcome;
    }

    TempFolder folder;
    const std::string saved = folder.File("saved.profile.json");
    if (status == 0) {
        ASSERT_EQ(profile.Save(saved), 0);
    }
    if (Regenerating()) {
        if (!goldenOutcome.empty()) WriteText(goldenOutcome, outcome);
        fs::remove(goldenProfile);
        if (status == 0) fs::copy_file(saved, goldenProfile);
        return;
    }
    if (!goldenOutcome.empty()) {
        ASSERT_TRUE(fs::exists(goldenOutcome)) << "no golden outcome; run with PLOVER_REGENERATE_GOLDEN=1";
        EXPECT_EQ(ReadText(goldenOutcome), outcome) << "golden first";
    }
    ASSERT_EQ(fs::exists(goldenProfile), status == 0) << goldenProfile;
    if (status == 0) {
        EXPECT_EQ(FirstDifference(ReadText(goldenProfile), ReadText(saved)), "")
            << "the profile differs from " << goldenProfile << " at the path above (golden vs now)";
    }
}

}  // namespace

TEST(Examples, DevelopAndMatchTheirGoldenProfiles)
{
    for (const auto& file : BlueprintFiles("examples")) {
        DevelopToGolden(file, GoldenPath(file.stem().string()), {});
    }
}

TEST(Examples, UseOnlyBlueprintKeys)
{
    // A misspelt key would be skipped silently by the reader.
    for (const auto& file : BlueprintFiles("examples")) {
        const auto written = nlohmann::json::parse(ReadText(file));
        const auto saved = nlohmann::json::parse(Example(file.stem().string()).SaveToString());
        EXPECT_EQ(MissingFrom(written, saved), "") << file;
    }
}

TEST(Scenarios, DevelopToTheirGoldenOutcomes)
{
    const fs::path golden = SourcePath("tests/scenarios/golden");
    for (const auto& file : BlueprintFiles("tests/scenarios")) {
        const std::string name = file.stem().string();
        DevelopToGolden(file, golden / (name + ".profile.json"), golden / (name + ".txt"));
    }
}
