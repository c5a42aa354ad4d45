#include "plover/features/FrequencyHoppingFeature.h"

#include "plover/blueprint/Blueprint.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

namespace {

// Tracking calibrations that cannot run between hops (bits 0-3, 8, 10, 11, 20),
// the one hopping adds (bit 4), and the one that must save its settings
// within a frame (bit 21).
constexpr std::uint32_t HopTrackingKeep = 0xFFEFECF0;
constexpr std::uint32_t HopTrackingAdd = 0x10;
constexpr std::uint32_t SaveSettingsTrackingClear = 0xFFDFFFFF;

std::int8_t Refuse(const char* text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::FrequencyHoppingFeatureHeader, line);
    return -1;
}

}  // namespace

std::int8_t FrequencyHoppingFeature::Blueprint_Update(MarlinBlueprint& blueprint)
{
    const auto& rx1 = blueprint.rxChannel1;
    const auto& rx2 = blueprint.rxChannel2;
    const auto& tx1 = blueprint.txChannel1;
    const auto& tx2 = blueprint.txChannel2;

    if (!rx1.enabled && !tx1.enabled && (rx2.enabled || tx2.enabled)) {
        return Refuse("Frequency hopping requires single channel operation to use Channel 1.", 71);
    }
    if (mode != FhMode::DUAL_HOP && (rx2.enabled || tx2.enabled) && !blueprint.diversity) {
        return Refuse("For two channel operation either dual-hop mode must be enabled or diversity must be selected.",
                      77);
    }
    for (const TxChannelBlueprint* tx : {&tx1, &tx2}) {
        if (!tx->enabled) continue;
        if (tx->loSource == LoSource::EXTERNAL) {
            return Refuse("Frequency hopping requires internal LOs only.", 97);
        }
        if (tx->channelSignalType() != TxSignalType::IQ) {
            return Refuse("Frequency hopping requires a signal type of I/Q.", 87);
        }
    }
    const ChannelBlueprint* channels[] = {&rx1, &rx2, &tx1, &tx2};
    for (const ChannelBlueprint* channel : channels) {
        if (channel->enabled && channel->loSource == LoSource::EXTERNAL) {
            return Refuse("Frequency hopping requires internal LOs only.", 97);
        }
    }
    if (blueprint.processorClockDivisor != ProcessorClockDivisor::DIVISOR_1) {
        return Refuse("Frequency hopping requires a processor clock divisor of 1.", 104);
    }
    return 0;
}

std::int8_t FrequencyHoppingFeature::LoMapping_Get(LoMapping& mapping) const
{
    if (mode >= 2 && mode <= 4) {
        mapping.rxLoSelect = {LO1, LO2};
        mapping.txLoSelect = {LO1, LO2};
    }
    mapping.loIsExternal = {false, false};
    return 0;
}

std::int8_t FrequencyHoppingFeature::SupportedTrackingCalMask_Get(vx_marlin_TrackingCals& mask) const
{
    for (auto& channelMask : mask.channelMask) {
        channelMask = (channelMask & HopTrackingKeep) | HopTrackingAdd;
        if (!sufficientTimeToSaveCalSettings()) channelMask &= SaveSettingsTrackingClear;
    }
    return 0;
}

std::int8_t FrequencyHoppingFeature::Profile_Update(Profile& profile)
{
    profile.deviceSystem.fhModeOn = 1;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
