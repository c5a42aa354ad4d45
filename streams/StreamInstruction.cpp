#include "streams/StreamInstruction.h"

#include <array>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "streams/HexText.h"

namespace Veltrix::Runnel {

namespace {

// Operand layouts of the instruction set.
enum class Form {
    RegPair,     // wrad ra rb: opcode a*8+b
    RegData8,    // wrd rn d8
    RegAddr,     // wra/rd rn address
    RegValue,    // ld rn value16
    Reg,         // inc/dec/loop/rd0 rn
    R0Reg,       // add/sub/... r0 rn
    MoveToR0,    // r0 = rn
    MoveFromR0,  // rn = r0
    LoopI,       // loopi k: k & 7 in the opcode
    AddrData8,   // wr address d8
    AddrXY,      // wrmask/rdwait address x y
    Imm16,       // ldlc/wait/timeout t16
    Imm8,        // call/condcall/interrupt/semunlock k
    None,        // return
    Neg,         // neg [r0]
    Shift,       // shift [r0] k
    Pair16,      // checkeq... x16 y16
    Pair8,       // semlock x y
};

struct OpInfo {
    const char* mnemonic;  // source spelling; empty for the assignment forms
    std::uint8_t base;
    Form form;
    const char* name;  // disassembly spelling
    int digits;        // minimum digits of the numbers in the disassembly text
};

constexpr std::array<OpInfo, 36> kOps{{
    {"wrad", 0x00, Form::RegPair, "WRAD", 1},
    {"wrd", 0x40, Form::RegData8, "WRD", 1},
    {"wra", 0x48, Form::RegAddr, "WRA", 1},
    {"ld", 0x50, Form::RegValue, "LD", 1},
    {"inc", 0x58, Form::Reg, "INC", 1},
    {"dec", 0x60, Form::Reg, "DEC", 1},
    {"add", 0x68, Form::R0Reg, "ADD", 1},
    {"sub", 0x70, Form::R0Reg, "SUB", 1},
    {"mul", 0x78, Form::R0Reg, "MUL", 1},
    {"and", 0x80, Form::R0Reg, "AND", 1},
    {"or", 0x88, Form::R0Reg, "OR", 1},
    {"xor", 0x90, Form::R0Reg, "XOR", 1},
    {"rd", 0x98, Form::RegAddr, "RD", 1},
    {"", 0xA0, Form::MoveToR0, "", 1},
    {"", 0xA8, Form::MoveFromR0, "", 1},
    {"loop", 0xB0, Form::Reg, "LOOP", 1},
    {"loopi", 0xB8, Form::LoopI, "LOOPI", 1},
    {"wr", 0xC0, Form::AddrData8, "WR", 2},
    {"wrmask", 0xC1, Form::AddrXY, "WRMASK", 2},
    {"rdwait", 0xC2, Form::AddrXY, "RDWAIT", 1},
    {"ldlc", 0xC3, Form::Imm16, "LDLC", 1},
    {"call", 0xC4, Form::Imm8, "CALL", 1},
    {"condcall", 0xC5, Form::Imm8, "CONDCALL", 1},
    {"return", 0xC6, Form::None, "RETURN", 1},
    {"neg", 0xC7, Form::Neg, "NEG", 1},
    {"shift", 0xC8, Form::Shift, "SHIFT", 1},
    {"checkeq", 0xC9, Form::Pair16, "CHECKEQ", 1},
    {"checkneq", 0xCA, Form::Pair16, "CHECKNEQ", 1},
    {"checklt", 0xCB, Form::Pair16, "CHECKLT", 1},
    {"checkgt", 0xCC, Form::Pair16, "CHECKGT", 1},
    {"wait", 0xCD, Form::Imm16, "WAIT", 2},
    {"timeout", 0xCE, Form::Imm16, "TIMEOUT", 1},
    {"interrupt", 0xCF, Form::Imm8, "INTERRUPT", 2},
    {"semlock", 0xD0, Form::Pair8, "SEMLOCK", 1},
    {"semunlock", 0xD1, Form::Imm8, "SEMUNLOCK", 2},
    {"rd0", 0xD8, Form::Reg, "RD0", 1},
}};

// Register number in the opcode's low three bits.
bool HasRegisterInOpcode(Form form)
{
    switch (form) {
    case Form::RegData8: case Form::RegAddr: case Form::RegValue: case Form::Reg:
    case Form::R0Reg: case Form::MoveToR0: case Form::MoveFromR0: case Form::LoopI:
        return true;
    default:
        return false;
    }
}

int OperandBytes(Form form)
{
    switch (form) {
    case Form::RegData8: case Form::Imm8: case Form::Shift: return 1;
    case Form::RegAddr: case Form::RegValue: case Form::Imm16: case Form::Pair8: return 2;
    case Form::AddrData8: return 3;
    case Form::AddrXY: case Form::Pair16: return 4;
    default: return 0;
    }
}

const OpInfo* FindByOpcode(std::uint8_t opcode)
{
    if (opcode < 0x40) {
        return &kOps[0];
    }
    for (const OpInfo& op : kOps) {
        if (op.form == Form::RegPair) {
            continue;
        }
        if (HasRegisterInOpcode(op.form) ? (opcode & 0xF8) == op.base : opcode == op.base) {
            return &op;
        }
    }
    return nullptr;
}

const OpInfo* FindByMnemonic(const std::string& word)
{
    for (const OpInfo& op : kOps) {
        if (*op.mnemonic != '\0' && word == op.mnemonic) {
            return &op;
        }
    }
    return nullptr;
}

std::uint16_t Word16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void Push16(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

using AddressNamer = std::function<std::string(std::uint16_t)>;

std::string Describe(const OpInfo& op, std::uint8_t opcode, const std::vector<std::uint8_t>& b,
                     const AddressNamer& nameOf)
{
    const std::string name = op.name;
    const std::string n = std::to_string(opcode & 7);
    const int d = op.digits;
    switch (op.form) {
    case Form::RegPair: return "WRAD R" + std::to_string(opcode >> 3) + " R" + n;
    case Form::RegData8: return name + " R" + n + " " + Hex(b[0], d);
    case Form::RegAddr: return name + " R" + n + " " + nameOf(Word16(b, 0));
    case Form::RegValue: return name + " R" + n + " " + Hex(Word16(b, 0), d);
    case Form::Reg: return name + " R" + n;
    case Form::R0Reg: return name + " R0 R" + n;
    case Form::MoveToR0: return "R0 = R" + n;
    case Form::MoveFromR0: return "R" + n + " = R0";
    case Form::LoopI: return "LOOPI " + Hex(opcode & 7u);
    case Form::AddrData8: return name + " " + nameOf(Word16(b, 0)) + " " + Hex(b[2], d);
    case Form::AddrXY: return name + " " + nameOf(Word16(b, 0)) + " " + Hex(b[2], d) + " " + Hex(b[3], d);
    case Form::Imm16: return name + " " + Hex(Word16(b, 0), d);
    case Form::Imm8: return name + " " + Hex(b[0], d);
    case Form::None: return name;
    case Form::Neg: return "NEG R0";
    case Form::Shift: return "SHIFT R0 " + Hex(b[0], d);
    case Form::Pair16: return name + " " + Hex(Word16(b, 0), d) + " " + Hex(Word16(b, 2), d);
    case Form::Pair8: return name + " " + Hex(b[0], d) + " " + Hex(b[1], d);
    }
    throw std::runtime_error("StreamInstruction: unhandled instruction form");
}

bool IsRegisterWord(const std::string& word)
{
    return word.size() == 2 && word[0] == 'r' && word[1] >= '0' && word[1] <= '7';
}

// Reads one source line; the words are lower-cased.
class LineParser {
public:
    LineParser(const SpiRegisterMap& registers, const std::string& line) : registers_(registers), line_(line)
    {
        std::istringstream in(ToLower(line));
        for (std::string word; in >> word;) {
            words.push_back(word);
        }
    }

    [[noreturn]] void Fail() const { throw std::invalid_argument("Failed to parse instruction: " + line_); }

    void Expect(std::size_t count) const
    {
        if (words.size() != count) {
            Fail();
        }
    }

    std::uint8_t Register(const std::string& word) const
    {
        if (!IsRegisterWord(word)) {
            throw std::invalid_argument("Could not interpret Stream Processor R0-R7 register: " + word);
        }
        return static_cast<std::uint8_t>(word[1] - '0');
    }

    // A hexadecimal number that must fit its field (at most max): a value the
    // field cannot hold would otherwise be cut to its low bits, and the
    // processor would run a different program than the one written.
    std::uint32_t Number(const std::string& word, std::uint32_t max) const
    {
        const auto value = ParseHex(word);
        if (!value) {
            Fail();
        }
        CheckRange(word, *value, max);
        return *value;
    }

    void CheckRange(const std::string& word, std::uint32_t value, std::uint32_t max) const
    {
        // ParseHex keeps only 32 bits, so longer numbers are caught by their digits.
        std::string_view digits(word);
        if (digits.size() > 2 && digits[0] == '0' && digits[1] == 'x') {
            digits.remove_prefix(2);
        }
        while (digits.size() > 1 && digits.front() == '0') {
            digits.remove_prefix(1);
        }
        if (value > max || digits.size() > 8) {
            throw std::invalid_argument("Value out of range in instruction: " + line_ + " (" + word +
                                        " is out of range 0.." + Hex(max) + ")");
        }
    }

    // A register name of the dictionary, else a hexadecimal address.
    std::uint16_t Address(const std::string& word)
    {
        if (const auto address = registers_.Address(word)) {
            names_[*address] = *registers_.CanonicalName(word);
            return *address;
        }
        const auto value = ParseHex(word);
        if (!value) {
            throw std::invalid_argument("SPI Register name " + word + " was not found in SPI Address look up table");
        }
        CheckRange(word, *value, 0xFFFF);
        return static_cast<std::uint16_t>(*value);
    }

    // For ld: a number when the word is all hexadecimal digits, else a register name.
    std::uint16_t Value(const std::string& word)
    {
        if (const auto value = ParseHex(word)) {
            CheckRange(word, *value, 0xFFFF);
            return static_cast<std::uint16_t>(*value);
        }
        return Address(word);
    }

    // Names as written in the source; an address given as a number shows its only name, else the number.
    std::string NameOf(std::uint16_t address) const
    {
        if (const auto it = names_.find(address); it != names_.end()) {
            return it->second;
        }
        const auto& names = registers_.Names(address);
        return names.size() == 1 ? names.front() : "0x" + Hex(address, 4);
    }

    std::vector<std::string> words;

private:
    const SpiRegisterMap& registers_;
    const std::string& line_;
    std::map<std::uint16_t, std::string> names_;
};

}  // namespace

int StreamInstruction::OperandLength(std::uint8_t opcode)
{
    const OpInfo* op = FindByOpcode(opcode);
    return op ? OperandBytes(op->form) : -1;
}

StreamInstruction::StreamInstruction(const SpiRegisterMap& registers, const std::string& line) : source(line)
{
    LineParser p(registers, line);
    const auto& w = p.words;
    if (w.empty()) {
        throw std::invalid_argument("Can't parse and create empty Stream Instruction.");
    }
    if (w[0] == "stream") {
        p.Expect(2);
        isStreamLine = true;
        streamNumber = static_cast<std::uint8_t>(p.Number(w[1], 0xFF));
        text = "STREAM " + Hex(streamNumber);
        return;
    }

    const OpInfo* op = nullptr;
    if (IsRegisterWord(w[0])) {
        // Assignments: "r0 = rn", "r0 rn" and "rn = r0".
        const auto malformed = [&] {
            std::string all;
            for (const auto& word : w) {
                all += word + " ";
            }
            throw std::invalid_argument("Incorrectly formatted command: " + all);
        };
        if (w.size() == 3 && w[1] == "=" && w[0] == "r0") {
            opcode = static_cast<std::uint8_t>(0xA0 + p.Register(w[2]));
        } else if (w.size() == 3 && w[1] == "=" && w[2] == "r0") {
            opcode = static_cast<std::uint8_t>(0xA8 + p.Register(w[0]));
        } else if (w.size() == 2 && w[0] == "r0") {
            opcode = static_cast<std::uint8_t>(0xA0 + p.Register(w[1]));
        } else {
            malformed();
        }
        op = FindByOpcode(opcode);
    } else {
        op = FindByMnemonic(w[0]);
        if (op == nullptr) {
            p.Fail();
        }
        opcode = op->base;
        switch (op->form) {
        case Form::RegPair:
            p.Expect(3);
            opcode = static_cast<std::uint8_t>(p.Register(w[1]) * 8 + p.Register(w[2]));
            break;
        case Form::RegData8:
            p.Expect(3);
            opcode += p.Register(w[1]);
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[2], 0xFF)));
            break;
        case Form::RegAddr:
            p.Expect(3);
            opcode += p.Register(w[1]);
            Push16(operands, p.Address(w[2]));
            break;
        case Form::RegValue:
            p.Expect(3);
            opcode += p.Register(w[1]);
            Push16(operands, p.Value(w[2]));
            break;
        case Form::Reg:
            p.Expect(2);
            opcode += p.Register(w[1]);
            break;
        case Form::R0Reg:
            p.Expect(3);
            if (w[1] != "r0") {
                p.Fail();
            }
            opcode += p.Register(w[2]);
            break;
        case Form::LoopI:
            p.Expect(2);
            opcode += static_cast<std::uint8_t>(p.Number(w[1], 7));
            break;
        case Form::AddrData8:
            p.Expect(3);
            Push16(operands, p.Address(w[1]));
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[2], 0xFF)));
            break;
        case Form::AddrXY:
            p.Expect(4);
            Push16(operands, p.Address(w[1]));
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[2], 0xFF)));
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[3], 0xFF)));
            break;
        case Form::Imm16:
            p.Expect(2);
            Push16(operands, p.Number(w[1], 0xFFFF));
            break;
        case Form::Imm8:
            p.Expect(2);
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[1], 0xFF)));
            break;
        case Form::None:
            p.Expect(1);
            break;
        case Form::Neg:
            if (w.size() > 2 || (w.size() == 2 && w[1] != "r0")) {
                p.Fail();
            }
            break;
        case Form::Shift:
            if (w.size() == 3 && w[1] == "r0") {
                operands.push_back(static_cast<std::uint8_t>(p.Number(w[2], 0xFF)));
            } else if (w.size() == 2) {
                operands.push_back(static_cast<std::uint8_t>(p.Number(w[1], 0xFF)));
            } else {
                p.Fail();
            }
            break;
        case Form::Pair16:
            p.Expect(3);
            Push16(operands, p.Number(w[1], 0xFFFF));
            Push16(operands, p.Number(w[2], 0xFFFF));
            break;
        case Form::Pair8:
            p.Expect(3);
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[1], 0xFF)));
            operands.push_back(static_cast<std::uint8_t>(p.Number(w[2], 0xFF)));
            break;
        case Form::MoveToR0:
        case Form::MoveFromR0:
            p.Fail();
        }
    }
    text = Describe(*op, opcode, operands, [&p](std::uint16_t address) { return p.NameOf(address); });
}

StreamInstruction::StreamInstruction(const SpiRegisterMap& registers, std::uint8_t code,
                                     std::span<const std::uint8_t> operandRun, std::size_t& position,
                                     const std::string& sliceTag)
    : opcode(code)
{
    const OpInfo* op = FindByOpcode(code);
    if (op == nullptr) {
        throw std::invalid_argument("Cannot disasemble: unknown opcode: 0x" + Hex(code));
    }
    const auto length = static_cast<std::size_t>(OperandBytes(op->form));
    if (position > operandRun.size() || operandRun.size() - position < length) {
        throw std::invalid_argument("Cannot disasemble: operands of opcode 0x" + Hex(code) +
                                    " run past the end of the operand bytes");
    }
    operands.assign(operandRun.begin() + static_cast<std::ptrdiff_t>(position),
                    operandRun.begin() + static_cast<std::ptrdiff_t>(position + length));
    position += length;
    text = Describe(*op, code, operands,
                    [&](std::uint16_t address) { return registers.NameFor(address, sliceTag); });
    source = text;
}

}  // namespace Veltrix::Runnel
