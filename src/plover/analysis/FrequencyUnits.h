#pragma once
// Filter requests carry hertz where the channels keep kilohertz.

#include <cstdint>
#include <limits>

namespace Veltrix::Marlin::Native {

// kHz to Hz; a value beyond 32 bits is held at the largest one rather than wrapped.
inline std::uint32_t KilohertzToHertz(std::uint32_t value_kHz)
{
    const std::uint64_t value_Hz = std::uint64_t{value_kHz} * 1000;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value_Hz > largest ? largest : value_Hz);
}

}  // namespace Veltrix::Marlin::Native
