#pragma once
/// @file
/// The host's view of the reports. The process-wide lists keep every line of
/// every thread until Clear; reading never clears them. A caller that wants
/// only the reports of its own call opens a ReportScope around it.

#include <cstddef>
#include <functional>
#include <memory>
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
    /// Empties the process-wide lists (open scopes keep their lines).
    static void Clear();

    /// Where the engine's always-printed progress and diagnostic lines go, one
    /// call per text, possibly from several threads. nullptr restores the
    /// default: standard output.
    static void PrintSink_Set(std::function<void(const std::string&)> sink);
};

/// Collects, while alive, every ERROR, WARNING and INFO line reported on the
/// thread that constructed it, and every error recorded there; scopes nest and
/// each open one gets the lines. Other threads' reports never reach it. A
/// scope is destroyed on the thread that made it.
class ReportScope {
public:
    /// Starts collecting on the calling thread.
    ReportScope();
    /// Stops collecting.
    ~ReportScope();
    ReportScope(const ReportScope&) = delete;
    ReportScope& operator=(const ReportScope&) = delete;

    /// The lines in the order reported, then the text of each recorded error,
    /// exactly as the process-wide lists hold them.
    std::vector<std::string> Messages() const;
    /// ERROR lines plus recorded errors.
    std::size_t ErrorCount() const;
    /// The text of each recorded error alone (the tail of Messages()): what
    /// the failing calls threw, for a caller that reports those its own way.
    std::vector<std::string> Errors() const;
    /// What each line of Messages() is about, line for line: the blueprint
    /// channel ("rxChannel1", "txChannel2") a channel's own check was working
    /// on, or "" when the line is not about one channel or its text says which.
    std::vector<std::string> Subjects() const;

private:
    struct Collection;
    std::unique_ptr<Collection> collection_;
};

}  // namespace Veltrix::Marlin
