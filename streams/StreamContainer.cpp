#include "streams/StreamContainer.h"

#include <stdexcept>

namespace Veltrix::Runnel {

namespace {

void PadToWord(std::vector<std::uint8_t>& bytes)
{
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
}

}  // namespace

StreamContainer::StreamContainer(const SpiRegisterMap& registers, const std::vector<std::string>& lines)
{
    bool loopOpen = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        std::shared_ptr<StreamInstruction> instruction;
        try {
            instruction = std::make_shared<StreamInstruction>(registers, lines[index]);
        } catch (const std::invalid_argument& e) {
            throw StreamLineError(e.what(), index);
        }
        if (instruction->isStreamLine) {
            streamNumber = instruction->streamNumber;
            continue;
        }
        if (instructions.size() >= 0xFFFF) {
            throw std::out_of_range("Stream image size is too small to fit all streams in ARM memory");
        }
        instructions.push_back(instruction);
        opcodes.push_back(instruction->opcode);
        operandBytes.insert(operandBytes.end(), instruction->operands.begin(), instruction->operands.end());
        // By opcode, not by text: a register name may contain "LDLC".
        if (instruction->opcode == kOpcodeLdlc) {
            auto loop = std::make_shared<LoopInfo>();
            loop->count = static_cast<std::uint16_t>(instruction->operands[0] | (instruction->operands[1] << 8));
            loop->start = static_cast<std::uint16_t>(instructions.size());
            currentLoop = loop;
            loopOpen = true;
        }
        if (instruction->text.rfind("LOOP", 0) == 0) {
            CloseLoop();
            loopOpen = false;
        }
    }
    // An LDLC whose loop never closes leaves the processor counting nothing.
    if (loopOpen) {
        throw std::invalid_argument("Error: Reached last instruction with LDLC but no LOOP or LOOPI command");
    }
    PadToWord(opcodes);
    PadToWord(operandBytes);
}

void StreamContainer::CloseLoop()
{
    const auto fail = [] {
        throw std::invalid_argument("Error: Reached last instruction with LDLC but no LOOP or LOOPI command");
    };
    if (!currentLoop) {
        throw std::invalid_argument("Error: LOOP or LOOPI command without LDLC before it");
    }
    std::vector<std::uint8_t> body;
    std::size_t index = currentLoop->start;
    for (; index < instructions.size(); ++index) {
        const auto& instruction = *instructions[index];
        if (instruction.text.rfind("LOOP", 0) == 0) {
            break;
        }
        body.insert(body.end(), instruction.operands.begin(), instruction.operands.end());
    }
    if (index >= instructions.size()) {
        fail();
    }
    currentLoop->bodyLength = static_cast<std::uint16_t>(body.size());
    // No processor block holds more than 64 KiB, so a larger run can only be a
    // runaway count; stop before copying it.
    if (operandBytes.size() + body.size() * currentLoop->count > 0xFFFF) {
        throw std::out_of_range("Stream image size is too small to fit all streams in ARM memory");
    }
    for (std::uint32_t pass = 0; pass < currentLoop->count; ++pass) {
        operandBytes.insert(operandBytes.end(), body.begin(), body.end());
    }
}

}  // namespace Veltrix::Runnel
