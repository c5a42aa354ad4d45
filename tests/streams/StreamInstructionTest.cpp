// Instruction encodings, listings and messages, kept as data in
// tests/data/streams/instructions.json (its README says where they come from).
#include <gtest/gtest.h>

#include "StreamData.h"
#include "support/Throws.h"
#include "streams/HexText.h"
#include "streams/StreamContainer.h"
#include "streams/StreamInstruction.h"

namespace Veltrix::Runnel {
namespace {

using PloverTest::ThrownText;

const nlohmann::json Data = StreamData("instructions.json");

const SpiRegisterMap& Registers()
{
    static const SpiRegisterMap map = [] {
        SpiRegisterMap m;
        for (const auto& row : Data["registers"]) m.Add(row[0], *ParseHex(row[1].get<std::string>()));
        return m;
    }();
    return map;
}

// Opcode and operand bytes decoded for a processor's slice: the listing text or the error.
std::string Decode(const std::vector<std::uint8_t>& bytes, const std::string& slice, std::size_t* used = nullptr)
{
    std::string text;
    const std::string error = ThrownText<std::invalid_argument>([&] {
        const std::vector<std::uint8_t> operandRun(bytes.begin() + 1, bytes.end());
        std::size_t position = 0;
        text = StreamInstruction(Registers(), bytes[0], operandRun, position, slice).text;
        if (used) *used = position;
    });
    return error == PloverTest::NoException ? text : error;
}

// Each form parses (in either case) to its bytes and its listing text, and
// its bytes decode back to the same text.
TEST(StreamInstruction, EncodingsParseAndDecodeBack)
{
    for (const auto& row : Data["encodings"]) {
        const std::string line = row[0];
        SCOPED_TRACE(line);
        for (const std::string& form : {line, ToUpper(line)}) {
            const StreamInstruction parsed(Registers(), form);
            std::vector<std::uint8_t> bytes{parsed.opcode};
            bytes.insert(bytes.end(), parsed.operands.begin(), parsed.operands.end());
            EXPECT_EQ(bytes, Bytes(row[1]));
            EXPECT_EQ(parsed.text, row[2]);
        }
        const auto bytes = Bytes(row[1]);
        std::size_t used = 0;
        EXPECT_EQ(Decode(bytes, "_CORE_", &used), row.size() > 3 ? row[3] : row[2]);  // a name for an address
        EXPECT_EQ(used, bytes.size() - 1);
        EXPECT_EQ(StreamInstruction::OperandLength(bytes[0]), static_cast<int>(bytes.size() - 1));
    }
    for (const auto& row : Data["parseErrors"]) {
        EXPECT_EQ(ThrownText<std::invalid_argument>([&] { StreamInstruction(Registers(), row[0]); }), row[1]);
    }
    for (const auto& row : Data["decodings"]) {
        EXPECT_EQ(Decode(Bytes(row[0]), row[1]), row[2]) << row[0];
    }
}

std::shared_ptr<StreamContainer> Build(const std::vector<std::string>& lines)
{
    return std::make_shared<StreamContainer>(Registers(), lines);
}

// Opcodes and operands each padded to whole words; a loop body's operands
// stand once more for every count, each loop copying its own body.
TEST(StreamContainer, LayoutAndLoops)
{
    const auto stream = Build({"stream 1A", "inc r1", "inc r2", "dec r3", "neg", "return"});
    EXPECT_EQ(stream->StreamNumber(), 0x1A);
    EXPECT_EQ(stream->Opcodes(), (std::vector<std::uint8_t>{0x59, 0x5A, 0x63, 0xC7, 0xC6, 0, 0, 0}));
    EXPECT_TRUE(stream->OperandBytes().empty());
    const auto loop = Build({"stream 0", "ldlc 3", "wrd r1 AA", "wrd r2 BB", "loop r0", "return"});
    EXPECT_EQ(loop->OperandBytes(), Bytes("03 00 AA BB AA BB AA BB AA BB 00 00"));
    const auto two = Build({"stream 0", "ldlc 1", "wait 7", "loopi 0", "ldlc 2", "call 9", "loopi 0", "return"});
    EXPECT_EQ(two->OperandBytes(), Bytes("01 00 07 00 07 00 02 00 09 09 09 00"));
    // A register whose name holds "LDLC" opens no loop.
    EXPECT_EQ(Build({"stream 0", "wr MY_CORE_LDLC_REG 1", "return"})->OperandBytes().size(), 4U);

    EXPECT_EQ(ThrownText<std::invalid_argument>([] { Build({"stream 0", "ldlc 3", "wrd r1 AA", "return"}); }),
              "Error: Reached last instruction with LDLC but no LOOP or LOOPI command");
    EXPECT_EQ(ThrownText<std::invalid_argument>([] { Build({"stream 0", "wrd r1 AA", "loop r0", "return"}); }),
              "Error: LOOP or LOOPI command without LDLC before it");
    // Runaway loop counts stop before copying.
    EXPECT_THROW(Build({"stream 0", "ldlc FFFF", "wr SPI_CORE_A 1", "loop r0", "return"}), std::out_of_range);
}

}  // namespace
}  // namespace Veltrix::Runnel
