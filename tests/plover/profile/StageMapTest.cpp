#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "plover/records/ProfileRecordsJson.h"
#include "support/Json.h"
#include "support/Reports.h"
#include "plover/profile/StageMap.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// A receive chain of SINC 6, HB012 by 2 (HB2), decimate-by-3, HB3, HB5,
// blocks 25 and 33 (half-band), SCIC by 5, blocks 37 and 47.
RxPath DesignedRx()
{
    RxPath path;
    path.stages = {6, 2, 3, 2, 2, 2, 1, 1, 1, 2, 5, 1, 2, 1, 1, 1, 1, 2, 0, 6, 2, 3, 5, 1};
    return path;
}

}  // namespace

TEST(RxStageMap, DesignedChainSetsItsBlocks)
{
    marlin_RxDpProfile_t dp{};
    ASSERT_EQ(RxStageMap_Apply(DesignedRx(), dp), 0);
    EXPECT_EQ(MissingFrom(nlohmann::json::parse(R"({
        "rxSincHBTop": {"sincMux": 4, "hbMux": 2},
        "rxDecTop": {"decBy3Blk15En": 1, "decBy2Hb3Blk17p1En": 1, "decBy2Hb4Blk17p2En": 0, "decBy2Hb5Blk19p1En": 1,
                     "decBy2Hb6Blk19p2En": 0},
        "rxWbDecTop": {"decBy2Blk25En": 1, "decBy2Blk27En": 0, "decBy2Blk33En": 1, "wbLpfBlk33p1En": 0},
        "rxNbDecTop": {"scicBlk23En": 1, "scicBlk23DivFactor": 5, "decBy2Blk35En": 0, "decBy2Blk37En": 1,
                       "decBy3Blk45En": 0, "decBy2Blk47En": 1}})"), nlohmann::json(dp)), "");
}

TEST(RxStageMap, SelectionBytesPickOneVariantOnly)
{
    struct Case {
        unsigned char sinc, hb012, hb34, hb56, wblpf;
        int sincMux, hbMux, hb3, hb4, hb5, hb6, blk33, wbLpf;
    };
    const Case cases[] = {
        {1, 0, 4, 6, 2, 0, 1, 0, 1, 0, 1, 0, 1},
        {3, 1, 3, 5, 0, 1, 4, 1, 0, 1, 0, 0, 0},
        {4, 2, 4, 5, 1, 2, 2, 0, 1, 1, 0, 1, 0},
    };
    for (const Case& c : cases) {
        RxPath path = DesignedRx();
        path.stages[0] = c.sinc;
        path.stages[20] = c.hb012;
        path.stages[21] = c.hb34;
        path.stages[22] = c.hb56;
        path.stages[23] = c.wblpf;
        // Start from the opposite choices: the map must clear what it does not pick.
        marlin_RxDpProfile_t dp{};
        dp.rxDecTop = {1, 1, 1, 1, 1};
        dp.rxWbDecTop.decBy2Blk33En = 1;
        dp.rxWbDecTop.wbLpfBlk33p1En = 1;
        ASSERT_EQ(RxStageMap_Apply(path, dp), 0);
        EXPECT_EQ(dp.rxSincHBTop.sincMux, c.sincMux);
        EXPECT_EQ(dp.rxSincHBTop.hbMux, c.hbMux);
        EXPECT_EQ(dp.rxDecTop.decBy2Hb3Blk17p1En, c.hb3);
        EXPECT_EQ(dp.rxDecTop.decBy2Hb4Blk17p2En, c.hb4);
        EXPECT_EQ(dp.rxDecTop.decBy2Hb5Blk19p1En, c.hb5);
        EXPECT_EQ(dp.rxDecTop.decBy2Hb6Blk19p2En, c.hb6);
        EXPECT_EQ(dp.rxWbDecTop.decBy2Blk33En, c.blk33);
        EXPECT_EQ(dp.rxWbDecTop.wbLpfBlk33p1En, c.wbLpf);
    }
}

TEST(RxStageMap, BypassedStagesIgnoreTheirSelections)
{
    RxPath path = DesignedRx();
    path.stages[1] = 1;
    path.stages[3] = 1;
    path.stages[4] = 1;
    path.stages[9] = 1;
    path.stages[20] = 9;  // would be unknown if the stage ran
    path.stages[21] = 9;
    path.stages[22] = 9;
    marlin_RxDpProfile_t dp{};
    dp.rxSincHBTop.hbMux = 4;
    dp.rxDecTop = {1, 1, 1, 1, 1};
    ASSERT_EQ(RxStageMap_Apply(path, dp), 0);
    EXPECT_EQ(dp.rxSincHBTop.hbMux, 0);
    EXPECT_EQ(dp.rxDecTop.decBy2Hb3Blk17p1En + dp.rxDecTop.decBy2Hb4Blk17p2En, 0);
    EXPECT_EQ(dp.rxDecTop.decBy2Hb5Blk19p1En + dp.rxDecTop.decBy2Hb6Blk19p2En, 0);
    EXPECT_EQ(dp.rxWbDecTop.decBy2Blk33En + dp.rxWbDecTop.wbLpfBlk33p1En, 0);
}

TEST(RxStageMap, UnknownSelectionsReportTheirMessage)
{
    struct Case {
        std::size_t stage;
        unsigned char value;
        int line;
    };
    const Case cases[] = {{0, 2, 537}, {0, 0, 537}, {20, 3, 555}, {21, 5, 578}, {22, 4, 595}};
    for (const Case& c : cases) {
        RxPath path = DesignedRx();
        path.stages[c.stage] = c.value;
        marlin_RxDpProfile_t dp{};
        const ReportCapture capture;
        EXPECT_EQ(RxStageMap_Apply(path, dp), -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("RxChannel", c.line)});
    }
}

TEST(TxStageMap, DesignedChainSetsItsBlocks)
{
    TxPath path;
    // INT3, SINC2, int-by-3 40, block 38, blocks 30 and 26, block 22 as the
    // wideband low-pass, SCIC by 4, blocks 18 and 10, block 8.
    path.stages = {3, 2, 3, 2, 1, 2, 1, 2, 1, 2, 4, 1, 2, 1, 1, 1, 3, 2, 0, 2, 1, 2, 0, 0, 0, 1};
    marlin_TxDpProfile_t dp{};
    dp.txIntTop.sinc3Blk44En = 1;
    dp.txWbIntTop.txInterpBy2Blk22En = 1;
    ASSERT_EQ(TxStageMap_Apply(path, dp), 0);
    EXPECT_EQ(MissingFrom(nlohmann::json::parse(R"({
        "txIntTop": {"interpBy3Blk44p1En": 1, "sinc3Blk44En": 0, "sinc2Blk42En": 1, "interpBy3Blk40En": 1,
                     "interpBy2Blk38En": 1, "interpBy2Blk36En": 0},
        "txWbIntTop": {"txInterpBy2Blk30En": 1, "txInterpBy2Blk28En": 0, "txInterpBy2Blk26En": 1,
                       "txInterpBy2Blk24En": 0, "txInterpBy2Blk22En": 0, "txWbLpfBlk22p1En": 1},
        "txNbIntTop": {"txScicBlk32En": 1, "txScicBlk32DivFactor": 4, "txInterpBy2Blk20En": 0,
                       "txInterpBy2Blk18En": 1, "txInterpBy3Blk10En": 1, "txInterpBy2Blk8En": 1}})"),
                          nlohmann::json(dp)), "");

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
