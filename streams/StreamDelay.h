#pragma once
// Stream delay codes: unsigned 16 bits; bit 15 set holds microseconds in bits
// 0 to 14, bit 15 clear a count of stream-processor clock cycles (at most 32767).

#include <cstdint>

namespace Veltrix::Runnel {

inline constexpr std::uint16_t kStreamDelayMicroseconds = 0x8000;
inline constexpr std::uint16_t kStreamDelayMaximum = 0x7FFF;

// The delay code for a time: microseconds from 10 us up, else the number of
// processor clock cycles rounded to nearest (halves up). Throws
// std::invalid_argument for a processor clock below 1000 Hz.
std::uint16_t NanoSecondsToStreamDelay(std::uint32_t targetTime_ns, std::uint32_t processorClockFrequency_Hz);

// The cycle form only, whatever the time (short fixed waits of the templates).
std::uint16_t NanoSecondsToStreamCycles(std::uint32_t targetTime_ns, std::uint32_t processorClockFrequency_Hz);

}  // namespace Veltrix::Runnel
