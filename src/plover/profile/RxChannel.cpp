#include "plover/profile/RxChannel.h"

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/StageMap.h"
#include "plover/design/ChannelIndex.h"
#include "plover/design/SsiFormat.h"

namespace Veltrix::Marlin::Native {

namespace {

// Output selections of the narrow-band demodulator.
constexpr std::int32_t RxOutIq = 0;
constexpr std::int32_t RxOutFrequencyDeviation = 2;

// Narrow-band analog corners the filter can realise, by order, in kHz.
constexpr std::uint32_t NarrowCornerLimitOrder1_kHz = 40'000;
constexpr std::uint32_t NarrowCornerLimitOrder2_kHz = 28'200;
// Wide-band corners: the filter is opened fully (second order at 1/sqrt(2)).
constexpr std::uint32_t WideCornerOrder1_kHz = 100'000;
constexpr std::uint32_t WideCornerOrder2_kHz = 70'710;

}  // namespace

RxChannel::RxChannel() : marlin_RxProfile_t{}
{
}

RxChannel::RxChannel(const marlin_RxProfile_t& profile) : marlin_RxProfile_t(profile)
{
}

RxChannel::RxChannel(std::uint32_t samplingRate, std::uint32_t bandwidth_Hz, vx_marlin_AdcType adc,
                     std::uint32_t analogCorner_kHz, AnalogFilterOrder analogFilterOrder,
                     vx_marlin_RxGainTableType gainTable)
    : marlin_RxProfile_t{}
{
    if (samplingRate < RxSamplingRateMin_Hz) {
        ErrorHandler::Error("The specified sampling rate cannot be less than " +
                                std::to_string(RxSamplingRateMin_Hz) + " MSPS.",
                            SourceUnit::RxChannel, 29);
    }
    if (samplingRate > RxSamplingRateMax_Hz) {
        ErrorHandler::Error("The specified sampling rate cannot be greater than " +
                                std::to_string(RxSamplingRateMax_Hz) + " MSPS.",
                            SourceUnit::RxChannel, 33);
    }
    tiaPower = 2;
    tiaPowerLp = 2;
    primarySigBandwidth_Hz = bandwidth_Hz;
    adcType = adc;
    samplingRate_Hz = samplingRate;
    signalSetup = RxChannelSignalSetup::NONE;
    AdcBandwidth_Set(samplingRate >= 1'000'000 ? AdcBandwidth::BW_100_MHz : AdcBandwidth::BW_50_MHz);
    systemClock_Hz = DefaultSystemClock_Hz;
    channelFilter = ChannelFilter_Lookup(ChannelFilterSelect_Get(samplingRate, bandwidth_Hz));

    rippleTarget = 0.1;
    SignalType_Set(outputSignaling, signalSetup);
    analogFilterCorner_kHz = analogCorner_kHz;
    filterOrder = analogFilterOrder == AnalogFilterOrder::ORDER_1 ? 1 : 2;
    filterOrderLp = filterOrder;
    gainTableType = gainTable;
    adcRate = AdcRate::HIGH;
    Ssi_Configure(rxSsiConfig.ssiType, rxSsiConfig.ssiDataFormatSel, rxInterfaceSampleRate_Hz,
                  rxSsiConfig.numLaneSel, rxSsiConfig.ddrEn ? SsiDataRate::DOUBLE : SsiDataRate::SINGLE,
                  rxSsiConfig.strobeType);
}

std::int8_t RxChannel::SignalType_Set(vx_marlin_RxSignalType type, RxChannelSignalSetup setup)
{
    if (type == RxSignalIq) {
        SignalTypeIq_Set();
        rxDpProfile.rxNbDem.rxRoundMode = 0;
        return 0;
    }
    if (type == RxSignalFrequencyDeviation) {
        SignalTypeFrequencyDeviation_Set(setup);
        return 0;
    }
    if (type == RxSignalFmSymbols) {
        ErrorHandler::Message(LogLevel::ERROR, "Rx channel signal type for FM symbols is not supported",
                              SourceUnit::RxChannel, 112);
        return -1;
    }
    ErrorHandler::Message(LogLevel::ERROR, "Unrecognized Rx channel signal type", SourceUnit::RxChannel, 116);
    return -1;
}

void RxChannel::SignalTypeIq_Set()
{
    outputSignaling = RxSignalIq;
    signalSetup = RxChannelSignalSetup::NONE;
    rxDpProfile.rxNbDem.rxOutSel = RxOutIq;
}

void RxChannel::SignalTypeFrequencyDeviation_Set(RxChannelSignalSetup setup)
{
    outputSignaling = RxSignalFrequencyDeviation;
    signalSetup = setup;
    rxDpProfile.rxNbDem.rxOutSel = RxOutFrequencyDeviation;
    rxDpProfile.rxNbDem.rxRoundMode = 1;
}

std::int8_t RxChannel::IntermediateFrequency_Set(bool ncoEnable, std::int32_t intermediateFrequency_Hz)
{
    rxNcoEnable = ncoEnable;
    rxOffsetLo_kHz = intermediateFrequency_Hz / 1000;
    return 0;
}

void RxChannel::FrequencyOffsetCorrectionEnable_Set(bool enable)
{
    frequencyOffsetCorrectionEnable = enable;
}

std::int8_t RxChannel::ChannelFilter_Set(const std::array<std::int32_t, 128>& coefficients)
{
    channelFilter = ChannelFilter(coefficients);
    return 0;
}

std::int8_t RxChannel::Ssi_Configure(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                                     std::uint32_t ssiInterfaceRate_Hz, vx_marlin_SsiNumLane ssiNumLane,
                                     SsiDataRate ssiDataRate, vx_marlin_SsiStrobeType ssiStrobeType)
{
    const std::int8_t status =
        SsiConfig_Set(rxSsiConfig, ssiType, ssiDataFormat, ssiNumLane, ssiDataRate, ssiStrobeType);
    if (status != 0) {
        return status;
    }
    rxInterfaceSampleRate_Hz = ssiInterfaceRate_Hz;
    // Samples arrive less often than the interface strobes: mask the idle strobes.
    rxSsiConfig.rxMaskStrobeEn = ssiInterfaceRate_Hz > samplingRate_Hz;
    return 0;
}

std::int8_t RxChannel::Adc_Configure(std::uint32_t systemClock, AdcRate rate,
                                     vx_marlin_ComponentPowerLevel_e powerLevel, const RxPath& path)
{
    dataPath = path;
    systemClock_Hz = systemClock;
    pulseShapeFilter =
        PulseShapeFilter_Lookup(PulseShapeFilterSelect_Get(signalSetup, samplingRate_Hz, primarySigBandwidth_Hz));

    // The ADC samples at 6, 8 or 12 times the system clock.
    std::uint64_t multiplier = 0;
    switch (rate) {
    case AdcRate::LOW: multiplier = 6; break;
    case AdcRate::MED: multiplier = 8; break;
    case AdcRate::HIGH: multiplier = 12; break;
    default:
        ErrorHandler::Message(LogLevel::ERROR, "Unrecognized AdcRate", SourceUnit::RxChannel, 523);
        return -1;
    }
    adcRate = rate;
    adcClk_kHz = static_cast<std::uint32_t>(systemClock * multiplier / 1000);

    decimation = 1;
    for (std::size_t stage = 2; stage <= 17; ++stage) {
        decimation *= path.stages[stage];
    }

    const std::int8_t status = RxStageMap_Apply(path, rxDpProfile);
    if (status != 0) {
        return status;
    }

    rxOutputRate_Hz = samplingRate_Hz;
    tiaPower = powerLevel;
    tiaPowerLp = powerLevel;
    marlin_RxNbNcoConfig_t& nco = rxDpProfile.rxNbDem.rxNbNco;
    nco.rxNbNcoEn = 0;
    // Only the main receivers demodulate or correct a frequency offset, and
    // both need the narrow-band NCO running at the output rate.
    const bool mainReceiver = channelType == static_cast<std::uint32_t>(ChannelType::RX1) ||
                              channelType == static_cast<std::uint32_t>(ChannelType::RX2);
    if (mainReceiver && (outputSignaling == RxSignalFrequencyDeviation || frequencyOffsetCorrectionEnable)) {
        nco.rxNbNcoEn = 1;
        nco.rxNbNcoConfig.sampleFreq = samplingRate_Hz;
    }
    return 0;
}

// The small slot and analog-filter setters report as code of the header.

void RxChannel::AdcBandwidth_Set(AdcBandwidth bandwidth)
{
    switch (bandwidth) {
    case AdcBandwidth::BW_100_MHz: rxDpProfile.rxSincHBTop.hbMux = 2; return;
    case AdcBandwidth::BW_50_MHz: rxDpProfile.rxSincHBTop.hbMux = 4; return;
    }
    ErrorHandler::Error("Unrecognized AdcBandwidth", SourceUnit::RxChannelHeader, 163);
}

std::uint32_t RxChannel::AnalogFilterCorner_Get(OperationalBandwidth bandwidth) const
{
    if (bandwidth == OperationalBandwidth::NARROW) {
        const std::uint32_t limit_kHz = filterOrder == 1 ? NarrowCornerLimitOrder1_kHz : NarrowCornerLimitOrder2_kHz;
        if (analogFilterCorner_kHz > limit_kHz) {
            ErrorHandler::Message(LogLevel::WARNING, "Analog filter bandwidth clamped.", SourceUnit::RxChannelHeader,
                                  188);
            return limit_kHz;
        }
        return analogFilterCorner_kHz;
    }
    return filterOrder == 1 ? WideCornerOrder1_kHz : WideCornerOrder2_kHz;
}

std::int8_t RxChannel::ChannelType_Set(std::uint8_t port, std::uint8_t channelNumber)
{
    const bool knownPort = port == PortRx || port == PortOrx || port == PortIlb || port == PortElb;
    if (!knownPort || (channelNumber != 1 && channelNumber != 2)) {
        inUse = false;
        return -1;
    }
    ChannelType_Set(Decode::PortChannelToRxChannelType(port, channelNumber));
    return 0;
}

void RxChannel::ChannelType_Set(ChannelType type)
{
    // PFIR banks: A for receiver 1, C for receiver 2; the observation and
    // loop-back paths share the second bank of their pair (B, D).
    std::int32_t bank = 0;
    switch (type) {
    case ChannelType::RX1: bank = 0; break;
    case ChannelType::ORX1:
    case ChannelType::ILB1:
    case ChannelType::ELB1: bank = 1; break;
    case ChannelType::RX2: bank = 2; break;
    case ChannelType::ORX2:
    case ChannelType::ILB2:
    case ChannelType::ELB2: bank = 3; break;
    default: ErrorHandler::Error("Unrecognized channelType", SourceUnit::RxChannelHeader, 214);
    }
    channelType = static_cast<std::uint32_t>(type);
    rxDpProfile.rxNbDem.rxWbNbCompPFir.bankSel = bank;
    inUse = true;
}

std::uint8_t RxChannel::ChannelNumber_Get() const
{
    switch (static_cast<ChannelType>(channelType)) {
    case ChannelType::RX1:
    case ChannelType::ORX1:
    case ChannelType::ILB1:
    case ChannelType::ELB1: return 1;
    case ChannelType::RX2:
    case ChannelType::ORX2:
    case ChannelType::ILB2:
    case ChannelType::ELB2: return 2;
    default: break;
    }
    ErrorHandler::Error("Unrecognized channelType", SourceUnit::RxChannelHeader, 231);
}

}  // namespace Veltrix::Marlin::Native
