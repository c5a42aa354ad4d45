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

// Each row: the enabled channels ("r1 r2 t1 t2"), hop mode, diversity, the
// transmit signal types, which of Rx1/Tx1/Tx2 use an external LO, the
// processor clock divisor, and the report line of the first obstacle (0: none).
TEST(Feature, FrequencyHoppingReportsTheFirstObstacle)
{
    struct Case {
        const char* enabled;
        vx_marlin_FhMode_e mode;
        bool diversity;
        vx_marlin_TxSignalType tx1Type, tx2Type;
        const char* external;
        ProcessorClockDivisor divisor;
        int line;
    };
    constexpr auto D1 = ProcessorClockDivisor::DIVISOR_1;
    const Case cases[] = {
        {"", 2, false, 0, 0, "", D1, 0},
        {"r1 t1", 2, false, 0, 0, "", D1, 0},
        {"r2", 2, false, 0, 0, "", D1, 71},
        {"r2", 3, true, 0, 0, "", D1, 71},
        {"r1 r2", 2, false, 0, 0, "", D1, 77},
        {"r1 r2", 3, false, 0, 0, "", D1, 0},
        {"r1 r2", 2, true, 0, 0, "", D1, 0},
        {"r1 t1", 2, false, 1, 0, "", D1, 87},
        {"r1", 2, false, 2, 2, "", D1, 0},  // disabled FM/FSK transmitters do not count
        {"r1 t1 t2", 3, false, 0, 1, "t1", D1, 97},
        {"r1 t1 t2", 3, false, 1, 0, "t2", D1, 87},
        {"r1 t1", 2, false, 1, 0, "r1", D1, 87},
        {"r1", 2, false, 0, 0, "r1", D1, 97},
        {"r1", 2, false, 0, 0, "", ProcessorClockDivisor::DIVISOR_2, 104},
        {"r1", 2, false, 0, 0, "r1", ProcessorClockDivisor::DIVISOR_4, 97},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.enabled) + " mode " + std::to_string(c.mode) + " line " + std::to_string(c.line));
        const std::string enabled = c.enabled;
        const std::string external = c.external;
        MarlinBlueprint blueprint;
        blueprint.rxChannel1.enabled = enabled.find("r1") != std::string::npos;
        blueprint.rxChannel2.enabled = enabled.find("r2") != std::string::npos;
        blueprint.txChannel1.enabled = enabled.find("t1") != std::string::npos;
        blueprint.txChannel2.enabled = enabled.find("t2") != std::string::npos;
        blueprint.diversity = c.diversity;
        blueprint.txChannel1.channelSignalType(c.tx1Type);
        blueprint.txChannel2.channelSignalType(c.tx2Type);
        blueprint.rxChannel1.loSource = external == "r1" ? LoSource::EXTERNAL : LoSource::INTERNAL;
        blueprint.txChannel1.loSource = external == "t1" ? LoSource::EXTERNAL : LoSource::INTERNAL;
        blueprint.txChannel2.loSource = external == "t2" ? LoSource::EXTERNAL : LoSource::INTERNAL;
        blueprint.processorClockDivisor = c.divisor;
        const std::string before = blueprint.SaveToString();
        auto hopping = std::make_shared<FrequencyHoppingFeature>();
        hopping->mode = c.mode;
        ReportCapture capture;
        EXPECT_EQ(static_cast<std::int8_t>(blueprint.Feature_Enable(hopping)), c.line == 0 ? 0 : -1);
        EXPECT_EQ(capture.lines(), c.line == 0 ? std::vector<std::string>{}
                                               : std::vector<std::string>{ReportLine("FrequencyHoppingFeature.h", c.line)});
        // Stored either way, and the blueprint is never changed by the check.
        EXPECT_EQ(blueprint.features().size(), 1u);
        EXPECT_EQ(blueprint.SaveToString(), before);
    }
}

TEST(Feature, FrequencyHoppingPinsTheLoMapping)
{
    // TDD, Rx1 and Tx1 on LO1 which is external: the hop modes drop the external LO.
    MarlinBlueprint blueprint;
    blueprint.rxChannel1.enabled = blueprint.txChannel1.enabled = true;
    blueprint.rxChannel1.loSource = blueprint.txChannel1.loSource = LoSource::EXTERNAL;
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
    for (vx_marlin_FhMode_e mode : {1, 2, 3, 4}) {
        hopping->mode = mode;
        ASSERT_EQ(blueprint.LoMapping_Get(mapping), 0);
        const std::array<vx_marlin_LoSel, 2> rx = mode == 1 ? std::array{LO2, LO2} : std::array{LO1, LO2};
        EXPECT_EQ(mapping.rxLoSelect, rx) << mode;
        EXPECT_EQ(mapping.txLoSelect, mode == 1 ? (std::array{LO1, LO1}) : (std::array{LO1, LO2})) << mode;
    }
}

// Mode 0 needs 15 us frames to save its calibration settings, the others 30 us;
// without that time the save-settings calibration is dropped as well.
TEST(Feature, FrequencyHoppingNarrowsTrackingCalibrations)
{
    struct Case {
        vx_marlin_FhMode_e mode;
        std::uint32_t frame_us;
        bool sufficient;
    };
    for (const Case& c : {Case{0, 14, false}, Case{0, 15, true}, Case{2, 29, false}, Case{2, 30, true},
                          Case{3, 20, false}, Case{1, 30000, true}}) {
        FrequencyHoppingFeature hopping;
        hopping.mode = c.mode;
        hopping.minFrameDuration_us = c.frame_us;
        EXPECT_EQ(hopping.sufficientTimeToSaveCalSettings(), c.sufficient) << c.mode << " " << c.frame_us;
        vx_marlin_TrackingCals mask;
        mask.channelMask = {0xFFFFFFFF, 0x00F81200};
        hopping.SupportedTrackingCalMask_Get(mask);
        const std::uint32_t save = c.sufficient ? 0x00200000 : 0;
        EXPECT_EQ(mask.channelMask[0], 0xFFCFECF0u | save | 0x10u) << c.mode << " " << c.frame_us;
        EXPECT_EQ(mask.channelMask[1], 0x00C80010u | (save & 0x00F81200u)) << c.mode << " " << c.frame_us;
    }
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
