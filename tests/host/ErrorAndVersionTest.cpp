// Error retrieval and version queries.

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "host/ErrorHandler.h"
#include "host/Plover.h"
#include "plover/base/ErrorHandler.h"
#include "support/Files.h"

using PloverTest::TempFolder;

namespace {

using namespace Veltrix::Marlin;

std::string ThrownText(void (*call)())
{
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

// Nothing else in this program records through the throwing path, so the
// list starts empty here.
TEST(HostErrorHandler, EmptyListThrowsNothingThenFirstAndLastAreRaised)
{
    ASSERT_EQ(ErrorHandler::ErrorCount(), 0u) << "another test recorded an error first";
    EXPECT_NO_THROW(ErrorHandler::ThrowFirstError());
    EXPECT_NO_THROW(ErrorHandler::ThrowLastError());
    EXPECT_TRUE(ErrorHandler::Errors().empty());

    for (const char* text : {"first", "last"}) {
        try {
            Native::ErrorHandler::Error(text, "unit", 7);
        } catch (const std::runtime_error&) {
        }
    }
    ASSERT_EQ(ErrorHandler::ErrorCount(), 2u);
    EXPECT_EQ(ThrownText(&ErrorHandler::ThrowFirstError), "In unit on line 7: first");
    EXPECT_EQ(ThrownText(&ErrorHandler::ThrowLastError), "In unit on line 7: last");
    const auto errors = ErrorHandler::Errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_STREQ(errors[1].what(), "In unit on line 7: last");
}

TEST(HostErrorHandler, MessagesAreTheCollectedLines)
{
    const std::size_t before = ErrorHandler::Messages().size();
    Native::ErrorHandler::Message(Native::LogLevel::WARNING, "careful", "unit", 12);
    const auto messages = ErrorHandler::Messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back(), "WARNING: In unit on line 12: careful");
}

TEST(Versions, LibraryAndStreamGenerator)
{
    EXPECT_EQ(Plover::Version_Get(), (PloverVersion{0, 53, 13, 0}));
    EXPECT_EQ(Plover::RunnelVersion_Get(), (PloverVersion{1, 0, 4, 0}));
}

TEST(Versions, TextParsing)
{
    struct Case {
        const char* text;
        PloverVersion expected;
    };
    const Case cases[] = {
        {"0.53.13", {0, 53, 13, 0}}, {"1.2", {1, 2, 0, 0}},      {"1.2.3.4", {1, 2, 3, 0}},
        {"", {0, 0, 0, 0}},          {"x.1", {0, 0, 0, 0}},      {"7.x.3", {7, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseVersionText(c.text), c.expected) << c.text;
    }
}

TEST(Versions, StreamTemplatesFromTheTopLevelFile)
{
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level"),
              (PloverVersion{1, 0, 4, 0}));

    TempFolder folder;
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.path().string()), (PloverVersion{})) << "no top_level.txt";
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.File("missing")), (PloverVersion{}));

    std::ofstream(folder.File("top_level.txt")) << "# versions\n"
                                                   "MajorVersionID: 3\n"
                                                   "MinorVersionID:    12\n"
                                                   "BuildVersionID: 99\n"
                                                   "MajorVersionID: 4\n"
                                                   "MaintVersionID: x\n";
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.path().string()), (PloverVersion{4, 12, 0, 99}));
}

}  // namespace
