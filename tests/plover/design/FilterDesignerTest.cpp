// The chains each blueprint designs to are pinned by the examples and the
// design-* scenarios; here the designer's own seams: what it derives that no
// file carries, its limits, its flags and the state it must not keep.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

DesignCriteria ExpandedCriteria()
{
    DesignCriteria criteria;
    criteria.expandedSearchEnable(true);
    return criteria;
}

// Rx1 and Tx1 at 9.6 MHz on a four-lane single-rate CMOS interface.
MarlinBlueprint NineSixPlan(bool expandedSearchEnable)
{
    MarlinBlueprint blueprint;
    blueprint.expandedSearchEnable = expandedSearchEnable;
    for (ChannelBlueprint* channel : {static_cast<ChannelBlueprint*>(&blueprint.rxChannel1),
                                      static_cast<ChannelBlueprint*>(&blueprint.txChannel1)}) {
        Enable(*channel, 9600000, 5000000);
        channel->ssiType = 1;
        channel->ssiNumLane = 2;
    }
    return blueprint;
}

}  // namespace

TEST(FilterDesigner, PreparationDerivesTheLoopBackAndWidebandSettings)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.wblpfSelect = WidebandFilterSelect::BW_92;
    blueprint.rxChannel2.analogFilterOrder = AnalogFilterOrder::ORDER_2;
    blueprint.txChannel1.rfChannelBandwidth_Hz = 1000000;
    blueprint.txChannel2.rfChannelBandwidth_Hz = 999999;
    blueprint.adcRate(AdcRate::LOW);
    DesignerProbe::Blueprint_Prepare(blueprint);
    EXPECT_EQ(blueprint.rxChannel1.dataPath.stages[RxPath::WblpfStage], 2);
    EXPECT_EQ(blueprint.txChannel1.loopBackAnalogFilterOrder, AnalogFilterOrder::ORDER_1);
    EXPECT_EQ(blueprint.txChannel2.loopBackAnalogFilterOrder, AnalogFilterOrder::ORDER_2);
    EXPECT_EQ(blueprint.txChannel1.loopBackAnalogFilterCorner_Hz, 100000000u);
    EXPECT_EQ(blueprint.txChannel2.loopBackAnalogFilterCorner_Hz, 40000000u);
    EXPECT_EQ(blueprint.txChannel2.loopBackAdcRate, AdcRate::LOW);
}

TEST(FilterDesigner, LowIfWhileIfAndBandwidthStayWithin5MHz)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel2, 48000, 200000);
    blueprint.rxChannel2.ncoEnable = true;
    struct Case {
        std::int32_t if_Hz;
        std::uint8_t lifSelect;
    };
    for (const Case c : {Case{4800000, 1}, Case{-4800000, 1}, Case{-4800001, 0}, Case{4900000, 0},
                         Case{std::numeric_limits<std::int32_t>::min(), 0}}) {
        blueprint.rxChannel2.intermediateFrequency_Hz = c.if_Hz;
        EXPECT_EQ(ChannelDesignRequest_Build(blueprint, 1).record.lifSelect, c.lifSelect) << c.if_Hz;
    }
    blueprint.rxChannel2.ncoEnable = false;
    blueprint.rxChannel2.intermediateFrequency_Hz = 0;
    EXPECT_EQ(ChannelDesignRequest_Build(blueprint, 1).record.lifSelect, 0);
}

TEST(FilterDesigner, StatusesBecomeMessages)
{
    struct Case {
        const char* name;
        MarlinBlueprint blueprint;
        DesignCriteria criteria;
        int line;
    };
    const Case cases[] = {
        {"nothing enabled", MarlinBlueprint{}, DesignCriteria{}, 209},
        // The 9.6 MHz plan needs the blueprint's own request for the wider search.
        {"9.6 MHz plan not asked for", NineSixPlan(false), ExpandedCriteria(), 326},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint blueprint = c.blueprint;
        FilterDesigner designer;
        ReportCapture capture;
        EXPECT_EQ(designer.Design(blueprint, c.criteria, false), 255);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", c.line)});
        EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());
    }
}

// Design-only stops after the chain search: no SSI check, no feature update,
// nothing written back. A full design updates the features last and returns
// their status.
TEST(FilterDesigner, DesignOnlyAndFeatureUpdates)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 61440000, 38000000);
    blueprint.rxChannel1.ssiType = 1;  // CMOS cannot carry 61.44 MHz of 32-bit samples on one lane
    auto feature = std::make_shared<TestFeature>("probe");
    int updates = 0;
    bool sawDesignedPath = false;
    feature->onUpdate = [&](MarlinBlueprint& b) {
        ++updates;
        sawDesignedPath = b.rxChannel1.dataPath.isDesigned();
    };
    blueprint.Feature_Enable(feature);
    updates = 0;
    FilterDesigner designer;
    EXPECT_TRUE(ReportsOf([&] { EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, true), 0); }).empty());
    EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 255); }),
              std::vector<std::string>{ReportLine("FilterDesigner", 463, {"1", "80000000"})});
    EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());

    blueprint.rxChannel1.ssiType = 2;  // LVDS carries it on one lane at double rate
    blueprint.rxChannel1.ssiNumLane = 1;
    blueprint.rxChannel1.ssiDataRate = SsiDataRate::DOUBLE;
    feature->status(5);
    EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 5);
    EXPECT_TRUE(sawDesignedPath);
}

TEST(FilterDesigner, ReusedDesignerGivesWhatAFreshOneGives)
{
    // A low-rate design first must not leave its plan behind: the 9.6 MHz plan
    // still applies, and no low-rate override touches a later design (a 96 kHz
    // transmitter whose 144 kHz partner is disabled keeps its searched chain).
    MarlinBlueprint lowRate;
    Enable(lowRate.rxChannel1, 48000, 12000);
    Enable(lowRate.txChannel1, 96000, 12500);
    MarlinBlueprint lonePartner;
    Enable(lonePartner.txChannel1, 96000, 12500);
    lonePartner.txChannel2.samplingRate_Hz(144000);
    for (const MarlinBlueprint& later : {NineSixPlan(true), lonePartner}) {
        MarlinBlueprint alone = later;
        FilterDesigner fresh;
        const std::uint8_t aloneStatus = fresh.Design(alone, ExpandedCriteria(), false);

        FilterDesigner reused;
        MarlinBlueprint first = lowRate;
        ASSERT_EQ(reused.Design(first, ExpandedCriteria(), false), 0);
        ASSERT_TRUE(reused.lowRateMode);
        MarlinBlueprint second = later;
        EXPECT_EQ(reused.Design(second, ExpandedCriteria(), false), aloneStatus);
        EXPECT_EQ(reused.lowRateMode, fresh.lowRateMode);
        EXPECT_EQ(second.SaveToString(), alone.SaveToString());
    }
}
