#include <gtest/gtest.h>

#include <memory>

#include "plover/blueprint/Blueprint.h"
#include "support/Reports.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

struct Enables {
    bool rx1, rx2, tx1, tx2;
};

MarlinBlueprint Make(Duplex duplex, Enables e)
{
    MarlinBlueprint b;
    b.duplex = duplex;
    b.rxChannel1.enabled = e.rx1;
    b.rxChannel2.enabled = e.rx2;
    b.txChannel1.enabled = e.tx1;
    b.txChannel2.enabled = e.tx2;
    return b;
}

// Rows of the LO assignment as (RX1, RX2, TX1, TX2).
using Row = std::array<vx_marlin_LoSel, 4>;
const Row RowA{LO2, LO2, LO1, LO1};
const Row RowB{LO1, LO2, LO1, LO2};
const Row RowC{LO1, LO1, LO2, LO2};
const Row RowD{LO1, LO1, LO1, LO1};

Row RowOf(const LoMapping& m) { return {m.rxLoSelect[0], m.rxLoSelect[1], m.txLoSelect[0], m.txLoSelect[1]}; }

}  // namespace

TEST(LoMapping, RowFollowsDuplexChannelsAndOptions)
{
    struct Case {
        const char* name;
        Duplex duplex;
        Enables enables;
        bool diversity;
        bool nco;  // Rx1 ncoEnable
        bool retuning;
        std::int32_t if2_Hz;  // Rx2 intermediate frequency (Rx1 is 0)
        Row row;
    };
    const Case cases[] = {
        {"default", Duplex::TDD, {false, false, false, false}, false, false, false, 0, RowB},
        {"FDD Rx1 Tx1", Duplex::FDD, {true, false, true, false}, false, false, false, 0, RowA},
        {"FDD Rx2 Tx2", Duplex::FDD, {false, true, false, true}, false, false, false, 0, RowC},
        {"FDD paired Rx", Duplex::FDD, {true, true, false, false}, false, false, false, 0, RowA},
        {"FDD paired Tx with Rx2/Tx2", Duplex::FDD, {false, true, true, true}, false, false, false, 0, RowA},
        {"FDD Rx1 Tx2", Duplex::FDD, {true, false, false, true}, false, false, false, 0, RowB},
        {"FDD Rx1 only", Duplex::FDD, {true, false, false, false}, false, false, false, 0, RowB},
        {"TDD diversity", Duplex::TDD, {true, true, false, false}, true, false, false, 0, RowD},
        {"TDD paired no diversity", Duplex::TDD, {true, true, true, true}, false, false, false, 0, RowB},
        {"TDD diversity unpaired", Duplex::TDD, {true, false, true, false}, true, false, false, 0, RowB},
        {"TDM_FDD Tx1", Duplex::TDM_FDD, {true, false, true, false}, false, false, false, 0, RowA},
        {"TDM_FDD no Tx1", Duplex::TDM_FDD, {true, true, false, true}, true, false, false, 0, RowC},
        {"TDD NCO Tx1", Duplex::TDD, {true, false, true, false}, false, true, false, 0, RowA},
        {"TDD NCO no Tx1", Duplex::TDD, {true, false, false, false}, false, true, false, 0, RowC},
        {"TDD NCO retuning diversity", Duplex::TDD, {true, true, false, false}, true, true, true, 0, RowD},
        {"TDM_FDD retuning same IF", Duplex::TDM_FDD, {true, true, true, false}, true, false, true, 0, RowD},
        {"TDM_FDD retuning other IF", Duplex::TDM_FDD, {true, true, true, false}, true, false, true, 5000, RowB},
        {"TDM_FDD retuning no diversity", Duplex::TDM_FDD, {true, true, false, false}, false, false, true, 0, RowB},
        {"TDM_FDD retuning Tx pair", Duplex::TDM_FDD, {true, false, true, true}, true, false, true, 0, RowB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint b = Make(c.duplex, c.enables);
        b.diversity = c.diversity;
        b.rxChannel1.ncoEnable = c.nco;
        b.allowPllRetuning = c.retuning;
        b.rxChannel2.intermediateFrequency_Hz = c.if2_Hz;
        LoMapping m;
        ASSERT_EQ(b.LoMapping_Get(m), 0);
        EXPECT_EQ(RowOf(m), c.row);
        EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{false, false}));
    }
}

TEST(LoMapping, NcoOfADisabledReceiverDoesNotCount)
{
    MarlinBlueprint b = Make(Duplex::TDD, {false, false, true, false});
    b.rxChannel1.ncoEnable = true;
    LoMapping m;
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(RowOf(m), RowB);
}

TEST(LoMapping, UnknownDuplexIsReported)
{
    MarlinBlueprint b;
    b.duplex = static_cast<Duplex>(3);
    LoMapping m;
    m.rxLoSelect = {3, 3};
    ReportCapture capture;
    EXPECT_EQ(b.LoMapping_Get(m), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("Blueprint", 268)});
    EXPECT_EQ(m.rxLoSelect[0], 3);
}

TEST(LoMapping, ConflictingExternalSourcesNameEverySelection)
{
    MarlinBlueprint b = Make(Duplex::TDD, {true, false, true, false});
    b.rxChannel1.loSource = LoSource::EXTERNAL;
    LoMapping m;
    ReportCapture capture;
    EXPECT_EQ(b.LoMapping_Get(m), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("Blueprint", 333, {"2", "3", "2", "3"})});

    // FDD row A puts the receivers on LO2: the numbers follow the row.
    MarlinBlueprint fdd = Make(Duplex::FDD, {true, true, false, false});
    fdd.rxChannel2.loSource = LoSource::EXTERNAL;
    ReportCapture capture2;
    EXPECT_EQ(fdd.LoMapping_Get(m), -1);
    EXPECT_EQ(capture2.lines(), std::vector<std::string>{ReportLine("Blueprint", 333, {"3", "3", "2", "2"})});
}

TEST(LoMapping, ExternalFlagsComeFromEnabledChannelsOnly)
{
    MarlinBlueprint b = Make(Duplex::TDD, {true, true, true, false});
    b.rxChannel1.loSource = LoSource::EXTERNAL;
    b.txChannel1.loSource = LoSource::EXTERNAL;
    b.txChannel2.loSource = LoSource::INTERNAL;  // disabled, on LO2 with Rx2
    b.rxChannel2.loSource = LoSource::INTERNAL;
    LoMapping m;
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{true, false}));

    // A disabled external channel never conflicts.
    MarlinBlueprint quiet = Make(Duplex::TDD, {true, false, false, false});
    quiet.txChannel1.loSource = LoSource::EXTERNAL;
    ASSERT_EQ(quiet.LoMapping_Get(m), 0);
    EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{false, false}));
}

TEST(LoMapping, ReusedMappingDoesNotKeepStaleExternalFlags)
{
    MarlinBlueprint b;
    b.swapExternalLoMapping = true;
    LoMapping m;
    m.loIsExternal = {true, true};
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(RowOf(m), RowB);  // no swap happened
}

TEST(LoMapping, SwapExchangesTheLosWhenOneIsExternal)
{
    MarlinBlueprint b = Make(Duplex::TDD, {true, false, true, false});
    b.rxChannel1.loSource = LoSource::EXTERNAL;
    b.txChannel1.loSource = LoSource::EXTERNAL;
    b.swapExternalLoMapping = true;
    LoMapping m;
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(RowOf(m), (Row{LO2, LO1, LO2, LO1}));
    EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{false, true}));
}

TEST(LoMapping, OverrideIsReturnedUnchangedUntilCleared)
{
    MarlinBlueprint b = Make(Duplex::FDD, {true, false, true, false});
    LoMapping pinned;
    pinned.rxLoSelect = {LO1, 3};
    pinned.txLoSelect = {LO2, LO2};
    pinned.loIsExternal = {false, true};
    EXPECT_EQ(b.LoMapping_Overwrite(pinned), 0);
    b.duplex = static_cast<Duplex>(9);  // not even looked at
    LoMapping m;
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(m, pinned);

    b.duplex = Duplex::FDD;
    EXPECT_EQ(b.LoMapping_Clear(), 0);
    ASSERT_TRUE(b.loMappingOverride);
    EXPECT_EQ(*b.loMappingOverride, pinned);
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(RowOf(m), RowA);

    // Initialize releases the stored mapping.
    b.LoMapping_Overwrite(pinned);
    b.Initialize();
    EXPECT_FALSE(b.loMappingOverride);
    EXPECT_FALSE(b.loMappingOverridden);
}

TEST(LoMapping, FeaturesAdjustAfterTheBlueprintAndMayFail)
{
    MarlinBlueprint b = Make(Duplex::TDD, {true, true, false, false});
    b.rxChannel1.loSource = LoSource::EXTERNAL;
    b.rxChannel2.loSource = LoSource::EXTERNAL;
    auto first = std::make_shared<TestFeature>("A");
    first->onLoMapping = [](LoMapping& m) {
        m.loIsExternal = {false, false};
        m.rxLoSelect = {LO2, LO2};
        return std::int8_t{0};
    };
    auto second = std::make_shared<TestFeature>("B");
    int secondCalls = 0;
    second->onLoMapping = [&](LoMapping&) {
        ++secondCalls;
        return std::int8_t{0};
    };
    b.Feature_Enable(first);
    b.Feature_Enable(second);
    LoMapping m;
    ASSERT_EQ(b.LoMapping_Get(m), 0);
    EXPECT_EQ(RowOf(m), (Row{LO2, LO2, LO1, LO2}));
    EXPECT_EQ(m.loIsExternal, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(secondCalls, 1);

    first->onLoMapping = [](LoMapping&) { return std::int8_t{-1}; };
    EXPECT_EQ(b.LoMapping_Get(m), -1);
    EXPECT_EQ(secondCalls, 1);
}
