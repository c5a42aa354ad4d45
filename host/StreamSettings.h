#pragma once
// The stream settings handle: the switches and delay codes the stream
// templates are read with.

#include <cstdint>
#include <string>

#include "host/Managed.h"
#include "streams/MarlinSettings.h"

namespace Veltrix::Marlin {

// The host's record of the stream settings, field for field.
struct StreamSettingsRecord {
    bool tx1IntLo = false;
    bool tx1FMDM = false;
    bool tx2IntLo = false;
    bool tx2FMDM = false;
    bool rx1IntLo = false;
    bool rx1A = false;
    bool rx2IntLo = false;
    bool rx2A = false;
    std::uint16_t pll1LockWait = 0;
    std::uint16_t pll2LockWait = 0;
    std::uint16_t pllPhaseSyncWait = 0;
    std::uint16_t ldoPowerUpWait = 0;
    std::uint16_t delay_80ns = 0;
    std::uint16_t delay_1us = 0;
    bool rx1PortImpedanceControl = false;
    bool rx2PortImpedanceControl = false;

    bool operator==(const StreamSettingsRecord&) const = default;
};

class StreamSettings : public Managed<Runnel::MarlinSettings> {
public:
    using Managed::Managed;

    PLOVER_ACCESSOR_PROPERTY(bool, tx1IntLo)
    PLOVER_ACCESSOR_PROPERTY(bool, tx1FMDM)
    PLOVER_ACCESSOR_PROPERTY(bool, tx2IntLo)
    PLOVER_ACCESSOR_PROPERTY(bool, tx2FMDM)
    PLOVER_ACCESSOR_PROPERTY(bool, rx1IntLo)
    PLOVER_ACCESSOR_PROPERTY(bool, rx1A)
    PLOVER_ACCESSOR_PROPERTY(bool, rx2IntLo)
    PLOVER_ACCESSOR_PROPERTY(bool, rx2A)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pll1LockWait)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pll2LockWait)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pllPhaseSyncWait)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, ldoPowerUpWait)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, delay_80ns)
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, delay_1us)
    PLOVER_ACCESSOR_PROPERTY(bool, rx1PortImpedanceControl)
    PLOVER_ACCESSOR_PROPERTY(bool, rx2PortImpedanceControl)

    StreamSettingsRecord GetManaged() const;
    // The text of the stream settings file.
    std::string SaveToString() const { return Object().SaveToString(); }

    // A JSON Schema (draft 2020-12) of the stream-settings file, made from the
    // field list the reader and writer use.
    static std::string JsonSchema_Get();
};

}  // namespace Veltrix::Marlin
