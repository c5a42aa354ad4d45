#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "plover/blueprint/DataPath.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// A designed transmit chain: every chain stage bypassed unless set.
TxPath DesignedTx()
{
    TxPath path;
    for (std::size_t s = 0; s <= 17; ++s) {
        path.stages[s] = 1;
    }
    return path;
}

}  // namespace

TEST(DataPath, DesignedOnceAChainStageIsSet)
{
    RxPath rx;
    TxPath tx;
    EXPECT_FALSE(rx.isDesigned());
    EXPECT_FALSE(tx.isDesigned());
    rx.stages[2] = 1;
    tx.stages[2] = 3;
    EXPECT_TRUE(rx.isDesigned());
    EXPECT_TRUE(tx.isDesigned());
}

TEST(DataPath, OverrideIndexMustBeAChainStage)
{
    struct Case {
        unsigned char index;
        bool accepted;
    };
    const Case cases[] = {{0, false}, {1, false}, {2, true}, {10, true}, {17, true}, {18, false}, {255, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.index));
        RxPath rx;
        TxPath tx;
        ReportCapture capture;
        EXPECT_EQ(DecimationOverride_Set(rx, c.index, 7), c.accepted ? 0 : -1);
        EXPECT_EQ(InterpolationOverride_Set(tx, c.index, 9), c.accepted ? 0 : -1);
        if (c.accepted) {
            EXPECT_EQ(rx.stages[c.index], 7);
            EXPECT_EQ(tx.stages[c.index], 9);
            EXPECT_TRUE(capture.lines().empty());
        } else {
            EXPECT_EQ(rx.stages, RxPath().stages);
            EXPECT_EQ(tx.stages, TxPath().stages);
            EXPECT_EQ(capture.lines(), (std::vector<std::string>{ReportLine("DataPath.h", 108), ReportLine("DataPath.h", 181)}));
        }
    }
}

TEST(DataPath, OverrideListAppliesEveryEntryInOrderDespiteFailures)
{
    RxPath rx;
    // Low byte index, high byte factor; the bad entry in the middle only reports.
    const OverrideList list{OverrideEntry(3, 2), 0x0201 /* index 1 */, OverrideEntry(10, 5), OverrideEntry(3, 1)};
    ReportCapture capture;
    EXPECT_EQ(DecimationOverrides_Set(rx, list), -1);
    EXPECT_EQ(rx.stages[3], 1);  // later entry wins
    EXPECT_EQ(rx.stages[10], 5);
    EXPECT_EQ(rx.stages[1], 0);
    EXPECT_EQ(capture.lines().size(), 1u);

    TxPath tx;
    EXPECT_EQ(InterpolationOverrides_Set(tx, {OverrideEntry(17, 3)}), 0);
    EXPECT_EQ(tx.stages[17], 3);
}

TEST(DataPath, PreprocessorBypassesTheStageNearestTheInput)
{
    using Stages = std::vector<std::pair<std::size_t, unsigned char>>;
    struct Case {
        const char* what;
        bool designed;
        Stages set;
        unsigned char factor;
        Stages expected;
        int dirty;  // -1: not checked
    };
    const Case cases[] = {
        {"undesigned path is ignored", false, {{12, 2}}, 2, {{25, 0}, {12, 2}}, 0},
        {"factor one records without bypassing", true, {{8, 2}}, 1, {{25, 1}, {8, 2}}, 0},
        {"nearest the input", true, {{5, 2}, {13, 2}, {16, 3}}, 2, {{13, 1}, {5, 2}, {16, 3}, {25, 2}}, 1},
        // The SCIC stage takes part; stages below 5 do not.
        {"SCIC stage", true, {{10, 3}, {2, 3}}, 3, {{10, 1}, {2, 3}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TxPath tx = c.designed ? DesignedTx() : TxPath{};
        for (const auto& [index, value] : c.set) tx.stages[index] = value;
        EXPECT_EQ(PreprocessorInterpolation_Set(tx, c.factor), 0);
        for (const auto& [index, value] : c.expected) EXPECT_EQ(tx.stages[index], value) << index;
        if (c.dirty >= 0) {
            EXPECT_EQ(tx.isDirty, c.dirty == 1);
        }
    }
}

TEST(DataPath, PreprocessorWithoutMatchingStageFailsKeepingTheFactor)
{
    TxPath tx = DesignedTx();
    tx.stages[3] = 2;  // below the searched range
    ReportCapture capture;
    EXPECT_EQ(PreprocessorInterpolation_Set(tx, 2), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("DataPath.h", 333, {"2"})});
    EXPECT_EQ(tx.stages[25], 2);
    EXPECT_EQ(tx.stages[3], 2);
    EXPECT_FALSE(tx.isDirty);
}

TEST(DataPath, SecondPreprocessorRequestFailsUntilCleaned)
{
    TxPath tx = DesignedTx();
    tx.stages[6] = 2;
    tx.stages[7] = 2;
    ASSERT_EQ(PreprocessorInterpolation_Set(tx, 2), 0);
    ReportCapture capture;
    EXPECT_EQ(PreprocessorInterpolation_Set(tx, 2), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("DataPath.h", 322)});
    EXPECT_EQ(tx.stages[6], 2);
    tx.clean();
    EXPECT_EQ(PreprocessorInterpolation_Set(tx, 2), 0);
    EXPECT_EQ(tx.stages[6], 1);
}

TEST(DataPath, LoopbackPathFollowsTheTransmitChain)
{
    TxPath tx = DesignedTx();
    for (std::size_t s = 2; s <= 18; ++s) {
        tx.stages[s] = static_cast<unsigned char>(s + 10);
    }
    tx.stages[0] = 3;
    tx.stages[19] = 2;
    tx.isDirty = true;
    const std::pair<AdcRate, unsigned char> rates[] = {
        {AdcRate::LOW, 3}, {AdcRate::MED, 4}, {AdcRate::HIGH, 6}, {static_cast<AdcRate>(7), 0}};
    for (const auto& [rate, sinc] : rates) {
        const RxPath rx = LoopbackDataPath_Derive(tx, rate);
        EXPECT_EQ(rx.stages[0], sinc);
        EXPECT_EQ(rx.stages[1], 2);
        for (std::size_t s = 2; s <= 18; ++s) EXPECT_EQ(rx.stages[s], s + 10);
        EXPECT_EQ(rx.stages[19], sinc);
        EXPECT_EQ(rx.stages[20], 2);
        EXPECT_EQ(rx.stages[21], 3);
        EXPECT_EQ(rx.stages[22], 5);
        EXPECT_EQ(rx.stages[23], 1);
        EXPECT_FALSE(rx.isDirty);
    }
}

TEST(DataPath, DirectFmFskTransmitterHasNoLoopbackPath)
{
    TxPath tx = DesignedTx();
    tx.isDirectFmFsk(true);
    const RxPath rx = LoopbackDataPath_Derive(tx, AdcRate::HIGH);
    EXPECT_EQ(rx.stages, RxPath().stages);
    EXPECT_FALSE(rx.isDesigned());
}
