#include <gtest/gtest.h>

#include <string>

#include "plover/base/ErrorHandler.h"
#include "support/Reports.h"
#include "plover/design/SsiFormat.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

struct ValidateCase {
    vx_marlin_SsiType type;
    vx_marlin_SsiDataFormat format;
    vx_marlin_SsiNumLane lanes;
    int line;  // 0: valid
};

}  // namespace

TEST(SsiValidate, FirstBrokenRuleReportsItsMessage)
{
    const ValidateCase cases[] = {
        {2, 4, 1, 0},
        {2, 3, 1, 0},
        {2, 6, 1, 0},
        {2, 2, 1, 171},
        {2, 7, 1, 171},
        {2, 2, 0, 171},
        {2, 4, 0, 176},
        {2, 4, 2, 176},
        {1, 3, 1, 184},
        {1, 4, 1, 189},
        {1, 2, 2, 196},
        {1, 2, 0, 0},
        {1, 4, 2, 0},
        {1, 0, 3, 201},
        {1, 4, -1, 201},
        {0, 3, 7, 0},
        {5, 3, 1, 0},
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
            EXPECT_EQ(ErrorHandler::messages().back(), ReportLine("Utilities", c.line));
        }
    }
}
