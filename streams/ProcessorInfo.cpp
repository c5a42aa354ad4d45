#include "streams/ProcessorInfo.h"

#include <stdexcept>
#include <string>

#include "engine/PrintSink.h"
#include "streams/Crc32.h"

namespace Veltrix::Runnel {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

void ProcessorInfo::Resize(std::uint16_t newSize)
{
    size = newSize;
    buffer.assign(newSize, 0xFF);
}

void ProcessorInfo::AddStream(std::shared_ptr<StreamContainer> stream)
{
    streams.push_back(std::move(stream));
}

void ProcessorInfo::Layout(const std::vector<std::uint8_t>& extraHeader)
{
    const std::size_t fixed = FixedBytes(extraHeader.size());
    if (fixed + kCrcBytes > size) {
        throw std::invalid_argument("The " + name + " processor's size of " + std::to_string(size) +
                                    " bytes cannot hold its header and jump table");
    }
    std::vector<std::uint8_t> block(extraHeader);
    jumpTableAddress = binaryBase + static_cast<std::uint32_t>(extraHeader.size() + kBlockHeaderBytes);
    Put32(block, binaryBase);
    Put32(block, jumpTableAddress);
    Put16(block, numStreams);
    Put16(block, size);
    Put32(block, reserved);

    std::size_t opcodeBytes = 0;
    std::size_t operandBytes = 0;
    std::vector<bool> used(numStreams, false);
    for (const auto& stream : streams) {
        if (stream->streamNumber >= numStreams) {
            throw std::invalid_argument("In one of the " + name + " processors, stream " +
                                        std::to_string(stream->streamNumber) + " is out of range. Only " +
                                        std::to_string(numStreams) + " streams allowed.");
        }
        // A second stream of one number would silently hide the first.
        if (used[stream->streamNumber]) {
            throw std::invalid_argument("In one of the " + name + " processors, stream " +
                                        std::to_string(stream->streamNumber) + " is defined more than once.");
        }
        used[stream->streamNumber] = true;
        opcodeBytes += stream->opcodes.size();
        operandBytes += stream->operandBytes.size();
    }

    const std::size_t remaining = size - fixed;
    const std::size_t needed = opcodeBytes + operandBytes + kCrcBytes;
    if (remaining < needed) {
        Veltrix::Marlin::Native::Print("ERROR : NOT ENOUGH SPACE LEFT IN IMAGE TO HOLD STREAMS INFO \nBytes Remaining = " +
                                       std::to_string(remaining) + "\nBytes Needed = " + std::to_string(needed) + "\n");
        throw std::out_of_range("Stream image size is too small to fit all streams in ARM memory");
    }

    std::vector<std::uint32_t> jumpTable(2 * static_cast<std::size_t>(numStreams), 0);
    std::uint32_t opcodeAddress = binaryBase + static_cast<std::uint32_t>(fixed);
    std::uint32_t operandAddress = opcodeAddress + static_cast<std::uint32_t>(opcodeBytes);
    for (const auto& stream : streams) {
        jumpTable[2 * stream->streamNumber] = opcodeAddress;
        jumpTable[2 * stream->streamNumber + 1] = operandAddress;
        opcodeAddress += static_cast<std::uint32_t>(stream->opcodes.size());
        operandAddress += static_cast<std::uint32_t>(stream->operandBytes.size());
    }
    for (std::uint32_t entry : jumpTable) {
        Put32(block, entry);
    }
    for (const auto& stream : streams) {
        block.insert(block.end(), stream->opcodes.begin(), stream->opcodes.end());
    }
    for (const auto& stream : streams) {
        block.insert(block.end(), stream->operandBytes.begin(), stream->operandBytes.end());
    }
    block.resize(size - kCrcBytes, 0xFF);
    Put32(block, Crc32(block));
    buffer = std::move(block);
}

}  // namespace Veltrix::Runnel
