#include "streams/Crc32.h"

#include <array>

namespace Veltrix::Runnel {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 0x80000000U) ? (r << 1) ^ 0x04C11DB7U : (r << 1);
        }
        table[i] = r;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0;
    for (std::uint8_t b : bytes) {
        crc = (crc << 8) ^ kTable[((crc >> 24) ^ b) & 0xFF];
    }
    return crc;
}

}  // namespace Veltrix::Runnel
