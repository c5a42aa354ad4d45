// Every example blueprint develops, and its saved profile matches the golden
// file kept under tests/golden, byte for byte, so that every change to a
// design is deliberate and reviewed. After such a change, regenerate with
//     PLOVER_REGENERATE_GOLDEN=1 build/tests/tests_plover --gtest_filter='Examples*'
// and review the difference.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Examples.h"
#include "support/Reports.h"
#include "support/Files.h"
#include "support/Json.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

struct ExampleCase {
    const char* name;
    bool expandedSearch;    // not part of the file format: the caller's choice
    const char* failure;    // the one report of an example whose point is a failure
};

const std::vector<ExampleCase>& Examples()
{
    static const std::vector<ExampleCase> examples{
        {"lte-20mhz-2t2r-tdd", false, nullptr},
        {"lte-1p4mhz-2t2r-tdd", false, nullptr},
        {"lte-5mhz-2t2r-tdd", false, nullptr},
        {"lte-10mhz-2t2r-tdd", false, nullptr},
        {"lte-40mhz-2t2r-tdd", false, nullptr},
        {"lte-10mhz-1t1r-fdd", false, nullptr},
        {"dmr-12p5khz-24ksps", false, nullptr},
        {"dmr-12p5khz-48ksps", false, nullptr},
        {"analog-fm-12p5khz-48ksps", false, nullptr},
        {"tetra-25khz-144ksps", false, nullptr},
        {"low-rate-pair-96k-144k-rx", false, nullptr},
        {"low-rate-pair-96k-144k-tx", false, nullptr},
        {"direct-fm-fsk-tx-96ksps", false, nullptr},
        {"lte-10mhz-tx-orx-external-loopback", false, nullptr},
        {"lte-10mhz-external-lo", false, nullptr},
        {"cmos-9p6mhz-4lane-expanded-search", true, nullptr},
    };
    return examples;
}

bool Regenerating()
{
    const char* flag = std::getenv("PLOVER_REGENERATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

}  // namespace

TEST(Examples, EveryExampleIsListed)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PLOVER_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".json") files.push_back(entry.path().stem().string());
    }
    std::vector<std::string> listed;
    for (const ExampleCase& example : Examples()) listed.push_back(example.name);
    std::sort(files.begin(), files.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(files, listed);
}

TEST(Examples, UseOnlyBlueprintKeys)
{
    // A misspelt key would be skipped silently by the reader.
    for (const ExampleCase& example : Examples()) {
        const auto file = nlohmann::json::parse(ReadText(ExamplePath(example.name)));
        const auto saved = nlohmann::json::parse(Example(example.name).SaveToString());
        for (const auto& [key, value] : file.items()) {
            ASSERT_TRUE(saved.contains(key)) << example.name << ": " << key;
            if (!value.is_object()) continue;
            for (const auto& [inner, unused] : value.items()) {
                EXPECT_TRUE(saved[key].contains(inner)) << example.name << ": " << key << "." << inner;
            }
        }
    }
}

TEST(Examples, DevelopAndMatchTheirGoldenProfiles)
{
    TempFolder folder;
    for (const ExampleCase& example : Examples()) {
        MarlinBlueprint blueprint = Example(example.name);
        blueprint.expandedSearchEnable = example.expandedSearch;
        Profile profile;
        ReportCapture capture;
        const std::int8_t status = Develop(profile, blueprint);
        if (example.failure != nullptr) {
            EXPECT_EQ(status, -1) << example.name;
            const auto lines = capture.lines();
            ASSERT_FALSE(lines.empty()) << example.name;
            EXPECT_EQ(lines.back(), example.failure) << example.name;
            continue;
        }
        ASSERT_EQ(status, 0) << example.name;

        if (Regenerating()) {
            ASSERT_EQ(profile.Save(GoldenPath(example.name)), 0) << example.name;
            continue;
        }
        const std::string saved = folder.File(std::string(example.name) + ".json");
        ASSERT_EQ(profile.Save(saved), 0) << example.name;
        ASSERT_TRUE(std::filesystem::exists(GoldenPath(example.name)))
            << example.name << ": no golden profile; run with PLOVER_REGENERATE_GOLDEN=1";
        const std::string difference = FirstDifference(ReadText(GoldenPath(example.name)), ReadText(saved));
        EXPECT_EQ(difference, "") << example.name << ": the profile differs from " << GoldenPath(example.name)
                                  << " at the path above (golden vs now); if the change is intended, regenerate"
                                  << " with PLOVER_REGENERATE_GOLDEN=1 (tests/golden/README.md)";
    }
}
