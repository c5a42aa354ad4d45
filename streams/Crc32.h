#pragma once
// The stream image's block check: CRC-32 with polynomial 0x04C11DB7, MSB first,
// initial value 0, no reflection and no final XOR (the CRC-32/POSIX register
// without its length suffix and final inversion). Check values: "abc" gives
// 0x2C17398C, "123456789" gives 0x89A1897F.

#include <cstdint>
#include <span>

namespace Veltrix::Runnel {

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

}  // namespace Veltrix::Runnel
