#pragma once
// One stream: its opcode run and its operand run, each padded with zeros to a
// multiple of 4 bytes. The processor re-executes a loop's opcodes while its
// operand pointer keeps advancing, so the operand bytes of a loop body stand
// once more for every count of its LDLC.

#include <cstdint>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "streams/StreamInstruction.h"

namespace Veltrix::Runnel {

struct LoopInfo {
    std::uint16_t count = 0;
    std::uint16_t start = 0;       // index of the instruction after the LDLC
    std::uint16_t bodyLength = 0;  // operand bytes of one pass through the body
};

// A line of a stream that cannot be assembled: the assembler's message, and
// the line's index among the stream's lines, so a reader can say where it is.
class StreamLineError : public std::invalid_argument {
public:
    StreamLineError(const std::string& message, std::size_t lineIndex)
        : std::invalid_argument(message), index(lineIndex)
    {
    }
    std::size_t index;
};

class StreamContainer {
public:
    // Lines from the "stream" line to the "return" line; std::invalid_argument on
    // bad input, a StreamLineError when one line is at fault.
    StreamContainer(const SpiRegisterMap& registers, const std::vector<std::string>& lines);
    virtual ~StreamContainer() = default;

    std::uint8_t StreamNumber() const { return streamNumber; }
    const std::vector<std::uint8_t>& Opcodes() const { return opcodes; }
    const std::vector<std::uint8_t>& OperandBytes() const { return operandBytes; }
    const std::vector<std::shared_ptr<StreamInstruction>>& Instructions() const { return instructions; }

    std::uint8_t streamNumber = 0;
    std::vector<std::shared_ptr<StreamInstruction>> instructions;
    std::vector<std::uint8_t> opcodes;
    std::vector<std::uint8_t> operandBytes;
    std::shared_ptr<LoopInfo> currentLoop;

private:
    void CloseLoop();
};

}  // namespace Veltrix::Runnel
