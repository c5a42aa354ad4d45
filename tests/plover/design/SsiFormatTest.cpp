#include <gtest/gtest.h>

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/design/SsiFormat.h"

using namespace Veltrix::Marlin::Native;

namespace {

std::string UtilitiesLine(int line, const std::string& text)
{
    return std::string("ERROR: In ") + SourceUnit::Utilities + " on line " + std::to_string(line) + ": " + text;
}

struct ValidateCase {
    vx_marlin_SsiType type;
    vx_marlin_SsiDataFormat format;
    vx_marlin_SsiNumLane lanes;
    int line;  // 0: valid
    const char* text;
};

}  // namespace

TEST(SsiValidate, FirstBrokenRuleReportsItsMessage)
{
    const ValidateCase cases[] = {
        {2, 4, 1, 0, ""},
        {2, 3, 1, 0, ""},
        {2, 6, 1, 0, ""},
        {2, 2, 1, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 7, 1, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 2, 0, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 4, 0, 176, "LVDS must have number of lanes set to 2."},
        {2, 4, 2, 176, "LVDS must have number of lanes set to 2."},
        {1, 3, 1, 184, "CMOS cannot have a data format of 12-bit I/Q data."},
        {1, 4, 1, 189, "CMOS cannot have number of lanes set to 2."},
        {1, 2, 2, 196, "CMOS must have number of lanes set to 1 if data format is 16-bit I only data."},
        {1, 2, 0, 0, ""},
        {1, 4, 2, 0, ""},
        {1, 0, 3, 201, "CMOS must have number of lanes set to 1 or 4."},
        {1, 4, -1, 201, "CMOS must have number of lanes set to 1 or 4."},
        {0, 3, 7, 0, ""},
        {5, 3, 1, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " format " << c.format << " lanes " << c.lanes);
        const size_t before = ErrorHandler::messages().size();
        const std::int8_t status = Ssi_Validate(c.type, c.format, c.lanes, SsiDataRate::SINGLE);
        if (c.line == 0) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(ErrorHandler::messages().size(), before);
        } else {
            EXPECT_EQ(status, -1);
            ASSERT_EQ(ErrorHandler::messages().size(), before + 1);
            EXPECT_EQ(ErrorHandler::messages().back(), UtilitiesLine(c.line, c.text));
        }
    }
}
