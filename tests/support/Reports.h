#pragma once
// The report lines a block of code adds to the process-wide collector, and
// report identities: a test names the unit and line of the report it expects,
// and the text comes from the one table of report texts (tests/data/report_texts.tsv).

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "plover/base/ErrorHandler.h"
#include "support/ReportTexts.h"

namespace PloverTest {

class ReportCapture {
public:
    ReportCapture() : start_(Veltrix::Marlin::Native::ErrorHandler::messageCount()) {}

    std::vector<std::string> lines() const
    {
        const auto all = Veltrix::Marlin::Native::ErrorHandler::messages();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(start_, all.size())), all.end()};
    }

    // Whether one of the lines is the report of that unit and line.
    bool Has(const std::string& unit, int line) const
    {
        const auto all = lines();
        return std::any_of(all.begin(), all.end(), [&](const std::string& text) { return IsReport(text, unit, line); });
    }

private:
    std::size_t start_;
};

// The lines the call adds.
template <typename F>
std::vector<std::string> ReportsOf(F&& call)
{
    const ReportCapture capture;
    call();
    return capture.lines();
}

}  // namespace PloverTest
