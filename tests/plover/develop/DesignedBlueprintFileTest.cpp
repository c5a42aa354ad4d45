// Blueprints whose data paths arrive designed from a file skip the design, so
// whatever bytes the file holds reach the assembly. They must end in a report
// and a failure status, never in a crash or a clock that wrapped into range.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Examples.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using nlohmann::json;

namespace {

// The LTE 20 MHz example as a designed blueprint file.
json DesignedLte20()
{
    Profile profile;
    EXPECT_EQ(Develop(profile, Example("lte-20mhz-2t2r-tdd")), 0);
    return json::parse(profile.marlinBlueprint.SaveToString());
}

struct HostileCase {
    const char* name;
    std::function<void(json&)> edit;
    std::string message;
};

const std::string NoCommonClock = ReportLine("ProfileBuilder", 1024);
const std::string OutOfRange = ReportLine("ProfileBuilder", 1030);

void Chain(json& channel, std::initializer_list<std::pair<int, int>> stages)
{
    for (auto [stage, value] : stages) channel["dataPath"][stage] = value;
}

}  // namespace

TEST(DesignedBlueprintFile, HostileStagesAreReported)
{
    const std::vector<HostileCase> cases{
        {"UnknownSinc", [](json& b) { b["rxChannel1"]["dataPath"][0] = 5; },
         ReportLine("RxChannel", 537)},
        // Same decimation (3 x 2), but HB3/HB4 selection 9.
        {"UnknownHb34",
         [](json& b) { Chain(b["rxChannel2"], {{3, 2}, {9, 1}, {21, 9}}); },
         ReportLine("RxChannel", 578)},
        {"UnknownHb56",
         [](json& b) { Chain(b["rxChannel1"], {{4, 2}, {9, 1}, {22, 0}}); },
         ReportLine("RxChannel", 595)},
        {"EveryStage255", [](json& b) { b["rxChannel1"]["dataPath"] = std::vector<int>(24, 255); }, NoCommonClock},
        // 30.72 MHz x 245 x 214 x 5 is 184.32 MHz modulo 2^32 on all four channels.
        {"ProductWrappingInto184MHz",
         [](json& b) {
             for (const char* name : {"rxChannel1", "rxChannel2", "txChannel1", "txChannel2"}) {
                 for (int stage = 2; stage <= 17; ++stage) b[name]["dataPath"][stage] = 1;
                 Chain(b[name], {{2, 245}, {5, 214}, {10, 5}});
             }
         },
         OutOfRange},
        {"PreprocessorFactorZero", [](json& b) { b["txChannel2"]["dataPath"][25] = 0; }, NoCommonClock},
        {"ZeroFactorInTheChain", [](json& b) { b["txChannel1"]["dataPath"][17] = 0; }, NoCommonClock},
    };
    const json designed = DesignedLte20();
    for (const HostileCase& c : cases) {
        json file = designed;
        c.edit(file);
        MarlinBlueprint blueprint;
        blueprint.LoadFromString(file.dump());
        ASSERT_TRUE(blueprint.isDesigned()) << c.name;

        Profile profile;
        const marlin_Init_t before = profile.ToInit();
        ReportCapture capture;
        EXPECT_EQ(Develop(profile, blueprint), -1) << c.name;
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(profile.ToInit(), before) << c.name;
    }
}

TEST(DesignedBlueprintFile, ProcessorDivisorZeroIsReported)
{
    json file = DesignedLte20();
    file["processorClockDivisor"] = 0;
    MarlinBlueprint blueprint;
    blueprint.LoadFromString(file.dump());
    Profile profile;
    ReportCapture capture;
    EXPECT_EQ(Develop(profile, blueprint), -1);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{ReportLine("ProfileBuilder", 1092)});
}
