#pragma once
// Collects the message lines a block of code appends to the process-wide list.

#include <string>
#include <vector>

#include "plover/base/ErrorHandler.h"

class ReportCapture {
public:
    ReportCapture() : start_(Veltrix::Marlin::Native::ErrorHandler::messages().size()) {}

    std::vector<std::string> lines() const
    {
        const auto& all = Veltrix::Marlin::Native::ErrorHandler::messages();
        return {all.begin() + static_cast<std::ptrdiff_t>(start_), all.end()};
    }

private:
    std::size_t start_;
};
