#include <gtest/gtest.h>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

// A level outside the three is written as ERROR; a unit constant names its
// file below src\plover. A raised error is recorded, not collected as a line,
// and thrown with no level in front.
TEST(ErrorHandler, LinesCarryLevelFileAndLine)
{
    EXPECT_EQ(ReportsOf([] {
                  ErrorHandler::Message(LogLevel::WARNING, "x", "f", 7);
                  ErrorHandler::Message(static_cast<LogLevel>(-5), "odd level", "f", 8);
                  ErrorHandler::Message(LogLevel::INFO, "note", SourceUnit::Blueprint, 9);
                  ErrorHandler::Message(LogLevel::ERROR, "bad", "g", 10);
              }),
              (std::vector<std::string>{"WARNING: In f on line 7: x", "ERROR: In f on line 8: odd level",
                                        "INFO: In ..\\..\\..\\src\\plover\\Blueprint on line 9: note",
                                        "ERROR: In g on line 10: bad"}));
    const std::size_t errorsBefore = ErrorHandler::errors().size();
    const auto lines = ReportsOf([] {
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_EQ(ThrownText<std::runtime_error>([] { ErrorHandler::Error("Unrecognized thing.", "u", 42); }),
                      "In u on line 42: Unrecognized thing.");
        }
    });
    EXPECT_TRUE(lines.empty());
    ASSERT_EQ(ErrorHandler::errors().size(), errorsBefore + 2);
    EXPECT_STREQ(ErrorHandler::errors().back().what(), "In u on line 42: Unrecognized thing.");
}
