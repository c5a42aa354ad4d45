#include <gtest/gtest.h>

#include <memory>

#include "plover/blueprint/Blueprint.h"
#include "support/Reports.h"
#include "TestFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

struct ChannelSetup {
    bool enabled = false;
    bool external = false;
    std::uint32_t bandwidth_Hz = 0;
};

struct TxSetup : ChannelSetup {
    vx_marlin_TxSignalType signal = 0;
    ElbType elb = ElbType::DISABLED;
};

void Apply(ChannelBlueprint& c, const ChannelSetup& s)
{
    c.enabled = s.enabled;
    c.loSource = s.external ? LoSource::EXTERNAL : LoSource::INTERNAL;
    c.rfChannelBandwidth_Hz = s.bandwidth_Hz;
}

MarlinBlueprint Make(Duplex duplex, ChannelSetup rx1, TxSetup tx1, ChannelSetup rx2 = {}, TxSetup tx2 = {})
{
    MarlinBlueprint b;
    b.duplex = duplex;
    Apply(b.rxChannel1, rx1);
    Apply(b.rxChannel2, rx2);
    Apply(b.txChannel1, tx1);
    Apply(b.txChannel2, tx2);
    b.txChannel1.channelSignalType(tx1.signal);
    b.txChannel2.channelSignalType(tx2.signal);
    b.txChannel1.elbType = tx1.elb;
    b.txChannel2.elbType = tx2.elb;
    return b;
}

TxSetup Tx(bool enabled, vx_marlin_TxSignalType signal = 0, bool external = false, std::uint32_t bw = 0,
           ElbType elb = ElbType::DISABLED)
{
    TxSetup t;
    t.enabled = enabled;
    t.signal = signal;
    t.external = external;
    t.bandwidth_Hz = bw;
    t.elb = elb;
    return t;
}

ChannelSetup Rx(bool enabled, bool external = false, std::uint32_t bw = 0) { return {enabled, external, bw}; }

}  // namespace

TEST(CalibrationMask, InitialMaskPerChannel)
{
    struct Case {
        const char* name;
        MarlinBlueprint blueprint;
        std::uint32_t mask0;
        std::uint32_t mask1;
    };
    const Case cases[] = {
        {"nothing", Make(Duplex::TDD, Rx(false), Tx(false)), 0, 0},
        {"Rx1", Make(Duplex::TDD, Rx(true), Tx(false)), 0x1BE400, 0},
        {"Rx1 external", Make(Duplex::FDD, Rx(true, true), Tx(false)), 0x1BF400, 0},
        {"Tx1 I/Q", Make(Duplex::TDD, Rx(false), Tx(true)), 0x1AE5F7, 0},
        {"Tx1 external", Make(Duplex::TDD, Rx(false), Tx(true, 1, true)), 0x1AE5FF, 0},
        {"Tx1 direct FM", Make(Duplex::TDD, Rx(false), Tx(true, 2)), 0, 0},
        {"Rx2 Tx2 external", Make(Duplex::TDD, Rx(false), Tx(false), Rx(true, true), Tx(true, 0, true)), 0,
         0x1BF5FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vx_marlin_InitCals out;
        out.systemMask = 0xDEAD;
        ASSERT_EQ(c.blueprint.SupportedInitCalMask_Get(out), 0);
        EXPECT_EQ(out.systemMask, 0u);
        EXPECT_EQ(out.channelMask[0], c.mask0);
        EXPECT_EQ(out.channelMask[1], c.mask1);
        EXPECT_EQ(out.twoStage, 0u);
    }
}

TEST(CalibrationMask, TrackingMaskPerChannel)
{
    struct Case {
        const char* name;
        MarlinBlueprint blueprint;
        std::uint32_t mask0;
        std::uint32_t mask1;
    };
    const Case cases[] = {
        {"TDD Tx1", Make(Duplex::TDD, Rx(false), Tx(true)), 0x380000, 0},
        {"TDM_FDD Tx1 I/Q wide after PA", Make(Duplex::TDM_FDD, Rx(false), Tx(true, 0, false, 1000000, ElbType::AFTER_PA)),
         0x380013, 0},
        {"Tx1 FM wide after PA", Make(Duplex::TDD, Rx(false), Tx(true, 1, false, 5000000, ElbType::AFTER_PA)), 0x380003,
         0},
        {"Tx1 direct FM wide", Make(Duplex::TDD, Rx(false), Tx(true, 2, false, 5000000)), 0x380000, 0},
        {"Tx1 before PA narrow", Make(Duplex::TDD, Rx(false), Tx(true, 0, false, 999999, ElbType::BEFORE_PA)),
         0x380000, 0},
        {"FDD Tx1 with Rx1", Make(Duplex::FDD, Rx(true), Tx(true)), 0xF80100, 0},
        {"FDD Tx1 alone", Make(Duplex::FDD, Rx(false), Tx(true), Rx(true), Tx(false)), 0x380000, 0xF80100},
        {"TDD Rx1 wide Tx1", Make(Duplex::TDD, Rx(true, false, 1000000), Tx(true)), 0xF81200, 0},
        {"pair, Rx1 wide", Make(Duplex::TDD, Rx(true, false, 2000000), Tx(false), Rx(true)), 0xF81200, 0xF81300},
        {"pair, Rx1 narrow", Make(Duplex::TDD, Rx(true), Tx(false), Rx(true, false, 2000000)), 0xF80100, 0xF81200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vx_marlin_TrackingCals out;
        out.channelMask = {0xFFFFFFFF, 0xFFFFFFFF};
        ASSERT_EQ(c.blueprint.SupportedTrackingCalMask_Get(out), 0);
        EXPECT_EQ(out.channelMask[0], c.mask0);
        EXPECT_EQ(out.channelMask[1], c.mask1);
    }
}

TEST(CalibrationMask, SlowProcessorClockDropsLowTrackingBits)
{
    MarlinBlueprint b = Make(Duplex::TDD, Rx(true, false, 1000000), Tx(true, 0, false, 1000000, ElbType::AFTER_PA),
                             Rx(true), Tx(false));
    vx_marlin_TrackingCals out;
    ASSERT_EQ(b.SupportedTrackingCalMask_Get(out), 0);
    EXPECT_EQ(out.channelMask[0], 0xF81213u);
    EXPECT_EQ(out.channelMask[1], 0xF81300u);
    // The divisor mask 0xFFFFECE0 clears bits 0-4, 8, 9 and 12.
    b.processorClockDivisor = ProcessorClockDivisor::DIVISOR_2;
    ASSERT_EQ(b.SupportedTrackingCalMask_Get(out), 0);
    EXPECT_EQ(out.channelMask[0], 0xF80000u);
    EXPECT_EQ(out.channelMask[1], 0xF80000u);
}

TEST(CalibrationMask, TwoStageInitialCalibrationForASharedExternalLo)
{
    struct Case {
        const char* name;
        Duplex duplex;
        bool nco;
        bool retuning;
        bool expected;
    };
    // Rx1 and Tx1 external; only a mapping that puts both on one LO counts.
    const Case cases[] = {
        {"TDM_FDD, LOs apart", Duplex::TDM_FDD, false, false, false},
        {"TDM_FDD retuning, shared LO", Duplex::TDM_FDD, false, true, true},
        {"TDD NCO retuning, shared LO", Duplex::TDD, true, true, true},
        {"TDD NCO, LOs apart", Duplex::TDD, true, false, false},
        {"TDD without NCO", Duplex::TDD, false, false, false},
        {"FDD", Duplex::FDD, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint b = Make(c.duplex, Rx(true, true), Tx(true, 0, true));
        b.rxChannel1.ncoEnable = c.nco;
        b.allowPllRetuning = c.retuning;
        bool required = !c.expected;
        ASSERT_EQ(b.RequiresTwoStageInitCal_Get(required), 0);
        EXPECT_EQ(required, c.expected);
        vx_marlin_InitCals init;
        ASSERT_EQ(b.SupportedInitCalMask_Get(init), 0);
        EXPECT_EQ(init.twoStage, c.expected ? 1u : 0u);
    }
}

TEST(CalibrationMask, MappingFailureLeavesTheMasksUnfilled)
{
    MarlinBlueprint b = Make(Duplex::TDD, Rx(true, true), Tx(true, 0, false));  // conflicting LO sources
    vx_marlin_InitCals init;
    init.systemMask = 7;
    init.channelMask = {1, 2};
    bool required = true;
    ReportCapture capture;
    EXPECT_EQ(b.SupportedInitCalMask_Get(init), -1);
    EXPECT_EQ(b.RequiresTwoStageInitCal_Get(required), -1);
    EXPECT_EQ(init.systemMask, 7u);
    EXPECT_EQ(init.channelMask[0], 1u);
    EXPECT_TRUE(required);
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST(CalibrationMask, FeaturesNarrowTheMasksInOrder)
{
    MarlinBlueprint b = Make(Duplex::TDD, Rx(true), Tx(true));
    auto feature = std::make_shared<TestFeature>("N");
    feature->onTracking = [](vx_marlin_TrackingCals& m) {
        m.channelMask[0] &= 0xFFEFECF0;
        m.channelMask[0] |= 0x10;
        return std::int8_t{0};
    };
    feature->onInit = [](vx_marlin_InitCals& m) {
        m.systemMask = 1;
        return std::int8_t{0};
    };
    feature->onTwoStage = [](bool& required) {
        required = true;
        return std::int8_t{0};
    };
    b.Feature_Enable(feature);
    vx_marlin_TrackingCals tracking;
    ASSERT_EQ(b.SupportedTrackingCalMask_Get(tracking), 0);
    EXPECT_EQ(tracking.channelMask[0], ((0xF80100u | 0x380000u) & 0xFFEFECF0u) | 0x10u);
    vx_marlin_InitCals init;
    ASSERT_EQ(b.SupportedInitCalMask_Get(init), 0);
    EXPECT_EQ(init.systemMask, 1u);
    EXPECT_EQ(init.twoStage, 1u);

    feature->onTracking = [](vx_marlin_TrackingCals&) { return std::int8_t{-1}; };
    EXPECT_EQ(b.SupportedTrackingCalMask_Get(tracking), -1);
}
