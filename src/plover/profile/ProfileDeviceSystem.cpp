// The profile operations on its clock and device-system sections: PLL wait
// times, LO swap, power levels and frequency hopping.

#include "plover/blueprint/LoMapping.h"
#include "plover/profile/PllTiming.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

namespace {

// MCS mode whose PLL phase synchronisation must be waited for.
constexpr std::int32_t McsModePhaseSync = 2;

}  // namespace

void Profile::PllLockWait_us_Calculate()
{
    deviceSystem.pllLockTime_us = PllLockTime_us_Get(clocks.deviceClock_kHz, clocks.pllCalibration != 0);
    pllLockWait_us = deviceSystem.pllLockTime_us;
}

void Profile::PllPhaseSyncWait_us_Calculate(std::uint32_t minimumFrequency_kHz)
{
    const bool retunes = deviceSystem.fhModeOn == 1 || allowPllRetuning;
    std::uint16_t wait_us = 0;
    if (deviceSystem.mcsMode == McsModePhaseSync && retunes) {
        wait_us = PllPhaseSyncWait_us_Get(clocks.deviceClock_kHz, PllPhaseSyncDivider_Get(minimumFrequency_kHz));
    }
    deviceSystem.pllPhaseSyncWait_us = wait_us;
    pllPhaseSyncWait_us = wait_us;
}

void Profile::InternalLoMapping_Swap()
{
    // A selection stays on LO1 while RF PLL1 runs in LO mode 2 (fed from
    // outside), and on LO2 while RF PLL2 runs in LO mode 3.
    constexpr std::int32_t Lo1Pinned = 2;
    constexpr std::int32_t Lo2Pinned = 3;
    for (vx_marlin_LoSel* select : {&clocks.rx1LoSelect, &clocks.rx2LoSelect, &clocks.tx1LoSelect, &clocks.tx2LoSelect}) {
        if (*select == LO1 && clocks.rfPll1LoMode != Lo1Pinned) {
            *select = LO2;
        } else if (*select == LO2 && clocks.rfPll2LoMode != Lo2Pinned) {
            *select = LO1;
        }
    }
}

void Profile::InternalPowerSettings_Configure(vx_marlin_ComponentPowerLevel_e auxPllPower,
                                              vx_marlin_ComponentPowerLevel_e clkPllPower,
                                              vx_marlin_ComponentPowerLevel_e tiaPower,
                                              vx_marlin_ComponentPowerLevel_e tiaPowerLp,
                                              vx_marlin_ComponentPowerLevel_e txBbfPower)
{
    clocks.auxPllPower = auxPllPower;
    clocks.clkPllPower = clkPllPower;
    for (RxChannel& channel : rxChannels) {
        channel.tiaPower = tiaPower;
        channel.tiaPowerLp = tiaPowerLp;
    }
    for (TxChannel& channel : txChannels) {
        channel.txBbfPower = txBbfPower;
    }
}

void Profile::FrequencyHoppingEnable(bool enable)
{
    deviceSystem.fhModeOn = enable ? 1 : 0;
}

}  // namespace Veltrix::Marlin::Native
