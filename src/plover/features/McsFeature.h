#pragma once
// Multi-chip synchronisation: the profile records the sync mode and interface
// and waits for the PLL phase sync at the lowest operating frequency.

#include <cstdint>
#include <string>

#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

class McsFeature : public Feature {
public:
    static constexpr const char* Id = "MCS";

    vx_marlin_McsMode mode = 0;
    vx_marlin_SsiType interfaceType = 0;
    std::uint32_t minOperatingFrequency_kHz = 1000;

    std::string ID() const override { return Id; }
    std::int8_t Blueprint_Update(MarlinBlueprint& /*blueprint*/) override { return 0; }
    std::int8_t Profile_Update(Profile& profile) override;
};

}  // namespace Veltrix::Marlin::Native
