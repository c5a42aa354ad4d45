#include "streams/StreamDelay.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace Veltrix::Runnel {

std::uint16_t NanoSecondsToStreamCycles(std::uint32_t targetTime_ns, std::uint32_t processorClockFrequency_Hz)
{
    if (processorClockFrequency_Hz < 1000) {
        throw std::invalid_argument("Stream delay needs a processor clock of at least 1000 Hz, got " +
                                    std::to_string(processorClockFrequency_Hz) + " Hz");
    }
    // Whole kHz and a cycle length in units of 1/4000 ns keep the count in integers.
    const std::uint64_t clock_kHz = processorClockFrequency_Hz / 1000;
    const std::uint64_t period = 4000000000ULL / clock_kHz;
    const std::uint64_t limit = static_cast<std::uint64_t>(targetTime_ns) * 4000;
    const std::uint64_t half = period / 2;
    if (half > limit) {
        return 0;
    }
    // Cycle boundaries period/2 + i*period that do not pass the limit.
    const std::uint64_t count = (limit - half) / period + 1;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(count, kStreamDelayMaximum));
}

std::uint16_t NanoSecondsToStreamDelay(std::uint32_t targetTime_ns, std::uint32_t processorClockFrequency_Hz)
{
    if (processorClockFrequency_Hz < 1000) {
        throw std::invalid_argument("Stream delay needs a processor clock of at least 1000 Hz, got " +
                                    std::to_string(processorClockFrequency_Hz) + " Hz");
    }
    if (targetTime_ns >= 10000) {
        // 15 bits hold 32.767 ms; a longer wait is held at that rather than wrapped
        // into a short one.
        const std::uint32_t time_us = std::min<std::uint32_t>(targetTime_ns / 1000, kStreamDelayMaximum);
        return static_cast<std::uint16_t>(kStreamDelayMicroseconds | time_us);
    }
    return NanoSecondsToStreamCycles(targetTime_ns, processorClockFrequency_Hz);
}

}  // namespace Veltrix::Runnel
