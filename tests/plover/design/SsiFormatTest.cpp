#include <gtest/gtest.h>

#include <string>

#include "support/Reports.h"
#include "plover/design/SsiFormat.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(SsiValidate, FirstBrokenRuleReportsItsMessage)
{
    struct Case {
        vx_marlin_SsiType type;
        vx_marlin_SsiDataFormat format;
        vx_marlin_SsiNumLane lanes;
        int line;  // 0: valid
    };
    const Case cases[] = {
        {2, 4, 1, 0},   {2, 3, 1, 0},   {2, 6, 1, 0},   {2, 2, 1, 171}, {2, 7, 1, 171}, {2, 2, 0, 171},
        {2, 4, 0, 176}, {2, 4, 2, 176}, {1, 3, 1, 184}, {1, 4, 1, 189}, {1, 2, 2, 196}, {1, 2, 0, 0},
        {1, 4, 2, 0},   {1, 0, 3, 201}, {1, 4, -1, 201}, {0, 3, 7, 0},  {5, 3, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " format " << c.format << " lanes " << c.lanes);
        ReportCapture capture;
        EXPECT_EQ(Ssi_Validate(c.type, c.format, c.lanes, SsiDataRate::SINGLE), c.line == 0 ? 0 : -1);
        EXPECT_EQ(capture.lines(),
                  c.line == 0 ? std::vector<std::string>{} : std::vector<std::string>{ReportLine("Utilities", c.line)});
    }
}
