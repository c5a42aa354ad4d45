#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "EngineRequests.h"
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

// Cases of tests/data/engine/direction-goals.json: candidate rows (converter
// side, sinc/CIC code, bandwidth factor), the ripple the scorer hands out per
// code, and what must be scored and chosen (code 0: none; position 1-based
// among the admitted candidates).
TEST(DirectionDesign, Goals)
{
    for (const auto& c : EngineTest::EngineData("direction-goals.json")) {
        SCOPED_TRACE(c["what"].get<std::string>());
        FakeScorer scorer;
        std::vector<Row> rows;
        for (const auto& r : c["rows"]) rows.push_back({r[0], r[1], r.size() > 2 ? r[2].get<double>() : 1.0});
        for (const auto& p : c["rippleByCic"]) scorer.rippleByCic[p[0]] = p[1];
        const ChainList list = MakeList(rows);
        const DirectionResult r = DesignRx(Context(c["goal"].get<std::string>().c_str()), list, scorer, c["clock_Hz"]);
        EXPECT_EQ(scorer.scoredCic, c["scored"].get<std::vector<double>>());
        EXPECT_EQ(r.designed, !c["scored"].empty());
        EXPECT_EQ(r.improved, c["cic"] != 0);
        EXPECT_EQ(r.scored, c["scored"].size());
        EXPECT_EQ(r.ripple_dB, c["ripple_dB"].get<double>());
        if (c["cic"] != 0) {
            EXPECT_EQ(r.chain[8], c["cic"].get<double>());
            EXPECT_EQ(r.position, c["position"].get<std::size_t>());
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
