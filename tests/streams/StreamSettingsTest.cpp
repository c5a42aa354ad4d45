#include <gtest/gtest.h>

#include <filesystem>

#include "StreamData.h"
#include "support/Throws.h"
#include "streams/AtomicFile.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamDelay.h"
#include "streams/StreamProfileFacts.h"

namespace Veltrix::Runnel {

// Profile facts as tests/data/streams/stream-settings.json writes them.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(StreamTxFacts, enabled, channelNumber, outputSignaling)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(StreamProfileFacts, processorClockFrequency_Hz, txChannels, channelLoSource, rx1RfInputSel,
                                   rx2RfInputSel, rxPortImpedanceControl, rfPll1LoMode, rfPll2LoMode, pllLockWait_us,
                                   pllPhaseSyncWait_us)

namespace {

using namespace PloverTest;

// Below 10 us a cycle count (15 bits, held at 32767); from 10 us the
// microsecond form with bit 15 set, held at 0xFFFF rather than wrapped. Rows:
// tests/data/streams/stream-delays.json (time in ns, clock in Hz, code).
TEST(StreamDelay, CodesForTimesAndClocks)
{
    for (const auto& row : StreamData("stream-delays.json")) {
        EXPECT_EQ(NanoSecondsToStreamDelay(row[0], row[1]), row[2]) << row;
    }
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, 184320000), 32767);
    EXPECT_EQ(NanoSecondsToStreamCycles(1000000, 1000), 1);  // one cycle of a 1 kHz clock
    for (const std::uint32_t clock_Hz : {999u, 0u}) EXPECT_THROW(NanoSecondsToStreamDelay(20000, clock_Hz), std::invalid_argument);
}

// Flags give "" to keep a line and "#" to comment it out; delays their hex code.
TEST(MarlinSettingsTokens, DefaultsAndSettersFillTheTable)
{
    MarlinSettings settings;
    const auto& table = *settings.tokens;
    const std::string line = "$Pll1LockWait$ $PllPhaseSyncWait$ $Delay_80ns$ $Delay_1us$ $IfRx1A$wr|$IfNoRx1A$wr|"
                             "$IfTx1IntLo$a|$IfNoTx1IntLo$b|$Pll2LockWait$";
    EXPECT_EQ(table.ReplaceTokens(line), "82EE 80C8 F B8 #wr|wr|#a|b|82EE");
    settings.rx1A(true);
    settings.tx1IntLo(true);
    settings.pll2LockWait(0x1234);
    EXPECT_EQ(table.ReplaceTokens(line), "82EE 80C8 F B8 wr|#wr|a|#b|1234");
    settings.tx1IntLo(false);
    EXPECT_EQ(table.tokens.size(), 26U);  // a setter replaces its tokens, never adds
    EXPECT_EQ(table.ReplaceTokens("$IfTx1IntLo$a|$IfNoTx1IntLo$b $Delay_1us$ $Delay_1us$"), "#a|b B8 B8");
}

TEST(TokenReplaceRules, PatternsTempFilesAndValuesThatAreNotSearchedAgain)
{
    TokenReplace table;
    table.AddToken("Tok", "v");
    table.AddToken("Tok", "ignored");  // the first replacement stays
    table.AddToken("$T$", "$T$$T$");   // a value holding its own pattern is not searched again
    EXPECT_EQ(table.ReplaceTokens("$Tok$ Tok $Tok $T$"), "v Tok $Tok $T$$T$");
    table.RemoveToken("Tok");
    EXPECT_EQ(table.ReplaceTokens("$Tok$"), "$Tok$");

    table.AddToken("X", "7");
    EXPECT_EQ(ThrownText<std::invalid_argument>([&] { table.Process("a $X$"); }), "Template File Is Empty");
    EXPECT_EQ(ThrownText<std::invalid_argument>([&] { table.DeleteTemp(); }), "TempLocation property has not been set");
    TempFolder folder;
    table.TempLocation = folder.File("out.txt");
    table.Process("a $X$");
    EXPECT_EQ(table.text, "a 7");
    EXPECT_EQ(ReadText(table.TempLocation), "a 7");
    table.DeleteTemp();
    EXPECT_FALSE(std::filesystem::exists(table.TempLocation));
    // A temp file that cannot be written is an error, not a silent skip.
    table.TempLocation = folder.File("missing/out.txt");
    EXPECT_THROW(table.Process("a $X$"), FileWriteError);
}

nlohmann::json Generated(const StreamProfileFacts& facts)
{
    nlohmann::json json;
    const std::string error = ThrownText<std::invalid_argument>([&] { GenerateMarlinStreamSettings(facts)->ToJson(json); });
    return error == PloverTest::NoException ? json : "refused";
}

// Rows of tests/data/streams/stream-settings.json: profile facts and the settings they give.
TEST(GenerateMarlinStreamSettings, FollowsTheProfile)
{
    for (const auto& row : StreamData("stream-settings.json")) {
        EXPECT_EQ(Generated(row["facts"].get<StreamProfileFacts>()), row["settings"]) << row["what"];
    }
}

// The settings file: sorted keys indented by four, a final line break; it loads
// back to the same tokens; an unwritable place leaves nothing behind; a file
// missing a key, or with a value of the wrong type or range, is refused.
TEST(MarlinSettingsJson, SaveLoadAndBadFiles)
{
    TempFolder folder;
    MarlinSettings settings;
    settings.rx2A(true);
    const auto file = folder.File("settings.json");
    settings.Save(file);
    EXPECT_EQ(ReadText(file).substr(0, 42), "{\n    \"Delay_1us\": 184,\n    \"Delay_80ns\": ");
    EXPECT_EQ(ReadText(file).back(), '\n');
    MarlinSettings loaded;
    loaded.Load(file);
    EXPECT_EQ(loaded.tokens->tokens, settings.tokens->tokens);
    const auto facts = StreamData("stream-settings.json")[0]["facts"].get<StreamProfileFacts>();
    StreamSettings_Save(facts, file);
    EXPECT_EQ(nlohmann::json::parse(ReadText(file)), Generated(facts));
    EXPECT_THROW(settings.Save(folder.File("missing/settings.json")), FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));

    EXPECT_EQ(ThrownText<std::invalid_argument>([&] { settings.Load("/nonexistent/settings.json"); }),
              "Can't open template file!");
    nlohmann::json json;
    settings.ToJson(json);
    json.erase("Rx2A");
    EXPECT_THROW(settings.FromJson(json), nlohmann::json::out_of_range);
    for (const auto& [key, value] : {std::pair{"Tx1FMDM", nlohmann::json("yes")}, {"Pll1LockWait", 70000}, {"Pll1LockWait", -1}}) {
        settings.ToJson(json);
        json[key] = value;
        EXPECT_THROW(settings.FromJson(json), std::exception) << key << " " << value;
    }
}

}  // namespace
}  // namespace Veltrix::Runnel
