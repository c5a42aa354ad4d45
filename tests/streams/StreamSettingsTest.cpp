#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "streams/AtomicFile.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamDelay.h"
#include "streams/StreamProfileFacts.h"

namespace Veltrix::Runnel {
namespace {

using Testing::ErrorOf;
using Testing::ReadText;
using Testing::TempFolder;

constexpr std::uint32_t kProcessorClock_Hz = 184320000;

// Below 10 us a cycle count (15 bits, held at 32767); from 10 us the
// microsecond form with bit 15 set, held at 0xFFFF rather than wrapped.
TEST(StreamDelay, CodesForTimesAndClocks)
{
    const struct {
        std::uint32_t time_ns, clock_Hz;
        std::uint16_t code;
    } cases[] = {
        {0, kProcessorClock_Hz, 0}, {80, kProcessorClock_Hz, 15}, {1000, kProcessorClock_Hz, 184},
        {9999, kProcessorClock_Hz, 1843}, {10000, kProcessorClock_Hz, 0x800A}, {750000, kProcessorClock_Hz, 0x82EE},
        {200000, kProcessorClock_Hz, 0x80C8}, {32767000, kProcessorClock_Hz, 0xFFFF}, {2, kProcessorClock_Hz, 0},
        {59, kProcessorClock_Hz, 11}, {40000000, kProcessorClock_Hz, 0xFFFF}, {0xFFFFFFFFU, kProcessorClock_Hz, 0xFFFF},
        {9999, 4000000000U, 32767},  // 39,996 cycles: more than the 15 bits hold
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NanoSecondsToStreamDelay(c.time_ns, c.clock_Hz), c.code) << c.time_ns << " ns at " << c.clock_Hz;
    }
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, kProcessorClock_Hz), 32767);
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, 1000), 1);  // one cycle of a 1 kHz clock
    EXPECT_THROW(NanoSecondsToStreamDelay(80, 999), std::invalid_argument);
    EXPECT_THROW(NanoSecondsToStreamDelay(20000, 0), std::invalid_argument);
}

// Flags give "" to keep a line and "#" to comment it out; delays their hex code.
TEST(MarlinSettingsTokens, DefaultsAndSettersFillTheTable)
{
    MarlinSettings settings;
    const auto& table = *settings.tokens;
    EXPECT_EQ(table.tokens.size(), 26U);  // 10 flags with two tokens, 6 delays with one
    EXPECT_TRUE(settings.defines.empty());
    const std::string line = "$Pll1LockWait$ $PllPhaseSyncWait$ $Delay_80ns$ $Delay_1us$ $IfRx1A$wr|$IfNoRx1A$wr|"
                             "$IfTx1IntLo$a|$IfNoTx1IntLo$b|$Pll2LockWait$";
    EXPECT_EQ(table.ReplaceTokens(line), "82EE 80C8 F B8 #wr|wr|#a|b|82EE");
    settings.rx1A(true);
    settings.tx1IntLo(true);
    settings.pll2LockWait(0x1234);
    EXPECT_EQ(table.ReplaceTokens(line), "82EE 80C8 F B8 wr|#wr|a|#b|1234");
    settings.tx1IntLo(false);
    EXPECT_EQ(table.tokens.size(), 26U);
    EXPECT_EQ(table.ReplaceTokens("$IfTx1IntLo$a|$IfNoTx1IntLo$b $Delay_1us$ $Delay_1us$"), "#a|b B8 B8");
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
    EXPECT_EQ(ErrorOf<std::invalid_argument>([&] { table.Process("a $X$"); }), "Template File Is Empty");
    EXPECT_EQ(ErrorOf<std::invalid_argument>([&] { table.DeleteTemp(); }), "TempLocation property has not been set");
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

std::string Generated(const StreamProfileFacts& facts)
{
    nlohmann::json json;
    GenerateMarlinStreamSettings(facts)->ToJson(json);
    return json.dump();
}

TEST(GenerateMarlinStreamSettings, FollowsTheProfile)
{
    // 9 us phase sync is below 10 us: cycles.
    EXPECT_EQ(Generated(DevelopedFacts()),
              R"({"Delay_1us":184,"Delay_80ns":15,"LdoPowerUpWait":32968,"Pll1LockWait":33518,"Pll2LockWait":33518,)"
              R"("PllPhaseSyncWait":1659,"Rx1A":true,"Rx1IntLo":true,"Rx1PortImpedanceControl":false,"Rx2A":false,)"
              R"("Rx2IntLo":false,"Rx2PortImpedanceControl":true,"Tx1FMDM":true,"Tx1IntLo":true,"Tx2FMDM":false,)"
              R"("Tx2IntLo":false})");
    // A disabled transmitter has no direct modulation; LO1 from outside needs no lock wait, LO2 still does.
    StreamProfileFacts facts = DevelopedFacts();
    facts.txChannels[0].enabled = false;
    facts.rfPll1LoMode = 2;
    facts.processorClockFrequency_Hz = 100000000;
    EXPECT_EQ(Generated(facts),
              R"({"Delay_1us":100,"Delay_80ns":8,"LdoPowerUpWait":32968,"Pll1LockWait":0,"Pll2LockWait":33518,)"
              R"("PllPhaseSyncWait":900,"Rx1A":true,"Rx1IntLo":true,"Rx1PortImpedanceControl":false,"Rx2A":false,)"
              R"("Rx2IntLo":false,"Rx2PortImpedanceControl":true,"Tx1FMDM":false,"Tx1IntLo":true,"Tx2FMDM":false,)"
              R"("Tx2IntLo":false})");
    facts.processorClockFrequency_Hz = 500;
    EXPECT_THROW(GenerateMarlinStreamSettings(facts), std::invalid_argument);
}

// The settings file: sorted keys indented by four, a final line break; it loads
// back to the same tokens; an unwritable place leaves nothing behind.
TEST(MarlinSettingsJson, SaveAndLoad)
{
    TempFolder folder;
    MarlinSettings settings;
    settings.rx2A(true);
    const auto file = (folder.path() / "settings.json").string();
    settings.Save(file);
    EXPECT_EQ(ReadText(file).substr(0, 42), "{\n    \"Delay_1us\": 184,\n    \"Delay_80ns\": ");
    EXPECT_EQ(ReadText(file).back(), '\n');
    MarlinSettings loaded;
    loaded.Load(file);
    EXPECT_EQ(loaded.tokens->tokens, settings.tokens->tokens);

    StreamSettings_Save(DevelopedFacts(), file);
    EXPECT_EQ(nlohmann::json::parse(ReadText(file)).dump(), Generated(DevelopedFacts()));
    EXPECT_THROW(settings.Save((folder.path() / "missing" / "settings.json").string()), FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

TEST(MarlinSettingsJson, BadFilesAreRejected)
{
    MarlinSettings settings;
    EXPECT_EQ(ErrorOf<std::invalid_argument>([&] { settings.Load("/nonexistent/settings.json"); }),
              "Can't open template file!");
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

}  // namespace
}  // namespace Veltrix::Runnel
