#pragma once
// The report lines of one request. Each request collects its own lines on the
// thread that computes it, so requests run side by side.

#include <string>
#include <vector>

#include "host/ErrorHandler.h"

namespace Veltrix::Marlin::Serve {

class ReportCapture {
public:
    ReportCapture() = default;
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // The server reads only its scopes; left alone, the process-wide lists
    // would grow with every request for as long as the server runs.
    ~ReportCapture() { ErrorHandler::Clear(); }

    // Message lines in the order reported, then the text of each recorded error.
    std::vector<std::string> Lines() const { return scope_.Messages(); }

private:
    ReportScope scope_;
};

}  // namespace Veltrix::Marlin::Serve
