#pragma once
// Handles of a blueprint's children: an external LO input and the receive and
// transmit channel blueprints. Each copies its engine object by value; their
// properties are the engine records' serialised fields, data paths included.

#include <cstdint>
#include <type_traits>
#include <utility>

#include "host/Managed.h"
#include "host/Types.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/blueprint/BlueprintFields.h"

namespace Veltrix::Marlin {

// A property for every entry of an engine record's field list.
#define PLOVER_HOST_VALUE(name, rule) PLOVER_FIELD_PROPERTY(decltype(Engine::name), name)
#define PLOVER_HOST_PROPERTY(name, rule) \
    PLOVER_ACCESSOR_PROPERTY(std::remove_cvref_t<decltype(std::declval<const Engine&>().name())>, name)

class LoExternalBlueprint : public Managed<Native::LoExternalBlueprint> {
    using Engine = Native::LoExternalBlueprint;

public:
    using Managed::Managed;

    PLOVER_LO_EXTERNAL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
};

class RxChannelBlueprint : public Managed<Native::RxChannelBlueprint> {
    using Engine = Native::RxChannelBlueprint;

public:
    using Managed::Managed;

    PLOVER_RX_CHANNEL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

class TxChannelBlueprint : public Managed<Native::TxChannelBlueprint> {
    using Engine = Native::TxChannelBlueprint;

public:
    using Managed::Managed;

    PLOVER_TX_CHANNEL_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    OperationalBandwidth operationalBandwidth() const { return Object().operationalBandwidth(); }
};

}  // namespace Veltrix::Marlin
