#include "plover/design/FilterDesigner.h"

#include <cstdlib>

#include "plover/design/FilterDesignerClock.h"
#include "plover/design/SsiRules.h"

namespace Veltrix::Marlin::Native {

namespace {

// Loop-back analog filter corners for wide and narrow transmitters.
constexpr std::uint32_t WideLoopBackCorner_Hz = 100000000;
constexpr std::uint32_t NarrowLoopBackCorner_Hz = 40000000;

// A low-IF receiver: narrow, NCO on, and the IF plus the channel inside 5 MHz.
constexpr std::uint32_t LowIfBandwidthLimit_Hz = 1000000;
constexpr std::uint32_t LowIfSpanLimit_Hz = 5000000;

// The low-rate pairing: a 144 kHz channel is designed on the 96 kHz chain.
constexpr std::uint32_t LowRatePairBase_Hz = 96000;
constexpr std::uint32_t LowRatePairPartner_Hz = 144000;

bool IsLowRate(std::uint32_t rate_Hz)
{
    return rate_Hz == 24000 || rate_Hz == 48000 || rate_Hz == 96000 || rate_Hz == 144000;
}

ChannelBlueprint& Channel(MarlinBlueprint& blueprint, bool tx, std::size_t index)
{
    return tx ? static_cast<ChannelBlueprint&>(blueprint.txChannel(index)) : blueprint.rxChannel(index);
}

}  // namespace

ChannelDesignRequest ChannelDesignRequest_Build(const MarlinBlueprint& blueprint, std::size_t index)
{
    const RxChannelBlueprint& rx = blueprint.rxChannel(index);
    const TxChannelBlueprint& tx = blueprint.txChannel(index);
    ChannelDesignRequest request;
    ChannelDesignRecord& record = request.record;
    record.rxEnabled = rx.enabled ? 1 : 0;
    record.txEnabled = tx.enabled ? 1 : 0;
    record.rxReferenceRate_Hz = EngineReferenceRate_Hz;
    record.txReferenceRate_Hz = EngineReferenceRate_Hz;
    record.rxBandwidth_Hz = rx.rfChannelBandwidth_Hz;
    record.txBandwidth_Hz = tx.rfChannelBandwidth_Hz;
    record.rxSampleRate_Hz = rx.samplingRate_Hz();
    record.txSampleRate_Hz = tx.samplingRate_Hz();
    record.rxHead0 = rx.dataPath.stages[RxPath::SincMuxStage];
    record.rxHead1 = rx.dataPath.stages[RxPath::Hb012SelectStage];
    record.txHead0 = tx.dataPath.stages[TxPath::Int3Sinc3SelectStage];
    record.txHead1 = tx.dataPath.stages[TxPath::Sinc2SelectStage] != 0 ? 1 : 0;
    record.txSpecialMode = tx.dataPath.stages[TxPath::DirectFmFskStage] != 0 ? 1 : 0;
    // |IF| taken in unsigned arithmetic, so that the most negative IF has a magnitude too.
    const std::uint32_t ifMagnitude = rx.intermediateFrequency_Hz < 0
                                          ? 0u - static_cast<std::uint32_t>(rx.intermediateFrequency_Hz)
                                          : static_cast<std::uint32_t>(rx.intermediateFrequency_Hz);
    const bool lowIf = rx.rfChannelBandwidth_Hz < LowIfBandwidthLimit_Hz && rx.ncoEnable &&
                       ifMagnitude + rx.rfChannelBandwidth_Hz <= LowIfSpanLimit_Hz;
    record.lifSelect = lowIf ? 1 : 0;
    record.rxHb22WblpfSelect = 2;
    record.txHb22WblpfSelect = 2;
    request.preprocessorInterpolation =
        tx.channelFilterType != ChannelFilterType::DISABLED
            ? static_cast<unsigned char>(ToInt(tx.channelFilterInterpolation) & 0xFF)
            : 1;
    return request;
}

void FilterDesigner::Blueprint_Prepare(MarlinBlueprint& blueprint)
{
    blueprint.adcRate(blueprint.adcRate());
    for (std::size_t index = 0; index < 2; ++index) {
        RxChannelBlueprint& rx = blueprint.rxChannel(index);
        rx.WblpfSelect_Apply();
        blueprint.txChannel(index).loopBackAnalogFilterOrder = rx.analogFilterOrder;
    }
    for (std::size_t index = 0; index < 2; ++index) {
        TxChannelBlueprint& tx = blueprint.txChannel(index);
        const bool wide = tx.rfChannelBandwidth_Hz >= WideBandwidthThreshold_Hz;
        // The INT3 stage at the DAC runs for wide channels unless the ADC runs at its medium rate.
        tx.int3Factor = wide && blueprint.adcRate() != AdcRate::MED ? 3 : 1;
        tx.dataPath.stages[TxPath::Sinc2SelectStage] = ToInt(TxSinc2::BYPASS);
        tx.dataPath.stages[TxPath::Int3Sinc3SelectStage] =
            static_cast<unsigned char>(tx.int3Factor == 3 ? ToInt(TxInt3Sinc3::INT3) : ToInt(TxInt3Sinc3::BYPASS));
        tx.WblpfSelect_Apply();
        tx.dataPath.isDirectFmFsk(tx.channelSignalType() == TxSignalType::DIRECT_FM_FSK);
        tx.loopBackAdcRate = blueprint.adcRate();
        tx.loopBackAnalogFilterCorner_Hz = wide ? WideLoopBackCorner_Hz : NarrowLoopBackCorner_Hz;
    }
}

void FilterDesigner::LowRate_Prepare(MarlinBlueprint& blueprint, std::array<ChannelDesignRequest, 2>& requests)
{
    savedBlueprint = blueprint;
    for (std::size_t index = 0; index < 2; ++index) {
        for (const bool tx : {false, true}) {
            const ChannelBlueprint& self = Channel(blueprint, tx, index);
            ChannelBlueprint& other = Channel(blueprint, tx, 1 - index);
            if (self.samplingRate_Hz() == LowRatePairBase_Hz && other.samplingRate_Hz() == LowRatePairPartner_Hz) {
                if (other.enabled) {
                    // The setter carries the interface rate along while it follows the sampling rate.
                    other.samplingRate_Hz(LowRatePairBase_Hz);
                    lowRateMode = true;
                }
            } else if (self.enabled && IsLowRate(self.samplingRate_Hz())) {
                lowRateMode = true;
            }
        }
    }
    requests[0] = ChannelDesignRequest_Build(blueprint, 0);
    requests[1] = ChannelDesignRequest_Build(blueprint, 1);
    if (!lowRateMode) {
        return;
    }
    for (std::size_t index = 0; index < 2; ++index) {
        for (const bool tx : {false, true}) {
            if (Channel(savedBlueprint, tx, index).samplingRate_Hz() == LowRatePairPartner_Hz) {
                Channel(blueprint, tx, index).samplingRate_Hz(LowRatePairPartner_Hz);
            }
        }
    }
}

std::uint8_t FilterDesigner::Design(MarlinBlueprint& blueprint, const DesignCriteria& criteria, bool designOnly)
{
    // Each design decides its own plan: a flag left from an earlier low-rate
    // design would skip the 9.6 MHz plan and apply low-rate overrides here.
    lowRateMode = false;
    Blueprint_Prepare(blueprint);

    std::array<ChannelDataPaths, 2> paths{};
    std::array<ChannelDesignRequest, 2> requests{};
    LowRate_Prepare(blueprint, requests);

    if (const std::uint8_t status = DesignChains(requests, criteria, paths)) {
        return status;
    }
    if (designOnly) {
        return 0;
    }

    std::uint32_t systemClock_Hz = 0;
    if (SystemClock_Find(blueprint, paths, systemClock_Hz) != 0) {
        return 255;
    }
    std::uint64_t vco_Hz = 0;
    if (VcoFrequency_Check(blueprint, systemClock_Hz, vco_Hz) != 0) {
        return 255;
    }
    if (const std::uint8_t status = Ssi_Check(blueprint, systemClock_Hz, vco_Hz)) {
        return status;
    }

    for (std::size_t index = 0; index < 2; ++index) {
        RxChannelBlueprint& rx = blueprint.rxChannel(index);
        if (rx.enabled) {
            rx.dataPath.stages = paths[index].rx.stages;
            rx.dataPath.clean();
        }
        TxChannelBlueprint& tx = blueprint.txChannel(index);
        if (tx.enabled) {
            tx.dataPath.stages = paths[index].tx.stages;
            tx.dataPath.clean();
        }
    }
    Blueprint_Prepare(blueprint);
    return static_cast<std::uint8_t>(blueprint.Update());
}

}  // namespace Veltrix::Marlin::Native
