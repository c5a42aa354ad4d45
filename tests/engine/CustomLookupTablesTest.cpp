#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/CustomLookupTables.h"
#include "engine/StockLookup.h"

using namespace Veltrix::Marlin::Native;

namespace {

constexpr double ClockMin = 160e6;
constexpr double ClockMax = 200e6;

double Product(const CustomLookupRow& row, std::size_t count = 16)
{
    double p = 1.0;
    for (std::size_t i = 0; i < count; ++i) p *= row.codes[i];
    return p;
}

int WindowRatio(const CustomLookupRow& row) { return static_cast<int>(std::lround(ClockMin / row.windowLower_Hz)); }

// Bandwidth share (in 58ths of the nominal rate) set by the last active stage.
int BandwidthShare(const CustomLookupRow& row)
{
    int last = 15;
    while (last > 0 && row.codes[last] == 1) --last;
    if (last == 0) return 38;
    if (last <= 2) return 52;
    if (last <= 7) return 43;
    return row.codes[last - 1] != 1 ? 40 : 30;
}

struct Example {
    bool rx;
    std::size_t row;
    std::int32_t nominal;
    std::int32_t bandwidth;
    double lower;
    double upper;
    std::array<std::int8_t, 16> codes;
};

TEST(CustomLookupTables, ExampleRows)
{
    const Example examples[] = {
        {true, 0, 60000000, 39310344, 53333333.33, 66666666.67, {3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {true, 7, 3750000, 2780172, 3333333.33, 4166666.67, {3, 1, 1, 2, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1}},
        {true, 14, 833333, 431034, 740740.74, 925925.93, {3, 1, 1, 1, 1, 1, 1, 1, 5, 2, 1, 2, 2, 1, 1, 2}},
        {true, 56, 45000000, 40344827, 40000000, 50000000, {1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {true, 111, 21972, 15153, 19531.25, 24414.0625, {1, 2, 2, 2, 2, 1, 1, 1, 5, 2, 2, 2, 2, 1, 3, 2}},
        {false, 0, 45000000, 40344827, 40000000, 50000000, {1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {false, 111, 22321, 15393, 19841.27, 24801.59, {3, 1, 1, 2, 2, 2, 2, 2, 10, 2, 2, 2, 1, 1, 1, 1}},
    };
    for (const Example& e : examples) {
        const CustomLookupRow& row = (e.rx ? RxCustomLookupTable : TxCustomLookupTable)[e.row];
        SCOPED_TRACE((e.rx ? "Rx " : "Tx ") + std::to_string(e.row));
        EXPECT_EQ(row.nominalRate_Hz, e.nominal);
        EXPECT_EQ(row.maxBandwidth_Hz, e.bandwidth);
        EXPECT_NEAR(row.windowLower_Hz, e.lower, 0.006);
        EXPECT_NEAR(row.windowUpper_Hz, e.upper, 0.006);
        EXPECT_EQ(row.codes, e.codes);
    }
}

TEST(CustomLookupTables, EveryRowFollowsTheConstruction)
{
    const std::array<int, 16> maxCode = {3, 2, 2, 2, 2, 2, 2, 2, 10, 2, 2, 2, 2, 2, 3, 2};
    for (bool rx : {true, false}) {
        const auto& table = rx ? RxCustomLookupTable : TxCustomLookupTable;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const CustomLookupRow& row = table[i];
            SCOPED_TRACE((rx ? "Rx " : "Tx ") + std::to_string(i));
            const int n = WindowRatio(row);
            EXPECT_EQ(row.windowLower_Hz, ClockMin / n);
            EXPECT_EQ(row.windowUpper_Hz, ClockMax / n);
            EXPECT_EQ(row.nominalRate_Hz, 180000000 / n);
            const double clock = row.nominalRate_Hz * Product(row);
            EXPECT_GE(clock, ClockMin);
            EXPECT_LE(clock, ClockMax);
            EXPECT_LE(Product(row), MaxClockRatio);
            EXPECT_EQ(row.maxBandwidth_Hz, static_cast<std::int64_t>(row.nominalRate_Hz) * BandwidthShare(row) / 58);
            const bool by3Half = (i < 56) == rx;
            EXPECT_EQ(Product(row, 3), by3Half ? 3.0 : 4.0);
            EXPECT_EQ(row.codes[0], by3Half ? 3 : 1);
            for (std::size_t k = 0; k < 16; ++k) {
                EXPECT_GE(row.codes[k], 1);
                EXPECT_LE(row.codes[k], maxCode[k]);
            }
            if (i % 56 != 0) {
                EXPECT_LT(row.nominalRate_Hz, table[i - 1].nominalRate_Hz);
            }
        }
    }
    // One set of rows, the halves swapped.
    for (std::size_t i = 0; i < 56; ++i) {
        EXPECT_EQ(RxCustomLookupTable[i].codes, TxCustomLookupTable[i + 56].codes);
        EXPECT_EQ(RxCustomLookupTable[i + 56].codes, TxCustomLookupTable[i].codes);
    }
}

// A 96 kHz channel and a 144 kHz partner share one search at 96 kHz; the
// partner then trades the narrowband by-3 stage for a by-2 (ratio 1920 to 1280).
// The walk takes the first row holding 96 kHz, so in both tables that must be
// a half-band chain of ratio 1920 with the by-3 at the narrowband end.
TEST(CustomLookupTables, FirstRowFor96kIsThePairableChain)
{
    const std::array<std::int8_t, 16> pairable = {1, 2, 2, 2, 1, 1, 1, 1, 5, 2, 2, 2, 1, 1, 3, 2};
    for (bool rx : {true, false}) {
        SCOPED_TRACE(rx ? "Rx" : "Tx");
        const auto& table = rx ? RxCustomLookupTable : TxCustomLookupTable;
        const auto first = std::find_if(table.begin(), table.end(), [](const CustomLookupRow& row) {
            return row.windowLower_Hz <= 96000.0 && 96000.0 <= row.windowUpper_Hz;
        });
        ASSERT_NE(first, table.end());
        EXPECT_EQ(first->codes, pairable);
        EXPECT_EQ(first - table.begin(), rx ? 98 : 42);
        EXPECT_EQ(first->maxBandwidth_Hz, 64655);
        // The rates just above 96 kHz keep a wider row of their own.
        const CustomLookupRow& above = *(first - 1);
        EXPECT_GT(above.windowLower_Hz, 96000.0);
        EXPECT_LT(above.windowLower_Hz, 96100.0);
        EXPECT_EQ(above.maxBandwidth_Hz, 74512);
    }
}

// Rates a row serves: inside its window and on an in-bounds clock with its chain.
std::vector<std::pair<double, double>> UnservedRanges(const std::array<CustomLookupRow, CustomLookupRows>& table)
{
    std::vector<std::pair<double, double>> served;
    for (const CustomLookupRow& row : table) {
        const double lo = std::max(row.windowLower_Hz, ClockMin / Product(row));
        const double hi = std::min(row.windowUpper_Hz, ClockMax / Product(row));
        if (lo <= hi) served.emplace_back(lo, hi);
    }
    std::sort(served.begin(), served.end());
    std::vector<std::pair<double, double>> gaps;
    double reached = std::ceil(ClockMin / MaxClockRatio);  // 20,834 Hz
    for (const auto& [lo, hi] : served) {
        if (lo > reached) gaps.emplace_back(reached, lo);
        reached = std::max(reached, hi);
    }
    gaps.emplace_back(reached, INFINITY);
    return gaps;
}

TEST(CustomLookupTables, UnservedRateRanges)
{
    // Every chain's ratio is a multiple of its converter side, 3 or 4; no such
    // ratio puts these rates inside 160..200 MHz (the bounds themselves are served).
    const std::vector<std::pair<double, double>> expected = {
        {ClockMax / 12, ClockMin / 9}, {ClockMax / 8, ClockMin / 6}, {ClockMax / 6, ClockMin / 4},
        {ClockMax / 4, ClockMin / 3}, {ClockMax / 3, INFINITY}};
    for (bool rx : {true, false}) {
        const auto gaps = UnservedRanges(rx ? RxCustomLookupTable : TxCustomLookupTable);
        ASSERT_EQ(gaps.size(), expected.size());
        for (std::size_t i = 0; i < gaps.size(); ++i) {
            EXPECT_NEAR(gaps[i].first, expected[i].first, 1e-6) << i;
            if (std::isinf(expected[i].second)) {
                EXPECT_TRUE(std::isinf(gaps[i].second));
            } else {
                EXPECT_NEAR(gaps[i].second, expected[i].second, 1e-6) << i;
            }
            for (int ratio = 3; ratio <= MaxClockRatio; ++ratio) {
                if (ratio % 3 != 0 && ratio % 4 != 0) continue;
                const bool reaches = ClockMax / ratio > gaps[i].first && ClockMin / ratio < gaps[i].second;
                EXPECT_FALSE(reaches) << "ratio " << ratio << " could serve gap " << i;
            }
        }
    }
}

TEST(StockTables, RowsAndLimits)
{
    ASSERT_TRUE(RxStockTable_Find(3, 0.6510416666666666));
    EXPECT_FALSE(RxStockTable_Find(3, 0.6511));
    EXPECT_FALSE(RxStockTable_Find(16, 0.1));   // Tx-only row
    EXPECT_FALSE(RxStockTable_Find(1920, 0.1));
    EXPECT_FALSE(RxStockTable_Find(5, 0.1));
    EXPECT_TRUE(RxStockTable_Find(192, 5.0));  // no limit
    // The 640 row passes wider Rx channels than Tx channels.
    EXPECT_TRUE(RxStockTable_Find(640, 0.5));
    EXPECT_FALSE(TxStockTable_Find(640, 0.5, false));
    const auto normal = TxStockTable_Find(1920, 0.9, false);
    const auto direct = TxStockTable_Find(1920, 0.9, true);
    ASSERT_TRUE(normal && direct);
    EXPECT_EQ((*normal)[8], 10.0);
    const StageCodes expected = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 2};
    EXPECT_EQ(*direct, expected);
    EXPECT_EQ(*TxStockTable_Find(24, 0.5, true), *TxStockTable_Find(24, 0.5, false));
}

}  // namespace
