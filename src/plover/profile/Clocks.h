#pragma once
// The profile's clock section: the device clock, the clock PLL, processor
// dividers and the LO routing. Built from the blueprint's clocking choices,
// then completed once the design has fixed the system clock and the LO map.

#include <array>
#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsSystem.h"

namespace Veltrix::Marlin::Native {

class MarlinBlueprint;
struct LoMapping;

// The device clock of a profile that has not been designed.
inline constexpr std::uint32_t DefaultDeviceClock_kHz = 38'400;

class Clocks : public marlin_ClockSettings_t {
public:
    // A 38.4 MHz device clock, high-performance PLL at power 2, uncalibrated,
    // processor divisor 1, both receivers on input 0.
    Clocks();
    Clocks(std::uint32_t deviceClock_kHz, ClockPllMode clockPllMode, vx_marlin_ComponentPowerLevel_e clockPllPower,
           vx_marlin_PllCalibration pllCalibration, ProcessorClockDivisor processorClockDivisor,
           const std::array<vx_marlin_RxRfInputSel, 2>& rxRfInputs);

    // Clock PLL and LO routing for the designed system clock.
    void Configure(std::uint32_t systemClock_Hz, AdcRate adcRate, const MarlinBlueprint& blueprint,
                   const LoMapping& mapping);

    // Port-impedance control of receiver 1 or 2 (throws for other numbers).
    void rxPortImpedanceControl(std::uint8_t channelNumber, bool enable);
    bool rxPortImpedanceControl(std::uint8_t channelNumber) const;

    // Not part of the device record: chooses the PLL lock-time column.
    vx_marlin_PllCalibration pllCalibration = 0;

private:
    std::array<bool, 2> rxPortImpedanceControl_{};
};

}  // namespace Veltrix::Marlin::Native
