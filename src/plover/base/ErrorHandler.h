#pragma once
// The process-wide collector of design-code reports. A recoverable problem is
// appended as a message line and the operation returns a failure status; an
// unrecoverable one is recorded and thrown. Nothing here is ever cleared: the
// host reads both lists after each call. Single host thread, so no locking.

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

class ErrorHandler {
public:
    // Appends "<LEVEL>: In <file> on line <line>: <message>".
    static void Message(LogLevel level, const std::string& message, const std::string& file, int line);

    // Records "In <file> on line <line>: <message>" and throws it as std::runtime_error.
    [[noreturn]] static void Error(const std::string& message, const std::string& file, int line);

    static const std::vector<RecordedError>& errors() { return exceptions_; }
    static const std::vector<std::string>& messages() { return messages_; }

    // The text both paths share, without a level prefix.
    static std::string Format(const std::string& message, const std::string& file, int line);

private:
    static inline std::vector<RecordedError> exceptions_;
    static inline std::vector<std::string> messages_;
};

}  // namespace Veltrix::Marlin::Native
