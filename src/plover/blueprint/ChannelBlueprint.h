#pragma once
// One channel of the caller's blueprint. Both channel kinds share
// ChannelBlueprint and carry their data path through DataPathAdapter: the
// stages a caller pins in advance and the stages a design writes back.

#include <array>
#include <cstdint>

#include "plover/blueprint/DataPath.h"
#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

class FilterDesigner;

// Rates at or above this are wide-band channels.
inline constexpr std::uint32_t WideBandwidthThreshold_Hz = 1000000;

class ChannelBlueprint {
public:
    ChannelBlueprint() = default;
    ChannelBlueprint(const ChannelBlueprint&) = default;
    ChannelBlueprint& operator=(const ChannelBlueprint&) = default;
    virtual ~ChannelBlueprint() = default;

    std::array<std::int32_t, 128> channelFilter{};
    ChannelFilterType channelFilterType = ChannelFilterType::DISABLED;
    bool enabled = false;
    bool frequencyOffsetCorrectionEnable = false;
    LoSource loSource = LoSource::INTERNAL;
    vx_marlin_ComponentPowerLevel_e lowPassFilterPower = 2;
    std::uint32_t rfChannelBandwidth_Hz = 0;
    vx_marlin_SsiDataFormat ssiDataFormat = 4;
    SsiDataRate ssiDataRate = SsiDataRate::SINGLE;
    vx_marlin_SsiNumLane ssiNumLane = 0;
    vx_marlin_SsiStrobeType ssiStrobeType = 0;
    vx_marlin_SsiType ssiType = 0;
    // Internal, not serialised: handed to the data path by the filter designer.
    WidebandFilterSelect wblpfSelect = WidebandFilterSelect::BW_80;

    // The interface rate follows the sampling rate until it is set on its own.
    std::uint32_t samplingRate_Hz() const { return samplingRate_Hz_; }
    void samplingRate_Hz(std::uint32_t value);
    std::uint32_t ssiInterfaceRate_Hz() const { return ssiInterfaceRate_Hz_; }
    void ssiInterfaceRate_Hz(std::uint32_t value);
    bool ssiRateFollowsSamplingRate() const { return ssiRateFollowsSamplingRate_; }

    OperationalBandwidth operationalBandwidth() const
    {
        return rfChannelBandwidth_Hz >= WideBandwidthThreshold_Hz ? OperationalBandwidth::WIDE
                                                                  : OperationalBandwidth::NARROW;
    }

    // SSI clock in Hz: interface rate x bits per sample / lanes (32-bit
    // unsigned arithmetic), halved for CMOS double data rate. Throws for a data
    // format outside 0..6.
    std::uint32_t SsiClock_Get() const;

    // Hands wblpfSelect to the data path's wideband low-pass selection stage.
    void WblpfSelect_Apply() { wblpfEnum(wblpfSelect); }

protected:
    friend class FilterDesigner;
    // Stores the wideband low-pass selection into the data path; no path here.
    virtual void wblpfEnum(WidebandFilterSelect /*value*/) {}

private:
    std::uint32_t samplingRate_Hz_ = 0;
    std::uint32_t ssiInterfaceRate_Hz_ = 0;
    bool ssiRateFollowsSamplingRate_ = true;
};

// SSI data formats and their bits per sample; 5 and 6 are receive only.
std::uint32_t SsiBitsPerSample_Get(vx_marlin_SsiDataFormat format);

template <typename P>
class DataPathAdapter : public ChannelBlueprint {
public:
    P dataPath;

protected:
    void wblpfEnum(WidebandFilterSelect value) override { dataPath.wblpfEnum(value); }
};

class RxChannelBlueprint : public DataPathAdapter<RxPath> {
public:
    RxChannelBlueprint() { channelFilterType = ChannelFilterType::LOOK_UP; }

    vx_marlin_AdcType adcType = 1;
    std::uint32_t analogFilterCorner_kHz = 40000;
    AnalogFilterOrder analogFilterOrder = AnalogFilterOrder::ORDER_1;
    vx_marlin_RxSignalType channelSignalType = 0;
    RxChannelSignalSetup channelSignalSetup = RxChannelSignalSetup::NONE;
    std::uint32_t frequencyDeviation_Hz = 0;
    vx_marlin_RxGainTableType gainTableType = 0;
    std::int32_t intermediateFrequency_Hz = 0;
    bool ncoEnable = false;
    vx_marlin_RxRfInputSel rfInput = 0;
};

// Transmit signal types the model tests.
namespace TxSignalType {
inline constexpr vx_marlin_TxSignalType IQ = 0;
inline constexpr vx_marlin_TxSignalType IQ_FM_FSK = 1;
inline constexpr vx_marlin_TxSignalType DIRECT_FM_FSK = 2;
}  // namespace TxSignalType

class TxChannelBlueprint : public DataPathAdapter<TxPath> {
public:
    ChannelFilterInterpolation channelFilterInterpolation = ChannelFilterInterpolation::INTERPOLATE_BY_1;
    ElbType elbType = ElbType::DISABLED;
    std::uint32_t frequencyDeviation_Hz = 0;
    AdcRate loopBackAdcRate = AdcRate::HIGH;
    bool orxEnabled = false;
    std::int16_t peakLoopbackPower_dBm = 0;
    vx_marlin_SsiTxRefClockPin ssiRefClockPin = 1;
    // Internal, not serialised: set by the filter designer's preparation and
    // handed to the receivers derived for observation and loop-back.
    std::uint32_t loopBackAnalogFilterCorner_Hz = 0;
    AnalogFilterOrder loopBackAnalogFilterOrder = AnalogFilterOrder::ORDER_1;
    std::uint32_t int3Factor = 1;

    // Direct FM/FSK (2) also marks stage 24 of the data path for the design.
    vx_marlin_TxSignalType channelSignalType() const { return channelSignalType_; }
    void channelSignalType(vx_marlin_TxSignalType value);

private:
    vx_marlin_TxSignalType channelSignalType_ = TxSignalType::IQ;
};

}  // namespace Veltrix::Marlin::Native
