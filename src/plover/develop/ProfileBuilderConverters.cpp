// The converter steps of a profile assembly: ADC and analog filter of every
// receive slot, DAC and PFIR entries of every transmitter, and the magnitude
// compensation of the receivers.

#include "plover/base/ErrorHandler.h"
#include "plover/develop/ProfileAssemblySteps.h"
#include "plover/develop/ProfileBuilder.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr std::uint32_t WideRate_Hz = 1000000;
// High-pass corners of the ADC for the loop-back and the main receivers.
constexpr std::uint32_t LoopbackHpAdcCorner_Hz = 50000000;
constexpr std::uint32_t ReceiveHpAdcCorner_Hz = 20000000;
// A 9.6 MHz receiver behind a second-order analog filter cannot be
// compensated to 0.1 dB; it is allowed 0.22 dB.
constexpr std::uint32_t RelaxedRippleRate_Hz = 9600000;
constexpr double RippleTarget_dB = 0.1;
constexpr double RelaxedRippleTarget_dB = 0.22;

constexpr std::size_t IlbSlot(std::size_t index) { return 4 + index; }

void AnalogFilter_Set(RxChannel& channel, bool loopbackSlot)
{
    std::uint32_t corner_kHz = 0;
    if (channel.samplingRate_Hz >= WideRate_Hz && loopbackSlot) {
        corner_kHz = channel.AnalogFilterCorner_Get(OperationalBandwidth::WIDE);
        channel.AdcBandwidth_Set(AdcBandwidth::BW_100_MHz);
        channel.hpAdcCorner = LoopbackHpAdcCorner_Hz;
    } else {
        corner_kHz = channel.AnalogFilterCorner_Get(OperationalBandwidth::NARROW);
        channel.AdcBandwidth_Set(AdcBandwidth::BW_50_MHz);
        channel.hpAdcCorner = ReceiveHpAdcCorner_Hz;
    }
    channel.rxCorner3dB_kHz = corner_kHz;
    channel.rxCorner3dBLp_kHz = corner_kHz;
}

std::int8_t ReceiveSlots_Configure(Profile& profile, const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz)
{
    bool anyAdcType1 = false;
    for (std::size_t slot = 0; slot < RxSlotCount; ++slot) {
        RxChannel& channel = profile.rxChannels[slot];
        if (!channel.inUse) {
            channel.rxSsiConfig.ssiType = 0;
            continue;
        }
        const std::size_t index = slot % 2;
        const bool loopbackSlot = slot >= 2;
        const ReportSubject subject(ChannelSubject(loopbackSlot, index));
        std::int8_t status = 0;
        if (loopbackSlot) {
            const TxChannelBlueprint& tx = blueprint.txChannel(index);
            const RxChannelBlueprint loopback = LoopbackBlueprint_Derive(tx);
            if (!loopback.dataPath.isDesigned()) {
                ErrorHandler::Message(LogLevel::ERROR, "ORx/ILB/ELB data path not configured.",
                                      SourceUnit::ProfileBuilder, 1263);
                return -1;
            }
            status = channel.Adc_Configure(systemClock_Hz, blueprint.adcRate(), tx.lowPassFilterPower,
                                           loopback.dataPath);
        } else {
            const RxChannelBlueprint& rx = blueprint.rxChannel(index);
            status = channel.Adc_Configure(systemClock_Hz, blueprint.adcRate(), rx.lowPassFilterPower, rx.dataPath);
        }
        if (status != 0) return status;

        AnalogFilter_Set(channel, loopbackSlot);
        if (!loopbackSlot) {
            channel.rxNcoEnable = blueprint.rxChannel(index).ncoEnable;
        } else if (channel.samplingRate_Hz >= WideRate_Hz) {
            channel.rxNcoEnable = false;
        }
        anyAdcType1 = anyAdcType1 || channel.adcType == 1;
    }
    profile.deviceSystem.adcTypeMonitor = anyAdcType1 ? 1 : 0;
    return 0;
}

std::int8_t TransmitSlots_Configure(Profile& profile, const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz)
{
    bool anyInUse = false;
    for (std::size_t index = 0; index < TxSlotCount; ++index) {
        TxChannel& channel = profile.txChannels[index];
        if (!channel.inUse) {
            channel.txSsiConfig.ssiType = 0;
            continue;
        }
        anyInUse = true;
        const ReportSubject subject(ChannelSubject(true, index));
        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        const DacRate mode = channel.samplingRate_Hz >= WideRate_Hz ? DacRate::HIGH : DacRate::LOW;
        if (const std::int8_t status = channel.Dac_Configure(systemClock_Hz, mode, tx.lowPassFilterPower, tx.dataPath);
            status != 0) {
            return status;
        }
        if (const std::int8_t status = profile.pfir.TxMagnitudeCompensation_Design(channel); status != 0) {
            return status;
        }
    }
    // IQ FM/FSK on transmitter 1, or direct FM/FSK on transmitter 2, drives
    // the transmit LOs undivided.
    const bool undivided = profile.txChannels[0].outputSignaling == TxSignalType::IQ_FM_FSK ||
                           profile.txChannels[1].outputSignaling == TxSignalType::DIRECT_FM_FSK;
    if (anyInUse && undivided) {
        profile.clocks.tx1LoDivMode = 0;
        profile.clocks.tx2LoDivMode = 0;
    }
    return 0;
}

}  // namespace

std::int8_t Converters_Configure(Profile& profile, const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz)
{
    if (const std::int8_t status = ReceiveSlots_Configure(profile, blueprint, systemClock_Hz); status != 0) {
        return status;
    }
    return TransmitSlots_Configure(profile, blueprint, systemClock_Hz);
}

std::int8_t MagnitudeCompensation_Design(Profile& profile)
{
    for (std::size_t index = 0; index < 2; ++index) {
        RxChannel& receiver = profile.rxChannels[index];
        const TxChannel& transmitter = profile.txChannels[index];
        if (receiver.inUse) {
            const ReportSubject subject(ChannelSubject(false, index));
            const bool firstOrder = receiver.filterOrder == 1 && receiver.filterOrderLp == 1;
            receiver.rippleTarget = receiver.samplingRate_Hz == RelaxedRippleRate_Hz && !firstOrder
                                        ? RelaxedRippleTarget_dB
                                        : RippleTarget_dB;
            if (const std::int8_t status = profile.pfir.RxMagnitudeCompensation_Design(receiver); status != 0) {
                return status;
            }
        } else if (transmitter.inUse && transmitter.outputSignaling != TxSignalType::DIRECT_FM_FSK &&
                   profile.rxChannels[IlbSlot(index)].inUse) {
            const RxChannel& loopback = profile.rxChannels[IlbSlot(index)];
            const ReportSubject subject(ChannelSubject(true, index));
            if (const std::int8_t status = profile.pfir.RxMagnitudeCompensation_Design(loopback); status != 0) {
                return status;
            }
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
