#pragma once
// The process-wide collector of design-code reports. A recoverable problem is
// appended as a message line and the operation returns a failure status; an
// unrecoverable one is recorded and thrown. Nothing here is cleared unless a
// host asks for it. Designs run from several threads at once, so the lists
// are guarded and read as snapshots; a caller that wants only the reports of
// its own call opens a ReportCollection on its thread.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include <cstdint>

namespace Veltrix::Marlin::Native {

// The level a report line opens with.
enum class LogLevel : std::int32_t {
    INFO = 0,
    WARNING = -1,
    ERROR = -2,
};

// A recorded error keeps its own copy of the text (std::exception cannot).
class RecordedError : public std::exception {
public:
    explicit RecordedError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// While alive, receives every line reported on the thread that opened it,
// besides the process-wide lists. Collections nest: each open one on the
// thread gets the line. Neither copied nor moved, since the thread's registry
// points at it.
class ReportCollection {
public:
    ReportCollection();
    ~ReportCollection();
    ReportCollection(const ReportCollection&) = delete;
    ReportCollection& operator=(const ReportCollection&) = delete;

    // Message lines in the order reported, then the text of each recorded error.
    std::vector<std::string> Lines() const;
    // ERROR message lines plus recorded errors.
    std::size_t ErrorCount() const { return errorLines_ + errors_.size(); }
    // The text of each recorded error alone.
    const std::vector<std::string>& RecordedErrors() const { return errors_; }
    // What each of Lines() was about ("" when nothing said), line for line.
    std::vector<std::string> Subjects() const;

private:
    friend class ErrorHandler;
    std::vector<std::string> messages_;
    std::vector<std::string> messageSubjects_;
    std::vector<std::string> errors_;
    std::vector<std::string> errorSubjects_;
    std::size_t errorLines_ = 0;
};

// While alive, names what the reports made on its thread are about (a
// blueprint channel such as "rxChannel1"): many channel checks share one fixed
// text that cannot say which channel failed, and the text must not change.
// Subjects nest; the innermost one names the line.
class ReportSubject {
public:
    explicit ReportSubject(std::string subject);
    ~ReportSubject();
    ReportSubject(const ReportSubject&) = delete;
    ReportSubject& operator=(const ReportSubject&) = delete;

    // The innermost subject open on this thread, "" when none.
    static std::string Current();
};

class ErrorHandler {
public:
    // Appends "<LEVEL>: In <file> on line <line>: <message>".
    static void Message(LogLevel level, const std::string& message, const std::string& file, int line);

    // Records "In <file> on line <line>: <message>" and throws it as std::runtime_error.
    [[noreturn]] static void Error(const std::string& message, const std::string& file, int line);

    // Snapshots of the process-wide lists.
    static std::vector<RecordedError> errors();
    static std::vector<std::string> messages();
    static std::size_t errorCount();
    static std::size_t messageCount();

    // Empties both process-wide lists; open collections keep what they hold.
    static void Clear();

    // The text both paths share, without a level prefix.
    static std::string Format(const std::string& message, const std::string& file, int line);
};

}  // namespace Veltrix::Marlin::Native
