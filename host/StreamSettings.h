#pragma once
/// @file
/// The stream settings handle: the switches and delay codes the stream
/// templates are read with.

#include <cstdint>
#include <string>

#include "host/Managed.h"
#include "streams/MarlinSettings.h"

namespace Veltrix::Marlin {

/// The host's record of the stream settings, field for field as StreamSettings
/// (see there for each field's meaning).
///
/// Delay codes are 16-bit stream delays: with bit 15 (0x8000) set the low 15
/// bits count microseconds, otherwise processor-clock cycles
/// (Profile::NanoSecondsToStreamDelay makes them).
struct StreamSettingsRecord {
    bool tx1IntLo = false;                  ///< Tx 1 on an internal LO.
    bool tx1FMDM = false;                   ///< Tx 1 output signalling is FM/DM.
    bool tx2IntLo = false;                  ///< Tx 2 on an internal LO.
    bool tx2FMDM = false;                   ///< Tx 2 output signalling is FM/DM.
    bool rx1IntLo = false;                  ///< Rx 1 on an internal LO.
    bool rx1A = false;                      ///< Rx 1 uses RF input A.
    bool rx2IntLo = false;                  ///< Rx 2 on an internal LO.
    bool rx2A = false;                      ///< Rx 2 uses RF input A.
    std::uint16_t pll1LockWait = 0;         ///< Delay code: RF PLL 1 lock wait (0 for an external LO).
    std::uint16_t pll2LockWait = 0;         ///< Delay code: RF PLL 2 lock wait (0 for an external LO).
    std::uint16_t pllPhaseSyncWait = 0;     ///< Delay code: PLL phase-sync wait.
    std::uint16_t ldoPowerUpWait = 0;       ///< Delay code: LDO power-up wait.
    std::uint16_t delay_80ns = 0;           ///< Delay code for 80 ns.
    std::uint16_t delay_1us = 0;            ///< Delay code for 1 µs.
    bool rx1PortImpedanceControl = false;   ///< Impedance control on the receive 1 port.
    bool rx2PortImpedanceControl = false;   ///< Impedance control on the receive 2 port.

    /// Field-by-field equality.
    bool operator==(const StreamSettingsRecord&) const = default;
};

/// The stream settings of a designed profile (Profile::StreamSettings_Get):
/// each switch keeps or comments out a group of template lines, each delay
/// code replaces one token of the templates.
///
/// Delay codes are 16-bit stream delays: with bit 15 (0x8000) set the low 15
/// bits count microseconds (0x80C8 is 200 µs), otherwise processor-clock
/// cycles. A default-constructed handle holds 750 µs lock waits, 200 µs
/// phase-sync and LDO waits and the cycle counts of a 184.32 MHz processor
/// clock.
///
/// @code
/// Veltrix::Marlin::StreamSettings settings;
/// profile.StreamSettings_Get(settings);
/// settings.pll1LockWait(0x8000 | 1000);  // wait 1000 µs instead
/// std::string text = settings.SaveToString();
/// @endcode
class StreamSettings : public Managed<Runnel::MarlinSettings> {
public:
    using Managed::Managed;

    /// Tx 1 runs on an internal LO.
    PLOVER_ACCESSOR_PROPERTY(bool, tx1IntLo)
    /// Tx 1 output signalling is FM/DM.
    PLOVER_ACCESSOR_PROPERTY(bool, tx1FMDM)
    /// Tx 2 runs on an internal LO.
    PLOVER_ACCESSOR_PROPERTY(bool, tx2IntLo)
    /// Tx 2 output signalling is FM/DM.
    PLOVER_ACCESSOR_PROPERTY(bool, tx2FMDM)
    /// Rx 1 runs on an internal LO.
    PLOVER_ACCESSOR_PROPERTY(bool, rx1IntLo)
    /// Rx 1 uses RF input A.
    PLOVER_ACCESSOR_PROPERTY(bool, rx1A)
    /// Rx 2 runs on an internal LO.
    PLOVER_ACCESSOR_PROPERTY(bool, rx2IntLo)
    /// Rx 2 uses RF input A.
    PLOVER_ACCESSOR_PROPERTY(bool, rx2A)
    /// Delay code: RF PLL 1 lock wait (0 when that PLL's LO is external).
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pll1LockWait)
    /// Delay code: RF PLL 2 lock wait (0 when that PLL's LO is external).
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pll2LockWait)
    /// Delay code: PLL phase-sync wait.
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, pllPhaseSyncWait)
    /// Delay code: LDO power-up wait.
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, ldoPowerUpWait)
    /// Delay code for 80 ns at the profile's processor clock.
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, delay_80ns)
    /// Delay code for 1 µs at the profile's processor clock.
    PLOVER_ACCESSOR_PROPERTY(std::uint16_t, delay_1us)
    /// Impedance control on the receive 1 port.
    PLOVER_ACCESSOR_PROPERTY(bool, rx1PortImpedanceControl)
    /// Impedance control on the receive 2 port.
    PLOVER_ACCESSOR_PROPERTY(bool, rx2PortImpedanceControl)

    /// Every setting as a plain record; std::logic_error on a disposed handle.
    StreamSettingsRecord GetManaged() const;
    /// The text of the stream settings file.
    std::string SaveToString() const { return Object().SaveToString(); }

    /// A JSON Schema (draft 2020-12) of the stream-settings file, made from the
    /// field list the reader and writer use; indented text ending in a newline.
    static std::string JsonSchema_Get();
};

}  // namespace Veltrix::Marlin
