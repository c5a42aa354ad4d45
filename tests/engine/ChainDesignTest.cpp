#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChainDesignTestSupport.h"

using namespace ChainDesignTest;

namespace {

TEST(DesignChains, NothingEnabledIsRefusedWithoutWork)
{
    const DesignRun run = Design(DesignCriteria{}, ChannelDesignRecord{}, ChannelDesignRecord{});
    EXPECT_EQ(run.status, -5);
    EXPECT_EQ(run.first.status, -5);
    EXPECT_EQ(run.first.rxStages, Zero);
    EXPECT_EQ(run.first.rxStage21, 0);  // untouched
    EXPECT_EQ(run.first.rxRipple_dB, 0.0);
}

TEST(DesignChains, SingleRxAt60MHzTakesTheBy3StockChain)
{
    ChannelDesignRecord first = Rx(60000000, 39000000);
    first.rxHead0 = 7;
    const DesignRun run = Design(DesignCriteria{}, first);
    ASSERT_EQ(run.status, 0);
    const std::array<std::uint8_t, 18> expected = {7, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(run.first.rxStages, expected);
    EXPECT_EQ(run.first.rxRipple_dB, -1.0);
    EXPECT_EQ(run.first.txRipple_dB, 1000000.0);
    EXPECT_EQ(Ratio(run.first.txStages), 0.0);  // a disabled direction keeps the head bytes only
    EXPECT_EQ(run.first.txStages[1], 1);
    EXPECT_EQ(run.second.rxRipple_dB, 1000000.0);
    EXPECT_EQ(run.first.status, 0);
}

TEST(DesignChains, BandwidthAboveARowsLimitMovesToTheNextRatio)
{
    DesignCriteria criteria;
    criteria.minSystemClock(150000000);
    criteria.useExtendedLookup(false);
    // 50 MHz: ratio 3 (150 MHz, limit 0.651) and ratio 4 (200 MHz, limit 0.825).
    EXPECT_EQ(Ratio(Design(criteria, Rx(50000000, 30000000)).first.rxStages), 3.0);
    const DesignRun wide = Design(criteria, Rx(50000000, 35000000));
    ASSERT_EQ(wide.status, 0);
    EXPECT_EQ(Ratio(wide.first.rxStages), 4.0);
    EXPECT_EQ(Design(criteria, Rx(50000000, 45000000)).status, -2);
}

TEST(DesignChains, ClockBounds)
{
    DesignCriteria stockOnly;
    stockOnly.useExtendedLookup(false);
    // No stock ratio puts 10 MHz on a 160..200 MHz clock.
    EXPECT_EQ(Design(stockOnly, Rx(10000000, 5000000)).status, -2);
    // 51 MHz lies between what ratio 3 and ratio 4 can reach; no custom row holds it either.
    EXPECT_EQ(Design(DesignCriteria{}, Rx(51000000, 20000000)).status, -2);
    // Bounds are inclusive: 40 MHz x 4 = 160 MHz, 50 MHz x 4 = 200 MHz.
    EXPECT_EQ(Design(stockOnly, Rx(40000000, 20000000)).status, 0);
    EXPECT_EQ(Design(stockOnly, Rx(50000000, 20000000)).status, 0);
    DesignCriteria narrow;
    narrow.minSystemClock(185000000);
    EXPECT_EQ(Design(narrow, Rx(61440000, 20000000)).status, -2);  // 184.32 MHz is below
}

TEST(DesignChains, DirectModulationTxUsesTheSpecialRowAndBlocksTheCustomTable)
{
    ChannelDesignRecord fm = Tx(100000, 50000);
    fm.txSpecialMode = 1;
    const DesignRun run = Design(DesignCriteria{}, fm);
    ASSERT_EQ(run.status, 0);
    const std::array<std::uint8_t, 18> expected = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 2};
    EXPECT_EQ(run.first.txStages, expected);

    ChannelDesignRecord blocked = Tx(9000000, 4000000);  // no stock ratio reaches 9 MHz
    blocked.txSpecialMode = 1;
    EXPECT_EQ(Design(DesignCriteria{}, blocked).status, -5);
    DesignCriteria stockOnly;
    stockOnly.useExtendedLookup(false);
    EXPECT_EQ(Design(stockOnly, blocked).status, -2);
}

TEST(DesignChains, UnknownSelectorIsReportedAlways)
{
    ChannelDesignRecord first = Rx(10000000, 5000000);
    first.lifSelect = 3;
    testing::internal::CaptureStdout();
    const DesignRun run = Design(DesignCriteria{}, first);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(run.status, -7);
    EXPECT_EQ(out, "Unknown WBLPF/HB22 or LIF/VLIF configuration selected\n");

    ChannelDesignRecord tx = Tx(9000000, 4000000);
    tx.txHb22WblpfSelect = 9;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Design(DesignCriteria{}, tx).status, -7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown TX WBLPF/HB22 configuration selected\n");
}

TEST(DesignChains, StagesOnlyOnSuccessVariantsAlways)
{
    // Failure: stage bytes stay zero, variant bytes are still composed.
    const DesignRun failed = Design(DesignCriteria{}, Rx(51000000, 20000000));
    ASSERT_EQ(failed.status, -2);
    EXPECT_EQ(failed.first.rxStages, Zero);
    EXPECT_EQ(failed.first.txStages, Zero);
    EXPECT_EQ(failed.first.rxStage21, 1);
    EXPECT_EQ(failed.first.rxStage22, 1);

    // Response ignored: success without stage bytes; 45 MHz x 4 uses both converter half-bands.
    DesignCriteria ignored;
    ignored.isResponseIgnored(true);
    for (std::uint8_t lif : {0, 1, 2}) {
        ChannelDesignRecord first = Rx(45000000, 20000000);
        first.lifSelect = lif;
        const DesignRun run = Design(ignored, first);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.first.rxStages, Zero);
        EXPECT_EQ(run.first.rxStage21, lif == 1 ? 4 : 3) << int(lif);
        EXPECT_EQ(run.first.rxStage22, lif == 1 ? 6 : 5) << int(lif);
        EXPECT_EQ(run.second.rxStage21, 1);  // disabled: no chain, no variant
    }
}

TEST(DesignChains, VariantOfTheLastWidebandStage)
{
    // 30.72 MHz x 6: stage 7 active. Selector 2 -> 1, 1 -> 2, 0 -> 1.
    for (std::uint8_t sel : {0, 1, 2}) {
        ChannelDesignRecord first = RxTx(30720000, 20000000);
        first.rxHb22WblpfSelect = sel;
        first.txHb22WblpfSelect = sel;
        const DesignRun run = Design(DesignCriteria{}, first);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.first.rxStage23, sel == 1 ? 2 : 1);
        EXPECT_EQ(run.first.txStage21, sel == 1 ? 2 : 1);
    }
    // 61.44 MHz x 3: stage 7 bypassed -> 0 whatever the selector.
    EXPECT_EQ(Design(DesignCriteria{}, RxTx(61440000, 40000000)).first.rxStage23, 0);
}

TEST(DesignChains, HeadBytesAndSaturation)
{
    ChannelDesignRecord first = RxTx(144000, 50000);
    first.rxHead0 = 9;
    first.txHead0 = 5;
    first.txHead1 = 255;  // 256 saturates to the byte range
    const DesignRun run = Design(DesignCriteria{}, first, Rx(144000, 50000));
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.first.rxStages[0], 9);
    EXPECT_EQ(run.first.rxStages[1], 2);
    EXPECT_EQ(run.first.txStages[0], 3);
    EXPECT_EQ(run.first.txStages[1], 255);
    EXPECT_EQ(run.first.rxStages[10], 10);  // the sinc factor of the 1280 chain
    EXPECT_EQ(run.second.rxStages[0], 9);   // heads come from the first record
    EXPECT_EQ(run.second.txStages[0], 3);
}

struct RatePlan {
    std::uint32_t rate_Hz;
    std::uint32_t bandwidth_Hz;
    double ratio;
};

class StockRatePlans : public testing::TestWithParam<RatePlan> {};

TEST_P(StockRatePlans, SingleAndBothChannelsShareOneClock)
{
    const RatePlan plan = GetParam();
    const double clock = plan.rate_Hz * plan.ratio;
    EXPECT_GE(clock, 160e6);
    EXPECT_LE(clock, 200e6);
    for (bool both : {false, true}) {
        const ChannelDesignRecord first = RxTx(plan.rate_Hz, plan.bandwidth_Hz);
        const DesignRun run = Design(DesignCriteria{}, first, both ? first : ChannelDesignRecord{});
        ASSERT_EQ(run.status, 0) << plan.rate_Hz << (both ? " both" : " single");
        EXPECT_EQ(Ratio(run.first.rxStages), plan.ratio);
        EXPECT_EQ(Ratio(run.first.txStages), plan.ratio);
        EXPECT_EQ(run.first.rxRipple_dB, -1.0);
        if (both) {
            EXPECT_EQ(Ratio(run.second.rxStages), plan.ratio);
            EXPECT_EQ(Ratio(run.second.txStages), plan.ratio);
            EXPECT_EQ(run.second.txRipple_dB, -1.0);
        } else {
            EXPECT_EQ(Ratio(run.second.rxStages), 0.0);
            EXPECT_EQ(run.second.txRipple_dB, 1000000.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DesignChains, StockRatePlans, testing::Values(
    RatePlan{61440000, 40000000, 3}, RatePlan{30720000, 20000000, 6}, RatePlan{15360000, 10000000, 12},
    RatePlan{7680000, 4500000, 24}, RatePlan{3840000, 2500000, 48}, RatePlan{1920000, 1200000, 96},
    RatePlan{144000, 50000, 1280}, RatePlan{48000, 12500, 3840}, RatePlan{24000, 12500, 7680}));

TEST(DesignChains, TenMegahertzDesignsThroughTheCustomTable)
{
    for (const ChannelDesignRecord& first : {Rx(10000000, 5000000), RxTx(10000000, 5000000)}) {
        const DesignRun run = Design(DesignCriteria{}, first);
        ASSERT_EQ(run.status, 0) << int(first.rxEnabled) << int(first.txEnabled);
        const auto& stages = first.rxEnabled ? run.first.rxStages : run.first.txStages;
        // Half-band chain 1 2 2 2 2: ratio 16, clock 160 MHz.
        EXPECT_EQ(Ratio(stages), 16.0);
        EXPECT_EQ(stages[3], 2);
        EXPECT_EQ(first.rxEnabled ? run.first.rxRipple_dB : run.first.txRipple_dB, -1.0);
        EXPECT_EQ(first.rxEnabled ? run.first.txRipple_dB : run.first.rxRipple_dB,
                  first.rxEnabled && first.txEnabled ? -1.0 : 1000000.0);
    }
    // Both channels, Rx on one and Tx on the other.
    const DesignRun cross = Design(DesignCriteria{}, Rx(10000000, 5000000), Tx(10000000, 5000000));
    ASSERT_EQ(cross.status, 0);
    EXPECT_EQ(Ratio(cross.first.rxStages), 16.0);
    EXPECT_EQ(Ratio(cross.second.txStages), 16.0);
    EXPECT_EQ(Ratio(cross.first.txStages), 0.0);
    // Without the custom table it is not possible.
    DesignCriteria stockOnly;
    stockOnly.useExtendedLookup(false);
    EXPECT_EQ(Design(stockOnly, Rx(10000000, 5000000)).status, -2);
}

TEST(DesignChains, DirectionsThatCannotShareAClock)
{
    // 61.44 MHz Rx needs 184.32 MHz; 50 MHz Tx reaches 150 or 200 MHz only.
    DesignCriteria stockOnly;
    stockOnly.useExtendedLookup(false);
    EXPECT_EQ(Design(stockOnly, Rx(61440000, 30000000), Tx(50000000, 20000000)).status, -4);
    // The custom rows agree on no converter side either (by-3 against half-bands).
    EXPECT_EQ(Design(DesignCriteria{}, Rx(61440000, 30000000), Tx(50000000, 20000000)).status, -3);
}

TEST(DesignChains, SingleDirectionRequestsReachTheCustomTable)
{
    // Tx at 10 MHz has the stock ratio 16; 9 MHz has none and needs the custom rows
    // although the Rx direction is disabled on both channels.
    EXPECT_EQ(Ratio(Design(DesignCriteria{}, Tx(10000000, 5000000)).first.txStages), 16.0);
    const DesignRun tx = Design(DesignCriteria{}, Tx(9000000, 4000000));
    ASSERT_EQ(tx.status, 0);
    EXPECT_EQ(Ratio(tx.first.txStages), 20.0);  // 180 MHz
    const DesignRun both = Design(DesignCriteria{}, Tx(9000000, 4000000), Tx(9000000, 3000000));
    ASSERT_EQ(both.status, 0);
    EXPECT_EQ(Ratio(both.second.txStages), 20.0);
    // Rx only on the second channel, mirrored into the first: designed on the shared clock.
    const DesignRun mirrored = Design(DesignCriteria{}, Tx(9000000, 4000000), RxTx(9000000, 4000000));
    ASSERT_EQ(mirrored.status, 0);
    EXPECT_EQ(Ratio(mirrored.second.rxStages), 20.0);
    EXPECT_EQ(Ratio(mirrored.first.rxStages), 0.0);
    EXPECT_EQ(mirrored.first.rxRipple_dB, 1000000.0);
    EXPECT_EQ(mirrored.second.rxRipple_dB, -1.0);
}

TEST(DesignChains, DebugLines)
{
    DesignCriteria debug;
    debug.isDebug(true);
    testing::internal::CaptureStdout();
    Design(debug, Rx(61440000, 40000000));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Pre-existing profile found\n");
    testing::internal::CaptureStdout();
    Design(debug, Rx(10000000, 5000000));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Using Direct lookup solution (Custom)\n");
    testing::internal::CaptureStdout();
    Design(DesignCriteria{}, Rx(10000000, 5000000));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(DesignChains, ModellingSearchRequestKeepsTheLookupVerdictUntilBuilt)
{
    DesignCriteria criteria;
    criteria.useModelingSearch(true);
    EXPECT_EQ(Design(criteria, Rx(51000000, 20000000)).status, -2);
    EXPECT_EQ(Design(criteria, Rx(61440000, 40000000)).status, 0);  // lookups first
}

TEST(DesignChains, GoalText)
{
    EXPECT_EQ(DesignGoal_FromSearchMode(0), "MaximizeChannelBandwidth");
    EXPECT_EQ(DesignGoal_FromSearchMode(1), "TargetChannelRipple");
    EXPECT_EQ(DesignGoal_FromSearchMode(2), "MinimizeChannelRipple");
    EXPECT_EQ(DesignGoal_FromSearchMode(3), "");
}

}  // namespace
