#include "plover/profile/TxChannel.h"

#include <limits>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/StageMap.h"
#include "plover/design/ChannelIndex.h"
#include "plover/design/SsiFormat.h"

namespace Veltrix::Marlin::Native {

namespace {

// Baseband filter corners: wide open for wide-band rates, narrower below.
constexpr std::uint32_t WideBbfCorner_kHz = 50'000;
constexpr std::uint32_t NarrowBbfCorner_kHz = 33'000;

// Up-converter settings of IQ FM/FSK: deviation scale, full-scale scalar and
// limiter threshold of the IQ demodulator-modulator.
constexpr std::int32_t IqdmModeFmFsk = 1;
constexpr std::int32_t IqdmModeFrequencyCorrection = 2;
constexpr std::uint32_t IqdmDevFmFsk = 60'397;
constexpr std::uint32_t IqdmScalarFullScale = 0x7FFF;
constexpr std::uint32_t IqdmThresholdFmFsk = 0x1FFFF;

}  // namespace

TxChannel::TxChannel() : marlin_TxProfile_t{}
{
}

TxChannel::TxChannel(const marlin_TxProfile_t& profile) : marlin_TxProfile_t(profile)
{
}

TxChannel::TxChannel(std::uint32_t samplingRate, std::uint32_t bandwidth_Hz) : marlin_TxProfile_t{}
{
    txBbfPower = 2;
    samplingRate_Hz = samplingRate;
    txBbf3dBCorner_kHz = samplingRate >= 1'000'000 ? WideBbfCorner_kHz : NarrowBbfCorner_kHz;
    primarySigBandwidth_Hz = bandwidth_Hz;
    ChannelFilter_Set({}, ChannelFilterInterpolation::INTERPOLATE_BY_1);
    SignalType_Set(outputSignaling, frequencyDeviation_Hz);
    Ssi_Configure(txSsiConfig.ssiType, txSsiConfig.ssiDataFormatSel, txInterfaceSampleRate_Hz, txSsiConfig.numLaneSel,
                  txSsiConfig.ddrEn ? SsiDataRate::DOUBLE : SsiDataRate::SINGLE, txSsiConfig.txRefClockPin,
                  txSsiConfig.strobeType);

    marlin_TxPreProc_t& pre = txDpProfile.txPreProc;
    pre.txPreProcSymbol0 = 0;
    pre.txPreProcSymbol1 = 0;
    pre.txPreProcSymbol2 = 0;
    pre.txPreProcSymbol3 = 0;
    pre.txPreProcSymMapDivFactor = 1;
    marlin_TxIntTopFreqDevMap_t& map = txDpProfile.txIntTopFreqDevMap;
    map = marlin_TxIntTopFreqDevMap_t{};
    map.txRoundEn = 1;
}

std::int8_t TxChannel::SignalType_Set(vx_marlin_TxSignalType type, std::uint32_t deviation_Hz)
{
    marlin_TxIntTopFreqDevMap_t& map = txDpProfile.txIntTopFreqDevMap;
    std::int32_t& mode = txDpProfile.txPreProc.txPreProcMode;
    switch (type) {
    case TxSignalType::IQ:
        outputSignaling = TxSignalType::IQ;
        mode = preProcMode | 1;
        map.freqDevMapEn = 0;
        map.txRoundEn = 1;
        return 0;
    case TxSignalType::IQ_FM_FSK:
        outputSignaling = TxSignalType::IQ_FM_FSK;
        frequencyDeviation_Hz = deviation_Hz;
        mode = preProcMode;
        map.freqDevMapEn = 0;
        map.txRoundEn = 1;
        return 0;
    case TxSignalType::DIRECT_FM_FSK:
        outputSignaling = TxSignalType::DIRECT_FM_FSK;
        frequencyDeviation_Hz = deviation_Hz;
        mode = preProcMode;
        map.mpll = DirectFmFskModulus;
        map.freqDevMapEn = 1;
        return 0;
    default: break;
    }
    ErrorHandler::Message(LogLevel::ERROR, "Unrecognized Tx channel signal type", SourceUnit::TxChannelHeader, 97);
    return -1;
}

void TxChannel::Loopback_Set(ElbType type, std::int16_t power_dBm)
{
    txExtLoopBackType = static_cast<std::uint8_t>(type);
    if (type != ElbType::DISABLED) {
        // Tenths of a dBm, saturated to the 16-bit field rather than wrapped.
        const std::int32_t tenths = static_cast<std::int32_t>(power_dBm) * 10;
        constexpr std::int32_t low = std::numeric_limits<std::int16_t>::min();
        constexpr std::int32_t high = std::numeric_limits<std::int16_t>::max();
        txPeakLoopBackPower = static_cast<std::int16_t>(tenths < low ? low : (tenths > high ? high : tenths));
    }
}

void TxChannel::FrequencyOffsetCorrectionEnable_Set(bool enable)
{
    frequencyOffsetCorrectionEnable = enable;
}

void TxChannel::ChannelFilter_Set(const std::array<std::int32_t, 128>& coefficients,
                                  ChannelFilterInterpolation interpolationBy)
{
    channelFilter = ChannelFilter(coefficients);
    interpolationRate = static_cast<std::uint8_t>(interpolationBy);
}

std::int8_t TxChannel::Ssi_Configure(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                                     std::uint32_t ssiInterfaceRate_Hz, vx_marlin_SsiNumLane ssiNumLane,
                                     SsiDataRate ssiDataRate, vx_marlin_SsiTxRefClockPin ssiRefClockPin,
                                     vx_marlin_SsiStrobeType ssiStrobeType)
{
    const std::int8_t status =
        SsiConfig_Set(txSsiConfig, ssiType, ssiDataFormat, ssiNumLane, ssiDataRate, ssiStrobeType);
    if (status != 0) {
        return status;
    }
    txSsiConfig.txRefClockPin = ssiRefClockPin;
    txSsiConfig.rxMaskStrobeEn = false;
    txInterfaceSampleRate_Hz = ssiInterfaceRate_Hz;
    return 0;
}

std::int8_t TxChannel::Dac_Configure(std::uint32_t systemClock_Hz, DacRate dacMode,
                                     vx_marlin_ComponentPowerLevel_e powerLevel, const TxPath& path)
{
    dataPath = path;
    dacRate = systemClock_Hz;
    switch (dacMode) {
    case DacRate::HIGH: dacClk_kHz = systemClock_Hz / 1000 * 3; break;
    case DacRate::LOW: dacClk_kHz = systemClock_Hz / 1000; break;
    default:
        ErrorHandler::Message(LogLevel::ERROR, "Unrecognized DAC rate", SourceUnit::TxChannel, 201);
        return -1;
    }
    // A transmitter without a rate (an unused slot) has no interpolation.
    interpolation = samplingRate_Hz != 0 ? systemClock_Hz / samplingRate_Hz : 0;
    if (TxStageMap_Apply(path, txDpProfile) != 0) {
        return 1;
    }
    txInputRate_Hz = samplingRate_Hz;
    txPdBiasCurrent = 1;
    txPdGainEnable = 0;
    txPrePdRealPole_kHz = 1'000'000;
    txPostPdRealPole_kHz = 530'000;
    txBbfPower = powerLevel;
    // The up-converter runs after the last interpolate-by-3 or by-4 stage.
    const std::uint32_t ducRate_Hz =
        txDpProfile.txIntTop.interpBy3Blk40En == 1 ? systemClock_Hz / 3 : systemClock_Hz / 4;

    marlin_TxIqdmDuc_t& duc = txDpProfile.txIqdmDuc;
    if (outputSignaling == TxSignalType::IQ_FM_FSK) {
        if (frequencyOffsetCorrectionEnable) {
            ErrorHandler::Message(LogLevel::ERROR,
                                  "Signal type of IQ FM/FSK and Frequency offset correction enabled is not a "
                                  "supported combination.",
                                  SourceUnit::TxChannel, 236);
            return -1;
        }
        duc.iqdmDucMode = IqdmModeFmFsk;
        duc.iqdmDev = IqdmDevFmFsk;
        duc.iqdmDevOffset = 0;
        duc.iqdmScalar = IqdmScalarFullScale;
        duc.iqdmThreshold = IqdmThresholdFmFsk;
    } else if (frequencyOffsetCorrectionEnable) {
        duc.iqdmDucMode = IqdmModeFrequencyCorrection;
        duc.iqdmDev = 0;
    }
    duc.iqdmNco.sampleFreq = ducRate_Hz;
    duc.iqdmNco.phase = 0;
    duc.iqdmNco.realOut = 0;
    return 0;
}

void TxChannel::ChannelNumber_Set(std::uint8_t number)
{
    const std::uint8_t index = Decode::TxChannelNumberToIndex(number);
    channelNumber = number;
    pfirBankIndexI = static_cast<std::uint8_t>(2 * index);
    pfirBankIndexQ = static_cast<std::uint8_t>(2 * index + 1);
}

}  // namespace Veltrix::Marlin::Native
