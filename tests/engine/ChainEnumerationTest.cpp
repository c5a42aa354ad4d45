#include <gtest/gtest.h>

#include "engine/ChainEnumeration.h"

namespace {

using namespace Veltrix::Marlin::Native;

ChainOptionSet SmallSet()
{
    ChainOptionSet set;
    for (auto& stage : set) stage = {{1.0}, {1.0}};
    set[0] = {{1.0, 3.0}, {1.0, 0.5}};
    set[1] = {{1.0, 2.0}, {1.0, 0.5}};
    set[2] = {{1.0, 2.0}, {1.0, 0.5}};
    set[8] = {{1.0, 2.0, 3.0}, {1.0, 0.4, 0.3}};
    return set;
}

TEST(ChainEnumeration, OdometerOrderReversedWithConverterEndRule)
{
    const ChainList list = ChainList_Enumerate(SmallSet(), false);
    // Walk order: position 0 fastest, so per sinc/CIC code (3,1,1) comes before
    // (1,2,2); the list starts with the last accepted combination.
    const std::vector<std::array<double, 4>> expected = {
        {1, 2, 2, 3}, {3, 1, 1, 3}, {1, 2, 2, 2}, {3, 1, 1, 2}, {1, 2, 2, 1}, {3, 1, 1, 1}};
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ((std::array{list.codes[0][r], list.codes[1][r], list.codes[2][r], list.codes[8][r]}), expected[r]) << r;
        EXPECT_EQ(list.converterRatio[r], expected[r][0] * expected[r][1] * expected[r][2]) << r;
        EXPECT_EQ(list.ratio[r], list.converterRatio[r] * expected[r][3]) << r;
        // Option indices count from 1 and follow the codes.
        EXPECT_EQ(list.optionIndices[8][r], static_cast<std::uint8_t>(expected[r][3])) << r;
        EXPECT_EQ(list.optionIndices[0][r], expected[r][0] == 3 ? 2 : 1) << r;
    }
    EXPECT_DOUBLE_EQ(list.BandwidthFactorProduct(0), 0.5 * 0.5 * 0.3);
    EXPECT_DOUBLE_EQ(list.BandwidthFactorProduct(1), 0.5 * 0.3);
}

// Saturation happens before later factors are applied.
TEST(ChainEnumeration, SaturatingProduct)
{
    for (const auto& [factors, product] : std::vector<std::pair<std::vector<double>, int>>{
             {{10, 10, 10, 10, 10}, 32767}, {{10, 10, 10, 10, 10, 0.5}, 0}, {{-200, 200, 2}, -32768}, {{3, 2, 2, 10}, 120}}) {
        EXPECT_EQ(SaturatingProduct16(factors.data(), factors.size()), product) << factors.size();
    }
}

TEST(ChainEnumeration, ZeroProductRejected)
{
    ChainOptionSet set = SmallSet();
    set[8] = {{1.0, 0.0}, {1.0, 1.0}};
    const ChainList list = ChainList_Enumerate(set, false);
    ASSERT_EQ(list.size(), 2u);
    for (std::size_t r = 0; r < list.size(); ++r) EXPECT_EQ(list.codes[8][r], 1.0);
}

TEST(ChainEnumeration, GeneralSetHasOnlyTheTwoConverterEnds)
{
    const ChainList list = ChainList_Enumerate(ChainOptionSet_Build(ChainDirection::Rx, "WB", true), false);
    ASSERT_EQ(list.size(), 81920u);
    for (std::size_t r = 0; r < list.size(); ++r) {
        const bool by3 = list.codes[0][r] == 3 && list.codes[1][r] == 1 && list.codes[2][r] == 1;
        const bool halfBands = list.codes[0][r] == 1 && list.codes[1][r] == 2 && list.codes[2][r] == 2;
        ASSERT_TRUE(by3 || halfBands) << "row " << r;
    }
    // The first row is the last accepted combination: every stage at its last
    // option behind the half-band pair; its ratio, far beyond 16 bits, is exact.
    EXPECT_EQ(list.Row(0), (StageCodes{1, 2, 2, 2, 2, 2, 2, 2, 10, 2, 2, 2, 2, 2, 3, 2}));
    EXPECT_EQ(list.ratio[0], 245760.0);
    EXPECT_EQ(list.Row(list.size() - 1), (StageCodes{3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(ChainEnumeration, DebugLineCountsRows)
{
    testing::internal::CaptureStdout();
    ChainList_Enumerate(SmallSet(), true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Possible Ints/Decs Overall 6\n");
    testing::internal::CaptureStdout();
    ChainList_Enumerate(SmallSet(), false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ChainOptions, SetsPerBandAndBifurcation)
{
    for (ChainDirection d : {ChainDirection::Rx, ChainDirection::Tx}) {
        const ChainOptionSet wb = ChainOptionSet_Build(d, "WB", true);
        const ChainOptionSet nbGeneral = ChainOptionSet_Build(d, "NB", false);
        const ChainOptionSet nb = ChainOptionSet_Build(d, "NB", true);
        for (std::size_t p = 0; p < 16; ++p) {
            ASSERT_FALSE(wb[p].codes.empty());
            EXPECT_EQ(wb[p].codes.front(), 1.0) << p;
            EXPECT_EQ(wb[p].bandwidthFactors.front(), 1.0) << p;
            EXPECT_EQ(wb[p].codes, nbGeneral[p].codes) << p;
            const std::size_t expected = p == 8 ? 10 : (p >= 3 && p <= 6 ? 1 : 2);
            EXPECT_EQ(nb[p].codes.size(), expected) << p;
        }
        EXPECT_EQ(wb[0].codes, (std::vector<double>{1, 3}));
        EXPECT_EQ(wb[14].codes, (std::vector<double>{1, 3}));
        EXPECT_EQ(wb[8].codes, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        EXPECT_EQ(ChainList_Enumerate(nb, false).size(), 5120u);
    }
}

TEST(ChainOptions, BandwidthFactorsFollowTheStageFilters)
{
    const ChainOptionSet set = ChainOptionSet_Build(ChainDirection::Rx, "WB", false);
    // HB22 (flat to 0.4 of its low-side rate) at position 7, the last narrowband
    // by-2 (0.3) at position 15, the narrowband by-3 (0.3) at 14.
    EXPECT_DOUBLE_EQ(set[7].bandwidthFactors[1], 2 * 0.4 / 2);
    EXPECT_DOUBLE_EQ(set[15].bandwidthFactors[1], 2 * 0.3 / 2);
    EXPECT_DOUBLE_EQ(set[14].bandwidthFactors[1], 2 * 0.3 / 3);
    EXPECT_DOUBLE_EQ(set[8].bandwidthFactors[4], 0.5 / 5);
    // A wider stage never scores below a narrower one of the same factor.
    EXPECT_GT(set[9].bandwidthFactors[1], set[15].bandwidthFactors[1]);
}

}  // namespace
