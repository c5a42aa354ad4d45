#include <gtest/gtest.h>

#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

const std::string RateNotPossible = ReportLine("FilterDesigner", 203);

}  // namespace

TEST(BlueprintViability, ViableBlueprintIsLeftAsItWas)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 1920000, 1008000);
    Enable(blueprint.txChannel2, 1920000, 1008000);
    const std::string before = blueprint.SaveToString();
    ReportCapture capture;
    EXPECT_TRUE(blueprint.isViable());
    EXPECT_TRUE(capture.lines().empty());
    EXPECT_EQ(blueprint.SaveToString(), before);
    EXPECT_FALSE(blueprint.isDesigned());
    EXPECT_EQ(blueprint.txChannel2.int3Factor, 1u);  // the preparation ran on the copy only
}

TEST(BlueprintViability, NothingEnabledIsNotViable)
{
    MarlinBlueprint blueprint;
    ReportCapture capture;
    EXPECT_FALSE(blueprint.isViable());
    EXPECT_EQ(capture.lines().size(), 1u);
}

TEST(BlueprintViability, ExpandedSearchRetriesFromA150MHzFloor)
{
    // 9.6 MHz needs a ratio of 16: 153.6 MHz, below the usual 160 MHz floor.
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 9600000, 5000000);
    {
        ReportCapture capture;
        EXPECT_FALSE(blueprint.isViable());
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], RateNotPossible);
    }
    blueprint.expandedSearchEnable = true;
    {
        ReportCapture capture;
        EXPECT_TRUE(blueprint.isViable());
        // The first attempt's report stays in the list.
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], RateNotPossible);
    }
}

TEST(BlueprintViability, ClockAndSsiChecksAreNotPartOfViability)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 61440000, 38000000);
    blueprint.rxChannel1.ssiType = 1;  // too fast for CMOS, found only by a full design
    EXPECT_TRUE(blueprint.isViable());
}
