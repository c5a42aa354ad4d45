#pragma once
// Which LO drives which channel, and whether each LO comes from outside.

#include <array>

#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

// LO selections (vx_marlin_LoSel values); the device also knows a third, 3.
inline constexpr vx_marlin_LoSel LO1 = 1;
inline constexpr vx_marlin_LoSel LO2 = 2;
inline constexpr vx_marlin_LoSel LO3 = 3;

struct LoMapping {
    std::array<vx_marlin_LoSel, 2> rxLoSelect{LO1, LO1};  // by channel index
    std::array<vx_marlin_LoSel, 2> txLoSelect{LO1, LO1};  // by channel index
    std::array<bool, 2> loIsExternal{false, false};       // by LO, LO1 first

    bool operator==(const LoMapping&) const = default;
};

}  // namespace Veltrix::Marlin::Native
