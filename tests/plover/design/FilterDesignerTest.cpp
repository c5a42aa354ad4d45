#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"
#include "TestFeature.h"
#include "plover/base/SourceUnit.h"

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
        channel->ssiDataRate = SsiDataRate::SINGLE;
    }
    return blueprint;
}

void ExpectSamePaths(const MarlinBlueprint& a, const MarlinBlueprint& b)
{
    EXPECT_EQ(a.rxChannel1.dataPath.stages, b.rxChannel1.dataPath.stages);
    EXPECT_EQ(a.rxChannel2.dataPath.stages, b.rxChannel2.dataPath.stages);
    EXPECT_EQ(a.txChannel1.dataPath.stages, b.txChannel1.dataPath.stages);
    EXPECT_EQ(a.txChannel2.dataPath.stages, b.txChannel2.dataPath.stages);
}

}  // namespace

TEST(FilterDesigner, PreparationDerivesEachChannelsSettings)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.wblpfSelect = WidebandFilterSelect::BW_92;
    blueprint.rxChannel2.analogFilterOrder = AnalogFilterOrder::ORDER_2;
    blueprint.txChannel1.rfChannelBandwidth_Hz = 5000000;
    blueprint.txChannel1.dataPath.stages[TxPath::Sinc2SelectStage] = 1;
    blueprint.txChannel2.rfChannelBandwidth_Hz = 999999;
    blueprint.txChannel2.channelSignalType(TxSignalType::DIRECT_FM_FSK);
    blueprint.txChannel2.wblpfSelect = WidebandFilterSelect::BYPASSED;
    DesignerProbe::Blueprint_Prepare(blueprint);

    EXPECT_EQ(blueprint.rxChannel1.dataPath.stages[RxPath::WblpfStage], 2);
    EXPECT_EQ(blueprint.rxChannel1.dataPath.stages[RxPath::SincMuxStage], 6);
    EXPECT_EQ(blueprint.txChannel2.loopBackAnalogFilterOrder, AnalogFilterOrder::ORDER_2);
    const TxChannelBlueprint& wide = blueprint.txChannel1;
    EXPECT_EQ(wide.int3Factor, 3u);
    EXPECT_EQ(wide.dataPath.stages[TxPath::Int3Sinc3SelectStage], 2);
    EXPECT_EQ(wide.dataPath.stages[TxPath::Sinc2SelectStage], 0);
    EXPECT_EQ(wide.dataPath.stages[TxPath::WblpfStage], 1);
    EXPECT_EQ(wide.loopBackAnalogFilterCorner_Hz, 100000000u);
    const TxChannelBlueprint& narrow = blueprint.txChannel2;
    EXPECT_EQ(narrow.int3Factor, 1u);
    EXPECT_EQ(narrow.dataPath.stages[TxPath::Int3Sinc3SelectStage], 0);
    EXPECT_EQ(narrow.dataPath.stages[TxPath::DirectFmFskStage], 1);
    EXPECT_EQ(narrow.dataPath.stages[TxPath::WblpfStage], 0);
    EXPECT_EQ(narrow.loopBackAnalogFilterCorner_Hz, 40000000u);

    // The medium ADC rate runs without the INT3 stage, and the loop-back follows the ADC rate.
    blueprint.adcRate(AdcRate::MED);
    DesignerProbe::Blueprint_Prepare(blueprint);
    EXPECT_EQ(blueprint.txChannel1.int3Factor, 1u);
    EXPECT_EQ(blueprint.txChannel1.dataPath.stages[TxPath::Int3Sinc3SelectStage], 0);
    EXPECT_EQ(blueprint.txChannel1.loopBackAdcRate, AdcRate::MED);
    EXPECT_EQ(blueprint.rxChannel1.dataPath.stages[RxPath::SincMuxStage], 4);
}

TEST(FilterDesigner, RequestCarriesRatesHeadsAndSelectors)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel2, 48000, 200000);
    blueprint.rxChannel2.ncoEnable = true;
    blueprint.txChannel2.dataPath.stages[TxPath::Int3Sinc3SelectStage] = 2;
    blueprint.txChannel2.dataPath.stages[TxPath::Sinc2SelectStage] = 7;
    blueprint.txChannel2.channelSignalType(TxSignalType::DIRECT_FM_FSK);
    blueprint.txChannel2.channelFilterType = ChannelFilterType::CUSTOM;
    blueprint.txChannel2.channelFilterInterpolation = ChannelFilterInterpolation::INTERPOLATE_BY_3;

    struct IfCase {
        std::int32_t if_Hz;
        std::uint8_t lifSelect;
    };
    // Low IF while |IF| + bandwidth stays within 5 MHz.
    for (const IfCase c : {IfCase{4800000, 1}, IfCase{-4800000, 1}, IfCase{-4800001, 0}, IfCase{4900000, 0},
                           IfCase{std::numeric_limits<std::int32_t>::min(), 0}}) {
        blueprint.rxChannel2.intermediateFrequency_Hz = c.if_Hz;
        EXPECT_EQ(ChannelDesignRequest_Build(blueprint, 1).record.lifSelect, c.lifSelect) << c.if_Hz;
    }
    blueprint.rxChannel2.intermediateFrequency_Hz = 0;
    const ChannelDesignRequest request = ChannelDesignRequest_Build(blueprint, 1);
    EXPECT_EQ(request.record.rxEnabled, 1);
    EXPECT_EQ(request.record.txEnabled, 0);
    EXPECT_EQ(request.record.rxSampleRate_Hz, 48000u);
    EXPECT_EQ(request.record.rxBandwidth_Hz, 200000u);
    EXPECT_EQ(request.record.rxReferenceRate_Hz, 100000000u);
    EXPECT_EQ(request.record.rxHead0, 6);
    EXPECT_EQ(request.record.rxHead1, 1);
    EXPECT_EQ(request.record.txHead0, 2);
    EXPECT_EQ(request.record.txHead1, 1);
    EXPECT_EQ(request.record.txSpecialMode, 1);
    EXPECT_EQ(request.record.lifSelect, 1);
    EXPECT_EQ(request.record.rxHb22WblpfSelect, 2);
    EXPECT_EQ(request.record.txHb22WblpfSelect, 2);
    EXPECT_EQ(request.preprocessorInterpolation, 3);

    blueprint.rxChannel2.ncoEnable = false;
    blueprint.txChannel2.channelFilterType = ChannelFilterType::DISABLED;
    const ChannelDesignRequest plain = ChannelDesignRequest_Build(blueprint, 1);
    EXPECT_EQ(plain.record.lifSelect, 0);
    EXPECT_EQ(plain.preprocessorInterpolation, 1);
}

TEST(FilterDesigner, LowRatePairingLeavesAnOwnInterfaceRateAlone)
{
    DesignerProbe designer;
    MarlinBlueprint blueprint;
    Enable(blueprint.txChannel2, 96000, 12500);
    Enable(blueprint.txChannel1, 144000, 25000);
    blueprint.txChannel1.ssiInterfaceRate_Hz(288000);
    std::array<ChannelDesignRequest, 2> requests{};
    designer.LowRate_Prepare(blueprint, requests);
    EXPECT_EQ(requests[0].record.txSampleRate_Hz, 96000u);
    EXPECT_EQ(blueprint.txChannel1.samplingRate_Hz(), 144000u);
    EXPECT_EQ(blueprint.txChannel1.ssiInterfaceRate_Hz(), 288000u);
}

TEST(FilterDesigner, NineSixPlanNeedsExpandedSearch)
{
    {
        // At the 160 MHz floor no chain puts 9.6 MHz on the clock.
        MarlinBlueprint blueprint = NineSixPlan(false);
        FilterDesigner designer;
        ReportCapture capture;
        EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 255);
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], ReportLine("FilterDesigner", 203));
    }
    {
        MarlinBlueprint blueprint = NineSixPlan(false);
        FilterDesigner designer;
        ReportCapture capture;
        EXPECT_EQ(designer.Design(blueprint, ExpandedCriteria(), false), 255);
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], ReportLine("FilterDesigner", 326));
        EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());
    }
}

TEST(FilterDesigner, NineSixPlanNeedsFourLanes)
{
    // The four-lane plan itself is the golden CMOS example's; two lanes are
    // not the plan, and the searched chain stays.
    FilterDesigner designer;
    MarlinBlueprint other = NineSixPlan(false);
    for (ChannelBlueprint* channel : {static_cast<ChannelBlueprint*>(&other.rxChannel1),
                                      static_cast<ChannelBlueprint*>(&other.txChannel1)}) {
        channel->ssiNumLane = 0;
        channel->ssiDataFormat = 1;
    }
    ASSERT_EQ(designer.Design(other, ExpandedCriteria(), false), 0);
    EXPECT_EQ(RxClock(other.rxChannel1), 153600000u);
}

TEST(FilterDesigner, ChainSearchStatusesBecomeMessages)
{
    struct Case {
        const char* name;
        void (*setup)(MarlinBlueprint&);
        int line;
    };
    const Case cases[] = {
        {"nothing enabled", [](MarlinBlueprint&) {}, 209},
        {"no chain inside the clock bounds", [](MarlinBlueprint& b) { Enable(b.rxChannel2, 9600000, 5000000); }, 203},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint blueprint;
        c.setup(blueprint);
        FilterDesigner designer;
        ReportCapture capture;
        EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 255);
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], ReportLine("FilterDesigner", c.line));
    }
}

TEST(FilterDesigner, DesignOnlyStopsAfterTheChainSearch)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 61440000, 38000000);
    blueprint.rxChannel1.ssiType = 1;  // CMOS cannot carry 61.44 MHz of 32-bit samples on one lane
    auto feature = std::make_shared<TestFeature>("probe");
    int updates = 0;
    feature->onUpdate = [&updates](MarlinBlueprint&) { ++updates; };
    blueprint.Feature_Enable(feature);
    updates = 0;

    FilterDesigner designer;
    ReportCapture quiet;
    EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, true), 0);
    EXPECT_TRUE(quiet.lines().empty());
    for (std::size_t stage = 0; stage <= 18; ++stage) {
        EXPECT_EQ(blueprint.rxChannel1.dataPath.stages[stage], 0) << stage;
    }
    EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());
    EXPECT_EQ(updates, 0);

    ReportCapture capture;
    EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 255);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], ReportLine("FilterDesigner", 463, {"1", "80000000"}));
    EXPECT_FALSE(blueprint.rxChannel1.dataPath.isDesigned());
}

TEST(FilterDesigner, FeatureUpdatesRunLastAndTheirStatusIsReturned)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 1920000, 1008000);
    auto feature = std::make_shared<TestFeature>("probe");
    bool sawDesignedPath = false;
    feature->onUpdate = [&sawDesignedPath](MarlinBlueprint& b) { sawDesignedPath = b.rxChannel1.dataPath.isDesigned(); };
    blueprint.Feature_Enable(feature);
    feature->status(5);
    FilterDesigner designer;
    EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 5);
    EXPECT_TRUE(sawDesignedPath);
    EXPECT_TRUE(blueprint.rxChannel1.dataPath.isDesigned());
}

TEST(FilterDesigner, ReusedDesignerGivesWhatAFreshOneGives)
{
    // A low-rate design first must not leave its plan behind: the 9.6 MHz plan
    // still applies, and no low-rate override touches a later design (a 96 kHz
    // transmitter whose 144 kHz partner is disabled keeps its searched chain).
    const MarlinBlueprint lowRate = [] {
        MarlinBlueprint b;
        Enable(b.rxChannel1, 48000, 12000);
        Enable(b.txChannel1, 96000, 12500);
        return b;
    }();
    const MarlinBlueprint laterDesigns[] = {NineSixPlan(true), [] {
                                                MarlinBlueprint b;
                                                Enable(b.txChannel1, 96000, 12500);
                                                b.txChannel2.samplingRate_Hz(144000);
                                                return b;
                                            }()};
    for (const MarlinBlueprint& later : laterDesigns) {
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
        ExpectSamePaths(second, alone);
    }
}
