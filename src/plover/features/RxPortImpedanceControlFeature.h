#pragma once
// Receive-port impedance control, switched per receiver and carried into the
// profile's clock section.

#include <array>
#include <string>

#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

class RxPortImpedanceControlFeature : public Feature {
public:
    static constexpr const char* Id = "RxPortImpedanceControl";

    std::string ID() const override { return Id; }
    std::int8_t Blueprint_Update(MarlinBlueprint& /*blueprint*/) override { return 0; }
    std::int8_t Profile_Update(Profile& profile) override;

    // By channel number 1 or 2; any other number throws.
    bool rxPortImpedanceControl(vx_common_ChannelNumber channelNumber) const;
    void rxPortImpedanceControl(vx_common_ChannelNumber channelNumber, bool enable);

private:
    std::array<bool, 2> rxPortImpedanceControl_{};  // by channel index
};

}  // namespace Veltrix::Marlin::Native
