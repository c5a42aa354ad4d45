// What each feature does to a blueprint's answers (refusals, LO mapping,
// interface rates, calibration masks) is pinned with the blueprint answers in
// tests/data/blueprint/queries.json; what it does to a developed profile in
// FeatureProfileUpdateTest.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"

using namespace Veltrix::Marlin::Native;

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
