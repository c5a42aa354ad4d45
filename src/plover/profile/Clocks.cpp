#include "plover/profile/Clocks.h"

#include "plover/blueprint/Blueprint.h"
#include "plover/blueprint/LoMapping.h"
#include "plover/design/ChannelIndex.h"

namespace Veltrix::Marlin::Native {

namespace {

// Device-interface values of the clock section.
constexpr std::int32_t ClkPllModeHighPerformance = 0;
constexpr std::int32_t ClkPllModeLowPower = 1;
constexpr std::int32_t RfPllLoModeInternal = 0;
constexpr std::int32_t RfPllLoModeExternal = 2;

}  // namespace

Clocks::Clocks()
    : Clocks(DefaultDeviceClock_kHz, ClockPllMode::HIGH_PERFORMANCE, 2, 0, ProcessorClockDivisor::DIVISOR_1, {0, 0})
{
}

Clocks::Clocks(std::uint32_t deviceClock, ClockPllMode clockPllMode, vx_marlin_ComponentPowerLevel_e clockPllPower,
               vx_marlin_PllCalibration calibration, ProcessorClockDivisor processorClockDivisor,
               const std::array<vx_marlin_RxRfInputSel, 2>& rxRfInputs)
    : marlin_ClockSettings_t{}
{
    deviceClock_kHz = deviceClock;
    clkPllHsDiv = 0;
    clkPllMode = clockPllMode == ClockPllMode::LOW_POWER ? ClkPllModeLowPower : ClkPllModeHighPerformance;
    clk1105Div = 2;
    armClkDiv = 6;
    armPowerSavingClkDiv = static_cast<std::uint16_t>(processorClockDivisor);
    refClockOutEnable = true;
    auxPllPower = 2;
    clkPllPower = clockPllPower;
    padRefClkDrv = 0;
    extLo1OutFreq_kHz = 0;
    ext1LoType = 0;
    rx1RfInputSel = rxRfInputs[0];
    rx2RfInputSel = rxRfInputs[1];
    extLo1Divider = 2;
    extLo2Divider = 2;
    rx1LoDivMode = 1;
    rx2LoDivMode = 1;
    tx1LoDivMode = 1;
    tx2LoDivMode = 1;
    loGen1Select = 1;
    loGen2Select = 1;
    pllCalibration = calibration;
}

void Clocks::Configure(std::uint32_t systemClock_Hz, AdcRate adcRate, const MarlinBlueprint& blueprint,
                       const LoMapping& mapping)
{
    clk1105Div = 2;
    // The ADC runs at 8 (MED) or 12 times the system clock; the VCO at 48
    // times it in high performance mode and 24 times in low power, so the
    // high-speed divider and the multiplier m make up the difference.
    std::uint64_t adcMultiplier = 12;
    if (adcRate == AdcRate::MED) {
        clkPllHsDiv = 1;
        adcMultiplier = 8;
        armClkDiv = 4;
    } else {
        clkPllHsDiv = 0;
        armClkDiv = 6;
    }
    const bool highPerformance = clkPllMode == ClkPllModeHighPerformance;
    const std::uint64_t m = adcMultiplier == 12 ? (highPerformance ? 4 : 2) : (highPerformance ? 6 : 3);
    // The PLL is programmed in tens of hertz.
    clkPllVcoFreq_daHz = static_cast<std::uint32_t>(static_cast<std::uint64_t>(systemClock_Hz) * adcMultiplier * m / 10);

    rx1LoSelect = mapping.rxLoSelect[0];
    rx2LoSelect = mapping.rxLoSelect[1];
    tx1LoSelect = mapping.txLoSelect[0];
    tx2LoSelect = mapping.txLoSelect[1];
    rfPll1LoMode = mapping.loIsExternal[0] ? RfPllLoModeExternal : RfPllLoModeInternal;
    rfPll2LoMode = mapping.loIsExternal[1] ? RfPllLoModeExternal : RfPllLoModeInternal;

    extLo1Divider = blueprint.loExternal1.loDivisor;
    ext1LoType = blueprint.loExternal1.loSignalingType;
    extLo2Divider = blueprint.loExternal2.loDivisor;
    ext2LoType = blueprint.loExternal2.loSignalingType;

    rxPortImpedanceControl_ = {false, false};
}

void Clocks::rxPortImpedanceControl(std::uint8_t channelNumber, bool enable)
{
    rxPortImpedanceControl_[Decode::ChannelNumberToIndex(channelNumber)] = enable;
}

bool Clocks::rxPortImpedanceControl(std::uint8_t channelNumber) const
{
    return rxPortImpedanceControl_[Decode::ChannelNumberToIndex(channelNumber)];
}

}  // namespace Veltrix::Marlin::Native
