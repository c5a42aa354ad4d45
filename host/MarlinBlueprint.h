#pragma once
// The blueprint handle. Its six child handles are the authoritative copies
// while the host edits them: every operation that reads the engine blueprint
// first copies them in (ToNative), and every load rebuilds them.

#include <array>
#include <cstdint>
#include <string>

#include "host/ChannelBlueprints.h"
#include "host/Features.h"
#include "host/Managed.h"
#include "host/Types.h"
#include "plover/blueprint/Blueprint.h"

namespace Veltrix::Marlin {

class MarlinBlueprint : public Managed<Native::MarlinBlueprint> {
public:
    MarlinBlueprint() = default;
    // Copies the engine blueprint and builds the children from it.
    explicit MarlinBlueprint(const Native::MarlinBlueprint* blueprint);

    // Copies the children into the engine blueprint (LO 1, LO 2, Rx 1, Rx 2,
    // Tx 1, Tx 2) and returns it.
    Native::MarlinBlueprint& ToNative();

    LoExternalBlueprint& loExternal1() { return loExternal_[0]; }
    LoExternalBlueprint& loExternal2() { return loExternal_[1]; }
    RxChannelBlueprint& rxChannel1() { return rxChannel_[0]; }
    RxChannelBlueprint& rxChannel2() { return rxChannel_[1]; }
    TxChannelBlueprint& txChannel1() { return txChannel_[0]; }
    TxChannelBlueprint& txChannel2() { return txChannel_[1]; }
    void loExternal1(const LoExternalBlueprint& value) { loExternal_[0] = value; }
    void loExternal2(const LoExternalBlueprint& value) { loExternal_[1] = value; }
    void rxChannel1(const RxChannelBlueprint& value) { rxChannel_[0] = value; }
    void rxChannel2(const RxChannelBlueprint& value) { rxChannel_[1] = value; }
    void txChannel1(const TxChannelBlueprint& value) { txChannel_[0] = value; }
    void txChannel2(const TxChannelBlueprint& value) { txChannel_[1] = value; }

    // By number 1 or 2; other numbers throw std::invalid_argument with
    // "LO number not recognized." or "Channel number not recognized.".
    LoExternalBlueprint& LoExternals_Get(std::int32_t loNumber);
    void LoExternals_Set(const LoExternalBlueprint& loExternal, std::int32_t loNumber);
    RxChannelBlueprint& RxChannels_Get(std::int32_t channelNumber);
    void RxChannels_Set(const RxChannelBlueprint& rxChannel, std::int32_t channelNumber);
    TxChannelBlueprint& TxChannels_Get(std::int32_t channelNumber);
    void TxChannels_Set(const TxChannelBlueprint& txChannel, std::int32_t channelNumber);

    using Engine = Native::MarlinBlueprint;
    PLOVER_BLUEPRINT_FIELDS(PLOVER_HOST_VALUE, PLOVER_HOST_PROPERTY, PLOVER_FIELDS_SKIP)
    PLOVER_FIELD_PROPERTY(bool, expandedSearchEnable)
    bool isViable();
    bool isDesigned();

    // The engine's blueprint file operations. Load replaces the whole engine
    // blueprint (features included); LoadFromString takes the channels and
    // scalar settings of the text and keeps the features. On a throw the
    // handle is unchanged.
    void Save(const std::string& filename);
    void Load(const std::string& filename);
    void LoadFromString(const std::string& contents);
    // The text Save writes.
    std::string SaveToString();

    std::int8_t LoMapping_Get(LoMapping& mapping);
    std::int8_t LoMapping_Overwrite(LoMapping& mapping);
    std::int8_t LoMapping_Clear();
    std::int8_t SupportedInitCalMask_Get(InitCalMask& mask);
    std::int8_t SupportedTrackingCalMask_Get(TrackingCalMask& mask);
    std::int8_t RequiresTwoStageInitCal_Get(bool& required);

    void Features_Clear();
    void Feature_Disable(const std::string& featureId);
    // Enables a feature of one of the six known IDs and returns the engine's
    // status; any other ID returns 255 and changes nothing.
    std::uint8_t Feature_Enable(const Feature& feature);

private:
    // Takes the children back from the engine blueprint.
    void ChildrenFromNative();

    std::array<LoExternalBlueprint, 2> loExternal_;
    std::array<RxChannelBlueprint, 2> rxChannel_;
    std::array<TxChannelBlueprint, 2> txChannel_;
};

}  // namespace Veltrix::Marlin
