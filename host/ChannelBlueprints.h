#pragma once
/// @file
/// Handles of a blueprint's children: an external LO input and the receive and
/// transmit channel blueprints. Each copies its engine object by value; their
/// properties are the engine records' serialised fields, data paths included.

#include <cstdint>
#include <type_traits>
#include <utility>

#include "host/Managed.h"
#include "host/Types.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/blueprint/BlueprintFields.h"

namespace Veltrix::Marlin {

/// A property over a public field of the engine record, for one entry of
/// its field list.
#define PLOVER_HOST_VALUE(name, rule) PLOVER_FIELD_PROPERTY(decltype(Engine::name), name)
/// A property over a getter/setter pair of the engine record, for one entry
/// of its field list.
#define PLOVER_HOST_PROPERTY(name, rule) \
    PLOVER_ACCESSOR_PROPERTY(std::remove_cvref_t<decltype(std::declval<const Engine&>().name())>, name)

/// An external LO input of a blueprint (the blueprint file's `loExternal1`
/// and `loExternal2` objects). Properties, one getter `T name() const` and one
/// setter `void name(T)` per field of the file: `loDivisor`,
/// `loSignalingType` (0..1).
class LoExternalBlueprint : public Managed<Native::LoExternalBlueprint> {
    using Engine = Native::LoExternalBlueprint;

public:
    using Managed::Managed;

    PLOVER_LO_EXTERNAL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
};

/// A receive channel of a blueprint (the blueprint file's `rxChannel1` and
/// `rxChannel2` objects). Properties, one getter `T name() const` and one
/// setter `void name(T)` per field of the file, with the file's names and
/// units: `enabled`, `samplingRate_Hz`, `rfChannelBandwidth_Hz`,
/// `ssiInterfaceRate_Hz`, `ssiType`, `ssiDataFormat`, `ssiDataRate`,
/// `ssiNumLane`, `ssiStrobeType`, `loSource`, `channelFilter`,
/// `channelFilterType`, `frequencyOffsetCorrectionEnable`,
/// `lowPassFilterPower`, `adcType`, `analogFilterCorner_kHz`,
/// `analogFilterOrder`, `channelSignalSetup`, `channelSignalType`,
/// `dataPath`, `frequencyDeviation_Hz`, `gainTableType`,
/// `intermediateFrequency_Hz`, `ncoEnable`, `rfInput`. The setters store
/// the value; the design checks it. The SSI interface rate follows the
/// sampling rate until `ssiInterfaceRate_Hz` is set on its own.
///
/// @code
/// auto& rx = blueprint.rxChannel1();
/// rx.enabled(1);
/// rx.samplingRate_Hz(30720000);
/// rx.rfChannelBandwidth_Hz(20000000);
/// @endcode
class RxChannelBlueprint : public Managed<Native::RxChannelBlueprint> {
    using Engine = Native::RxChannelBlueprint;

public:
    using Managed::Managed;

    PLOVER_RX_CHANNEL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    /// WIDE for an RF bandwidth of 1 MHz or more, NARROW below.
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

/// A transmit channel of a blueprint (the blueprint file's `txChannel1` and
/// `txChannel2` objects). Properties, one getter `T name() const` and one
/// setter `void name(T)` per field of the file, with the file's names and
/// units: `enabled`, `samplingRate_Hz`, `rfChannelBandwidth_Hz`,
/// `ssiInterfaceRate_Hz`, `ssiType`, `ssiDataFormat`, `ssiDataRate`,
/// `ssiNumLane`, `ssiStrobeType`, `loSource`, `channelFilter`,
/// `channelFilterType`, `frequencyOffsetCorrectionEnable`,
/// `lowPassFilterPower`, `channelFilterInterpolation`, `dataPath`,
/// `channelSignalType`, `elbType`, `frequencyDeviation_Hz`, `orxEnabled`,
/// `peakLoopbackPower_dBm`, `ssiRefClockPin`. The setters store the value;
/// the design checks it. The SSI interface rate follows the sampling rate
/// until `ssiInterfaceRate_Hz` is set on its own.
class TxChannelBlueprint : public Managed<Native::TxChannelBlueprint> {
    using Engine = Native::TxChannelBlueprint;

public:
    using Managed::Managed;

    PLOVER_TX_CHANNEL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    /// WIDE for an RF bandwidth of 1 MHz or more, NARROW below.
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

}  // namespace Veltrix::Marlin
