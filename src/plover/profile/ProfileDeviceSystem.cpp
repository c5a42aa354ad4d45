// The profile operations on its clock and device-system sections: PLL wait
// times, LO swap, power levels and frequency hopping.

#include <algorithm>
#include <limits>
#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/blueprint/LoMapping.h"
#include "plover/profile/PllTiming.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

namespace {

// MCS mode whose PLL phase synchronisation must be waited for.
constexpr std::int32_t McsModePhaseSync = 2;

// The streams hold a wait of 10 us or more as microseconds in 15 bits.
constexpr std::uint32_t StreamWaitMax_us = 0x7FFF;

// The encodings are kept (stored profiles and images rely on them), but a
// device told to wait less than it must is worth a word.
void ReportShortenedWait(std::uint32_t wanted_us, std::uint16_t stored_us)
{
    const std::uint32_t encoded_us = std::min<std::uint32_t>(stored_us, StreamWaitMax_us);
    if (wanted_us <= encoded_us) {
        return;
    }
    std::string text = "PLL phase sync needs a wait of " + std::to_string(wanted_us) + " us";
    if (stored_us < wanted_us && stored_us == std::numeric_limits<std::uint16_t>::max()) {
        text += ", more than the profile's 65535 us";
    }
    text += "; the streams wait only " + std::to_string(encoded_us) + " us.";
    ErrorHandler::Message(LogLevel::WARNING, text, SourceUnit::Profile, 612);
}

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
        const std::uint32_t divider = PllPhaseSyncDivider_Get(minimumFrequency_kHz);
        wait_us = PllPhaseSyncWait_us_Get(clocks.deviceClock_kHz, divider);
        ReportShortenedWait(PllPhaseSyncWaitWanted_us(clocks.deviceClock_kHz, divider), wait_us);
    }
    deviceSystem.pllPhaseSyncWait_us = wait_us;
    pllPhaseSyncWait_us = wait_us;
}

void Profile::InternalLoMapping_Swap()
{
    // A selection moves only from one internal LO to the other: a channel on
    // an LO fed from outside stays on it, and no channel is moved onto one,
    // since the stream settings still say which channels use an external LO.
    // RF PLL LO mode 2 is an external LO; mode 3 holds LO2's selections too.
    constexpr std::int32_t LoModeExternal = 2;
    constexpr std::int32_t Lo2Pinned = 3;
    const bool lo1Internal = clocks.rfPll1LoMode != LoModeExternal;
    const bool lo2Internal = clocks.rfPll2LoMode != LoModeExternal && clocks.rfPll2LoMode != Lo2Pinned;
    if (!lo1Internal || !lo2Internal) {
        return;
    }
    for (vx_marlin_LoSel* select : {&clocks.rx1LoSelect, &clocks.rx2LoSelect, &clocks.tx1LoSelect, &clocks.tx2LoSelect}) {
        if (*select == LO1) {
            *select = LO2;
        } else if (*select == LO2) {
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
