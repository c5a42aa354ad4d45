#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
