#include <gtest/gtest.h>

#include <array>

#include "TempFolder.h"
#include "streams/StreamContainer.h"
#include "streams/StreamInstruction.h"

namespace Veltrix::Runnel {
namespace {

const auto ErrorOf = Testing::ErrorOf<std::invalid_argument>;

SpiRegisterMap TestRegisters()
{
    SpiRegisterMap map;
    map.Add("ZERO_CORE_REG", 0x0000);
    map.Add("SPI_CORE_A", 0x0210);
    map.Add("X_TX_REG", 0x1000);
    map.Add("X_ORX_REG", 0x1000);
    map.Add("X_CORE_REG", 0x1000);
    map.Add("NOTAG_A", 0x2000);
    map.Add("NOTAG_B", 0x2000);
    map.Add("MY_CORE_LDLC_REG", 0x0300);
    map.Add("Y_TX_REG", 0x4000);
    map.Add("Y_CORE_REG", 0x4000);
    return map;
}

struct Encoding {
    const char* line;
    std::vector<std::uint8_t> bytes;  // opcode, then operands
    const char* text;
};

const std::vector<Encoding>& InstructionTable()
{
    static const std::vector<Encoding> table = {
        {"wrad r2 r5", {0x15}, "WRAD R2 R5"},
        {"wrd r3 0FF", {0x43, 0xFF}, "WRD R3 FF"},
        {"wra r1 SPI_CORE_A", {0x49, 0x10, 0x02}, "WRA R1 SPI_CORE_A"},
        {"ld r1 ABCD", {0x51, 0xCD, 0xAB}, "LD R1 ABCD"},
        {"ld r1 spi_core_a", {0x51, 0x10, 0x02}, "LD R1 210"},
        {"inc r7", {0x5F}, "INC R7"},
        {"dec r0", {0x60}, "DEC R0"},
        {"add r0 r1", {0x69}, "ADD R0 R1"},
        {"sub r0 r2", {0x72}, "SUB R0 R2"},
        {"mul r0 r3", {0x7B}, "MUL R0 R3"},
        {"and r0 r4", {0x84}, "AND R0 R4"},
        {"or r0 r5", {0x8D}, "OR R0 R5"},
        {"xor r0 r6", {0x96}, "XOR R0 R6"},
        {"rd r2 SPI_CORE_A", {0x9A, 0x10, 0x02}, "RD R2 SPI_CORE_A"},
        {"r0 = r5", {0xA5}, "R0 = R5"},
        {"r0 r6", {0xA6}, "R0 = R6"},
        {"r4 = r0", {0xAC}, "R4 = R0"},
        {"loop r3", {0xB3}, "LOOP R3"},
        {"loopi 7", {0xBF}, "LOOPI 7"},
        {"wr SPI_CORE_A 5", {0xC0, 0x10, 0x02, 0x05}, "WR SPI_CORE_A 05"},
        {"wrmask SPI_CORE_A 1 F0", {0xC1, 0x10, 0x02, 0x01, 0xF0}, "WRMASK SPI_CORE_A 01 F0"},
        {"rdwait SPI_CORE_A 1 1", {0xC2, 0x10, 0x02, 0x01, 0x01}, "RDWAIT SPI_CORE_A 1 1"},
        {"ldlc 3", {0xC3, 0x03, 0x00}, "LDLC 3"},
        {"call 1F", {0xC4, 0x1F}, "CALL 1F"},
        {"condcall 2", {0xC5, 0x02}, "CONDCALL 2"},
        {"return", {0xC6}, "RETURN"},
        {"neg r0", {0xC7}, "NEG R0"},
        {"neg", {0xC7}, "NEG R0"},
        {"shift r0 4", {0xC8, 0x04}, "SHIFT R0 4"},
        {"shift 4", {0xC8, 0x04}, "SHIFT R0 4"},
        {"checkeq 12 3456", {0xC9, 0x12, 0x00, 0x56, 0x34}, "CHECKEQ 12 3456"},
        {"checkneq 1 2", {0xCA, 0x01, 0x00, 0x02, 0x00}, "CHECKNEQ 1 2"},
        {"checklt 7F 0", {0xCB, 0x7F, 0x00, 0x00, 0x00}, "CHECKLT 7F 0"},
        {"checkgt FFFF 0000", {0xCC, 0xFF, 0xFF, 0x00, 0x00}, "CHECKGT FFFF 0"},
        {"wait 5", {0xCD, 0x05, 0x00}, "WAIT 05"},
        {"wait 0x82EE", {0xCD, 0xEE, 0x82}, "WAIT 82EE"},
        {"timeout 8064", {0xCE, 0x64, 0x80}, "TIMEOUT 8064"},
        {"interrupt 1", {0xCF, 0x01}, "INTERRUPT 01"},
        {"semlock 1 FF", {0xD0, 0x01, 0xFF}, "SEMLOCK 1 FF"},
        {"semunlock 2", {0xD1, 0x02}, "SEMUNLOCK 02"},
        {"rd0 r5", {0xDD}, "RD0 R5"},
    };
    return table;
}

// Each form parses (in either case) to its bytes and its listing text, and
// its bytes decode back to the same text.
TEST(StreamInstructionEncoding, EveryInstructionFormEncodesAndDisassemblesBack)
{
    const SpiRegisterMap registers = TestRegisters();
    for (const Encoding& e : InstructionTable()) {
        SCOPED_TRACE(e.line);
        std::string upper = e.line;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& line : {std::string(e.line), upper}) {
            const StreamInstruction parsed(registers, line);
            std::vector<std::uint8_t> bytes{parsed.opcode};
            bytes.insert(bytes.end(), parsed.operands.begin(), parsed.operands.end());
            EXPECT_EQ(bytes, e.bytes);
            EXPECT_EQ(parsed.text, e.text);
        }
        const std::vector<std::uint8_t> operandRun(e.bytes.begin() + 1, e.bytes.end());
        std::size_t position = 0;
        EXPECT_EQ(StreamInstruction(registers, e.bytes[0], operandRun, position, "_CORE_").text, e.text);
        EXPECT_EQ(position, operandRun.size());
        EXPECT_EQ(StreamInstruction::OperandLength(e.bytes[0]), static_cast<int>(operandRun.size()));
    }
}

TEST(StreamInstructionEncoding, EveryAssignedOpcodeDecodesToTextThatParsesBackToItsBytes)
{
    const SpiRegisterMap registers = TestRegisters();
    const std::vector<std::uint8_t> operandRun{0x00, 0x00, 0x5A, 0xA5};
    int assigned = 0;
    for (int code = 0; code < 256; ++code) {
        const auto opcode = static_cast<std::uint8_t>(code);
        const bool unassigned = (code >= 0xD2 && code <= 0xD7) || code >= 0xE0;
        std::size_t position = 0;
        if (unassigned) {
            const std::string hex = {"0123456789ABCDEF"[code >> 4], "0123456789ABCDEF"[code & 0xF]};
            EXPECT_EQ(ErrorOf([&] { StreamInstruction(registers, opcode, operandRun, position, "_CORE_"); }),
                      "Cannot disasemble: unknown opcode: 0x" + hex);
            continue;
        }
        ++assigned;
        const StreamInstruction decoded(registers, opcode, operandRun, position, "_CORE_");
        if (code == 0xA8) {
            continue;  // "R0 = R0" is read as the r0 = rn form, 0xA0: the same operation
        }
        const StreamInstruction parsed(registers, decoded.text);
        EXPECT_EQ(parsed.opcode, opcode) << decoded.text;
        EXPECT_EQ(parsed.operands, decoded.operands) << decoded.text;
    }
    EXPECT_EQ(assigned, 256 - 6 - 32);
}

TEST(StreamInstructionEncoding, SharedAddressesAreNamedForTheProcessorsSlice)
{
    const SpiRegisterMap registers = TestRegisters();
    const StreamInstruction parsed(registers, "wr 1000 1");
    EXPECT_EQ(parsed.text, "WR 0x1000 01");
    const std::vector<std::uint8_t> operandRun(parsed.operands);
    const auto nameFor = [&](const std::string& slice) {
        std::size_t position = 0;
        return StreamInstruction(registers, parsed.opcode, operandRun, position, slice).text;
    };
    EXPECT_EQ(nameFor("_TX_"), "WR X_TX_REG 01");
    EXPECT_EQ(nameFor("_RX_"), "WR X_ORX_REG 01");
    EXPECT_EQ(nameFor("_CORE_"), "WR X_CORE_REG 01");
}

TEST(StreamInstructionErrors, BadLinesGetTheirMessages)
{
    const SpiRegisterMap registers = TestRegisters();
    const auto parse = [&](const std::string& line) {
        return ErrorOf([&] { StreamInstruction(registers, line); });
    };
    EXPECT_EQ(parse(""), "Can't parse and create empty Stream Instruction.");
    EXPECT_EQ(parse(" \t "), "Can't parse and create empty Stream Instruction.");
    EXPECT_EQ(parse("Foo r1"), "Failed to parse instruction: Foo r1");
    EXPECT_EQ(parse("wrd r3 1G"), "Failed to parse instruction: wrd r3 1G");
    EXPECT_EQ(parse("wait"), "Failed to parse instruction: wait");
    EXPECT_EQ(parse("wait 1 2"), "Failed to parse instruction: wait 1 2");
    EXPECT_EQ(parse("wait 0x"), "Failed to parse instruction: wait 0x");
    EXPECT_EQ(parse("add r1 r2"), "Failed to parse instruction: add r1 r2");
    EXPECT_EQ(parse("wrd r8 1"), "Could not interpret Stream Processor R0-R7 register: r8");
    EXPECT_EQ(parse("inc x"), "Could not interpret Stream Processor R0-R7 register: x");
    EXPECT_EQ(parse("wr NOSUCH_REG 1"), "SPI Register name nosuch_reg was not found in SPI Address look up table");
    EXPECT_EQ(parse("R3 = R4"), "Incorrectly formatted command: r3 = r4 ");
    EXPECT_EQ(parse("r2 r3"), "Incorrectly formatted command: r2 r3 ");
    // A value its field cannot hold is refused, never cut to its low bits.
    for (const auto& [line, word, range] : std::vector<std::array<std::string, 3>>{
             {"wait 10000", "10000", "FFFF"},     {"call 102", "102", "FF"},        {"stream 10002", "10002", "FF"},
             {"wrd r3 1FF", "1ff", "FF"},         {"loopi 8", "8", "7"},            {"wr 10000 1", "10000", "FFFF"},
             {"ld r1 0x100000000", "0x100000000", "FFFF"}, {"semlock 1 1000000001", "1000000001", "FF"}}) {
        EXPECT_EQ(parse(line), "Value out of range in instruction: " + line + " (" + word + " is out of range 0.." +
                                   range + ")");
    }
}

TEST(StreamInstructionErrors, DecodingReportsUnknownAddressesUntaggedNamesAndShortOperands)
{
    const SpiRegisterMap registers = TestRegisters();
    const auto decode = [&](std::vector<std::uint8_t> bytes, const std::string& slice) {
        return ErrorOf([&] {
            const std::vector<std::uint8_t> operandRun(bytes.begin() + 1, bytes.end());
            std::size_t position = 0;
            StreamInstruction(registers, bytes[0], operandRun, position, slice);
        });
    };
    EXPECT_EQ(decode({0xC0, 0x00, 0x30, 0x01}, "_CORE_"), "SPI address 0x3000 not found in SPI Reg Dictionary");
    EXPECT_EQ(decode({0xC0, 0x00, 0x20, 0x01}, "_TX_"),
              "NOTAG_A cannot be mapped to a slice. Incorrect or missing slice ID in reg name.");
    // Tagged names, none of them for the listed processor: the same message.
    EXPECT_EQ(decode({0xC0, 0x00, 0x40, 0x01}, "_RX_"),
              "Y_TX_REG cannot be mapped to a slice. Incorrect or missing slice ID in reg name.");
    EXPECT_NE(decode({0xC0, 0x10, 0x02}, "_CORE_"), "no error");
    EXPECT_NE(decode({0xC9, 0x10, 0x02, 0x00}, "_CORE_"), "no error");
}

std::shared_ptr<StreamContainer> Build(const std::vector<std::string>& lines)
{
    return std::make_shared<StreamContainer>(TestRegisters(), lines);
}

TEST(StreamContainerLayout, OpcodesAndOperandsArePaddedToWords)
{
    const auto stream = Build({"stream 1A", "inc r1", "inc r2", "dec r3", "neg", "return"});
    EXPECT_EQ(stream->StreamNumber(), 0x1A);
    EXPECT_EQ(stream->Instructions().size(), 5U);
    EXPECT_EQ(stream->Opcodes(), (std::vector<std::uint8_t>{0x59, 0x5A, 0x63, 0xC7, 0xC6, 0, 0, 0}));
    EXPECT_TRUE(stream->OperandBytes().empty());

    const auto withOperands = Build({"stream 2", "wait 5", "call 1", "return"});
    EXPECT_EQ(withOperands->OperandBytes(), (std::vector<std::uint8_t>{0x05, 0x00, 0x01, 0x00}));
}

TEST(StreamContainerLayout, LoopBodyOperandsStandOnceMoreForEveryCount)
{
    const auto stream = Build({"stream 0", "ldlc 3", "wrd r1 AA", "wrd r2 BB", "loop r0", "return"});
    const std::vector<std::uint8_t> expected{0x03, 0x00, 0xAA, 0xBB, 0xAA, 0xBB, 0xAA, 0xBB, 0xAA, 0xBB, 0, 0};
    EXPECT_EQ(stream->OperandBytes(), expected);
    ASSERT_TRUE(stream->currentLoop);
    EXPECT_EQ(stream->currentLoop->count, 3);
    EXPECT_EQ(stream->currentLoop->start, 1);
    EXPECT_EQ(stream->currentLoop->bodyLength, 2);

    // Loops one after another each copy their own body.
    const auto two = Build({"stream 0", "ldlc 1", "wait 7", "loopi 0", "ldlc 2", "call 9", "loopi 0", "return"});
    EXPECT_EQ(two->OperandBytes(),
              (std::vector<std::uint8_t>{0x01, 0x00, 0x07, 0x00, 0x07, 0x00, 0x02, 0x00, 0x09, 0x09, 0x09, 0}));
}

TEST(StreamContainerLayout, UnclosedOrUnopenedLoopsAreRejected)
{
    EXPECT_EQ(ErrorOf([] { Build({"stream 0", "ldlc 3", "wrd r1 AA", "return"}); }),
              "Error: Reached last instruction with LDLC but no LOOP or LOOPI command");
    EXPECT_EQ(ErrorOf([] { Build({"stream 0", "wrd r1 AA", "loop r0", "return"}); }),
              "Error: LOOP or LOOPI command without LDLC before it");
    // A register whose name holds "LDLC" opens no loop.
    EXPECT_EQ(Build({"stream 0", "wr MY_CORE_LDLC_REG 1", "return"})->OperandBytes().size(), 4U);
}

TEST(StreamContainerLayout, RunawayLoopCountsStopBeforeCopying)
{
    EXPECT_THROW(Build({"stream 0", "ldlc FFFF", "wr SPI_CORE_A 1", "loop r0", "return"}), std::out_of_range);
}

}  // namespace
}  // namespace Veltrix::Runnel
