// Viability is a quick design on a copy: it leaves the blueprint alone, keeps
// the wider search's first report, and leaves the clock and SSI rules to the
// full design (develop/ViabilityTest checks it against the design at large).

#include <gtest/gtest.h>

#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

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
    EXPECT_EQ(blueprint.txChannel2.int3Factor, 1u);  // the preparation ran on the copy only
}

TEST(BlueprintViability, ExpandedSearchRetriesFromA150MHzFloor)
{
    // 9.6 MHz needs a ratio of 16: 153.6 MHz, below the usual 160 MHz floor.
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 9600000, 5000000);
    for (const bool expanded : {false, true}) {
        blueprint.expandedSearchEnable = expanded;
        ReportCapture capture;
        EXPECT_EQ(blueprint.isViable(), expanded);
        // The first attempt's report stays in the list.
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 203)});
    }
}

TEST(BlueprintViability, ClockAndSsiChecksAreNotPartOfViability)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 61440000, 38000000);
    blueprint.rxChannel1.ssiType = 1;  // too fast for CMOS, found only by a full design
    EXPECT_TRUE(blueprint.isViable());
}
