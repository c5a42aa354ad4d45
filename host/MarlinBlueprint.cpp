#include "host/MarlinBlueprint.h"

#include <stdexcept>

namespace Veltrix::Marlin {

namespace {

// Numbers 1 and 2 to indices 0 and 1; anything else is the caller's mistake.
std::size_t IndexOf(std::int32_t number, const char* message)
{
    if (number != 1 && number != 2) {
        throw std::invalid_argument(message);
    }
    return static_cast<std::size_t>(number - 1);
}

constexpr const char* LoNumberMessage = "LO number not recognized.";
constexpr const char* ChannelNumberMessage = "Channel number not recognized.";

// The IDs a blueprint handle knows, in the order they are tried.
constexpr std::array<const char*, 6> KnownFeatureIds{"ExternalLna", "DynamicProfile", "FH",
                                                     "MCS",         "MMSync",         "RxPortImpedanceControl"};

// A child the host disposed cannot be copied in; say so instead of crashing.
template <typename H>
const auto& EngineOf(const H& child)
{
    if (child.GetInstance() == nullptr) {
        throw std::logic_error("The handle has been disposed.");
    }
    return *child.GetInstance();
}

}  // namespace

MarlinBlueprint::MarlinBlueprint(const Native::MarlinBlueprint* blueprint) : Managed(blueprint)
{
    ChildrenFromNative();
}

Native::MarlinBlueprint& MarlinBlueprint::ToNative()
{
    Native::MarlinBlueprint& native = Object();
    native.loExternal1 = EngineOf(loExternal_[0]);
    native.loExternal2 = EngineOf(loExternal_[1]);
    native.rxChannel1 = EngineOf(rxChannel_[0]);
    native.rxChannel2 = EngineOf(rxChannel_[1]);
    native.txChannel1 = EngineOf(txChannel_[0]);
    native.txChannel2 = EngineOf(txChannel_[1]);
    return native;
}

void MarlinBlueprint::ChildrenFromNative()
{
    const Native::MarlinBlueprint& native = Object();
    loExternal_ = {LoExternalBlueprint(native.loExternal1), LoExternalBlueprint(native.loExternal2)};
    rxChannel_ = {RxChannelBlueprint(native.rxChannel1), RxChannelBlueprint(native.rxChannel2)};
    txChannel_ = {TxChannelBlueprint(native.txChannel1), TxChannelBlueprint(native.txChannel2)};
}

LoExternalBlueprint& MarlinBlueprint::LoExternals_Get(std::int32_t loNumber)
{
    return loExternal_[IndexOf(loNumber, LoNumberMessage)];
}

void MarlinBlueprint::LoExternals_Set(const LoExternalBlueprint& loExternal, std::int32_t loNumber)
{
    loExternal_[IndexOf(loNumber, LoNumberMessage)] = loExternal;
}

RxChannelBlueprint& MarlinBlueprint::RxChannels_Get(std::int32_t channelNumber)
{
    return rxChannel_[IndexOf(channelNumber, ChannelNumberMessage)];
}

void MarlinBlueprint::RxChannels_Set(const RxChannelBlueprint& rxChannel, std::int32_t channelNumber)
{
    rxChannel_[IndexOf(channelNumber, ChannelNumberMessage)] = rxChannel;
}

TxChannelBlueprint& MarlinBlueprint::TxChannels_Get(std::int32_t channelNumber)
{
    return txChannel_[IndexOf(channelNumber, ChannelNumberMessage)];
}

void MarlinBlueprint::TxChannels_Set(const TxChannelBlueprint& txChannel, std::int32_t channelNumber)
{
    txChannel_[IndexOf(channelNumber, ChannelNumberMessage)] = txChannel;
}

bool MarlinBlueprint::isViable()
{
    return ToNative().isViable();
}

bool MarlinBlueprint::isDesigned()
{
    return ToNative().isDesigned();
}

void MarlinBlueprint::Save(const std::string& filename)
{
    ToNative().Save(filename);
}

std::string MarlinBlueprint::SaveToString()
{
    return ToNative().SaveToString();
}

void MarlinBlueprint::Load(const std::string& filename)
{
    Native::MarlinBlueprint fresh;
    fresh.Load(filename);
    Object() = fresh;
    ChildrenFromNative();
}

void MarlinBlueprint::LoadFromString(const std::string& contents)
{
    Native::MarlinBlueprint read;
    read.LoadFromString(contents);
    Native::BlueprintSettings_Copy(read, Object());
    ChildrenFromNative();
}

std::int8_t MarlinBlueprint::LoMapping_Get(LoMapping& mapping)
{
    return ToNative().LoMapping_Get(mapping);
}

std::int8_t MarlinBlueprint::LoMapping_Overwrite(LoMapping& mapping)
{
    return Object().LoMapping_Overwrite(mapping);
}

std::int8_t MarlinBlueprint::LoMapping_Clear()
{
    return Object().LoMapping_Clear();
}

std::int8_t MarlinBlueprint::SupportedInitCalMask_Get(InitCalMask& mask)
{
    return ToNative().SupportedInitCalMask_Get(mask);
}

std::int8_t MarlinBlueprint::SupportedTrackingCalMask_Get(TrackingCalMask& mask)
{
    return ToNative().SupportedTrackingCalMask_Get(mask);
}

std::int8_t MarlinBlueprint::RequiresTwoStageInitCal_Get(bool& required)
{
    return ToNative().RequiresTwoStageInitCal_Get(required);
}

void MarlinBlueprint::Features_Clear()
{
    Object().Features_Clear();
}

void MarlinBlueprint::Feature_Disable(const std::string& featureId)
{
    Object().Feature_Disable(featureId);
}

std::uint8_t MarlinBlueprint::Feature_Enable(const Feature& feature)
{
    const std::string id = feature.ID();
    for (const char* known : KnownFeatureIds) {
        if (id != known) {
            continue;
        }
        // The features check and adjust the blueprint as the host has edited
        // it, so the children go in first; what a feature changes (the
        // monitor-mode-sync interface rates) comes back out to them.
        const std::uint8_t status = ToNative().Feature_Enable(feature.SharedCopy());
        ChildrenFromNative();
        return status;
    }
    return 255;
}

}  // namespace Veltrix::Marlin
