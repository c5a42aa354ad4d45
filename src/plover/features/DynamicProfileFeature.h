#pragma once
// Dynamic profiles: the device may switch between up to six reduced-rate
// variants of the designed profile. The blueprint is left alone; the profile
// learns how many variants to offer and masks its receive strobes.

#include <string>

#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

class DynamicProfileFeature : public Feature {
public:
    static constexpr const char* Id = "DynamicProfile";

    vx_marlin_NumDynamicProfiles numDynamicProfiles = 1;

    std::string ID() const override { return Id; }
    // Refuses a count outside 1..6: the device holds at most six variants.
    std::int8_t Blueprint_Update(MarlinBlueprint& blueprint) override;
    std::int8_t Profile_Update(Profile& profile) override;
};

}  // namespace Veltrix::Marlin::Native
