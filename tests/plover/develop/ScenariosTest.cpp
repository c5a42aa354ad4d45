// Design scenarios as data: every blueprint in tests/scenarios develops to the
// outcome kept beside it in tests/scenarios/golden: NAME.txt holds the status
// and every report line, NAME.profile.json the saved profile of a success.
// A scenario named "*-expanded-search" asks for the expanded search, which is
// the caller's choice and not part of the file. After an intended change:
//     PLOVER_REGENERATE_GOLDEN=1 build/tests/tests_plover --gtest_filter='Scenarios*'
// then review the difference (tests/scenarios/README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

std::vector<std::filesystem::path> ScenarioFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("tests/scenarios"))) {
        if (entry.path().extension() == ".json") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Status first, then the report lines in the order they were made.
std::string Outcome(std::int8_t status, const std::vector<std::string>& lines)
{
    std::string text = "status " + std::to_string(status) + "\n";
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

}  // namespace

TEST(Scenarios, DevelopToTheirGoldenOutcomes)
{
    const bool regenerating = std::getenv("PLOVER_REGENERATE_GOLDEN") != nullptr &&
                              std::string(std::getenv("PLOVER_REGENERATE_GOLDEN")) == "1";
    const std::filesystem::path golden = SourcePath("tests/scenarios/golden");
    TempFolder folder;
    for (const auto& file : ScenarioFiles()) {
        const std::string name = file.stem().string();
        SCOPED_TRACE(name);
        ReportCapture capture;
        MarlinBlueprint blueprint;
        blueprint.Load(file.string());
        blueprint.expandedSearchEnable = name.find("-expanded-search") != std::string::npos;
        Profile profile;
        const std::int8_t status = Develop(profile, blueprint);
        const std::string saved = folder.File(name + ".profile.json");
        if (status == 0) {
            ASSERT_EQ(profile.Save(saved), 0);
        }
        const std::string outcome = Outcome(status, capture.lines());

        const auto goldenOutcome = golden / (name + ".txt");
        const auto goldenProfile = golden / (name + ".profile.json");
        if (regenerating) {
            WriteText(goldenOutcome, outcome);
            std::filesystem::remove(goldenProfile);
            if (status == 0) std::filesystem::copy_file(saved, goldenProfile);
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(goldenOutcome)) << "no golden outcome; run with PLOVER_REGENERATE_GOLDEN=1";
        EXPECT_EQ(ReadText(goldenOutcome), outcome) << "golden first";
        ASSERT_EQ(std::filesystem::exists(goldenProfile), status == 0);
        if (status == 0) {
            EXPECT_EQ(FirstDifference(ReadText(goldenProfile), ReadText(saved)), "")
                << "the profile differs from " << goldenProfile << " at the path above (golden vs now)";
        }
    }
}
