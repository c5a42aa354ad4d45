// The selection bytes of a designed chain pick one variant of each stage and
// clear the others; unknown bytes are refused. Whole designed chains are
// pinned by the examples and scenarios.

#include <gtest/gtest.h>

#include <string>

#include "support/Reports.h"
#include "plover/profile/StageMap.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// SINC 6, HB012 by 2 (HB2), decimate-by-3, HB3, HB5, blocks 25 and 33
// (half-band), SCIC by 5, blocks 37 and 47.
RxPath DesignedRx()
{
    RxPath path;
    path.stages = {6, 2, 3, 2, 2, 2, 1, 1, 1, 2, 5, 1, 2, 1, 1, 1, 1, 2, 0, 6, 2, 3, 5, 1};
    return path;
}

}  // namespace

TEST(RxStageMap, SelectionBytesPickOneVariantOnly)
{
    struct Case {
        unsigned char sinc, hb012, hb34, hb56, wblpf;
        int sincMux, hbMux, hb3, hb4, hb5, hb6, blk33, wbLpf;
        bool bypassed = false;  // HB012, HB3/4, HB5/6 and block 33 not in the chain
    };
    const Case cases[] = {
        {1, 0, 4, 6, 2, 0, 1, 0, 1, 0, 1, 0, 1},
        {3, 1, 3, 5, 0, 1, 4, 1, 0, 1, 0, 0, 0},
        {4, 2, 4, 5, 1, 2, 2, 0, 1, 1, 0, 1, 0},
        // Bypassed stages ignore selections that would be unknown if they ran.
        {6, 9, 9, 9, 0, 4, 0, 0, 0, 0, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        RxPath path = DesignedRx();
        path.stages[0] = c.sinc;
        path.stages[20] = c.hb012;
        path.stages[21] = c.hb34;
        path.stages[22] = c.hb56;
        path.stages[23] = c.wblpf;
        if (c.bypassed) path.stages[1] = path.stages[3] = path.stages[4] = path.stages[9] = 1;
        // Start from the opposite choices: the map must clear what it does not pick.
        marlin_RxDpProfile_t dp{};
        dp.rxSincHBTop.hbMux = 3;
        dp.rxDecTop = {1, 1, 1, 1, 1};
        dp.rxWbDecTop.decBy2Blk33En = 1;
        dp.rxWbDecTop.wbLpfBlk33p1En = 1;
        ASSERT_EQ(RxStageMap_Apply(path, dp), 0);
        const int actual[] = {dp.rxSincHBTop.sincMux,         dp.rxSincHBTop.hbMux,          dp.rxDecTop.decBy2Hb3Blk17p1En,
                              dp.rxDecTop.decBy2Hb4Blk17p2En, dp.rxDecTop.decBy2Hb5Blk19p1En, dp.rxDecTop.decBy2Hb6Blk19p2En,
                              dp.rxWbDecTop.decBy2Blk33En,    dp.rxWbDecTop.wbLpfBlk33p1En};
        const int expected[] = {c.sincMux, c.hbMux, c.hb3, c.hb4, c.hb5, c.hb6, c.blk33, c.wbLpf};
        EXPECT_TRUE(std::equal(std::begin(actual), std::end(actual), std::begin(expected))) << int(c.sinc);
    }
}

TEST(RxStageMap, UnknownSelectionsReportTheirMessage)
{
    struct Case {
        std::size_t stage;
        unsigned char value;
        int line;
    };
    for (const Case& c : {Case{0, 2, 537}, Case{0, 0, 537}, Case{20, 3, 555}, Case{21, 5, 578}, Case{22, 4, 595}}) {
        RxPath path = DesignedRx();
        path.stages[c.stage] = c.value;
        marlin_RxDpProfile_t dp{};
        const ReportCapture capture;
        EXPECT_EQ(RxStageMap_Apply(path, dp), -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("RxChannel", c.line)});
    }
}

TEST(TxStageMap, SelectionBytesPickOneVariantOnly)
{
    // INT3, SINC2, int-by-3 40, block 38, blocks 30 and 26, block 22 as the
    // wideband low-pass, SCIC by 4, blocks 18 and 10, block 8.
    TxPath path;
    path.stages = {3, 2, 3, 2, 1, 2, 1, 2, 1, 2, 4, 1, 2, 1, 1, 1, 3, 2, 0, 2, 1, 2, 0, 0, 0, 1};
    marlin_TxDpProfile_t dp{};
    dp.txIntTop.sinc3Blk44En = 1;
    dp.txWbIntTop.txInterpBy2Blk22En = 1;
    ASSERT_EQ(TxStageMap_Apply(path, dp), 0);
    EXPECT_EQ(dp.txIntTop.interpBy3Blk44p1En, 1);
    EXPECT_EQ(dp.txIntTop.sinc3Blk44En, 0);
    EXPECT_EQ(dp.txIntTop.sinc2Blk42En, 1);
    EXPECT_EQ(dp.txWbIntTop.txInterpBy2Blk22En, 0);
    EXPECT_EQ(dp.txWbIntTop.txWbLpfBlk22p1En, 1);

    path.stages[19] = 1;  // SINC3 instead of INT3
    path.stages[21] = 1;  // half-band instead of the wideband low-pass
    ASSERT_EQ(TxStageMap_Apply(path, dp), 0);
    EXPECT_EQ(dp.txIntTop.interpBy3Blk44p1En, 0);
    EXPECT_EQ(dp.txIntTop.sinc3Blk44En, 1);
    EXPECT_EQ(dp.txWbIntTop.txInterpBy2Blk22En, 1);
    EXPECT_EQ(dp.txWbIntTop.txWbLpfBlk22p1En, 0);

    path.stages[0] = 1;
    path.stages[9] = 1;
    ASSERT_EQ(TxStageMap_Apply(path, dp), 0);
    EXPECT_EQ(dp.txIntTop.sinc3Blk44En, 0);
    EXPECT_EQ(dp.txWbIntTop.txInterpBy2Blk22En, 0);
}
