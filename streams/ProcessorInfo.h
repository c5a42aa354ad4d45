#pragma once
// One stream processor of the chip and its block of the stream image:
//   [extra core header] header(16) jump table(8 per stream) opcode runs
//   operand runs 0xFF... CRC(4)
// All multi-byte values little-endian; addresses are device addresses.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "streams/StreamContainer.h"

namespace Veltrix::Runnel {

inline constexpr std::size_t kBlockHeaderBytes = 16;
inline constexpr std::size_t kJumpEntryBytes = 8;
inline constexpr std::size_t kCrcBytes = 4;

struct ProcessorInfo {
    std::vector<std::uint8_t> buffer;  // size bytes, 0xFF until laid out
    std::uint32_t binaryBase = 0;
    std::uint32_t jumpTableAddress = 0;
    std::uint32_t reserved = 0;
    std::uint8_t numStreams = 0;
    std::uint16_t size = 0;
    std::uint16_t imageOffset = 0;
    std::string sliceTag;
    std::string streamFile;
    std::string name;
    std::vector<std::shared_ptr<StreamContainer>> streams;
    bool read = false;

    void Resize(std::uint16_t newSize);
    void AddStream(std::shared_ptr<StreamContainer> stream);

    // Header bytes before the first opcode run, for an extra header of extraBytes.
    std::size_t FixedBytes(std::size_t extraBytes) const
    {
        return extraBytes + kBlockHeaderBytes + kJumpEntryBytes * numStreams;
    }

    // Lays out the block from the streams read; prints the shortfall and throws
    // std::out_of_range when they do not fit.
    void Layout(const std::vector<std::uint8_t>& extraHeader);
};

}  // namespace Veltrix::Runnel
