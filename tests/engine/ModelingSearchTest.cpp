// The ripple the modelling search reports, measured again independently; its
// choices themselves are golden vectors in tests/data/engine.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/CandidateScoring.h"
#include "engine/ModelingSearch.h"
#include "engine/PathEvaluation.h"
#include "engine/PathStages.h"

namespace {

using namespace Veltrix::Marlin::Native;

// A rate no stock row serves at this bandwidth and that the custom table is
// kept out of: only the modelling search can design it.
constexpr std::uint32_t CustomRate_Hz = 1234567;
constexpr std::uint32_t CustomBandwidth_Hz = 1000000;

// The chosen chain's ripple measured again over the whole path with the
// response evaluator's stage tiling on a uniform grid of 2^20 points.
double Remeasure(bool rx, const StageCodes& chain)
{
    std::array<std::uint8_t, 18> stages{};
    StageVector vector{};
    stages[0] = vector[0] = rx ? 0 : 1;
    stages[1] = vector[1] = rx ? 2 : 1;
    double total = stages[1];
    for (std::size_t i = 0; i < 16; ++i) total *= stages[i + 2] = static_cast<std::uint8_t>(vector[i + 2] = chain[i]);
    PfirCandidateScorer scorer(rx ? ChainDirection::Rx : ChainDirection::Tx, CustomRate_Hz, CustomBandwidth_Hz);
    const CandidateDesign design = scorer.Design(vector, StageVariants{});
    EXPECT_TRUE(design.success);
    const auto converter = static_cast<std::uint32_t>(std::llround(CustomRate_Hz * total));
    PathLayout layout;
    if (rx) {
        RxFilterRequest request;
        request.converterRate_Hz = converter;
        request.analogBandwidth_Hz = CustomBandwidth_Hz;
        request.highPowerAdc = request.tiaFilter = 1;
        request.stages = stages.data();
        layout = RxPath_Layout(request, 18);
    } else {
        TxFilterRequest request;
        request.converterRate_Hz = converter;
        request.analogBandwidth_Hz = CustomBandwidth_Hz;
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
    const auto passband = static_cast<std::size_t>(std::floor(CustomBandwidth_Hz / 2.0 / (converter / double(n)))) + 1;
    return Passband_Ripple_dB(response.data(), passband);
}

TEST(ModelingSearch, ReportedRippleIsTheRemeasuredOne)
{
    for (std::uint8_t mode : {0, 2}) {
        DesignCriteria criteria;
        criteria.useExtendedLookup(false);
        criteria.searchMode(mode);
        ChannelDesignRecord channel;
        channel.rxEnabled = channel.txEnabled = 1;
        channel.rxSampleRate_Hz = channel.txSampleRate_Hz = CustomRate_Hz;
        channel.rxBandwidth_Hz = channel.txBandwidth_Hz = CustomBandwidth_Hz;
        const ModelingSearchOutcome o = Engine_ModelingSearch(criteria, channel);
        ASSERT_EQ(o.status, 0);
        EXPECT_NEAR(Remeasure(true, o.rxChain), o.rxRipple_dB, 0.05 * o.rxRipple_dB) << int(mode);
        EXPECT_NEAR(Remeasure(false, o.txChain), o.txRipple_dB, 0.05 * o.txRipple_dB) << int(mode);
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

}  // namespace
