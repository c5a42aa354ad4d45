#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "plover/blueprint/Blueprint.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

const std::string ChannelOne = ReportLine("FrequencyHoppingFeature.h", 71);
const std::string TwoChannels = ReportLine("FrequencyHoppingFeature.h", 77);
const std::string SignalIq = ReportLine("FrequencyHoppingFeature.h", 87);
const std::string InternalLo = ReportLine("FrequencyHoppingFeature.h", 97);
const std::string Divisor = ReportLine("FrequencyHoppingFeature.h", 104);

}  // namespace

// The command line's --feature IDs, and the values a feature given without
// fields designs with.
TEST(Feature, IdsAndDefaults)
{
    const DynamicProfileFeature dynamic;
    const ExternalLnaFeature lna({});
    const FrequencyHoppingFeature hopping;
    const McsFeature mcs;
    const MonitorModeSyncFeature sync;
    const RxPortImpedanceControlFeature impedance;
    EXPECT_EQ((std::vector<std::string>{dynamic.ID(), lna.ID(), hopping.ID(), mcs.ID(), sync.ID(), impedance.ID()}),
              (std::vector<std::string>{"DynamicProfile", "ExternalLna", "FH", "MCS", "MMSync", "RxPortImpedanceControl"}));
    EXPECT_EQ((std::vector<std::int64_t>{dynamic.numDynamicProfiles, hopping.mode, hopping.minFrameDuration_us,
                                         hopping.minOperatingFrequency_kHz, mcs.mode, mcs.interfaceType,
                                         mcs.minOperatingFrequency_kHz,
                                         static_cast<std::int64_t>(sync.monitorModeSyncOverSamplingRatio),
                                         impedance.rxPortImpedanceControl(1) + 2 * impedance.rxPortImpedanceControl(2)}),
              (std::vector<std::int64_t>{1, 2, 30000, 1000, 0, 0, 1000,
                                         static_cast<std::int64_t>(MonitorModeSyncOverSamplingRatio::OSR_4), 0}));
}

TEST(Feature, PassiveFeaturesLeaveTheBlueprintAlone)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(30720000);
    const std::string before = blueprint.SaveToString();
    marlin_RxLnaConfig_t lna{};
    EXPECT_EQ(blueprint.Feature_Enable(std::make_shared<DynamicProfileFeature>()), 0);
    EXPECT_EQ(blueprint.Feature_Enable(std::make_shared<ExternalLnaFeature>(std::array{lna, lna})), 0);
    EXPECT_EQ(blueprint.Feature_Enable(std::make_shared<McsFeature>()), 0);
    EXPECT_EQ(blueprint.Feature_Enable(std::make_shared<RxPortImpedanceControlFeature>()), 0);
    EXPECT_EQ(blueprint.SaveToString(), before);
    EXPECT_TRUE(blueprint.rxChannel1.ssiRateFollowsSamplingRate());
    EXPECT_EQ(blueprint.features().size(), 4u);
}

TEST(Feature, SameIdReplacesTheEarlierFeature)
{
    MarlinBlueprint blueprint;
    auto first = std::make_shared<DynamicProfileFeature>();
    auto second = std::make_shared<DynamicProfileFeature>();
    second->numDynamicProfiles = 4;
    blueprint.Feature_Enable(first);
    blueprint.Feature_Enable(second);
    ASSERT_EQ(blueprint.features().size(), 1u);
    EXPECT_EQ(blueprint.features()[0], second);
}

// A count the device cannot hold is refused when the feature is enabled, and
// again by every later update, so the design fails too.
TEST(Feature, DynamicProfileCountMustBeOneToSix)
{
    for (const vx_marlin_NumDynamicProfiles count : {-1, 0, 1, 6, 7}) {
        MarlinBlueprint blueprint;
        auto feature = std::make_shared<DynamicProfileFeature>();
        feature->numDynamicProfiles = count;
        ReportCapture capture;
        const bool accepted = count >= 1 && count <= 6;
        EXPECT_EQ(blueprint.Feature_Enable(feature), accepted ? 0 : 255) << count;
        EXPECT_EQ(blueprint.Update(), accepted ? 0 : -1) << count;
        if (!accepted) {
            EXPECT_EQ(capture.lines().at(0), ReportLine("DynamicProfileFeature.h", 24, {std::to_string(count)}));
        }
    }
}

struct HoppingCase {
    const char* name;
    bool rx1, rx2, tx1, tx2;
    vx_marlin_FhMode_e mode;
    bool diversity;
    vx_marlin_TxSignalType tx1Type, tx2Type;
    LoSource rx1Lo, tx1Lo, tx2Lo;
    ProcessorClockDivisor divisor;
    std::string expected;  // empty: accepted
};

class FrequencyHoppingChecks : public ::testing::TestWithParam<HoppingCase> {};

TEST_P(FrequencyHoppingChecks, ReportTheFirstObstacle)
{
    const HoppingCase& c = GetParam();
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = c.rx1;
    blueprint.rxChannel2.enabled = c.rx2;
    blueprint.txChannel1.enabled = c.tx1;
    blueprint.txChannel2.enabled = c.tx2;
    blueprint.diversity = c.diversity;
    blueprint.txChannel1.channelSignalType(c.tx1Type);
    blueprint.txChannel2.channelSignalType(c.tx2Type);
    blueprint.rxChannel1.loSource = c.rx1Lo;
    blueprint.txChannel1.loSource = c.tx1Lo;
    blueprint.txChannel2.loSource = c.tx2Lo;
    blueprint.processorClockDivisor = c.divisor;
    const std::string before = blueprint.SaveToString();

    auto hopping = std::make_shared<FrequencyHoppingFeature>();
    hopping->mode = c.mode;
    ReportCapture capture;
    const auto status = blueprint.Feature_Enable(hopping);

    if (c.expected.empty()) {
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(capture.lines().empty());
    } else {
        EXPECT_EQ(static_cast<std::int8_t>(status), -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.expected});
    }
    // Stored either way, and the blueprint is never changed by the check.
    EXPECT_EQ(blueprint.features().size(), 1u);
    EXPECT_EQ(blueprint.SaveToString(), before);
}

constexpr auto In = LoSource::INTERNAL;
constexpr auto Ex = LoSource::EXTERNAL;
constexpr auto D1 = ProcessorClockDivisor::DIVISOR_1;

INSTANTIATE_TEST_SUITE_P(
    Feature, FrequencyHoppingChecks,
    ::testing::Values(
        HoppingCase{"NothingEnabled", false, false, false, false, 2, false, 0, 0, In, In, In, D1, ""},
        HoppingCase{"Channel1Only", true, false, true, false, 2, false, 0, 0, In, In, In, D1, ""},
        HoppingCase{"Rx2Only", false, true, false, false, 2, false, 0, 0, In, In, In, D1, ChannelOne},
        HoppingCase{"Rx2OnlyDualHop", false, true, false, false, 3, true, 0, 0, In, In, In, D1, ChannelOne},
        HoppingCase{"TwoChannelsMode2", true, true, false, false, 2, false, 0, 0, In, In, In, D1, TwoChannels},
        HoppingCase{"TwoChannelsDualHop", true, true, false, false, 3, false, 0, 0, In, In, In, D1, ""},
        HoppingCase{"TwoChannelsDiversity", true, true, false, false, 2, true, 0, 0, In, In, In, D1, ""},
        HoppingCase{"TxFmFsk", true, false, true, false, 2, false, 1, 0, In, In, In, D1, SignalIq},
        HoppingCase{"DisabledTxFmFskIgnored", true, false, false, false, 2, false, 2, 2, In, In, In, D1, ""},
        HoppingCase{"Tx1ExternalBeforeTx2Type", true, false, true, true, 3, false, 0, 1, In, Ex, In, D1, InternalLo},
        HoppingCase{"Tx1TypeBeforeTx2External", true, false, true, true, 3, false, 1, 0, In, In, Ex, D1, SignalIq},
        HoppingCase{"SignalTypeBeforeRxLo", true, false, true, false, 2, false, 1, 0, Ex, In, In, D1, SignalIq},
        HoppingCase{"RxExternal", true, false, false, false, 2, false, 0, 0, Ex, In, In, D1, InternalLo},
        HoppingCase{"Divisor", true, false, false, false, 2, false, 0, 0, In, In, In,
                    ProcessorClockDivisor::DIVISOR_2, Divisor},
        HoppingCase{"LoBeforeDivisor", true, false, false, false, 2, false, 0, 0, Ex, In, In,
                    ProcessorClockDivisor::DIVISOR_4, InternalLo}),
    [](const ::testing::TestParamInfo<HoppingCase>& info) { return std::string(info.param.name); });

TEST(Feature, FrequencyHoppingPinsTheLoMapping)
{
    // TDD, Rx1 and Tx1 on LO1 which is external: the hop modes drop the external LO.
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.txChannel1.enabled = true;
    blueprint.rxChannel1.loSource = LoSource::EXTERNAL;
    blueprint.txChannel1.loSource = LoSource::EXTERNAL;
    LoMapping plain;
    ASSERT_EQ(blueprint.LoMapping_Get(plain), 0);
    ASSERT_TRUE(plain.loIsExternal[0]);

    auto hopping = std::make_shared<FrequencyHoppingFeature>();
    hopping->mode = 0;
    blueprint.Feature_Enable(hopping);  // refused (external LO) but kept
    LoMapping mapping;
    ASSERT_EQ(blueprint.LoMapping_Get(mapping), 0);
    EXPECT_EQ(mapping.rxLoSelect, plain.rxLoSelect);
    EXPECT_EQ(mapping.loIsExternal, (std::array<bool, 2>{false, false}));

    blueprint.duplex = Duplex::FDD;  // row A: Rx on LO2, Tx on LO1
    for (vx_marlin_FhMode_e mode : {2, 3, 4}) {
        hopping->mode = mode;
        ASSERT_EQ(blueprint.LoMapping_Get(mapping), 0);
        EXPECT_EQ(mapping.rxLoSelect, (std::array<vx_marlin_LoSel, 2>{LO1, LO2})) << mode;
        EXPECT_EQ(mapping.txLoSelect, (std::array<vx_marlin_LoSel, 2>{LO1, LO2})) << mode;
    }
    hopping->mode = 1;
    ASSERT_EQ(blueprint.LoMapping_Get(mapping), 0);
    EXPECT_EQ(mapping.rxLoSelect, (std::array<vx_marlin_LoSel, 2>{LO2, LO2}));
}

TEST(Feature, SufficientTimeToSaveCalSettings)
{
    FrequencyHoppingFeature hopping;
    struct Case {
        vx_marlin_FhMode_e mode;
        std::uint32_t frame_us;
        bool expected;
    };
    for (const Case& c : {Case{0, 14, false}, Case{0, 15, true}, Case{2, 29, false}, Case{2, 30, true},
                          Case{3, 20, false}, Case{1, 30000, true}}) {
        hopping.mode = c.mode;
        hopping.minFrameDuration_us = c.frame_us;
        EXPECT_EQ(hopping.sufficientTimeToSaveCalSettings(), c.expected) << c.mode << " " << c.frame_us;
    }
}

TEST(Feature, FrequencyHoppingNarrowsTrackingCalibrations)
{
    FrequencyHoppingFeature hopping;
    hopping.minFrameDuration_us = 20;
    vx_marlin_TrackingCals mask;

    hopping.mode = 0;
    mask.channelMask = {0xFFFFFFFF, 0x0};
    hopping.SupportedTrackingCalMask_Get(mask);
    EXPECT_EQ(mask.channelMask[0], 0xFFEFECF0u | 0x10u);
    EXPECT_EQ(mask.channelMask[1], 0x10u);

    hopping.mode = 2;
    mask.channelMask = {0xFFFFFFFF, 0x00F81200};
    hopping.SupportedTrackingCalMask_Get(mask);
    EXPECT_EQ(mask.channelMask[0], 0xFFCFECF0u | 0x10u);
    EXPECT_EQ(mask.channelMask[1], 0x00C80010u);

    // Through the blueprint: Rx1 wide-band with Tx1, TDD.
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.rfChannelBandwidth_Hz = 18000000;
    blueprint.txChannel1.enabled = true;
    blueprint.txChannel1.rfChannelBandwidth_Hz = 18000000;
    vx_marlin_TrackingCals plain;
    ASSERT_EQ(blueprint.SupportedTrackingCalMask_Get(plain), 0);
    auto feature = std::make_shared<FrequencyHoppingFeature>();
    ASSERT_EQ(blueprint.Feature_Enable(feature), 0);
    vx_marlin_TrackingCals hopped;
    ASSERT_EQ(blueprint.SupportedTrackingCalMask_Get(hopped), 0);
    EXPECT_EQ(hopped.channelMask[0], (plain.channelMask[0] & 0xFFEFECF0u) | 0x10u);
}

TEST(Feature, MonitorModeSyncRaisesBothInterfaceRates)
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(1920000);
    blueprint.rxChannel2.samplingRate_Hz(48000);  // disabled, still updated
    blueprint.txChannel1.samplingRate_Hz(1920000);
    auto sync = std::make_shared<MonitorModeSyncFeature>();
    sync->monitorModeSyncOverSamplingRatio = MonitorModeSyncOverSamplingRatio::OSR_8;
    ASSERT_EQ(blueprint.Feature_Enable(sync), 0);

    EXPECT_EQ(blueprint.rxChannel1.ssiInterfaceRate_Hz(), 15360000u);
    EXPECT_EQ(blueprint.rxChannel2.ssiInterfaceRate_Hz(), 384000u);
    EXPECT_EQ(blueprint.txChannel1.ssiInterfaceRate_Hz(), 1920000u);
    blueprint.rxChannel1.samplingRate_Hz(3840000);
    EXPECT_EQ(blueprint.rxChannel1.ssiInterfaceRate_Hz(), 15360000u);
    EXPECT_FALSE(blueprint.rxChannel1.ssiRateFollowsSamplingRate());
}

TEST(Feature, RxPortImpedanceControlByChannelNumber)
{
    RxPortImpedanceControlFeature impedance;
    impedance.rxPortImpedanceControl(2, true);
    EXPECT_FALSE(impedance.rxPortImpedanceControl(1));
    EXPECT_TRUE(impedance.rxPortImpedanceControl(2));
    for (vx_common_ChannelNumber wrong : {0, 3, 257, -1}) {
        EXPECT_THROW(impedance.rxPortImpedanceControl(wrong, true), std::runtime_error) << wrong;
        EXPECT_THROW((void)impedance.rxPortImpedanceControl(wrong), std::runtime_error) << wrong;
    }
}
