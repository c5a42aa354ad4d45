#include <gtest/gtest.h>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

using namespace Veltrix::Marlin::Native;

TEST(ErrorHandler, MessageLinesCarryLevelFileAndLine)
{
    const size_t before = ErrorHandler::messages().size();
    ErrorHandler::Message(LogLevel::WARNING, "x", "f", 7);
    ErrorHandler::Message(static_cast<LogLevel>(-5), "odd level", "f", 8);
    ErrorHandler::Message(LogLevel::INFO, "note", SourceUnit::Blueprint, 9);
    ErrorHandler::Message(LogLevel::ERROR, "bad", "g", 10);
    const auto& lines = ErrorHandler::messages();
    ASSERT_EQ(lines.size(), before + 4);
    EXPECT_EQ(lines[before], "WARNING: In f on line 7: x");
    EXPECT_EQ(lines[before + 1], "ERROR: In f on line 8: odd level");
    EXPECT_EQ(lines[before + 2], "INFO: In ..\\..\\..\\src\\plover\\Blueprint on line 9: note");
    EXPECT_EQ(lines[before + 3], "ERROR: In g on line 10: bad");
}

TEST(ErrorHandler, RaisedErrorIsRecordedThenThrownWithoutPrefix)
{
    const size_t messagesBefore = ErrorHandler::messages().size();
    const size_t errorsBefore = ErrorHandler::errors().size();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            ErrorHandler::Error("Unrecognized thing.", "u", 42);
            FAIL() << "Error must not return";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "In u on line 42: Unrecognized thing.");
        }
    }
    ASSERT_EQ(ErrorHandler::errors().size(), errorsBefore + 2);
    EXPECT_STREQ(ErrorHandler::errors().back().what(), "In u on line 42: Unrecognized thing.");
    EXPECT_EQ(ErrorHandler::messages().size(), messagesBefore);
}
