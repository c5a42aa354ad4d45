#include "plover/base/ErrorHandler.h"

namespace Veltrix::Marlin::Native {

std::string ErrorHandler::Format(const std::string& message, const std::string& file, int line)
{
    return "In " + file + " on line " + std::to_string(line) + ": " + message;
}

void ErrorHandler::Message(LogLevel level, const std::string& message, const std::string& file, int line)
{
    const char* prefix = "ERROR: ";
    if (level == LogLevel::INFO) {
        prefix = "INFO: ";
    } else if (level == LogLevel::WARNING) {
        prefix = "WARNING: ";
    }
    messages_.push_back(prefix + Format(message, file, line));
}

void ErrorHandler::Error(const std::string& message, const std::string& file, int line)
{
    std::string text = Format(message, file, line);
    exceptions_.emplace_back(text);
    throw std::runtime_error(text);
}

}  // namespace Veltrix::Marlin::Native
