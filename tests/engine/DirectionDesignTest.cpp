#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "engine/DirectionDesign.h"

namespace {

using namespace Veltrix::Marlin::Native;

// Hands out ripples by the chain's sinc/CIC code and records what it scored;
// the codes of the rows below are made unique through position 8.
struct FakeScorer final : CandidateScorer {
    std::map<double, double> rippleByCic;
    std::vector<double> scoredCic;
    std::vector<StageVariants> variants;
    double Ripple_dB(const StageVector& stages, const StageVariants& v) override
    {
        scoredCic.push_back(stages[10]);
        variants.push_back(v);
        return rippleByCic.at(stages[10]);
    }
};

struct Row {
    double converter;  // 1, 3 or 4
    double cic;
    double factor = 1.0;
};

ChainList MakeList(const std::vector<Row>& rows)
{
    ChainList list;
    for (const Row& row : rows) {
        StageCodes codes{};
        codes.fill(1.0);
        if (row.converter == 3) codes[0] = 3;
        if (row.converter == 4) codes[1] = codes[2] = 2;
        codes[8] = row.cic;
        for (std::size_t p = 0; p < 16; ++p) {
            list.codes[p].push_back(codes[p]);
            list.bandwidthFactors[p].push_back(p == 8 ? row.factor : 1.0);
            list.optionIndices[p].push_back(1);
        }
        list.converterRatio.push_back(row.converter);
        list.ratio.push_back(row.converter * row.cic);
    }
    return list;
}

EngineContext Context(const char* goal, bool rscicFirst = false)
{
    EngineContext c;
    c.goal = goal;
    c.isRscicSearchFirst = rscicFirst;
    c.targetRipple_dB = 0.1;
    return c;
}

DirectionResult DesignRx(const EngineContext& context, const ChainList& list, CandidateScorer& scorer,
                         double clock = 180e6)
{
    std::vector<std::size_t> rows(list.size());
    std::iota(rows.begin(), rows.end(), 0);
    return Direction_Design(context, {ChainDirection::Rx, 30.0, clock / 30.0, clock, &list, rows}, scorer);
}

struct GoalCase {
    const char* what;
    const char* goal;
    double clock_Hz;
    std::vector<Row> rows;
    std::map<double, double> rippleByCic;
    std::vector<double> scored;  // the sinc/CIC codes scored, in order
    double ripple_dB;            // the result's; UnscoredRipple_dB when nothing was kept
    double cic;                  // the winner's code; 0 for none
    std::size_t position;        // 1-based, among the admitted candidates
};

const GoalCase GoalCases[] = {
    // 200 MHz: 66,666,667 Hz behind the by-3 stage is admitted; no converter-side division is not.
    {"admission at 200 MHz", "MinimizeChannelRipple", 200e6, {{1, 2}, {3, 3}, {4, 4}},
     {{2, 0.01}, {3, 0.02}, {4, 0.03}}, {3, 4}, 0.02, 3, 1},
    // Exactly 67,584,000 Hz behind the by-3 stage still passes; one hertz more does not.
    {"admission at the limit", "MinimizeChannelRipple", 3 * 67584000.0, {{1, 2}, {3, 3}, {4, 4}},
     {{2, 0.01}, {3, 0.02}, {4, 0.03}}, {3, 4}, 0.02, 3, 1},
    {"admission above the limit", "MinimizeChannelRipple", 3 * 67584000.0 + 3, {{1, 2}, {3, 3}, {4, 4}},
     {{2, 0.01}, {3, 0.02}, {4, 0.03}}, {4}, 0.03, 4, 1},
    {"nothing admitted", "TargetChannelRipple", 200e6, {{1, 2}}, {{2, 0.01}}, {}, UnscoredRipple_dB, 0, 0},
    // The widest figure wins, the first of equal ones; only the winner is scored.
    {"bandwidth goal", "MaximizeChannelBandwidth", 180e6, {{3, 2, 0.5}, {3, 3, 0.8}, {3, 4, 0.8}, {3, 5, 0.7}},
     {{2, 0.01}, {3, 0.5}, {4, 0.01}, {5, 0.01}}, {3}, 0.5, 3, 1},
    // Stops at the first improvement below the target.
    {"target goal", "TargetChannelRipple", 180e6, {{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}},
     {{2, 0.3}, {3, 0.5}, {4, 0.05}, {5, 0.01}, {6, 0.001}}, {2, 3, 4}, 0.05, 4, 3},
    {"target met at once", "TargetChannelRipple", 180e6, {{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}},
     {{2, 0.02}, {3, 0.03}, {4, 0.05}, {5, 0.01}, {6, 0.001}}, {2}, 0.02, 2, 1},
    {"minimising scores every candidate", "MinimizeChannelRipple", 180e6, {{3, 2}, {4, 3}, {3, 4}, {4, 5}, {3, 6}},
     {{2, 0.5}, {3, 0.03}, {4, 0.4}, {5, 0.02}, {6, 0.6}}, {2, 3, 4, 5, 6}, 0.02, 5, 4},
    // A ripple at or below the failure mark (machine epsilon) is a failed design.
    {"failed designs never become best", "MinimizeChannelRipple", 180e6, {{3, 2}, {3, 3}, {3, 4}},
     {{2, 2.220446049250313e-16}, {3, 0.0}, {4, 2.3e-16}}, {2, 3, 4}, 2.3e-16, 4, 3},
    {"only failed designs", "MinimizeChannelRipple", 180e6, {{3, 2}, {3, 3}, {3, 4}},
     {{2, 2.220446049250313e-16}, {3, 0.0}, {4, -1.0}}, {2, 3, 4}, UnscoredRipple_dB, 0, 0},
    {"unknown goal designs nothing", "maximizechannelbandwidthX", 180e6, {{3, 2}}, {{2, 0.01}}, {},
     UnscoredRipple_dB, 0, 0},
};

TEST(DirectionDesign, Goals)
{
    for (const GoalCase& c : GoalCases) {
        SCOPED_TRACE(c.what);
        FakeScorer scorer;
        scorer.rippleByCic = c.rippleByCic;
        const ChainList list = MakeList(c.rows);
        const DirectionResult r = DesignRx(Context(c.goal), list, scorer, c.clock_Hz);
        EXPECT_EQ(scorer.scoredCic, c.scored);
        EXPECT_EQ(r.designed, !c.scored.empty());
        EXPECT_EQ(r.improved, c.cic != 0);
        EXPECT_EQ(r.scored, c.scored.size());
        EXPECT_EQ(r.ripple_dB, c.ripple_dB);
        if (c.cic != 0) {
            EXPECT_EQ(r.chain[8], c.cic);
            EXPECT_EQ(r.position, c.position);
        }
    }
    EXPECT_TRUE(Goal_Is("targetCHANNELripple", "TargetChannelRipple"));
    EXPECT_FALSE(Goal_Is("TargetChannelRippl", "TargetChannelRipple"));
}

TEST(DirectionDesign, SincFirstRunSplitting)
{
    // Runs by the sinc/CIC code: {5,5,5} {3,3} {7,7}; the rows differ by converter side
    // only so that the fake can tell them apart by index.
    const ChainList list = MakeList({{3, 5}, {4, 5}, {3, 5}, {3, 3}, {4, 3}, {3, 7}, {4, 7}});
    struct IndexScorer final : CandidateScorer {
        std::vector<double> ripple;
        std::size_t call = 0;
        double Ripple_dB(const StageVector&, const StageVariants&) override { return ripple[call++]; }
    } scorer;
    // Pass 1 scores rows 0, 3, 5; row 3 wins. Pass 2: rows 3, 4, 5 with a fresh best.
    scorer.ripple = {0.5, 0.2, 0.4, /* pass 2 */ 0.3, 0.25, 0.35};
    const DirectionResult r = DesignRx(Context("MinimizeChannelRipple", true), list, scorer);
    EXPECT_EQ(r.scored, 6u);
    EXPECT_EQ(r.ripple_dB, 0.25);  // pass 2's own best, not pass 1's 0.2
    EXPECT_EQ(r.chain[8], 3.0);
    EXPECT_EQ(r.position, 5u);

    // The last run winning pass 1 extends pass 2 to the end of the list.
    scorer.call = 0;
    scorer.ripple = {0.5, 0.4, 0.2, /* pass 2 */ 0.3, 0.1};
    const DirectionResult last = DesignRx(Context("MinimizeChannelRipple", true), list, scorer);
    EXPECT_EQ(last.scored, 5u);
    EXPECT_EQ(last.position, 7u);

    // One run only: scored once, whole list.
    const ChainList one = MakeList({{3, 5}, {4, 5}, {3, 5}});
    scorer.call = 0;
    scorer.ripple = {0.5, 0.4, 0.2};
    EXPECT_EQ(DesignRx(Context("MinimizeChannelRipple", true), one, scorer).scored, 3u);
}

TEST(DirectionDesign, VariantChoices)
{
    EngineContext c;
    StageCodes halfBands{1, 2, 2, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1};
    StageCodes by3{3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    struct Case {
        std::uint8_t lif, rxSel, txSel;
        const StageCodes* codes;
        ChainDirection direction;
        bool first, second, wblpf;
    };
    const Case cases[] = {
        {1, 0, 0, &halfBands, ChainDirection::Rx, true, true, false},
        {0, 0, 0, &halfBands, ChainDirection::Rx, false, false, false},
        {2, 1, 0, &halfBands, ChainDirection::Rx, false, false, true},
        {0, 2, 0, &halfBands, ChainDirection::Rx, false, false, false},  // code 2 at position 7: HB22
        {0, 2, 0, &by3, ChainDirection::Rx, false, false, true},        // bypassed: flag 1
        {0, 7, 0, &by3, ChainDirection::Rx, false, false, false},
        {1, 1, 0, &halfBands, ChainDirection::Tx, false, false, false},  // Tx: no half-band variants, its own selector
        {0, 0, 1, &halfBands, ChainDirection::Tx, false, false, true},
    };
    for (const Case& k : cases) {
        c.lifSelect = k.lif;
        c.rxHb22WblpfSelect = k.rxSel;
        c.txHb22WblpfSelect = k.txSel;
        const StageVariants v = Direction_Variants(c, k.direction, *k.codes);
        EXPECT_EQ(v.lowIfFirst, k.first) << int(k.lif) << int(k.rxSel);
        EXPECT_EQ(v.lowIfSecond, k.second) << int(k.lif) << int(k.rxSel);
        EXPECT_EQ(v.wblpf, k.wblpf) << int(k.lif) << int(k.rxSel) << int(k.txSel);
    }
}

TEST(DirectionDesign, DebugLines)
{
    const ChainList list = MakeList({{3, 2, 0.5}});
    FakeScorer scorer;
    scorer.rippleByCic = {{2, 0.125}};
    EngineContext c = Context("MaximizeChannelBandwidth");
    c.isDebug = true;
    c.rxHead0 = 0;
    testing::internal::CaptureStdout();
    DesignRx(c, list, scorer);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Dec 30\nResults 0.125000 [  0  2  3  1  1  1  1  1  1  1  2  1  1  1  1  1  1  1]\n");
}

}  // namespace
