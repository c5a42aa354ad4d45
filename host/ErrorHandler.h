#pragma once
// The host's view of the reports. The process-wide lists keep every line of
// every thread until Clear; reading never clears them. A caller that wants
// only the reports of its own call opens a ReportScope around it.

#include <cstddef>
#include <functional>
#include <memory>
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
    // Empties the process-wide lists (open scopes keep their lines).
    static void Clear();

    // Where the engine's always-printed progress and diagnostic lines go, one
    // call per text. nullptr restores the default: standard output.
    static void PrintSink_Set(std::function<void(const std::string&)> sink);
};

// Collects, while alive, every ERROR, WARNING and INFO line reported on the
// thread that constructed it, and every error recorded there; scopes nest and
// each open one gets the lines. Other threads' reports never reach it.
class ReportScope {
public:
    ReportScope();
    ~ReportScope();
    ReportScope(const ReportScope&) = delete;
    ReportScope& operator=(const ReportScope&) = delete;

    // The lines in the order reported, then the text of each recorded error,
    // exactly as the process-wide lists hold them.
    std::vector<std::string> Messages() const;
    // ERROR lines plus recorded errors.
    std::size_t ErrorCount() const;

private:
    struct Collection;
    std::unique_ptr<Collection> collection_;
};

}  // namespace Veltrix::Marlin
