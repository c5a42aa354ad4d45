#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "streams/AtomicFile.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamDelay.h"
#include "streams/StreamProfileFacts.h"

namespace Veltrix::Runnel {
namespace {

using Testing::ReadText;
using Testing::TempFolder;

constexpr std::uint32_t kProcessorClock_Hz = 184320000;

TEST(StreamDelay, CodesForTimesAtA184MHzProcessorClock)
{
    struct Case {
        std::uint32_t time_ns;
        std::uint16_t code;
    };
    const Case cases[] = {
        {0, 0},          {80, 15},         {1000, 184},     {9999, 1843},    {10000, 0x800A},
        {750000, 0x82EE}, {200000, 0x80C8}, {32767000, 0xFFFF}, {2, 0},       {59, 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NanoSecondsToStreamDelay(c.time_ns, kProcessorClock_Hz), c.code) << c.time_ns << " ns";
    }
}

TEST(StreamDelay, CycleCountIsCappedAt32767)
{
    // A 4 GHz clock counts 39,996 cycles in 9,999 ns: more than the 15 bits hold.
    EXPECT_EQ(NanoSecondsToStreamDelay(9999, 4000000000U), 32767);
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, kProcessorClock_Hz), 32767);
}

TEST(StreamDelay, MicrosecondFormIsHeldAtItsLargestValueRatherThanWrapped)
{
    // 40 ms would wrap to 7.2 ms in 15 bits.
    EXPECT_EQ(NanoSecondsToStreamDelay(40000000, kProcessorClock_Hz), 0xFFFF);
    EXPECT_EQ(NanoSecondsToStreamDelay(0xFFFFFFFFU, kProcessorClock_Hz), 0xFFFF);
}

TEST(StreamDelay, ClockBelowOneKilohertzIsRejected)
{
    EXPECT_THROW(NanoSecondsToStreamDelay(80, 999), std::invalid_argument);
    EXPECT_THROW(NanoSecondsToStreamDelay(20000, 0), std::invalid_argument);
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, 1000), 1);  // one cycle of a 1 kHz clock
}

TEST(MarlinSettingsTokens, DefaultsFillTheWholeTable)
{
    MarlinSettings settings;
    const auto& tokens = settings.tokens->tokens;
    EXPECT_EQ(tokens.size(), 26U);  // 10 flags with two tokens, 6 delays with one
    EXPECT_EQ(tokens.at("$Pll1LockWait$"), "82EE");
    EXPECT_EQ(tokens.at("$PllPhaseSyncWait$"), "80C8");
    EXPECT_EQ(tokens.at("$Delay_80ns$"), "F");
    EXPECT_EQ(tokens.at("$Delay_1us$"), "B8");
    EXPECT_EQ(tokens.at("$IfRx1A$"), "#");
    EXPECT_EQ(tokens.at("$IfNoRx1A$"), "");
    EXPECT_TRUE(settings.defines.empty());
}

TEST(MarlinSettingsTokens, SettersReplaceTheirTokens)
{
    MarlinSettings settings;
    settings.tx1IntLo(true);
    EXPECT_EQ(settings.tokens->tokens.at("$IfTx1IntLo$"), "");
    EXPECT_EQ(settings.tokens->tokens.at("$IfNoTx1IntLo$"), "#");
    settings.tx1IntLo(false);
    EXPECT_EQ(settings.tokens->tokens.size(), 26U);
    EXPECT_EQ(settings.tokens->tokens.at("$IfTx1IntLo$"), "#");
    EXPECT_EQ(settings.tokens->tokens.at("$IfNoTx1IntLo$"), "");
    settings.pll2LockWait(0x1234);
    EXPECT_EQ(settings.tokens->tokens.at("$Pll2LockWait$"), "1234");
}

TEST(MarlinSettingsTokens, IfTokensKeepOrCommentALine)
{
    MarlinSettings settings;
    settings.rx1A(true);
    EXPECT_EQ(settings.tokens->ReplaceTokens("$IfRx1A$wr 10 1"), "wr 10 1");
    settings.rx1A(false);
    EXPECT_EQ(settings.tokens->ReplaceTokens("$IfRx1A$wr 10 1"), "#wr 10 1");
    EXPECT_EQ(settings.tokens->ReplaceTokens("$IfNoRx1A$wr 10 1 $Delay_1us$ $Delay_1us$"), "wr 10 1 B8 B8");
}

TEST(TokenReplaceRules, PatternsAreWrappedInDollarsAndValuesAreNotSearchedAgain)
{
    TokenReplace table;
    table.AddToken("Tok", "v");
    table.AddToken("Tok", "ignored");  // the first replacement stays
    table.AddToken("$T$", "$T$$T$");   // a value holding its own pattern is not searched again
    EXPECT_EQ(table.ReplaceTokens("$Tok$ Tok $Tok $T$"), "v Tok $Tok $T$$T$");
    table.RemoveToken("Tok");
    EXPECT_EQ(table.ReplaceTokens("$Tok$"), "$Tok$");
}

TEST(TokenReplaceRules, ProcessAndDeleteTempNeedATempLocation)
{
    TokenReplace table;
    table.AddToken("X", "7");
    try {
        table.Process("a $X$");
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Template File Is Empty");
    }
    try {
        table.DeleteTemp();
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "TempLocation property has not been set");
    }
    TempFolder folder;
    table.TempLocation = (folder.path() / "out.txt").string();
    table.Process("a $X$");
    EXPECT_EQ(table.text, "a 7");
    EXPECT_EQ(ReadText(table.TempLocation), "a 7");
    table.DeleteTemp();
    EXPECT_FALSE(std::filesystem::exists(table.TempLocation));
    // A temp file that cannot be written is an error, not a silent skip.
    table.TempLocation = (folder.path() / "missing" / "out.txt").string();
    EXPECT_THROW(table.Process("a $X$"), FileWriteError);
}

TEST(MarlinSettingsJson, SaveWritesSortedKeysIndentedByFourWithALineBreak)
{
    TempFolder folder;
    MarlinSettings settings;
    settings.rx2A(true);
    const auto file = folder.path() / "settings.json";
    settings.Save(file.string());
    const std::string text = ReadText(file);
    EXPECT_EQ(text.substr(0, 42), "{\n    \"Delay_1us\": 184,\n    \"Delay_80ns\": ");
    EXPECT_EQ(text.back(), '\n');
    EXPECT_LT(text.find("\"LdoPowerUpWait\""), text.find("\"Pll1LockWait\""));

    MarlinSettings loaded;
    loaded.Load(file.string());
    EXPECT_TRUE(loaded.rx2A());
    EXPECT_EQ(loaded.pll1LockWait(), 0x82EE);
    EXPECT_EQ(loaded.tokens->tokens, settings.tokens->tokens);
}

TEST(MarlinSettingsJson, BadFilesAreRejected)
{
    MarlinSettings settings;
    try {
        settings.Load("/nonexistent/settings.json");
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Can't open template file!");
    }
    nlohmann::json json;
    settings.ToJson(json);
    json.erase("Rx2A");
    EXPECT_THROW(settings.FromJson(json), nlohmann::json::out_of_range);
    settings.ToJson(json);
    json["Tx1FMDM"] = "yes";
    EXPECT_THROW(settings.FromJson(json), nlohmann::json::type_error);
    settings.ToJson(json);
    json["Pll1LockWait"] = 70000;
    EXPECT_THROW(settings.FromJson(json), std::invalid_argument);
    json["Pll1LockWait"] = -1;
    EXPECT_THROW(settings.FromJson(json), std::invalid_argument);
}

TEST(MarlinSettingsJson, SaveToAnUnwritablePlaceLeavesNothingBehind)
{
    TempFolder folder;
    MarlinSettings settings;
    const auto file = folder.path() / "missing" / "settings.json";
    EXPECT_THROW(settings.Save(file.string()), FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

StreamProfileFacts DevelopedFacts()
{
    StreamProfileFacts facts;
    facts.processorClockFrequency_Hz = kProcessorClock_Hz;
    facts.txChannels = {StreamTxFacts{true, 1, 2}, StreamTxFacts{true, 2, 1}};
    facts.channelLoSource = {0, 1, 0, 1};  // rx1, rx2, tx1, tx2
    facts.rx1RfInputSel = 0;
    facts.rx2RfInputSel = 1;
    facts.rxPortImpedanceControl = {false, true};
    facts.rfPll1LoMode = 0;
    facts.pllLockWait_us = 750;
    facts.pllPhaseSyncWait_us = 9;
    return facts;
}

TEST(GenerateMarlinStreamSettings, FollowsTheProfile)
{
    const auto settings = GenerateMarlinStreamSettings(DevelopedFacts());
    EXPECT_TRUE(settings->tx1FMDM());
    EXPECT_FALSE(settings->tx2FMDM());
    EXPECT_TRUE(settings->rx1IntLo());
    EXPECT_FALSE(settings->rx2IntLo());
    EXPECT_TRUE(settings->tx1IntLo());
    EXPECT_FALSE(settings->tx2IntLo());
    EXPECT_TRUE(settings->rx1A());
    EXPECT_FALSE(settings->rx2A());
    EXPECT_FALSE(settings->rx1PortImpedanceControl());
    EXPECT_TRUE(settings->rx2PortImpedanceControl());
    EXPECT_EQ(settings->pll1LockWait(), 0x82EE);
    EXPECT_EQ(settings->pll2LockWait(), 0x82EE);
    EXPECT_EQ(settings->pllPhaseSyncWait(), 1659);  // 9 us is below 10 us: cycles
    EXPECT_EQ(settings->ldoPowerUpWait(), 0x80C8);
    EXPECT_EQ(settings->delay_80ns(), 15);
    EXPECT_EQ(settings->delay_1us(), 184);
}

TEST(GenerateMarlinStreamSettings, DisabledTransmittersAndExternalLoKeepDefaults)
{
    StreamProfileFacts facts = DevelopedFacts();
    facts.txChannels[0].enabled = false;
    facts.rfPll1LoMode = 2;
    facts.processorClockFrequency_Hz = 100000000;
    const auto settings = GenerateMarlinStreamSettings(facts);
    EXPECT_FALSE(settings->tx1FMDM());
    EXPECT_EQ(settings->pll1LockWait(), 0);
    EXPECT_EQ(settings->pll2LockWait(), 0x82EE);  // LO2 is still internal
    EXPECT_EQ(settings->delay_80ns(), 8);
    EXPECT_EQ(settings->delay_1us(), 100);

    facts.processorClockFrequency_Hz = 500;
    EXPECT_THROW(GenerateMarlinStreamSettings(facts), std::invalid_argument);
}

TEST(GenerateMarlinStreamSettings, SaveWritesTheDerivedSettings)
{
    TempFolder folder;
    const auto file = folder.path() / "stream_settings.json";
    StreamSettings_Save(DevelopedFacts(), file.string());
    const auto json = nlohmann::json::parse(ReadText(file));
    EXPECT_EQ(json.at("Tx1FMDM"), true);
    EXPECT_EQ(json.at("Rx2PortImpedanceControl"), true);
    EXPECT_EQ(json.size(), 16U);
}

}  // namespace
}  // namespace Veltrix::Runnel
