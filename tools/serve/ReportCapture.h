#pragma once
// The report lines of one request. The library's report lists are shared by
// the whole process, so until each call can collect its own lines, requests
// that call the library take turns: a capture holds the library for as long
// as it lives and hands out only the lines added meanwhile.

#include <mutex>
#include <string>
#include <vector>

#include "host/ErrorHandler.h"

namespace Veltrix::Marlin::Serve {

class ReportCapture {
public:
    ReportCapture() : lock_(Library()), messages_(ErrorHandler::Messages().size()), errors_(ErrorHandler::ErrorCount())
    {
    }

    // Message lines in the order reported, then the text of each recorded error.
    std::vector<std::string> Lines() const
    {
        const auto messages = ErrorHandler::Messages();
        std::vector<std::string> lines(messages.begin() + static_cast<std::ptrdiff_t>(messages_), messages.end());
        const auto errors = ErrorHandler::Errors();
        for (std::size_t i = errors_; i < errors.size(); ++i) {
            lines.emplace_back(errors[i].what());
        }
        return lines;
    }

private:
    static std::mutex& Library()
    {
        static std::mutex mutex;
        return mutex;
    }

    std::lock_guard<std::mutex> lock_;
    std::size_t messages_;
    std::size_t errors_;
};

}  // namespace Veltrix::Marlin::Serve
