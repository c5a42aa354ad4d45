#pragma once
// A designed transmitter of a profile: the device's transmit channel profile,
// extended with the channel's pulse-shaping filter, its data path and the
// working values the profile assembly needs.

#include <array>
#include <cstdint>

#include "plover/blueprint/ChannelBlueprint.h"
#include "plover/filters/ChannelFilter.h"
#include "plover/blueprint/DataPath.h"
#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsTx.h"

namespace Veltrix::Marlin::Native {

// Frequency-deviation mapping modulus of direct FM/FSK (also the PLL
// fractional modulus of the device system).
inline constexpr std::uint32_t DirectFmFskModulus = 0x7FFFF1;

class TxChannel : public marlin_TxProfile_t {
public:
    // An unused slot: every profile field zero.
    TxChannel();
    TxChannel(std::uint32_t samplingRate_Hz, std::uint32_t bandwidth_Hz);
    // A transmitter read back from a profile file: the device record only.
    explicit TxChannel(const marlin_TxProfile_t& profile);

    std::int8_t SignalType_Set(vx_marlin_TxSignalType type, std::uint32_t frequencyDeviation_Hz);
    // The loop-back power is kept in tenths of a dBm.
    void Loopback_Set(ElbType type, std::int16_t peakLoopbackPower_dBm);
    void FrequencyOffsetCorrectionEnable_Set(bool enable);
    // The caller's pulse-shaping filter, run by the pre-processor at the
    // given interpolation.
    void ChannelFilter_Set(const std::array<std::int32_t, 128>& coefficients,
                           ChannelFilterInterpolation interpolation);

    // Runs the SSI format and lane rules; on failure nothing is stored.
    std::int8_t Ssi_Configure(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                              std::uint32_t ssiInterfaceRate_Hz, vx_marlin_SsiNumLane ssiNumLane,
                              SsiDataRate ssiDataRate, vx_marlin_SsiTxRefClockPin ssiRefClockPin,
                              vx_marlin_SsiStrobeType ssiStrobeType);

    // Takes over the designed data path and the system clock. -1 after an
    // ERROR line for an unknown DAC rate or an unsupported signal combination.
    std::int8_t Dac_Configure(std::uint32_t systemClock_Hz, DacRate dacMode,
                              vx_marlin_ComponentPowerLevel_e powerLevel, const TxPath& path);

    // Transmitter number 1 or 2 and the pre-processor PFIR banks it owns
    // (A and B for transmitter 1, C and D for transmitter 2).
    void ChannelNumber_Set(std::uint8_t number);

    ChannelFilter channelFilter;
    TxPath dataPath;
    std::uint8_t channelNumber = 0;
    std::uint8_t pfirBankIndexI = 0;
    std::uint8_t pfirBankIndexQ = 0;
    std::uint8_t interpolationRate = 1;  // of the pre-processor's channel filter
    std::uint32_t samplingRate_Hz = 0;
    std::uint32_t dacRate = 0;           // the system clock the DAC was configured for
    std::uint32_t dacClk_kHz = 0;
    std::uint32_t interpolation = 0;     // system clock / sampling rate
    bool inUse = false;
    bool frequencyOffsetCorrectionEnable = false;
    // Pre-processor mode of the channel before its input format bit (bit 0,
    // set for I/Q input) is added.
    std::int32_t preProcMode = 0;
};

}  // namespace Veltrix::Marlin::Native
