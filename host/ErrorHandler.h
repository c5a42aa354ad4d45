#pragma once
/// @file
/// The host's view of the process-wide report lists. Reading never clears
/// them: a host that wants only the reports of one call notes the counts first.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace Veltrix::Marlin {

/// The report lines every operation leaves, process-wide.
///
/// Status-returning calls record an ERROR line before they fail; throwing
/// calls of the engine record their error as well. Reading never clears the
/// lists, so a host that wants the reports of one call notes the counts first:
/// @code
/// using namespace Veltrix::Marlin;
/// const std::size_t before = ErrorHandler::Messages().size();
/// if (ProfileArchitect::Profile_Develop(profile, summary, blueprint) != 0) {
///     auto lines = ErrorHandler::Messages();
///     for (std::size_t i = before; i < lines.size(); ++i) std::cerr << lines[i] << '\n';
/// }
/// @endcode
class ErrorHandler {
public:
    /// How many errors have been recorded so far.
    static std::size_t ErrorCount();
    /// Each recorded error as an exception carrying its text.
    static std::vector<std::runtime_error> Errors();
    /// Every ERROR, WARNING and INFO line, in the order reported.
    static std::vector<std::string> Messages();
    /// Throws the first recorded error as std::runtime_error carrying its
    /// text; nothing happens when there is none.
    static void ThrowFirstError();
    /// Throws the last recorded error as std::runtime_error carrying its text;
    /// nothing happens when there is none.
    static void ThrowLastError();
};

}  // namespace Veltrix::Marlin
