#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>

#include "plover/blueprint/Blueprint.h"
#include "plover/base/FileIo.h"
#include "plover/base/SourceUnit.h"
#include "support/Reports.h"
#include "support/Files.h"
#include "support/Json.h"
#include "support/Throws.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using json = nlohmann::json;

namespace {

// A blueprint file with values other than the defaults in every group of
// fields, written by the library itself (indented by four, keys sorted).
const std::string ConfiguredFile = SourcePath("tests/data/blueprint/configured.json");

MarlinBlueprint Configured()
{
    MarlinBlueprint b;
    b.Load(ConfiguredFile);
    return b;
}

}  // namespace

// Loading and saving give the file back byte for byte: what the caller chooses
// per run (the expanded search) or the designer derives (the loopback ADC rate,
// the INT3 factor) is kept but never saved.
TEST(BlueprintFile, SaveGivesTheLoadedFileBackByteForByte)
{
    TempFolder folder;
    const std::string path = folder.File("round.json");
    MarlinBlueprint b = Configured();
    b.expandedSearchEnable = true;
    b.Save(path);
    EXPECT_EQ(FirstDifference(ReadText(ConfiguredFile), ReadText(path)), "");
    EXPECT_EQ(b.txChannel2.dataPath.stages[24], 1);
    EXPECT_EQ(b.txChannel2.loopBackAdcRate, AdcRate::MED);
    // Loading replaces the fields only: features, a pinned LO mapping and the
    // expanded search stay.
    auto feature = std::make_shared<TestFeature>("MMSync");
    b.Feature_Enable(feature);
    b.LoMapping_Overwrite(LoMapping{});
    MarlinBlueprint().Save(path);
    b.Load(path);
    EXPECT_EQ(b.SaveToString(), MarlinBlueprint().SaveToString());
    ASSERT_EQ(b.features().size(), 1u);
    EXPECT_EQ(b.features()[0].get(), feature.get());
    EXPECT_TRUE(b.loMappingOverridden && b.loMappingOverride);
    EXPECT_TRUE(b.expandedSearchEnable);
}

// Keys left out keep their defaults, a loaded interface rate stops following
// the sampling rate, and the ADC rate rewrites the receive selections it
// couples (LOW: SINC 3, HB 1) whatever the file says.
TEST(BlueprintFile, LoadingStartsFromTheDefaultsAndAppliesTheCouplings)
{
    MarlinBlueprint b = Configured();
    b.LoadFromString(R"({"duplex": 1})");
    MarlinBlueprint expected;
    expected.duplex = Duplex::FDD;
    EXPECT_EQ(b.SaveToString(), expected.SaveToString());

    json j = json::parse(MarlinBlueprint().SaveToString());
    j["adcRate"] = 1;
    j["rxChannel1"]["dataPath"][19] = 6;
    j["rxChannel1"]["dataPath"][20] = 2;
    j["rxChannel1"]["dataPath"][21] = 4;
    j["rxChannel1"]["samplingRate_Hz"] = j["rxChannel1"]["ssiInterfaceRate_Hz"] = 1920000;
    b.LoadFromString(j.dump());
    EXPECT_EQ((std::array{b.rxChannel1.dataPath.stages[19], b.rxChannel1.dataPath.stages[20],
                          b.rxChannel1.dataPath.stages[21], b.rxChannel2.dataPath.stages[19]}),
              (std::array<unsigned char, 4>{3, 1, 4, 3}));
    EXPECT_EQ(b.txChannel1.loopBackAdcRate, AdcRate::LOW);
    EXPECT_FALSE(b.rxChannel1.ssiRateFollowsSamplingRate());
    b.rxChannel1.samplingRate_Hz(3840000);
    EXPECT_EQ(b.rxChannel1.ssiInterfaceRate_Hz(), 1920000u);
}

TEST(BlueprintFile, MissingFileThrowsTheRecordedError)
{
    TempFolder folder;
    MarlinBlueprint b = Configured();
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { b.Load(folder.File("absent.json")); }), ReportLine("Blueprint", 438));
    EXPECT_EQ(b.SaveToString(), Configured().SaveToString());
}

TEST(BlueprintFile, BadTextLeavesTheBlueprintExactlyAsItWas)
{
    struct Case {
        const char* name;
        std::string text;
        const char* fragment;  // of the reader's error
    };
    // Each text is valid up to one late fault, so a reader that copied as it
    // went would already have changed the blueprint.
    const Case cases[] = {
        {"truncated", R"({"duplex": 0, "rxChannel1": {"enabled": false)", "parse_error"},
        {"comment", "{\"duplex\": 0 // TDD\n}", "parse_error"},
        {"not json", "duplex = 0", "parse_error"},
        {"boolean as number", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "warmBootEnable": 1})", "type must be boolean, but is number"},
        {"filter not an array",
         R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": {"channelFilter": "none"}})", "type must be array, but is string"},
        {"short filter", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel2": {"channelFilter": [1, 2]}})",
         "out_of_range"},
        {"short data path", R"({"duplex": 0, "rxChannel2": {"dataPath": [1, 1, 3]}})", "out_of_range"},
        {"number as text", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "deviceClockInput_kHz": "38400"})",
         "type must be number, but is string"},
        {"channel not an object", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": [1]})",
         "type must be object, but is array"},
        {"top level not an object", R"([{"duplex": 0}])", "type must be object, but is array"},
        {"nested past the stack", R"({"duplex": 0, "txChannel1": )" + std::string(150000, '['), "parse_error"},
        {"deep value where an object belongs",
         R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": )" + std::string(60, '[') +
             std::string(60, ']') + "}",
         "type must be object, but is array"},
    };
    auto feature = std::make_shared<TestFeature>("F");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint b = Configured();
        b.Feature_Enable(feature);
        b.expandedSearchEnable = true;
        const std::string before = b.SaveToString();
        EXPECT_NE(ThrownText<json::exception>([&] { b.LoadFromString(c.text); }).find(c.fragment), std::string::npos);
        EXPECT_EQ(b.SaveToString(), before);
        EXPECT_EQ(b.features().size(), 1u);
        EXPECT_TRUE(b.expandedSearchEnable);
    }
}

TEST(BlueprintFile, UnwritableSaveIsReportedWithItsPath)
{
    TempFolder folder;
    const std::string path = folder.File("no/such/folder/bp.json");
    ReportCapture capture;
    MarlinBlueprint().Save(path);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("Blueprint", 402, {path})});
    EXPECT_FALSE(std::filesystem::exists(path));
}
