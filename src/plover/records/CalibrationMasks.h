#pragma once
// The calibration masks a blueprint supports, in the device interface's shape.

#include <array>
#include <cstdint>

#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

struct vx_marlin_InitCals {
    std::uint32_t systemMask = 0;
    std::array<std::uint32_t, 2> channelMask{};  // by channel index
    std::uint32_t twoStage = 0;                   // 0 or 1
};

struct vx_marlin_TrackingCals {
    std::array<std::uint32_t, 2> channelMask{};  // by channel index
};

}  // namespace Veltrix::Marlin::Native
