#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Reports.h"
#include "plover/develop/ProfileAssemblySteps.h"
#include "plover/develop/ProfileBuilder.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

const std::string NoCommonClock = ReportLine("ProfileBuilder", 1024);
const std::string OutOfRange = ReportLine("ProfileBuilder", 1030);

// Rx chain of 1.92 MHz LTE: SINC 6, HB 2, then 3 x 2^5 = 96 down to the output.
void Lte1p4Chain(RxPath& path)
{
    path.stages = {6, 2, 3, 1, 1, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, 6, 1, 1, 1, 1};
}
void Lte1p4Chain(TxPath& path)
{
    path.stages = {3, 1, 3, 1, 1, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, 2, 0, 1, 0, 0, 0, 1};
}

}  // namespace

TEST(SystemClock, CommonClockOfMatchingReceiveAndTransmitChains)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(1920000);
    Lte1p4Chain(blueprint.rxChannel1.dataPath);
    blueprint.txChannel1.enabled = true;
    blueprint.txChannel1.samplingRate_Hz(1920000);
    Lte1p4Chain(blueprint.txChannel1.dataPath);
    std::uint32_t clock = 0;
    ASSERT_EQ(SystemClock_Calculate(blueprint, clock), 0);
    EXPECT_EQ(clock, 184320000u);

    // The preprocessor's factor counts on the transmit side.
    blueprint.txChannel1.dataPath.stages[TxPath::PreprocessorStage] = 2;
    ReportCapture capture;
    EXPECT_EQ(SystemClock_Calculate(blueprint, clock), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{NoCommonClock});
}

TEST(SystemClock, DirectFmFskCountsAsInterpolationBy1920)
{
    MarlinBlueprint blueprint;
    blueprint.txChannel2.enabled = true;
    blueprint.txChannel2.samplingRate_Hz(96000);
    Lte1p4Chain(blueprint.txChannel2.dataPath);  // ignored once marked
    blueprint.txChannel2.dataPath.stages[TxPath::DirectFmFskStage] = 1;
    std::uint32_t clock = 0;
    ASSERT_EQ(SystemClock_Calculate(blueprint, clock), 0);
    EXPECT_EQ(clock, 96000u * 1920u);
}

TEST(SystemClock, BoundsAndMessages)
{
    struct Case {
        std::uint32_t rate_Hz;
        bool accepted;
    };
    for (const Case& c : {Case{150000000, true}, Case{200000000, true}, Case{149999999, false},
                          Case{200000001, false}, Case{0, false}}) {
        MarlinBlueprint blueprint;
        blueprint.rxChannel2.enabled = true;
        blueprint.rxChannel2.samplingRate_Hz(c.rate_Hz);
        blueprint.rxChannel2.dataPath.stages.fill(1);
        std::uint32_t clock = 7;
        ReportCapture capture;
        const auto status = SystemClock_Calculate(blueprint, clock);
        if (c.accepted) {
            EXPECT_EQ(status, 0) << c.rate_Hz;
            EXPECT_EQ(clock, c.rate_Hz);
        } else {
            EXPECT_EQ(status, -1) << c.rate_Hz;
            EXPECT_EQ(clock, 7u);
            EXPECT_EQ(capture.lines(), std::vector<std::string>{OutOfRange}) << c.rate_Hz;
        }
    }
    MarlinBlueprint none;
    std::uint32_t clock = 0;
    ReportCapture capture;
    EXPECT_EQ(SystemClock_Calculate(none, clock), -1);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{ReportLine("ProfileBuilder", 1017)});
}

TEST(SystemClock, StageProductsNeverWrap)
{
    // 30.72 MHz x 245 x 214 x 5 is 184.32 MHz modulo 2^32: a 32-bit product
    // would accept it. So would 2^32 + 184.32 MHz from 255-fold stages.
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(30720000);
    blueprint.rxChannel1.dataPath.stages.fill(1);
    blueprint.rxChannel1.dataPath.stages[2] = 245;
    blueprint.rxChannel1.dataPath.stages[5] = 214;
    blueprint.rxChannel1.dataPath.stages[10] = 5;
    std::uint32_t clock = 0;
    ReportCapture capture;
    EXPECT_EQ(SystemClock_Calculate(blueprint, clock), -1);

    blueprint.rxChannel1.dataPath.stages.fill(255);
    blueprint.txChannel1.enabled = true;
    blueprint.txChannel1.samplingRate_Hz(4000000000u);
    blueprint.txChannel1.dataPath.stages.fill(255);
    blueprint.txChannel1.dataPath.stages[TxPath::DirectFmFskStage] = 0;
    EXPECT_EQ(SystemClock_Calculate(blueprint, clock), -1);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{OutOfRange, OutOfRange}));
}

TEST(ProfileDevelop, DesignedBlueprintIsNotRedesignedWithoutTheFlag)
{
    Profile first;
    ASSERT_EQ(Develop(first, Example("lte-1p4mhz-2t2r-tdd")), 0);
    MarlinBlueprint designed = first.marlinBlueprint;
    ASSERT_TRUE(designed.isDesigned());
    // Same decimation, but the by-3 moved from block 15 to block 45.
    auto& stages = designed.rxChannel1.dataPath.stages;
    ASSERT_EQ(stages[2], 3);
    ASSERT_EQ(stages[16], 1);
    stages[2] = 1;
    stages[16] = 3;

    Profile kept;
    ASSERT_EQ(Develop(kept, designed), 0);
    EXPECT_EQ(kept.marlinBlueprint.rxChannel1.dataPath.stages, stages);
    EXPECT_EQ(kept.rxChannels[0].rxDpProfile.rxDecTop.decBy3Blk15En, 0);
    EXPECT_EQ(kept.rxChannels[0].rxDpProfile.rxNbDecTop.decBy3Blk45En, 1);

    Profile redesigned;
    ASSERT_EQ(Develop(redesigned, designed, true), 0);
    EXPECT_EQ(redesigned.marlinBlueprint.rxChannel1.dataPath.stages[2], 3);
    EXPECT_EQ(redesigned.rxChannels[0].rxDpProfile.rxDecTop.decBy3Blk15En, 1);
    EXPECT_EQ(redesigned.ToInit(), first.ToInit());
}

TEST(ProfileDevelop, ExpandedSearchRetriesFrom150MHz)
{
    MarlinBlueprint blueprint = Example("cmos-9p6mhz-4lane-expanded-search");
    const std::string notPossible = ReportLine("FilterDesigner", 203);
    {
        Profile profile;
        ReportCapture capture;
        EXPECT_EQ(Develop(profile, blueprint), -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{notPossible});
        EXPECT_FALSE(profile.marlinBlueprint.isDesigned());
    }
    blueprint.expandedSearchEnable = true;
    Profile profile;
    ReportCapture capture;
    ASSERT_EQ(Develop(profile, blueprint), 0);
    // The first attempt's report stays; the retry succeeds below 160 MHz
    // (its compensation designs may warn, but nothing else fails).
    const auto lines = capture.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], notPossible);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("WARNING: ", 0), 0u) << lines[i];
}

TEST(ProfileDevelop, FailureLeavesTheProfileButItsBlueprint)
{
    Profile profile;
    ASSERT_EQ(Develop(profile, Example("lte-20mhz-2t2r-tdd")), 0);
    const marlin_Init_t before = profile.ToInit();
    const std::uint32_t clock = profile.systemClockFrequency_Hz;

    // A design failure: no common clock for 96 and 100 kSPS.
    MarlinBlueprint failing = Example("tetra-25khz-144ksps");
    failing.txChannel1.samplingRate_Hz(100000);
    ReportCapture capture;
    EXPECT_NE(Develop(profile, failing), 0);
    EXPECT_FALSE(capture.lines().empty());
    EXPECT_EQ(profile.ToInit(), before);
    EXPECT_EQ(profile.systemClockFrequency_Hz, clock);
    EXPECT_EQ(profile.marlinBlueprint.txChannel1.samplingRate_Hz(), 100000u);

    // An assembly failure after a successful design: an SSI the channel refuses.
    MarlinBlueprint designed = Example("lte-10mhz-1t1r-fdd");
    Profile scratch;
    ASSERT_EQ(Develop(scratch, designed), 0);
    designed = scratch.marlinBlueprint;
    designed.rxChannel1.ssiDataFormat = 2;  // LVDS cannot carry I-only data
    EXPECT_EQ(Develop(profile, designed), -1);
    EXPECT_EQ(profile.ToInit(), before);
    EXPECT_EQ(profile.marlinBlueprint.rxChannel1.ssiDataFormat, 2);
}

TEST(ProfileDevelop, TransmitLoDividerModes)
{
    // The golden profiles hold the modes of transmitter 1; direct FM/FSK on
    // transmitter 2 drives both undivided.
    MarlinBlueprint blueprint = Example("direct-fm-fsk-tx-96ksps");
    blueprint.txChannel2 = blueprint.txChannel1;
    blueprint.txChannel1.enabled = false;
    Profile profile;
    ASSERT_EQ(Develop(profile, blueprint), 0);
    EXPECT_EQ(profile.clocks.tx1LoDivMode, 0);
    EXPECT_EQ(profile.clocks.tx2LoDivMode, 0);
}

TEST(ProfileDevelop, ProcessorClockDividesTheSystemClock)
{
    MarlinBlueprint blueprint = Example("lte-10mhz-external-lo");
    blueprint.processorClockDivisor = ProcessorClockDivisor::DIVISOR_4;
    Profile profile;
    ASSERT_EQ(Develop(profile, blueprint), 0);
    EXPECT_EQ(profile.processorClockFrequency_Hz, 46080000u);
    EXPECT_EQ(profile.pllLockWait_us, 380u);
}

// Whatever drives the LOs, each channel's LO selection in the clocks and its
// LO source in the stream settings tell the same story, before and after the
// host swaps the internal LOs.
TEST(ProfileDevelop, LoSelectionsAndStreamSettingsAgreeForEveryLoConfiguration)
{
    const auto agree = [](const Profile& profile, const std::string& what) {
        const auto settings = profile.GenerateMarlinStreamSettings();
        const struct {
            bool inUse;
            vx_marlin_LoSel select;
            bool internal;
        } channels[] = {
            {profile.marlinBlueprint.rxChannel1.enabled, profile.clocks.rx1LoSelect, settings->rx1IntLo()},
            {profile.marlinBlueprint.rxChannel2.enabled, profile.clocks.rx2LoSelect, settings->rx2IntLo()},
            {profile.marlinBlueprint.txChannel1.enabled, profile.clocks.tx1LoSelect, settings->tx1IntLo()},
            {profile.marlinBlueprint.txChannel2.enabled, profile.clocks.tx2LoSelect, settings->tx2IntLo()},
        };
        for (std::size_t i = 0; i < 4; ++i) {
            if (!channels[i].inUse) continue;
            const std::int32_t mode = channels[i].select == LO1 ? profile.clocks.rfPll1LoMode : profile.clocks.rfPll2LoMode;
            EXPECT_EQ(mode == 2, !channels[i].internal) << what << ", channel slot " << i;
        }
    };
    MarlinBlueprint designed = Example("lte-10mhz-2t2r-tdd");
    int developed = 0;
    for (const Duplex duplex : {Duplex::TDD, Duplex::FDD}) {
        designed.duplex = duplex;
        for (unsigned external = 0; external < 16; ++external) {
            for (const bool swapExternal : {false, true}) {
                MarlinBlueprint blueprint = designed;
                ChannelBlueprint* channels[] = {&blueprint.rxChannel1, &blueprint.rxChannel2, &blueprint.txChannel1,
                                                &blueprint.txChannel2};
                for (unsigned i = 0; i < 4; ++i) {
                    channels[i]->loSource = (external >> i) & 1 ? LoSource::EXTERNAL : LoSource::INTERNAL;
                }
                blueprint.swapExternalLoMapping = swapExternal;
                const std::string what = "duplex " + std::to_string(ToInt(duplex)) + ", external mask " +
                                         std::to_string(external) + (swapExternal ? ", swapped" : "");
                ReportCapture capture;
                Profile profile;
                if (Develop(profile, blueprint) != 0) continue;  // channels sharing an LO disagree on its source
                ++developed;
                agree(profile, what);
                profile.InternalLoMapping_Swap();
                agree(profile, what + ", after the LO swap");
                designed = profile.marlinBlueprint;  // later rounds skip the chain search
            }
        }
    }
    EXPECT_GE(developed, 16);
}

TEST(ProfileDevelop, DeviceClockOfZeroIsRefused)
{
    MarlinBlueprint blueprint = Example("lte-20mhz-2t2r-tdd");
    blueprint.deviceClockInput_kHz = 0;
    Profile profile;
    ReportCapture capture;
    EXPECT_EQ(Develop(profile, blueprint), -1);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{ReportLine("ProfileBuilder", 1003)});
}

TEST(ProfileDevelop, OnlyRxAndTxPortsHaveLoSources)
{
    Profile profile;
    ReportCapture capture;
    EXPECT_EQ(ChannelLoSource_Store(profile, 2, 1, LoSource::EXTERNAL), -1);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{ReportLine("ProfileBuilder", 1172)});
    EXPECT_EQ(ChannelLoSource_Store(profile, 1, 2, LoSource::EXTERNAL), 0);
    EXPECT_EQ(profile.channelLoSource[3], LoSource::EXTERNAL);
}

TEST(ProfileDevelop, RelaxedRippleTargetForSecondOrder9p6MHzReceivers)
{
    struct Case {
        const char* example;
        AnalogFilterOrder order;
        double ripple_dB;
    };
    for (const Case& c : {Case{"cmos-9p6mhz-4lane-expanded-search", AnalogFilterOrder::ORDER_1, 0.1},
                          Case{"cmos-9p6mhz-4lane-expanded-search", AnalogFilterOrder::ORDER_2, 0.22},
                          Case{"lte-10mhz-1t1r-fdd", AnalogFilterOrder::ORDER_2, 0.1}}) {
        MarlinBlueprint blueprint = Example(c.example);
        blueprint.expandedSearchEnable = true;
        blueprint.rxChannel1.analogFilterOrder = c.order;
        Profile profile;
        ASSERT_EQ(Develop(profile, blueprint), 0) << c.example;
        EXPECT_EQ(profile.rxChannels[0].rippleTarget, c.ripple_dB) << c.example;
        EXPECT_EQ(profile.rxChannels[0].filterOrder, c.order == AnalogFilterOrder::ORDER_1 ? 1 : 2);
    }
}
