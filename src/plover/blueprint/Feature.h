#pragma once
// An optional device capability enabled on a blueprint. A feature may check
// and adjust the blueprint when enabled, override the LO mapping, narrow the
// calibration masks and write its settings into the developed profile.
// Instances are shared: a blueprint, its copies and a profile's blueprint all
// point at the same feature objects.

#include <cstdint>
#include <string>

#include "plover/records/CalibrationMasks.h"
#include "plover/blueprint/LoMapping.h"

namespace Veltrix::Marlin::Native {

class MarlinBlueprint;
class Profile;

class Feature {
public:
    virtual ~Feature() = default;

    virtual std::string ID() const = 0;
    virtual std::int8_t LoMapping_Get(LoMapping& /*mapping*/) const { return 0; }
    virtual std::int8_t SupportedInitCalMask_Get(vx_marlin_InitCals& /*mask*/) const { return 0; }
    virtual std::int8_t SupportedTrackingCalMask_Get(vx_marlin_TrackingCals& /*mask*/) const { return 0; }
    virtual std::int8_t RequiresTwoStageInitCal_Get(bool& /*required*/) const { return 0; }
    virtual std::int8_t Blueprint_Update(MarlinBlueprint& blueprint) = 0;
    virtual std::int8_t Profile_Update(Profile& profile) = 0;
};

}  // namespace Veltrix::Marlin::Native
