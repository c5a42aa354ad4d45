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

MarlinBlueprint Configured()
{
    MarlinBlueprint b;
    b.adcRate(AdcRate::MED);
    b.duplex = Duplex::FDD;
    b.clockPllMode = ClockPllMode::LOW_POWER;
    b.deviceClockInput_kHz = 38400;
    b.processorClockDivisor = ProcessorClockDivisor::DIVISOR_4;
    b.diversity = true;
    b.warmBootEnable = true;
    b.loExternal2.loDivisor = 513;
    b.loExternal2.loSignalingType = 1;
    b.rxChannel1.enabled = true;
    b.rxChannel1.samplingRate_Hz(1920000);
    b.rxChannel1.rfChannelBandwidth_Hz = 1000000;
    b.rxChannel1.intermediateFrequency_Hz = -250000;
    b.rxChannel1.ncoEnable = true;
    b.rxChannel1.channelFilter[0] = -8388608;
    b.rxChannel1.channelFilter[127] = 12345;
    b.rxChannel1.dataPath.stages[2] = 3;
    b.rxChannel1.dataPath.stages[23] = 2;
    b.txChannel2.enabled = true;
    b.txChannel2.samplingRate_Hz(48000);
    b.txChannel2.ssiInterfaceRate_Hz(96000);
    b.txChannel2.channelSignalType(2);
    b.txChannel2.peakLoopbackPower_dBm = -12;
    b.txChannel2.elbType = ElbType::AFTER_PA;
    b.txChannel2.dataPath.stages[10] = 5;
    b.txChannel2.dataPath.stages[25] = 2;
    return b;
}

}  // namespace

TEST(BlueprintFile, SavedTextIsIndentedFourWithSortedKeys)
{
    TempFolder folder;
    const std::string path = folder.File("bp.json");
    MarlinBlueprint().Save(path);
    std::string text;
    ASSERT_TRUE(ReadFileWhole(path, text));
    EXPECT_EQ(text.rfind("{\n    \"adcRate\": 3,\n    \"allowPllRetuning\": false,", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("\n        \"adcType\": 1,"), std::string::npos);
    EXPECT_TRUE(KeysSortedEverywhere(nlohmann::ordered_json::parse(text)));

    // What the caller chooses per run, or the designer derives, is not saved.
    const json j = json::parse(text);
    EXPECT_FALSE(j.contains("expandedSearchEnable"));
    EXPECT_FALSE(j.at("txChannel1").contains("loopBackAdcRate"));
    EXPECT_FALSE(j.at("txChannel1").contains("int3Factor"));
}

TEST(BlueprintFile, RoundTripKeepsEverySavedField)
{
    TempFolder folder;
    for (const MarlinBlueprint& original : {MarlinBlueprint(), Configured()}) {
        const std::string path = folder.File("round.json");
        original.Save(path);
        MarlinBlueprint loaded;
        loaded.Load(path);
        EXPECT_EQ(loaded.SaveToString(), original.SaveToString());
    }
    MarlinBlueprint loaded;
    loaded.LoadFromString(Configured().SaveToString());
    EXPECT_EQ(loaded.txChannel2.dataPath.stages[24], 1);
    EXPECT_EQ(loaded.txChannel2.loopBackAdcRate, AdcRate::MED);
}

TEST(BlueprintFile, MissingKeysKeepTheirDefaults)
{
    MarlinBlueprint b = Configured();
    b.LoadFromString(R"({"duplex": 1})");
    MarlinBlueprint expected;
    expected.duplex = Duplex::FDD;
    EXPECT_EQ(b.SaveToString(), expected.SaveToString());

    b.LoadFromString(R"({"rxChannel2": {"enabled": true}})");
    EXPECT_TRUE(b.rxChannel2.enabled);
    EXPECT_EQ(b.rxChannel2.channelFilterType, ChannelFilterType::LOOK_UP);
    EXPECT_EQ(b.rxChannel2.ssiDataFormat, 4);
}

TEST(BlueprintFile, AdcRateRewritesTheReceiveSelections)
{
    // The coupling rule itself is BlueprintTest's; here that loading applies it (LOW rate: SINC 3).
    json j = json::parse(MarlinBlueprint().SaveToString());
    j["adcRate"] = 1;
    j["rxChannel1"]["dataPath"][19] = 6;
    j["rxChannel1"]["dataPath"][20] = 2;
    j["rxChannel1"]["dataPath"][21] = 4;
    MarlinBlueprint b;
    b.LoadFromString(j.dump());
    EXPECT_EQ(b.rxChannel1.dataPath.stages[19], 3);
    EXPECT_EQ(b.rxChannel1.dataPath.stages[20], 1);
    EXPECT_EQ(b.rxChannel1.dataPath.stages[21], 4);
    EXPECT_EQ(b.rxChannel2.dataPath.stages[19], 3);
    EXPECT_EQ(b.txChannel1.loopBackAdcRate, AdcRate::LOW);
}

TEST(BlueprintFile, LoadedInterfaceRateNoLongerFollows)
{
    MarlinBlueprint b;
    b.LoadFromString(R"({"rxChannel1": {"samplingRate_Hz": 1920000, "ssiInterfaceRate_Hz": 1920000}})");
    EXPECT_FALSE(b.rxChannel1.ssiRateFollowsSamplingRate());
    b.rxChannel1.samplingRate_Hz(3840000);
    EXPECT_EQ(b.rxChannel1.ssiInterfaceRate_Hz(), 1920000u);
}

TEST(BlueprintFile, LoadKeepsFeaturesOverrideAndExpandedSearch)
{
    MarlinBlueprint b;
    auto feature = std::make_shared<TestFeature>("MMSync");
    b.Feature_Enable(feature);
    b.LoMapping_Overwrite(LoMapping{});
    b.expandedSearchEnable = true;
    b.LoadFromString(Configured().SaveToString());
    ASSERT_EQ(b.features().size(), 1u);
    EXPECT_EQ(b.features()[0].get(), feature.get());
    EXPECT_TRUE(b.loMappingOverridden);
    EXPECT_TRUE(b.loMappingOverride);
    EXPECT_TRUE(b.expandedSearchEnable);
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
    enum class Kind { Parse, Type, Range };
    struct Case {
        const char* name;
        std::string text;
        Kind kind;
        const char* fragment;
    };
    // Each text is valid up to one late fault, so a reader that copied as it
    // went would already have changed the blueprint.
    const Case cases[] = {
        {"truncated", R"({"duplex": 0, "rxChannel1": {"enabled": false)", Kind::Parse, ""},
        {"comment", "{\"duplex\": 0 // TDD\n}", Kind::Parse, ""},
        {"not json", "duplex = 0", Kind::Parse, ""},
        {"boolean as number", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "warmBootEnable": 1})", Kind::Type,
         "type must be boolean, but is number"},
        {"filter not an array",
         R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": {"channelFilter": "none"}})", Kind::Type,
         "type must be array, but is string"},
        {"short filter", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel2": {"channelFilter": [1, 2]}})",
         Kind::Range, ""},
        {"short data path", R"({"duplex": 0, "rxChannel2": {"dataPath": [1, 1, 3]}})", Kind::Range, ""},
        {"number as text", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "deviceClockInput_kHz": "38400"})",
         Kind::Type, "type must be number, but is string"},
        {"channel not an object", R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": [1]})",
         Kind::Type, "type must be object, but is array"},
        {"top level not an object", R"([{"duplex": 0}])", Kind::Type, "type must be object, but is array"},
        {"nested past the stack", R"({"duplex": 0, "txChannel1": )" + std::string(150000, '['), Kind::Parse, ""},
        {"deep value where an object belongs",
         R"({"duplex": 0, "rxChannel1": {"enabled": false}, "txChannel1": )" + std::string(60, '[') +
             std::string(60, ']') + "}",
         Kind::Type, "type must be object, but is array"},
    };
    auto feature = std::make_shared<TestFeature>("F");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint b = Configured();
        b.Feature_Enable(feature);
        b.expandedSearchEnable = true;
        const std::string before = b.SaveToString();
        try {
            b.LoadFromString(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const json::parse_error&) {
            EXPECT_EQ(c.kind, Kind::Parse);
        } catch (const json::type_error& e) {
            EXPECT_EQ(c.kind, Kind::Type);
            EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
        } catch (const json::out_of_range&) {
            EXPECT_EQ(c.kind, Kind::Range);
        }
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
