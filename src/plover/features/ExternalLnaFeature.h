#pragma once
// External LNAs in front of the two main receivers. The configurations are
// supplied by whoever creates the feature and land in the RX1 and RX2 slots.

#include <array>
#include <string>

#include "plover/blueprint/Feature.h"
#include "plover/records/ProfileRecordsRx.h"

namespace Veltrix::Marlin::Native {

using vx_marlin_RxLnaConfig = marlin_RxLnaConfig_t;

class ExternalLnaFeature : public Feature {
public:
    static constexpr const char* Id = "ExternalLna";

    // One configuration per channel index.
    explicit ExternalLnaFeature(const std::array<vx_marlin_RxLnaConfig, 2>& configs) : lnaConfigs(configs) {}

    std::array<vx_marlin_RxLnaConfig, 2> lnaConfigs;

    std::string ID() const override { return Id; }
    std::int8_t Blueprint_Update(MarlinBlueprint& /*blueprint*/) override { return 0; }
    std::int8_t Profile_Update(Profile& profile) override;
};

}  // namespace Veltrix::Marlin::Native
