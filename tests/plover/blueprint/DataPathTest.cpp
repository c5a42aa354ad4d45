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

// Only chain stages 2 to 17 take an override; any other index is reported and
// changes nothing.
TEST(DataPath, OverrideIndexMustBeAChainStage)
{
    for (const auto& [index, accepted] : {std::pair<unsigned char, bool>{0, false}, {1, false}, {2, true}, {10, true},
                                          {17, true}, {18, false}, {255, false}}) {
        SCOPED_TRACE(static_cast<int>(index));
        RxPath rx, rxExpected;
        TxPath tx, txExpected;
        const auto lines = ReportsOf([&, index = index, accepted = accepted] {
            EXPECT_EQ(DecimationOverride_Set(rx, index, 7), accepted ? 0 : -1);
            EXPECT_EQ(InterpolationOverride_Set(tx, index, 9), accepted ? 0 : -1);
        });
        if (accepted) {
            rxExpected.stages[index] = 7;
            txExpected.stages[index] = 9;
        }
        EXPECT_EQ(rx.stages, rxExpected.stages);
        EXPECT_EQ(tx.stages, txExpected.stages);
        const std::vector<std::string> reports{ReportLine("DataPath.h", 108), ReportLine("DataPath.h", 181)};
        EXPECT_EQ(lines, accepted ? std::vector<std::string>{} : reports);
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

// The pre-processor takes over the interpolation of the matching stage nearest
// the input (stages 17 down to 5) and marks the path dirty; a dirty path or no
// matching stage is refused, keeping the stages, though the factor is recorded.
TEST(DataPath, PreprocessorBypassesTheStageNearestTheInput)
{
    using Stages = std::vector<std::pair<std::size_t, unsigned char>>;
    struct Case {
        const char* what;
        bool designed, dirty;
        Stages set;
        unsigned char factor;
        int line;  // 0: accepted
        Stages expected;
        bool dirtyAfter;
    };
    const Case cases[] = {
        {"undesigned path is ignored", false, false, {{12, 2}}, 2, 0, {{25, 0}, {12, 2}}, false},
        {"factor one records without bypassing", true, false, {{8, 2}}, 1, 0, {{25, 1}, {8, 2}}, false},
        {"nearest the input", true, false, {{5, 2}, {13, 2}, {16, 3}}, 2, 0, {{13, 1}, {5, 2}, {16, 3}, {25, 2}}, true},
        {"SCIC stage takes part", true, false, {{10, 3}, {2, 3}}, 3, 0, {{10, 1}, {2, 3}}, true},
        {"lowest searched stage", true, false, {{5, 4}}, 4, 0, {{5, 1}}, true},
        {"stages below 5 do not", true, false, {{3, 2}}, 2, 333, {{25, 2}, {3, 2}}, false},
        {"second request", true, true, {{6, 2}}, 2, 322, {{6, 2}, {25, 0}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TxPath tx = c.designed ? DesignedTx() : TxPath{};
        tx.isDirty = c.dirty;
        for (const auto& [index, value] : c.set) tx.stages[index] = value;
        const ReportCapture capture;
        EXPECT_EQ(PreprocessorInterpolation_Set(tx, c.factor), c.line == 0 ? 0 : -1);
        for (const auto& [index, value] : c.expected) EXPECT_EQ(tx.stages[index], value) << index;
        EXPECT_EQ(tx.isDirty, c.dirtyAfter);
        const std::vector<std::string> parts = c.line == 333 ? std::vector<std::string>{std::to_string(c.factor)}
                                                             : std::vector<std::string>{};
        EXPECT_EQ(capture.lines(), c.line == 0 ? std::vector<std::string>{}
                                               : std::vector<std::string>{ReportLine("DataPath.h", c.line, parts)});
    }
    TxPath tx = DesignedTx();
    tx.isDirty = true;
    tx.clean();
    EXPECT_FALSE(tx.isDirty);
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
        RxPath expected;
        expected.stages = {sinc, 2};
        for (std::size_t s = 2; s <= 18; ++s) expected.stages[s] = static_cast<unsigned char>(s + 10);
        for (const auto& [s, value] : {std::pair{19, sinc}, {20, 2}, {21, 3}, {22, 5}, {23, 1}}) expected.stages[s] = value;
        EXPECT_EQ(rx.stages, expected.stages);
        EXPECT_FALSE(rx.isDirty);
    }
    // A direct FM/FSK transmitter has none.
    tx.isDirectFmFsk(true);
    EXPECT_EQ(LoopbackDataPath_Derive(tx, AdcRate::HIGH).stages, RxPath().stages);
}
