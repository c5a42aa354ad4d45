#pragma once
// Whole-file writes that never leave a half-written target: the bytes go to a
// temporary file beside the target, which is then renamed over it.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Veltrix::Runnel {

// The file could not be written; the target is left as it was.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void WriteFileAtomically(const std::string& path, std::string_view contents);
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& contents);

}  // namespace Veltrix::Runnel
