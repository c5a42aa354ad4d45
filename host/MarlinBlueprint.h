#pragma once
/// @file
/// The blueprint handle. Its six child handles are the authoritative copies
/// while the host edits them: every operation that reads the engine blueprint
/// first copies them in (ToNative), and every load rebuilds them.

#include <array>
#include <cstdint>
#include <string>

#include "host/ChannelBlueprints.h"
#include "host/Features.h"
#include "host/Managed.h"
#include "host/Types.h"
#include "plover/blueprint/Blueprint.h"

namespace Veltrix::Marlin {

/// The radio you ask for: which receive and transmit channels, at which rates
/// and bandwidths, with which SSI settings, LO sources, duplex mode and
/// features. Its six child handles (two external LOs, two Rx, two Tx) are the
/// authoritative copies while you edit them.
///
/// Scalar settings are properties named as in the blueprint file (for example
/// `duplex()`, `adcRate()`, `deviceClockInput_kHz()`, `diversity()`,
/// `processorClockDivisor()`), one getter and one setter each.
///
/// @code
/// using namespace Veltrix::Marlin;
/// MarlinBlueprint blueprint;
/// blueprint.Load("examples/lte-20mhz-2t2r-tdd.json");  // std::runtime_error when unreadable
/// blueprint.rxChannel1().samplingRate_Hz(61440000);
/// blueprint.rxChannel1().rfChannelBandwidth_Hz(40000000);
/// blueprint.duplex(Duplex::FDD);
/// if (!blueprint.isViable()) { /* ErrorHandler::Messages() says why */ }
/// blueprint.Save("mine.json");
/// @endcode
class MarlinBlueprint : public Managed<Native::MarlinBlueprint> {
public:
    /// Every setting at its default; no channel enabled.
    MarlinBlueprint() = default;
    /// Copies the engine blueprint and builds the children from it.
    explicit MarlinBlueprint(const Native::MarlinBlueprint* blueprint);

    /// Copies the children into the engine blueprint (LO 1, LO 2, Rx 1, Rx 2,
    /// Tx 1, Tx 2) and returns it.
    Native::MarlinBlueprint& ToNative();

    /// External LO input 1, edited in place.
    LoExternalBlueprint& loExternal1() { return loExternal_[0]; }
    /// External LO input 2, edited in place.
    LoExternalBlueprint& loExternal2() { return loExternal_[1]; }
    /// Receive channel 1, edited in place.
    RxChannelBlueprint& rxChannel1() { return rxChannel_[0]; }
    /// Receive channel 2, edited in place.
    RxChannelBlueprint& rxChannel2() { return rxChannel_[1]; }
    /// Transmit channel 1, edited in place.
    TxChannelBlueprint& txChannel1() { return txChannel_[0]; }
    /// Transmit channel 2, edited in place.
    TxChannelBlueprint& txChannel2() { return txChannel_[1]; }
    /// Replaces external LO input 1 with a copy of value.
    void loExternal1(const LoExternalBlueprint& value) { loExternal_[0] = value; }
    /// Replaces external LO input 2 with a copy of value.
    void loExternal2(const LoExternalBlueprint& value) { loExternal_[1] = value; }
    /// Replaces receive channel 1 with a copy of value.
    void rxChannel1(const RxChannelBlueprint& value) { rxChannel_[0] = value; }
    /// Replaces receive channel 2 with a copy of value.
    void rxChannel2(const RxChannelBlueprint& value) { rxChannel_[1] = value; }
    /// Replaces transmit channel 1 with a copy of value.
    void txChannel1(const TxChannelBlueprint& value) { txChannel_[0] = value; }
    /// Replaces transmit channel 2 with a copy of value.
    void txChannel2(const TxChannelBlueprint& value) { txChannel_[1] = value; }

    /// By number 1 or 2; other numbers throw std::invalid_argument with
    /// "LO number not recognized." or "Channel number not recognized.".
    LoExternalBlueprint& LoExternals_Get(std::int32_t loNumber);
    /// Replaces external LO input 1 or 2 with a copy (other numbers as above).
    void LoExternals_Set(const LoExternalBlueprint& loExternal, std::int32_t loNumber);
    /// Receive channel 1 or 2, edited in place (other numbers as above).
    RxChannelBlueprint& RxChannels_Get(std::int32_t channelNumber);
    /// Replaces receive channel 1 or 2 with a copy (other numbers as above).
    void RxChannels_Set(const RxChannelBlueprint& rxChannel, std::int32_t channelNumber);
    /// Transmit channel 1 or 2, edited in place (other numbers as above).
    TxChannelBlueprint& TxChannels_Get(std::int32_t channelNumber);
    /// Replaces transmit channel 1 or 2 with a copy (other numbers as above).
    void TxChannels_Set(const TxChannelBlueprint& txChannel, std::int32_t channelNumber);

    /// The engine class behind the handle.
    using Engine = Native::MarlinBlueprint;
    PLOVER_BLUEPRINT_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    /// When the normal search finds no design, try system clocks down to
    /// 150 MHz as well.
    PLOVER_FIELD_PROPERTY(bool, expandedSearchEnable)
    /// Whether the blueprint can be designed: a quick search without the
    /// filters' responses; the reasons for false are report lines.
    bool isViable();
    /// Every enabled channel already carries a designed data path.
    bool isDesigned();

    /// Writes the blueprint file (the children copied in first), atomically;
    /// when it cannot be written it records an ERROR line and returns
    /// normally, so check ErrorHandler::ErrorCount() around it.
    void Save(const std::string& filename);
    /// Reads a blueprint file and replaces the whole engine blueprint
    /// (features included). A file that cannot be opened, is not a regular
    /// file or is too large records an ERROR line and throws
    /// std::runtime_error; text the reader refuses throws as well (see
    /// Blueprint_CheckKeys for a person's file). On a throw the handle is
    /// unchanged.
    void Load(const std::string& filename);
    /// Takes the channels and scalar settings of the text and keeps the
    /// features; throws as Load for text it refuses, leaving the handle
    /// unchanged.
    void LoadFromString(const std::string& contents);
    /// The text Save writes.
    std::string SaveToString();

    /// Which LO serves each channel: the pinned mapping when one was set
    /// (LoMapping_Overwrite), otherwise derived from the channels, the duplex
    /// mode and the enabled features. 0, or -1 after an ERROR line
    /// ("Invalid System Duplex.  Must be TDD, FDD or TDM_FDD.", "Invalid LO
    /// Mapping.", ...).
    std::int8_t LoMapping_Get(LoMapping& mapping);
    /// Pins mapping as the LO mapping until LoMapping_Clear; always 0.
    std::int8_t LoMapping_Overwrite(LoMapping& mapping);
    /// Drops a pinned LO mapping; always 0.
    std::int8_t LoMapping_Clear();
    /// The initial calibrations this blueprint supports; 0, or the failing
    /// status (after an ERROR line) of the LO mapping or a feature.
    std::int8_t SupportedInitCalMask_Get(InitCalMask& mask);
    /// The tracking calibrations this blueprint supports; statuses as
    /// SupportedInitCalMask_Get.
    std::int8_t SupportedTrackingCalMask_Get(TrackingCalMask& mask);
    /// Whether the initial calibrations must run in two stages; statuses as
    /// SupportedInitCalMask_Get.
    std::int8_t RequiresTwoStageInitCal_Get(bool& required);

    /// Disables every feature.
    void Features_Clear();
    /// Disables the feature of that ID; an ID not enabled changes nothing.
    void Feature_Disable(const std::string& featureId);
    /// Enables a feature of one of the six known IDs and returns the engine's
    /// status; any other ID returns 255 and changes nothing.
    std::uint8_t Feature_Enable(const Feature& feature);

private:
    /// Takes the children back from the engine blueprint.
    void ChildrenFromNative();

    std::array<LoExternalBlueprint, 2> loExternal_;
    std::array<RxChannelBlueprint, 2> rxChannel_;
    std::array<TxChannelBlueprint, 2> txChannel_;
};

}  // namespace Veltrix::Marlin
