#pragma once
// Clock and device-system sections of the device initialisation record.
// Enumeration fields are held as their 32-bit device-interface values.

#include <array>
#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

struct marlin_ClockSettings_t {
    std::uint32_t deviceClock_kHz{};
    std::uint32_t clkPllVcoFreq_daHz{};
    std::int32_t clkPllHsDiv{};
    std::int32_t clkPllMode{};
    std::int32_t clk1105Div{};
    std::int32_t armClkDiv{};
    std::uint16_t armPowerSavingClkDiv{};
    bool refClockOutEnable{};
    vx_marlin_ComponentPowerLevel_e auxPllPower{};
    vx_marlin_ComponentPowerLevel_e clkPllPower{};
    std::uint8_t padRefClkDrv{};
    std::uint32_t extLo1OutFreq_kHz{};
    std::uint32_t extLo2OutFreq_kHz{};
    std::int32_t rfPll1LoMode{};
    std::int32_t rfPll2LoMode{};
    vx_marlin_ExtLoType ext1LoType{};
    vx_marlin_ExtLoType ext2LoType{};
    vx_marlin_RxRfInputSel rx1RfInputSel{};
    vx_marlin_RxRfInputSel rx2RfInputSel{};
    std::uint16_t extLo1Divider{};
    std::uint16_t extLo2Divider{};
    std::int32_t rfPllPhaseSyncMode{};
    vx_marlin_LoSel rx1LoSelect{};
    vx_marlin_LoSel rx2LoSelect{};
    vx_marlin_LoSel tx1LoSelect{};
    vx_marlin_LoSel tx2LoSelect{};
    std::int32_t rx1LoDivMode{};
    std::int32_t rx2LoDivMode{};
    std::int32_t tx1LoDivMode{};
    std::int32_t tx2LoDivMode{};
    std::int32_t loGen1Select{};
    std::int32_t loGen2Select{};

    bool operator==(const marlin_ClockSettings_t&) const = default;
};

struct marlin_pllModulus_t {
    std::array<std::uint32_t, 5> modulus{};
    std::array<std::uint32_t, 2> dmModulus{};

    bool operator==(const marlin_pllModulus_t&) const = default;
};

struct marlin_DeviceSysConfig_t {
    std::int32_t duplexMode{};
    std::uint8_t fhModeOn{};
    std::int32_t numDynamicProfiles{};
    std::int32_t mcsMode{};
    std::int32_t mcsInterfaceType{};
    vx_marlin_AdcType adcTypeMonitor{};
    std::uint16_t pllLockTime_us{};
    std::uint16_t pllPhaseSyncWait_us{};
    marlin_pllModulus_t pllModulus{};
    bool warmBootEnable{};

    bool operator==(const marlin_DeviceSysConfig_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
