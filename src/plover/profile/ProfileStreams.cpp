#include "plover/profile/ProfileStreams.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "streams/AtomicFile.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamDelay.h"
#include "streams/StreamImage.h"

namespace Veltrix::Marlin::Native {

namespace Runnel = Veltrix::Runnel;

Runnel::StreamProfileFacts StreamProfileFacts_Get(const Profile& profile)
{
    Runnel::StreamProfileFacts facts;
    facts.processorClockFrequency_Hz = profile.processorClockFrequency_Hz;
    for (std::size_t i = 0; i < TxSlotCount; ++i) {
        const TxChannel& tx = profile.txChannels[i];
        facts.txChannels[i] = {tx.inUse, tx.channelNumber, tx.outputSignaling};
    }
    for (std::size_t i = 0; i < facts.channelLoSource.size(); ++i) {
        facts.channelLoSource[i] = static_cast<std::int32_t>(profile.channelLoSource[i]);
    }
    facts.rx1RfInputSel = profile.clocks.rx1RfInputSel;
    facts.rx2RfInputSel = profile.clocks.rx2RfInputSel;
    facts.rxPortImpedanceControl = {profile.clocks.rxPortImpedanceControl(1),
                                    profile.clocks.rxPortImpedanceControl(2)};
    facts.rfPll1LoMode = profile.clocks.rfPll1LoMode;
    facts.rfPll2LoMode = profile.clocks.rfPll2LoMode;
    facts.pllLockWait_us = profile.pllLockWait_us;
    facts.pllPhaseSyncWait_us = profile.pllPhaseSyncWait_us;
    return facts;
}

std::shared_ptr<Runnel::MarlinSettings> Profile::GenerateMarlinStreamSettings() const
{
    return Runnel::GenerateMarlinStreamSettings(StreamProfileFacts_Get(*this));
}

std::uint16_t Profile::NanoSecondsToStreamDelay(std::uint32_t targetTime_ns) const
{
    return Runnel::NanoSecondsToStreamDelay(targetTime_ns, processorClockFrequency_Hz);
}

std::int8_t Profile::StreamSettings_Save(const std::string& filename) const
{
    // Derived first: a profile without a processor clock throws and writes nothing.
    const auto settings = GenerateMarlinStreamSettings();
    try {
        settings->Save(filename);
    } catch (const Runnel::FileWriteError&) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to write the stream settings file \"" + filename + "\".",
                              SourceUnit::Profile, 668);
        return -1;
    }
    return 0;
}

std::vector<std::uint8_t> Profile::StreamImage_Get(const std::string& topLevelPath,
                                                   const std::string& siVersion) const
{
    return Runnel::StreamImage_Get(StreamProfileFacts_Get(*this), topLevelPath, siVersion);
}

std::vector<std::uint8_t> Profile::StreamImage_Get(const std::string& topLevelPath) const
{
    return StreamImage_Get(topLevelPath, Runnel::kDefaultSiVersion);
}

std::int8_t Profile::StreamImage_Save(const std::string& filename, const std::string& topLevelPath,
                                      const std::string& siVersion) const
{
    // Build faults throw before anything is written; only the write is reported here.
    try {
        Runnel::StreamImage_Save(StreamProfileFacts_Get(*this), filename, topLevelPath, siVersion);
    } catch (const Runnel::FileWriteError&) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to write the stream image file \"" + filename + "\".",
                              SourceUnit::Profile, 689);
        return -1;
    }
    return 0;
}

std::int8_t Profile::StreamImage_Save(const std::string& filename, const std::string& topLevelPath) const
{
    return StreamImage_Save(filename, topLevelPath, Runnel::kDefaultSiVersion);
}

}  // namespace Veltrix::Marlin::Native
