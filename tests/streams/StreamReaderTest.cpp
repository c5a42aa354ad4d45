#include <gtest/gtest.h>

#include <sstream>

#include "TempFolder.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamReader.h"

namespace Veltrix::Runnel {
namespace {

std::vector<std::shared_ptr<StreamContainer>> Read(const std::string& text, const MarlinSettings& settings)
{
    SpiRegisterMap registers;
    registers.Add("CORE_REG_CORE_A", 0x0210);
    std::istringstream in(text);
    return ReadStreams(in, registers, settings);
}

std::string ErrorOf(const std::string& text)
{
    return Testing::ErrorOf<std::invalid_argument>([&] { Read(text, MarlinSettings()); });
}

std::vector<std::uint8_t> OpcodesOf(const StreamContainer& stream)
{
    std::vector<std::uint8_t> codes;
    for (const auto& instruction : stream.Instructions()) {
        codes.push_back(instruction->opcode);
    }
    return codes;
}

TEST(StreamReader, CutsStreamsAndIgnoresCommentsAndStrayLines)
{
    const std::string text =
        "# header comment\n"
        "inc r1            # outside any stream: ignored\n"
        "STREAM 3\r\n"
        "   inc r2   # trailing comment\r\n"
        "\n"
        "\tRETURN\n"
        "dec r4\n"
        "stream 4\n"
        "return\n";
    const auto streams = Read(text, MarlinSettings());
    ASSERT_EQ(streams.size(), 2U);
    EXPECT_EQ(streams[0]->StreamNumber(), 3);
    EXPECT_EQ(OpcodesOf(*streams[0]), (std::vector<std::uint8_t>{0x5A, 0xC6}));
    EXPECT_EQ(streams[1]->StreamNumber(), 4);
    EXPECT_EQ(OpcodesOf(*streams[1]), (std::vector<std::uint8_t>{0xC6}));
}

TEST(StreamReader, TokensSwitchLinesAndFillInDelays)
{
    const std::string text =
        "stream 0\n"
        "$IfRx1A$wr CORE_REG_CORE_A 1\n"
        "$IfNoRx1A$wr CORE_REG_CORE_A 2\n"
        "wait $Delay_1us$\n"
        "return\n";
    MarlinSettings settings;
    settings.rx1A(true);
    auto streams = Read(text, settings);
    ASSERT_EQ(streams.size(), 1U);
    EXPECT_EQ(streams[0]->OperandBytes(), (std::vector<std::uint8_t>{0x10, 0x02, 0x01, 0xB8, 0x00, 0, 0, 0}));
    settings.rx1A(false);
    settings.delay_1us(0x1234);
    streams = Read(text, settings);
    EXPECT_EQ(streams[0]->OperandBytes(), (std::vector<std::uint8_t>{0x10, 0x02, 0x02, 0x34, 0x12, 0, 0, 0}));
}

TEST(StreamReader, IfdefBlocksFollowTheDefinesInAnyCase)
{
    const std::string text =
        "stream 0\n"
        "%IFDEF TRACE\n"
        "inc r1\n"
        "%ELSE\n"
        "inc r2\n"
        "%ENDIF\n"
        "  %ifdef OTHER  # indented, with a comment\n"
        "inc r3\n"
        "%endif\n"
        "return\n";
    MarlinSettings settings;
    EXPECT_EQ(OpcodesOf(*Read(text, settings)[0]), (std::vector<std::uint8_t>{0x5A, 0xC6}));
    settings.defines = {{"TRACE", ""}, {"OTHER", "1"}};
    EXPECT_EQ(OpcodesOf(*Read(text, settings)[0]), (std::vector<std::uint8_t>{0x59, 0x5B, 0xC6}));
    settings.defines = {{"trace", ""}};  // names are matched as written
    EXPECT_EQ(OpcodesOf(*Read(text, settings)[0]), (std::vector<std::uint8_t>{0x5A, 0xC6}));
}

TEST(StreamReader, BlocksDoNotNestAndAStrayEndifChangesNothing)
{
    // The inner %ifdef is no directive; the first %endif closes the block, so the
    // second one stands alone and the lines after it are read as usual.
    const std::string text = "%endif\n%ifdef A\n%ifdef B\n%endif\nstream 0\n%endif\ninc r1\nreturn\n";
    MarlinSettings settings;
    const auto streams = Read(text, settings);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(OpcodesOf(*streams[0]), (std::vector<std::uint8_t>{0x59, 0xC6}));
}

TEST(StreamReader, MalformedSourcesAreRejectedWithTheirLine)
{
    EXPECT_EQ(ErrorOf("#\n#\n%ifdef NEVER\nstream 0\nreturn\n"), "Could not find %endif for %ifdef on line: 3");
    EXPECT_EQ(ErrorOf("%else\n"), "%else without %ifdef on line: 1");
    EXPECT_EQ(ErrorOf("\n%ifdef\n%endif\n"), "%ifdef without a name on line: 2");
    EXPECT_EQ(ErrorOf("return\n"), "return outside a stream on line: 1");
    EXPECT_EQ(ErrorOf("stream 0\ninc r1\nstream 1\nreturn\n"), "stream without return before line: 3");
    EXPECT_EQ(ErrorOf("stream 0\ninc r1\n"), "stream without return, started on line: 1");
    EXPECT_EQ(ErrorOf("stream 0\nbogus\nreturn\n"), "Failed to parse instruction: bogus");
}

}  // namespace
}  // namespace Veltrix::Runnel
