// Error retrieval and version queries.

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/ErrorHandler.h"
#include "host/Plover.h"
#include "plover/base/ErrorHandler.h"
#include "support/Files.h"
#include "support/Throws.h"

namespace {

using namespace Veltrix::Marlin;

const auto ThrownText = [](auto&& call) { return PloverTest::ThrownText<std::runtime_error>(call); };

// Nothing else in this program records through the throwing path, so the
// list starts empty here.
TEST(HostErrorHandler, EmptyListThrowsNothingThenFirstAndLastAreRaised)
{
    ASSERT_EQ(ErrorHandler::ErrorCount(), 0u) << "another test recorded an error first";
    EXPECT_EQ(ThrownText(ErrorHandler::ThrowFirstError) + ThrownText(ErrorHandler::ThrowLastError),
              PloverTest::NoException + PloverTest::NoException);
    for (const char* text : {"first", "last"}) ThrownText([&] { Native::ErrorHandler::Error(text, "unit", 7); });
    Native::ErrorHandler::Message(Native::LogLevel::WARNING, "careful", "unit", 12);
    EXPECT_EQ(ThrownText(ErrorHandler::ThrowFirstError), "In unit on line 7: first");
    EXPECT_EQ(ThrownText(ErrorHandler::ThrowLastError), "In unit on line 7: last");
    const auto errors = ErrorHandler::Errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_STREQ(errors[1].what(), "In unit on line 7: last");
    EXPECT_EQ(ErrorHandler::Messages().back(), "WARNING: In unit on line 12: careful");
}

TEST(Versions, TextParsing)
{
    const std::pair<const char*, PloverVersion> cases[] = {
        {"0.53.13", {0, 53, 13, 0}}, {"1.2", {1, 2, 0, 0}}, {"1.2.3.4", {1, 2, 3, 0}},
        {"", {0, 0, 0, 0}},          {"x.1", {0, 0, 0, 0}}, {"7.x.3", {7, 0, 0, 0}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseVersionText(text), expected) << text;
}

TEST(Versions, StreamTemplatesFromTheTopLevelFile)
{
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(PloverTest::SourcePath("resources/asm/marlin/top_level")),
              (PloverVersion{1, 0, 4, 0}));
    PloverTest::TempFolder folder;
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.path().string()), (PloverVersion{})) << "no top_level.txt";
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.File("missing")), (PloverVersion{}));
    folder.Write("top_level.txt", "# versions\nMajorVersionID: 3\nMinorVersionID:    12\nBuildVersionID: 99\n"
                                  "MajorVersionID: 4\nMaintVersionID: x\n");
    EXPECT_EQ(Plover::RunnelAsmVersion_Get(folder.path().string()), (PloverVersion{4, 12, 0, 99}));
}

}  // namespace
