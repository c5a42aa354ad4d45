#pragma once
// Handles of a blueprint's children: an external LO input and the receive and
// transmit channel blueprints. Each copies its engine object by value.

#include <cstdint>

#include "host/Managed.h"
#include "host/Types.h"
#include "plover/blueprint/Blueprint.h"

namespace Veltrix::Marlin {

class LoExternalBlueprint : public Managed<Native::LoExternalBlueprint> {
public:
    using Managed::Managed;

    PLOVER_FIELD_PROPERTY(std::uint16_t, loDivisor)
    PLOVER_FIELD_PROPERTY(std::int32_t, loSignalingType)
};

class RxChannelBlueprint : public Managed<Native::RxChannelBlueprint> {
public:
    using Managed::Managed;

    PLOVER_FIELD_PROPERTY(std::int32_t, adcType)
    PLOVER_FIELD_PROPERTY(std::uint32_t, analogFilterCorner_kHz)
    PLOVER_FIELD_PROPERTY(AnalogFilterOrder, analogFilterOrder)
    PLOVER_FIELD_PROPERTY(ChannelFilterCoefficients, channelFilter)
    PLOVER_FIELD_PROPERTY(ChannelFilterType, channelFilterType)
    PLOVER_FIELD_PROPERTY(RxChannelSignalSetup, channelSignalSetup)
    PLOVER_FIELD_PROPERTY(std::int32_t, channelSignalType)
    PLOVER_FIELD_PROPERTY(bool, enabled)
    PLOVER_FIELD_PROPERTY(std::uint32_t, frequencyDeviation_Hz)
    PLOVER_FIELD_PROPERTY(bool, frequencyOffsetCorrectionEnable)
    PLOVER_FIELD_PROPERTY(std::int32_t, gainTableType)
    PLOVER_FIELD_PROPERTY(std::int32_t, intermediateFrequency_Hz)
    PLOVER_FIELD_PROPERTY(LoSource, loSource)
    PLOVER_FIELD_PROPERTY(std::int32_t, lowPassFilterPower)
    PLOVER_FIELD_PROPERTY(bool, ncoEnable)
    PLOVER_FIELD_PROPERTY(std::uint32_t, rfChannelBandwidth_Hz)
    PLOVER_FIELD_PROPERTY(std::int32_t, rfInput)
    PLOVER_ACCESSOR_PROPERTY(std::uint32_t, samplingRate_Hz)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiDataFormat)
    PLOVER_FIELD_PROPERTY(SsiDataRate, ssiDataRate)
    PLOVER_ACCESSOR_PROPERTY(std::uint32_t, ssiInterfaceRate_Hz)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiNumLane)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiStrobeType)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiType)
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

class TxChannelBlueprint : public Managed<Native::TxChannelBlueprint> {
public:
    using Managed::Managed;

    PLOVER_FIELD_PROPERTY(ChannelFilterCoefficients, channelFilter)
    PLOVER_FIELD_PROPERTY(ChannelFilterInterpolation, channelFilterInterpolation)
    PLOVER_FIELD_PROPERTY(ChannelFilterType, channelFilterType)
    PLOVER_ACCESSOR_PROPERTY(std::int32_t, channelSignalType)
    PLOVER_FIELD_PROPERTY(ElbType, elbType)
    PLOVER_FIELD_PROPERTY(bool, enabled)
    PLOVER_FIELD_PROPERTY(std::uint32_t, frequencyDeviation_Hz)
    PLOVER_FIELD_PROPERTY(bool, frequencyOffsetCorrectionEnable)
    PLOVER_FIELD_PROPERTY(LoSource, loSource)
    PLOVER_FIELD_PROPERTY(std::int32_t, lowPassFilterPower)
    PLOVER_FIELD_PROPERTY(bool, orxEnabled)
    PLOVER_FIELD_PROPERTY(std::int16_t, peakLoopbackPower_dBm)
    PLOVER_FIELD_PROPERTY(std::uint32_t, rfChannelBandwidth_Hz)
    PLOVER_ACCESSOR_PROPERTY(std::uint32_t, samplingRate_Hz)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiDataFormat)
    PLOVER_FIELD_PROPERTY(SsiDataRate, ssiDataRate)
    PLOVER_ACCESSOR_PROPERTY(std::uint32_t, ssiInterfaceRate_Hz)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiNumLane)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiRefClockPin)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiStrobeType)
    PLOVER_FIELD_PROPERTY(std::int32_t, ssiType)
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

}  // namespace Veltrix::Marlin
