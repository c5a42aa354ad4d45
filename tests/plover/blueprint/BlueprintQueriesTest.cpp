// What a blueprint answers without a design: its LO mapping, the calibration
// masks it supports and whether the initial calibration runs in two stages.
// The cases are data (tests/data/blueprint/queries.json, see the README there);
// what features and a pinned mapping change is below.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

#include "plover/blueprint/Blueprint.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/Reports.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using json = nlohmann::json;

namespace {

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// A feature by its command-line ID with the fields a row gives it.
std::shared_ptr<Feature> MakeFeature(const std::string& id, const json& fields)
{
    if (id == "FH") {
        auto hopping = std::make_shared<FrequencyHoppingFeature>();
        hopping->mode = fields.value("mode", hopping->mode);
        return hopping;
    }
    if (id == "DynamicProfile") {
        auto dynamic = std::make_shared<DynamicProfileFeature>();
        dynamic->numDynamicProfiles = fields.value("numDynamicProfiles", dynamic->numDynamicProfiles);
        return dynamic;
    }
    if (id == "MMSync") {
        auto sync = std::make_shared<MonitorModeSyncFeature>();
        sync->monitorModeSyncOverSamplingRatio = fields.at("monitorModeSyncOverSamplingRatio");
        return sync;
    }
    if (id == "MCS") return std::make_shared<McsFeature>();
    if (id == "ExternalLna") return std::make_shared<ExternalLnaFeature>(std::array<marlin_RxLnaConfig_t, 2>{});
    return std::make_shared<RxPortImpedanceControlFeature>();
}

// Every answer of the blueprint as the data file writes it; a query that fails
// leaves its key out and must leave its output untouched.
json Answers(const MarlinBlueprint& b)
{
    json answers;
    const ReportCapture capture;
    LoMapping mapping;  // stale values a query must not keep
    mapping.rxLoSelect = {3, 3};
    mapping.loIsExternal = {true, true};
    if (b.LoMapping_Get(mapping) == 0) {
        answers["lo"] = {mapping.rxLoSelect[0], mapping.rxLoSelect[1], mapping.txLoSelect[0], mapping.txLoSelect[1]};
        answers["external"] = mapping.loIsExternal;
    }
    vx_marlin_InitCals init;
    init.systemMask = 7;
    init.channelMask = {0xDEAD, 0xDEAD};
    bool twoStage = true;
    const std::int8_t initStatus = b.SupportedInitCalMask_Get(init);
    EXPECT_EQ(b.RequiresTwoStageInitCal_Get(twoStage), initStatus);
    if (initStatus == 0) {
        EXPECT_EQ(init.twoStage, twoStage ? 1u : 0u);
        answers["init"] = {Hex(init.channelMask[0]), Hex(init.channelMask[1])};
        answers["initSystem"] = init.systemMask;
        answers["twoStage"] = twoStage;
    } else {
        EXPECT_EQ(init.systemMask, 7u);
        EXPECT_EQ(init.channelMask[1], 0xDEADu);
        EXPECT_TRUE(twoStage);
    }
    vx_marlin_TrackingCals tracking;
    tracking.channelMask = {0xFFFFFFFF, 0xFFFFFFFF};
    if (b.SupportedTrackingCalMask_Get(tracking) == 0) {
        answers["tracking"] = {Hex(tracking.channelMask[0]), Hex(tracking.channelMask[1])};
    }
    answers["interfaceRate"] = {b.rxChannel1.ssiInterfaceRate_Hz(), b.rxChannel2.ssiInterfaceRate_Hz(),
                                b.txChannel1.ssiInterfaceRate_Hz(), b.txChannel2.ssiInterfaceRate_Hz()};
    answers["ssiClock"] = {b.rxChannel1.SsiClock_Get(), b.rxChannel2.SsiClock_Get(), b.txChannel1.SsiClock_Get(),
                           b.txChannel2.SsiClock_Get()};
    answers["reports"] = capture.lines();
    return answers;
}

}  // namespace

TEST(BlueprintQueries, AnswerAsTheDataSays)
{
    for (json row : json::parse(ReadText(SourcePath("tests/data/blueprint/queries.json")))) {
        SCOPED_TRACE(row.at("case").get<std::string>());
        MarlinBlueprint b;
        b.LoadFromString(row.at("blueprint").dump());
        // Features are enabled first; each update may change the blueprint or refuse it.
        json enabling = {{"enable", json::array()}};
        const std::string loaded = b.SaveToString();
        const ReportCapture capture;
        for (const json& feature : row.value("features", json::array())) {
            enabling["enable"].push_back(b.Feature_Enable(MakeFeature(feature[0].get<std::string>(), feature[1])));
        }
        enabling["unchanged"] = b.SaveToString() == loaded;
        enabling["update"] = b.Update();
        enabling["enableReports"] = capture.lines();
        json expected = {{"reports", json::array()}, {"enableReports", json::array()}};
        for (const auto& [key, value] : row.items()) {
            if (key == "reports" || key == "enableReports") {
                for (const json& report : value) {
                    const auto parts = std::vector<std::string>(report.begin() + 2, report.end());
                    expected[key].push_back(ReportLine(report[0].get<std::string>(), report[1].get<int>(), parts));
                }
            } else if (key != "case" && key != "blueprint" && key != "features") {
                expected[key] = value;
            }
        }
        if (expected.contains("init")) expected["initSystem"] = 0;
        json answers = Answers(b);
        answers.update(enabling);
        EXPECT_EQ(MissingFrom(expected, answers), "");
    }
}

TEST(BlueprintQueries, UnknownDuplexIsReported)
{
    MarlinBlueprint b;
    b.duplex = static_cast<Duplex>(3);
    LoMapping m;
    m.rxLoSelect = {3, 3};
    EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(b.LoMapping_Get(m), -1); }), std::vector<std::string>{ReportLine("Blueprint", 268)});
    EXPECT_EQ(m.rxLoSelect[0], 3);
}

// A pinned mapping is returned as it is, whatever the blueprint says, until
// cleared (kept for a later pin) or released by Initialize.
TEST(BlueprintQueries, PinnedMappingIsReturnedUnchangedUntilCleared)
{
    MarlinBlueprint b;
    LoMapping pinned;
    pinned.rxLoSelect = {LO1, 3};
    pinned.loIsExternal = {false, true};
    EXPECT_EQ(b.LoMapping_Overwrite(pinned), 0);
    b.duplex = static_cast<Duplex>(9);
    EXPECT_EQ(MissingFrom({{"lo", {LO1, 3, LO1, LO1}}, {"external", {false, true}}}, Answers(b)), "");
    b.duplex = Duplex::FDD;
    EXPECT_EQ(b.LoMapping_Clear(), 0);
    EXPECT_EQ(MissingFrom({{"lo", {LO1, LO2, LO1, LO2}}}, Answers(b)), "");
    ASSERT_TRUE(b.loMappingOverride);
    EXPECT_EQ(*b.loMappingOverride, pinned);
    b.LoMapping_Overwrite(pinned);
    b.Initialize();
    EXPECT_FALSE(b.loMappingOverride || b.loMappingOverridden);
}

// Features adjust each answer after the blueprint (the real ones in the data
// file), in ID order; the first that fails stops the query.
TEST(BlueprintQueries, FeaturesAdjustAfterTheBlueprintAndMayFail)
{
    MarlinBlueprint b;
    auto first = std::make_shared<TestFeature>("A");
    first->onInit = [](vx_marlin_InitCals& m) { m.systemMask = 1; return std::int8_t{0}; };
    first->onTwoStage = [](bool& required) { required = true; return std::int8_t{0}; };
    auto second = std::make_shared<TestFeature>("B");
    int secondCalls = 0;
    second->onLoMapping = [&](LoMapping&) { ++secondCalls; return std::int8_t{0}; };
    b.Feature_Enable(second);
    b.Feature_Enable(first);
    EXPECT_EQ(MissingFrom({{"twoStage", true}, {"initSystem", 1}}, Answers(b)), "");
    EXPECT_GT(secondCalls, 0);

    secondCalls = 0;
    first->onLoMapping = [](LoMapping&) { return std::int8_t{-1}; };
    first->onTracking = [](vx_marlin_TrackingCals&) { return std::int8_t{-1}; };
    LoMapping mapping;
    vx_marlin_TrackingCals tracking;
    EXPECT_EQ(b.LoMapping_Get(mapping), -1);
    EXPECT_EQ(b.SupportedTrackingCalMask_Get(tracking), -1);
    EXPECT_EQ(secondCalls, 0);
}
