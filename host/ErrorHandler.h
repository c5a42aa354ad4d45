#pragma once
// The host's view of the process-wide report lists. Reading never clears
// them: a host that wants only the reports of one call notes the counts first.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace Veltrix::Marlin {

class ErrorHandler {
public:
    static std::size_t ErrorCount();
    // Each recorded error as an exception carrying its text.
    static std::vector<std::runtime_error> Errors();
    // Every ERROR, WARNING and INFO line, in the order reported.
    static std::vector<std::string> Messages();
    // Throw the first / last recorded error; nothing happens when there is none.
    static void ThrowFirstError();
    static void ThrowLastError();
};

}  // namespace Veltrix::Marlin
