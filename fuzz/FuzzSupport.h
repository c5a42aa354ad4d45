#pragma once
// Shared by the fuzz targets: bad input may only ever end in the library's
// clear errors (invalid or out-of-range argument); anything else escapes and
// libFuzzer reports it, as it reports every memory fault the sanitizers see.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Veltrix::Runnel::Fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

template <typename Action>
void ExpectOnlyCleanErrors(Action&& action)
{
    try {
        action();
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
}

}  // namespace Veltrix::Runnel::Fuzz
