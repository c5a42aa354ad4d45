#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ChainDesignTestSupport.h"
#include "engine/CandidateScoring.h"
#include "engine/ModelingSearch.h"
#include "engine/PathEvaluation.h"
#include "engine/PathStages.h"

namespace {

using namespace Veltrix::Marlin::Native;
using ChainDesignTest::Design;
using ChainDesignTest::RxTx;

// A rate no stock row serves at this bandwidth and that the custom table is
// kept out of: only the modelling search can design it.
constexpr std::uint32_t CustomRate_Hz = 1234567;
constexpr std::uint32_t CustomBandwidth_Hz = 1000000;

DesignCriteria SearchCriteria(std::uint8_t mode)
{
    DesignCriteria c;
    c.useExtendedLookup(false);
    c.useModelingSearch(true);
    c.searchMode(mode);
    return c;
}

TEST(ModelingSearch, MimoRefusals)
{
    testing::internal::CaptureStdout();
    const ChannelDesignRecord both = RxTx(CustomRate_Hz, CustomBandwidth_Hz);
    auto run = Design(SearchCriteria(0), both, both);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Arbitrary response verification is not supported for MIMO Mode\n");
    EXPECT_EQ(run.status, -6);
    EXPECT_EQ(run.first.status, -6);
    EXPECT_EQ(run.first.rxStages, ChainDesignTest::Zero);
    EXPECT_EQ(run.second.txStages, ChainDesignTest::Zero);

    // Tx only on the first channel: the receive selectors are not mirrored and differ.
    ChannelDesignRecord first = ChainDesignTest::Tx(CustomRate_Hz, CustomBandwidth_Hz);
    first.lifSelect = 1;
    ChannelDesignRecord second;
    second.lifSelect = 0;
    testing::internal::CaptureStdout();
    run = Design(SearchCriteria(0), first, second);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Arbitrary response verification is not supported for MIMO Mode with VLIF differences\n");
    EXPECT_EQ(run.status, -6);
    EXPECT_EQ(run.first.txStages, ChainDesignTest::Zero);
}

TEST(ModelingSearch, ResponseIgnoredModes)
{
    for (std::uint8_t mode : {1, 2}) {
        DesignCriteria c = SearchCriteria(2);
        c.isResponseIgnoredMode(mode);
        ModelingSearchProgress last;
        const auto outcome = Engine_ModelingSearch(c, RxTx(CustomRate_Hz, CustomBandwidth_Hz),
                                                   [&](const ModelingSearchProgress& p) { last = p; });
        EXPECT_EQ(outcome.status, 0) << int(mode);
        EXPECT_EQ(outcome.totals.pairsDesigned, 0u) << int(mode);
        EXPECT_EQ(outcome.totals.candidatesScored, 0u) << int(mode);
        // Mode 1 stops at the first clock both directions can reach; mode 2 walks them all.
        if (mode == 1) {
            EXPECT_LT(last.ratiosVisited, ModelingSearchRatioCount);
        }
        if (mode == 2) {
            EXPECT_EQ(last.ratiosVisited, ModelingSearchRatioCount);
        }

        const auto run = Design(c, RxTx(CustomRate_Hz, CustomBandwidth_Hz));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.first.rxStages, ChainDesignTest::Zero);  // stages only with isResponseIgnored 0
        EXPECT_EQ(run.first.rxStage21, 1);        // variant bytes regardless
    }
}

TEST(ModelingSearch, ClockAndPairFailures)
{
    // 70 MHz times 3 already lies above 200 MHz: no feasible clock.
    EXPECT_EQ(Engine_ModelingSearch(SearchCriteria(0), RxTx(70000001, 50000000)).status, -2);
    // One feasible clock (7 x 25 MHz) that no chain reaches.
    DesignCriteria c = SearchCriteria(0);
    c.minSystemClock(175000000);
    c.maxSystemClock(175000000);
    EXPECT_EQ(Engine_ModelingSearch(c, RxTx(25000000, 20000000)).status, -3);
    // Bandwidth beyond what an equaliser can flatten: nothing designed on any clock.
    EXPECT_EQ(Engine_ModelingSearch(SearchCriteria(1), RxTx(CustomRate_Hz, CustomRate_Hz)).status, -3);
}

TEST(ModelingSearch, GoalsAndStopRules)
{
    const ChannelDesignRecord channel = RxTx(CustomRate_Hz, CustomBandwidth_Hz);
    auto visited = [&](const DesignCriteria& c, ModelingSearchOutcome& outcome) {
        std::size_t ratios = 0;
        outcome = Engine_ModelingSearch(c, channel, [&](const ModelingSearchProgress& p) { ratios = p.ratiosVisited; });
        return ratios;
    };
    ModelingSearchOutcome bandwidth, target, minimum, missed;
    // The bandwidth and target goals stop at the first pair under the target.
    EXPECT_LT(visited(SearchCriteria(0), bandwidth), ModelingSearchRatioCount);
    EXPECT_LT(visited(SearchCriteria(1), target), ModelingSearchRatioCount);
    EXPECT_EQ(bandwidth.status, 0);
    EXPECT_EQ(target.status, 0);
    EXPECT_EQ(bandwidth.totals.pairsDesigned, 1u);
    EXPECT_LT(std::max(target.rxRipple_dB, target.txRipple_dB), 0.1);
    // The minimising goal visits every ratio and scores more than the others.
    EXPECT_EQ(visited(SearchCriteria(2), minimum), ModelingSearchRatioCount);
    EXPECT_EQ(minimum.status, 0);
    EXPECT_GT(minimum.totals.pairsDesigned, target.totals.pairsDesigned);
    EXPECT_GT(minimum.totals.candidatesScored, target.totals.candidatesScored);
    EXPECT_LE(std::max(minimum.rxRipple_dB, minimum.txRipple_dB), std::max(target.rxRipple_dB, target.txRipple_dB));
    // A target nobody meets: -1, every ratio visited, the best chains still delivered.
    DesignCriteria strict = SearchCriteria(1);
    strict.targetRipple(1e-9);
    EXPECT_EQ(visited(strict, missed), ModelingSearchRatioCount);
    EXPECT_EQ(missed.status, -1);
    EXPECT_EQ(missed.rxChain, minimum.rxChain);
    const auto run = Design(strict, channel);
    EXPECT_EQ(run.status, -1);
    EXPECT_NE(run.first.rxStages, ChainDesignTest::Zero);
}

TEST(ModelingSearch, DebugLines)
{
    DesignCriteria c = SearchCriteria(0);
    c.isDebug(true);
    testing::internal::CaptureStdout();
    Engine_ModelingSearch(c, RxTx(CustomRate_Hz, CustomBandwidth_Hz));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Possible Ints/Decs Overall 5120\nPossible Ints/Decs Overall 5120\n", 0), 0u) << out;
    const std::size_t ripple = out.find("Ripple ");
    ASSERT_NE(ripple, std::string::npos) << out;
    EXPECT_NE(out.find(" (RX) ", ripple), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 24), " (TX)\nTarget ripple met\n");
    EXPECT_NE(out.find("Dec 144\nResults "), std::string::npos) << out;
}

TEST(ModelingSearch, SingleDirectionChannels)
{
    // A receive-only channel carries no transmit rate; the search walks the receive rate.
    ChannelDesignRecord rx = ChainDesignTest::Rx(CustomRate_Hz, CustomBandwidth_Hz);
    const auto run = Design(SearchCriteria(0), rx);
    EXPECT_EQ(run.status, 0);
    EXPECT_NEAR(ChainDesignTest::Ratio(run.first.rxStages) * CustomRate_Hz, 177777648.0, 0.5);
    EXPECT_LT(run.first.rxRipple_dB, 0.1);
    EXPECT_EQ(run.first.txRipple_dB, 1000000.0);
    for (std::size_t i = 2; i < 18; ++i) EXPECT_EQ(run.first.txStages[i], 0) << i;
}

// The chosen chain's ripple measured again over the whole path with the
// response evaluator's stage tiling on a uniform grid of 2^20 points.
double Remeasure(bool rx, const std::array<std::uint8_t, 18>& stages, double rate_Hz, double bandwidth_Hz)
{
    StageVector vector{};
    StageCodes codes{};
    for (std::size_t i = 0; i < 18; ++i) vector[i] = stages[i];
    for (std::size_t i = 0; i < 16; ++i) codes[i] = stages[i + 2];
    PfirCandidateScorer scorer(rx ? ChainDirection::Rx : ChainDirection::Tx, rate_Hz, bandwidth_Hz);
    const CandidateDesign design = scorer.Design(vector, StageVariants{});
    EXPECT_TRUE(design.success);

    double total = 1.0;
    for (std::uint8_t s : stages) total *= s == 0 ? 1.0 : s;
    const auto converter = static_cast<std::uint32_t>(std::llround(rate_Hz * total));
    PathLayout layout;
    if (rx) {
        RxFilterRequest request;
        request.converterRate_Hz = converter;
        request.analogBandwidth_Hz = static_cast<std::uint32_t>(bandwidth_Hz);
        request.highPowerAdc = 1;
        request.tiaFilter = 1;
        request.stages = stages.data();
        layout = RxPath_Layout(request, 18);
    } else {
        TxFilterRequest request;
        request.converterRate_Hz = converter;
        request.analogBandwidth_Hz = static_cast<std::uint32_t>(bandwidth_Hz);
        request.option0 = 1;
        request.stages = stages.data();
        layout = TxPath_Layout(request, 18);
    }
    std::vector<ResponseStage> path = layout.front;
    path.insert(path.end(), layout.back.begin(), layout.back.end());
    path.push_back(ResponseStage_FromTaps(design.pfirTaps, 1));
    constexpr std::size_t n = 1u << 20;
    std::vector<double> grid(n), response(n);
    ResponseWorkspace workspace;
    Path_Response(layout, path, n, grid.data(), response.data(), workspace);
    const double bin = converter / static_cast<double>(n);
    const auto passband = static_cast<std::size_t>(std::floor(bandwidth_Hz / 2 / bin)) + 1;
    return Passband_Ripple_dB(response.data(), passband);
}

TEST(ModelingSearch, CustomRateRippleRemeasured)
{
    for (std::uint8_t mode : {0, 2}) {
        const auto run = Design(SearchCriteria(mode), RxTx(CustomRate_Hz, CustomBandwidth_Hz));
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(ChainDesignTest::Ratio(run.first.rxStages), ChainDesignTest::Ratio(run.first.txStages));
        const double clock = ChainDesignTest::Ratio(run.first.rxStages) * CustomRate_Hz;
        EXPECT_GE(clock, 160e6);
        EXPECT_LE(clock, 200e6);
        EXPECT_GT(run.first.rxRipple_dB, 0.0);
        EXPECT_LT(run.first.rxRipple_dB, 0.1);
        const double rx = Remeasure(true, run.first.rxStages, CustomRate_Hz, CustomBandwidth_Hz);
        const double tx = Remeasure(false, run.first.txStages, CustomRate_Hz, CustomBandwidth_Hz);
        EXPECT_NEAR(rx, run.first.rxRipple_dB, 0.05 * run.first.rxRipple_dB) << int(mode);
        EXPECT_NEAR(tx, run.first.txRipple_dB, 0.05 * run.first.txRipple_dB) << int(mode);
    }
}

TEST(CandidateScoring, ReuseGivesTheSameRippleAsAFreshDesign)
{
    // Candidates that share their baseband end, and one that shares nothing.
    const std::vector<StageCodes> chains = {
        {3, 1, 1, 1, 1, 1, 1, 1, 6, 1, 1, 2, 2, 2, 1, 1}, {1, 2, 2, 1, 1, 1, 1, 1, 6, 1, 2, 1, 2, 2, 1, 1},
        {3, 1, 1, 1, 1, 1, 1, 2, 3, 1, 1, 2, 2, 2, 1, 1}, {3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 2}};
    PfirCandidateScorer reused(ChainDirection::Rx, CustomRate_Hz, CustomBandwidth_Hz);
    for (const StageCodes& codes : chains) {
        StageVector v{0, 2};
        for (std::size_t p = 0; p < 16; ++p) v[p + 2] = codes[p];
        PfirCandidateScorer fresh(ChainDirection::Rx, CustomRate_Hz, CustomBandwidth_Hz);
        const double a = reused.Ripple_dB(v, StageVariants{});
        EXPECT_GT(a, 0.0);
        EXPECT_NEAR(a, fresh.Ripple_dB(v, StageVariants{}), 1e-12 * a);
    }
}

TEST(CandidateScoring, WiderChannelsCostRipple)
{
    StageVector v{0, 2, 3, 1, 1, 1, 1, 1, 1, 1, 6, 1, 1, 2, 2, 2, 1, 1};
    auto ripple = [&](double share) {
        PfirCandidateScorer scorer(ChainDirection::Rx, CustomRate_Hz, share * CustomRate_Hz);
        return scorer.Ripple_dB(v, StageVariants{});
    };
    // Up to 90 % of the rate the transition band keeps its width and the ripple
    // stays near the equaliser's own; beyond, the squeezed transition shows.
    for (double share : {0.2, 0.5, 0.8, 0.9}) {
        EXPECT_GT(ripple(share), 0.005) << share;
        EXPECT_LT(ripple(share), 0.05) << share;
    }
    EXPECT_GT(ripple(0.95), 5 * ripple(0.9));
    // Past what 127 taps can flatten the design is refused (a failed design).
    PfirCandidateScorer tooWide(ChainDirection::Rx, CustomRate_Hz, 0.99 * CustomRate_Hz);
    EXPECT_EQ(tooWide.Ripple_dB(v, StageVariants{}), 0.0);
}

}  // namespace
