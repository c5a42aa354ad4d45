// The channel steps of a profile assembly: the main receivers, then each
// transmitter with the observation and loop-back receivers that watch it.

#include <algorithm>
#include <cstdint>

#include "plover/base/ErrorHandler.h"
#include "plover/develop/ProfileAssemblySteps.h"
#include "plover/develop/ProfileBuilder.h"
#include "plover/base/SourceUnit.h"
#include "plover/design/ChannelIndex.h"

namespace Veltrix::Marlin::Native {

namespace {

// Observation and loop-back receivers hand their samples over as 16-bit I/Q.
constexpr vx_marlin_SsiDataFormat LoopbackSsiDataFormat = 4;

std::uint8_t NumberOf(std::size_t index) { return static_cast<std::uint8_t>(index + 1); }

void RxSlot_Add(Profile& profile, const RxChannel& channel, std::uint8_t port, std::uint8_t channelNumber)
{
    const ChannelType type = Decode::PortChannelToRxChannelType(port, channelNumber);
    RxChannel& slot = profile.rxChannels[Decode::RxChannelTypeToSlot(type)];
    slot = channel;
    slot.ChannelType_Set(type);
    profile.rxInitChannelMask |= static_cast<std::uint32_t>(type);
}

// A receiver of the loop-back blueprint, as the observation, internal and
// external loop-back slots share it; only the observation receiver corrects
// frequency offsets, and only the loop-backs see the pre-processor's rate.
std::int8_t LoopbackReceiver_Add(Profile& profile, const RxChannelBlueprint& loopback, const TxChannelBlueprint& tx,
                                 vx_marlin_AdcType adcType, std::uint32_t samplingRate_Hz, std::uint8_t port,
                                 std::uint8_t channelNumber)
{
    RxChannel channel(samplingRate_Hz, loopback.rfChannelBandwidth_Hz, adcType, loopback.analogFilterCorner_kHz,
                      loopback.analogFilterOrder, loopback.gainTableType);
    if (const std::int8_t status = channel.SignalType_Set(RxSignalIq, RxChannelSignalSetup::NONE); status != 0) {
        return status;
    }
    if (const std::int8_t status = channel.IntermediateFrequency_Set(false, 0); status != 0) return status;
    if (port == PortOrx) channel.FrequencyOffsetCorrectionEnable_Set(tx.frequencyOffsetCorrectionEnable);
    if (const std::int8_t status = channel.Ssi_Configure(tx.ssiType, LoopbackSsiDataFormat,
                                                         loopback.ssiInterfaceRate_Hz(), tx.ssiNumLane,
                                                         tx.ssiDataRate, tx.ssiStrobeType);
        status != 0) {
        return status;
    }
    RxSlot_Add(profile, channel, port, channelNumber);
    return 0;
}

}  // namespace

RxChannelBlueprint LoopbackBlueprint_Derive(const TxChannelBlueprint& tx)
{
    RxChannelBlueprint loopback;
    static_cast<ChannelBlueprint&>(loopback) = static_cast<const ChannelBlueprint&>(tx);
    loopback.adcType = 1;
    loopback.analogFilterCorner_kHz = tx.loopBackAnalogFilterCorner_Hz / 1000;
    loopback.analogFilterOrder = tx.loopBackAnalogFilterOrder;
    loopback.channelFilterType = ChannelFilterType::DISABLED;
    loopback.dataPath = LoopbackDataPath_Derive(tx.dataPath, tx.loopBackAdcRate);
    return loopback;
}

std::int8_t ChannelLoSource_Store(Profile& profile, std::uint8_t port, std::uint8_t channelNumber, LoSource source)
{
    if (port != PortRx && port != PortTx) {
        ErrorHandler::Message(LogLevel::ERROR, "Only ports Rx and Tx are supported", SourceUnit::ProfileBuilder, 1172);
        return -1;
    }
    profile.channelLoSource[2u * port + Decode::ChannelNumberToIndex(channelNumber)] = source;
    return 0;
}

std::int8_t ReceiveChannels_Add(Profile& profile, const MarlinBlueprint& blueprint, ReceiverAdcTypes& adcTypes)
{
    for (std::size_t index = 0; index < 2; ++index) {
        const RxChannelBlueprint& rx = blueprint.rxChannel(index);
        if (!rx.enabled) continue;
        const ReportSubject subject(ChannelSubject(false, index));
        RxChannel channel(rx.samplingRate_Hz(), rx.rfChannelBandwidth_Hz, rx.adcType, rx.analogFilterCorner_kHz,
                          rx.analogFilterOrder, rx.gainTableType);
        adcTypes[index] = rx.adcType;
        if (const std::int8_t status = channel.SignalType_Set(rx.channelSignalType, rx.channelSignalSetup);
            status != 0) {
            return status;
        }
        if (const std::int8_t status = channel.IntermediateFrequency_Set(rx.ncoEnable, rx.intermediateFrequency_Hz);
            status != 0) {
            return status;
        }
        channel.FrequencyOffsetCorrectionEnable_Set(rx.frequencyOffsetCorrectionEnable);
        channel.channelFilterUsed = rx.channelFilterType != ChannelFilterType::DISABLED;
        if (rx.channelFilterType == ChannelFilterType::CUSTOM) {
            if (const std::int8_t status = channel.ChannelFilter_Set(rx.channelFilter); status != 0) return status;
        }
        if (const std::int8_t status = channel.Ssi_Configure(rx.ssiType, rx.ssiDataFormat, rx.ssiInterfaceRate_Hz(),
                                                             rx.ssiNumLane, rx.ssiDataRate, rx.ssiStrobeType);
            status != 0) {
            return status;
        }
        if (const std::int8_t status = ChannelLoSource_Store(profile, PortRx, NumberOf(index), rx.loSource);
            status != 0) {
            return status;
        }
        RxSlot_Add(profile, channel, PortRx, NumberOf(index));
    }
    return 0;
}

std::int8_t TransmitChannels_Add(Profile& profile, const MarlinBlueprint& blueprint, const ReceiverAdcTypes& adcTypes)
{
    for (std::size_t index = 0; index < 2; ++index) {
        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        if (!tx.enabled) continue;
        const ReportSubject subject(ChannelSubject(true, index));
        const std::uint8_t number = NumberOf(index);
        TxChannel channel(tx.samplingRate_Hz(), tx.rfChannelBandwidth_Hz);
        if (const std::int8_t status = channel.SignalType_Set(tx.channelSignalType(), tx.frequencyDeviation_Hz);
            status != 0) {
            return status;
        }
        channel.Loopback_Set(tx.elbType, tx.peakLoopbackPower_dBm);
        channel.FrequencyOffsetCorrectionEnable_Set(tx.frequencyOffsetCorrectionEnable);
        std::uint32_t filterInterpolation = 1;
        if (tx.channelFilterType == ChannelFilterType::CUSTOM) {
            channel.ChannelFilter_Set(tx.channelFilter, tx.channelFilterInterpolation);
            filterInterpolation = static_cast<std::uint32_t>(tx.channelFilterInterpolation);
        }
        if (const std::int8_t status =
                channel.Ssi_Configure(tx.ssiType, tx.ssiDataFormat, tx.ssiInterfaceRate_Hz(), tx.ssiNumLane,
                                      tx.ssiDataRate, tx.ssiRefClockPin, tx.ssiStrobeType);
            status != 0) {
            return status;
        }
        if (const std::int8_t status = ChannelLoSource_Store(profile, PortTx, number, tx.loSource); status != 0) {
            return status;
        }

        TxChannel& slot = profile.txChannels[index];
        slot = channel;
        if (const std::int8_t status = slot.SignalType_Set(slot.outputSignaling, slot.frequencyDeviation_Hz);
            status != 0) {
            return status;
        }
        slot.ChannelNumber_Set(number);
        slot.inUse = true;
        profile.txInitChannelMask |= static_cast<std::uint32_t>(Decode::TxChannelNumberToChannelType(number));

        const RxChannelBlueprint loopback = LoopbackBlueprint_Derive(tx);
        if (!loopback.dataPath.isDesigned()) continue;
        const vx_marlin_AdcType adcType = adcTypes[index];
        if (tx.orxEnabled) {
            if (const std::int8_t status = LoopbackReceiver_Add(profile, loopback, tx, adcType,
                                                                loopback.samplingRate_Hz(), PortOrx, number);
                status != 0) {
                return status;
            }
        }
        // Kept from wrapping: an absurd rate must be refused by the receiver, not shrunk into range.
        const std::uint64_t product = std::uint64_t{loopback.samplingRate_Hz()} * filterInterpolation;
        const auto loopbackRate_Hz = static_cast<std::uint32_t>(std::min<std::uint64_t>(product, UINT32_MAX));
        if (const std::int8_t status =
                LoopbackReceiver_Add(profile, loopback, tx, adcType, loopbackRate_Hz, PortIlb, number);
            status != 0) {
            return status;
        }
        if (tx.elbType == ElbType::BEFORE_PA || tx.elbType == ElbType::AFTER_PA) {
            if (const std::int8_t status =
                    LoopbackReceiver_Add(profile, loopback, tx, adcType, loopbackRate_Hz, PortElb, number);
                status != 0) {
                return status;
            }
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
