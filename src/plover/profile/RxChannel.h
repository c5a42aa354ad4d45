#pragma once
// A designed receive-side channel of a profile (main receiver, observation or
// loop-back path). It is the device's receive channel profile, extended with
// the channel's filters, its data path and the working values the profile
// assembly needs. Setters that the user's choices can break report ERROR and
// return -1; values that only a programming error can produce throw.

#include <array>
#include <cstdint>

#include "plover/filters/ChannelFilter.h"
#include "plover/blueprint/DataPath.h"
#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsRx.h"
#include "plover/filters/PulseShapeFiltersLut.h"

namespace Veltrix::Marlin::Native {

// Receive rates the decimation chains can reach, in Hz.
inline constexpr std::uint32_t RxSamplingRateMin_Hz = 20834;
inline constexpr std::uint32_t RxSamplingRateMax_Hz = 67584000;

// The system clock a channel assumes until its ADC is configured.
inline constexpr std::uint32_t DefaultSystemClock_Hz = 184320000;

// Receive signal types of the device interface.
inline constexpr vx_marlin_RxSignalType RxSignalIq = 0;
inline constexpr vx_marlin_RxSignalType RxSignalFrequencyDeviation = 1;
inline constexpr vx_marlin_RxSignalType RxSignalFmSymbols = 2;

class RxChannel : public marlin_RxProfile_t {
public:
    // An unused slot: every profile field zero.
    RxChannel();

    // A channel at samplingRate_Hz (20,834 to 67,584,000 Hz, else throws)
    // with its channel filter looked up from the rate and bandwidth.
    RxChannel(std::uint32_t samplingRate_Hz, std::uint32_t bandwidth_Hz, vx_marlin_AdcType adcType,
              std::uint32_t analogFilterCorner_kHz, AnalogFilterOrder analogFilterOrder,
              vx_marlin_RxGainTableType gainTableType);

    // A channel read back from a profile file: the device record only, every
    // working value as a new slot has it.
    explicit RxChannel(const marlin_RxProfile_t& profile);

    std::int8_t SignalType_Set(vx_marlin_RxSignalType type, RxChannelSignalSetup setup);
    // The I/Q branch without touching the rounding mode.
    void SignalTypeIq_Set();
    void SignalTypeFrequencyDeviation_Set(RxChannelSignalSetup setup);

    // The LO offset is kept in whole kHz, truncated toward zero.
    std::int8_t IntermediateFrequency_Set(bool ncoEnable, std::int32_t intermediateFrequency_Hz);
    void FrequencyOffsetCorrectionEnable_Set(bool enable);
    std::int8_t ChannelFilter_Set(const std::array<std::int32_t, 128>& coefficients);

    // Runs the SSI format and lane rules; on failure nothing is stored.
    std::int8_t Ssi_Configure(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                              std::uint32_t ssiInterfaceRate_Hz, vx_marlin_SsiNumLane ssiNumLane,
                              SsiDataRate ssiDataRate, vx_marlin_SsiStrobeType ssiStrobeType);

    // Takes over the designed data path and the system clock: pulse-shape
    // filter, ADC clock, block enables and output settings.
    std::int8_t Adc_Configure(std::uint32_t systemClock_Hz, AdcRate adcRate,
                              vx_marlin_ComponentPowerLevel_e powerLevel, const RxPath& path);

    // 100 MHz or 50 MHz; selects the matching half-band. Any other value throws.
    void AdcBandwidth_Set(AdcBandwidth bandwidth);

    // The analog corner in kHz for an operational bandwidth. A narrow-band
    // corner above what the analog filter can realise is clamped, with a
    // WARNING each time; the stored corner is left as the user gave it.
    std::uint32_t AnalogFilterCorner_Get(OperationalBandwidth bandwidth) const;

    // Slot identity and PFIR bank. The (port, channel number) form leaves the
    // channel unused and returns -1 for a pair that names no receive slot;
    // the type form throws for a value that is not a receive-side type.
    std::int8_t ChannelType_Set(std::uint8_t port, std::uint8_t channelNumber);
    void ChannelType_Set(ChannelType type);
    // 1 or 2, from the channel type; throws when the type is not set.
    std::uint8_t ChannelNumber_Get() const;

    ChannelFilter channelFilter;
    PulseShapeFilter pulseShapeFilter;
    RxPath dataPath;
    std::uint32_t decimation = 0;  // product of data path stages 2 to 17
    std::uint32_t samplingRate_Hz = 0;
    RxChannelSignalSetup signalSetup = RxChannelSignalSetup::NONE;
    std::uint32_t systemClock_Hz = DefaultSystemClock_Hz;
    double rippleTarget = 0.1;
    bool inUse = false;
    bool frequencyOffsetCorrectionEnable = false;
    bool channelFilterUsed = false;
    std::uint32_t analogFilterCorner_kHz = 0;
    AdcRate adcRate = AdcRate::HIGH;
};

}  // namespace Veltrix::Marlin::Native
