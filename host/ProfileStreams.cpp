#include "host/ProfileStreams.h"

#include <nlohmann/json.hpp>

#include "host/Profile.h"
#include "streams/StreamDelay.h"
#include "streams/StreamImage.h"

namespace Veltrix::Marlin {

Runnel::StreamProfileFacts StreamFacts_Get(const Native::Profile& profile)
{
    Runnel::StreamProfileFacts facts;
    facts.processorClockFrequency_Hz = profile.processorClockFrequency_Hz;
    for (std::size_t i = 0; i < Native::TxSlotCount; ++i) {
        const Native::TxChannel& tx = profile.txChannels[i];
        facts.txChannels[i] = {tx.inUse, tx.channelNumber, tx.outputSignaling};
    }
    for (std::size_t i = 0; i < facts.channelLoSource.size(); ++i) {
        facts.channelLoSource[i] = static_cast<std::int32_t>(profile.channelLoSource[i]);
    }
    facts.rx1RfInputSel = profile.clocks.rx1RfInputSel;
    facts.rx2RfInputSel = profile.clocks.rx2RfInputSel;
    facts.rxPortImpedanceControl = {profile.clocks.rxPortImpedanceControl(1), profile.clocks.rxPortImpedanceControl(2)};
    facts.rfPll1LoMode = profile.clocks.rfPll1LoMode;
    facts.pllLockWait_us = profile.pllLockWait_us;
    facts.pllPhaseSyncWait_us = profile.pllPhaseSyncWait_us;
    return facts;
}

std::vector<std::uint8_t> Profile::StreamImage_Get(const std::string& topLevelPath, const std::string& siVersion) const
{
    return Runnel::StreamImage_Get(StreamFacts_Get(Object()), topLevelPath, siVersion);
}

void Profile::StreamImage_Save(const std::string& filename, const std::string& topLevelPath,
                               const std::string& siVersion) const
{
    Runnel::StreamImage_Save(StreamFacts_Get(Object()), filename, topLevelPath, siVersion);
}

void Profile::StreamSettings_Get(StreamSettings& settings) const
{
    settings = StreamSettings(Runnel::GenerateMarlinStreamSettings(StreamFacts_Get(Object())).get());
}

void Profile::StreamSettings_Save(const std::string& filename) const
{
    Runnel::StreamSettings_Save(StreamFacts_Get(Object()), filename);
}

std::uint16_t Profile::NanoSecondsToStreamDelay(std::uint32_t targetTime_ns) const
{
    return Runnel::NanoSecondsToStreamDelay(targetTime_ns, Object().processorClockFrequency_Hz);
}

}  // namespace Veltrix::Marlin
