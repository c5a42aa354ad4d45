#pragma once
// The profile's device-system section: duplex, frequency hopping, dynamic
// profiles, multi-chip sync and the PLL wait times, plus the blueprint's
// duplex choice it was built from.

#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsSystem.h"

namespace Veltrix::Marlin::Native {

// The PLL fractional modulus the device runs with unless a feature changes it.
inline constexpr std::uint32_t DefaultPllModulus = 0x7FFFF1;

// The lock wait a device system starts with, before the lock-time table is consulted.
inline constexpr std::uint16_t DefaultPllLockTime_us = 750;

class DeviceSystem : public marlin_DeviceSysConfig_t {
public:
    // TDD without warm boot.
    DeviceSystem();
    // Throws for a duplex outside TDD, FDD and TDM_FDD.
    DeviceSystem(Duplex duplex, bool warmBootEnable);

    Duplex duplex = Duplex::TDD;
};

}  // namespace Veltrix::Marlin::Native
