#pragma once
// Frequency hopping. It only works on channel 1 (or both channels in dual-hop
// mode or with diversity), with I/Q transmitters, internal LOs and an undivided
// processor clock; the hop modes pin the LO routing and drop the tracking
// calibrations that cannot run between hops.

#include <cstdint>
#include <string>

#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

// Hop modes the feature distinguishes.
namespace FhMode {
inline constexpr vx_marlin_FhMode_e SINGLE_HOP_FAST = 0;
inline constexpr vx_marlin_FhMode_e DUAL_HOP = 3;
}  // namespace FhMode

class FrequencyHoppingFeature : public Feature {
public:
    static constexpr const char* Id = "FH";

    vx_marlin_FhMode_e mode = 2;
    std::uint32_t minFrameDuration_us = 30000;
    std::uint32_t minOperatingFrequency_kHz = 1000;

    std::string ID() const override { return Id; }

    // Modes 2 to 4 put channel 1 on LO1 and channel 2 on LO2; every mode runs
    // on internal LOs.
    std::int8_t LoMapping_Get(LoMapping& mapping) const override;
    // Clears the calibrations that cannot track between hops and keeps the
    // one that needs time to save its settings only when frames are long enough.
    std::int8_t SupportedTrackingCalMask_Get(vx_marlin_TrackingCals& mask) const override;
    // Checks the blueprint can hop; reports the first obstacle and returns -1.
    std::int8_t Blueprint_Update(MarlinBlueprint& blueprint) override;
    std::int8_t Profile_Update(Profile& profile) override;

    // Whether a frame leaves time to save the calibration settings.
    bool sufficientTimeToSaveCalSettings() const
    {
        return minFrameDuration_us >= (mode == FhMode::SINGLE_HOP_FAST ? 15u : 30u);
    }
};

}  // namespace Veltrix::Marlin::Native
