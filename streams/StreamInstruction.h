#pragma once
// One stream-processor instruction: an opcode byte and its operand bytes
// (16-bit values low byte first), parsed from a source line or decoded from the
// opcode and operand runs of an image, with its disassembly text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "streams/SpiRegisterMap.h"

namespace Veltrix::Runnel {

inline constexpr std::uint8_t kOpcodeReturn = 0xC6;
inline constexpr std::uint8_t kOpcodeLdlc = 0xC3;

class StreamInstruction {
public:
    // Parses and encodes one source line; std::invalid_argument on bad input.
    StreamInstruction(const SpiRegisterMap& registers, const std::string& line);

    // Decodes the instruction of one opcode, reading its operand bytes from
    // operands at position and advancing position past them. Register names are
    // chosen for a processor of the given slice tag.
    StreamInstruction(const SpiRegisterMap& registers, std::uint8_t opcode, std::span<const std::uint8_t> operands,
                      std::size_t& position, const std::string& sliceTag);

    std::uint8_t opcode = 0;
    std::vector<std::uint8_t> operands;
    std::uint8_t streamNumber = 0;
    bool isStreamLine = false;  // a "stream" line: no opcode, sets streamNumber
    std::string source;
    std::string text;  // disassembly text

    // Operand bytes that follow an opcode in the operand run; -1 for an unassigned opcode.
    static int OperandLength(std::uint8_t opcode);
};

}  // namespace Veltrix::Runnel
