// The chain-search step of the filter designer: the engine's chain selection
// for both channel indices, its status turned into the user's message, and
// the fixed overrides of the special rate plans.

#include "engine/ChainDesign.h"
#include "plover/base/ErrorHandler.h"
#include "plover/design/FilterDesigner.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

struct StatusMessage {
    std::int8_t status;
    const char* text;
    int line;
};

constexpr StatusMessage ChainStatusMessages[] = {
    {ChainStatusTargetRippleNotMet, "Target ripple not met", 201},
    {ChainStatusNoClockInBounds, "Sampling rate not possible", 203},
    {ChainStatusAlgorithmConstraints, "Sampling rate not possible due to algorithm constraints", 205},
    {ChainStatusDirectionsDisagree, "Sample rates between Rx1 <-> Rx2, and Tx1 <-> Tx2 are not the same", 207},
    {ChainStatusModeNotPossible, "VLIF not avaible due to modes selected (Stock profiles do not support VLIF)", 209},
    {ChainStatusMimoRefused, "Arbitrary response verification not available in MIMO mode", 211},
    {ChainStatusUnknownSelector,
     "LIF/VLIF or HB22/WBLPF variation not available (Known case: hb22_wblpf_rx1=1, lif_vlif_rxX=2)", 213},
};

void ReportChainStatus(std::int8_t status)
{
    for (const auto& entry : ChainStatusMessages) {
        if (entry.status == status) {
            ErrorHandler::Message(LogLevel::ERROR, entry.text, SourceUnit::FilterDesigner, entry.line);
            return;
        }
    }
    ErrorHandler::Message(LogLevel::ERROR, "Unknown error.", SourceUnit::FilterDesigner, 215);
}

// The 9.6 MHz four-lane CMOS plan: both directions drop their by-3 stages
// and take four by-2 stages instead (the half-band pair and blocks 31, 33).
constexpr std::uint32_t NineSixPlanRate_Hz = 9600000;
const OverrideList NineSixPlanOverrides = {
    OverrideEntry(2, 1), OverrideEntry(3, 2),  OverrideEntry(4, 2),  OverrideEntry(8, 2),
    OverrideEntry(9, 2), OverrideEntry(16, 1), OverrideEntry(17, 1),
};

// Low-rate plans: the SCIC takes a factor of 10 in place of a by-2 stage and
// its own factor, and the narrowband tail is rearranged for the rate.
const OverrideList LowRate96kOverrides = {
    OverrideEntry(5, 1), OverrideEntry(10, 10), OverrideEntry(14, 1), OverrideEntry(17, 2),
};
const OverrideList LowRate144kOverrides = {
    OverrideEntry(5, 1), OverrideEntry(10, 10), OverrideEntry(14, 2), OverrideEntry(16, 1),
};
constexpr std::size_t NarrowbandBy3Stage = 16;

bool FollowsNineSixPlan(const ChannelBlueprint& channel)
{
    constexpr vx_marlin_SsiType cmos = 1;
    constexpr vx_marlin_SsiNumLane fourLanes = 2;
    return channel.enabled && channel.samplingRate_Hz() == NineSixPlanRate_Hz &&
           channel.ssiInterfaceRate_Hz() == NineSixPlanRate_Hz && channel.ssiType == cmos &&
           channel.ssiNumLane == fourLanes && channel.ssiDataRate == SsiDataRate::SINGLE;
}

template <typename Path>
void BypassChain(Path& path)
{
    for (std::size_t stage = FirstOverrideStage; stage <= LastOverrideStage; ++stage) {
        path.stages[stage] = 1;
    }
}

// The pairing's chain: 96 kHz on 184.32 MHz.
constexpr std::uint64_t LowRatePairRatio = 1920;

template <typename Path>
std::uint64_t ChainRatio(const Path& path)
{
    std::uint64_t ratio = 1;
    for (std::size_t stage = FirstOverrideStage; stage <= LastOverrideStage; ++stage) {
        ratio *= path.stages[stage];
        if (ratio > LowRatePairRatio) {
            return ratio;  // already too large to be the pairing's; stop before it can wrap
        }
    }
    return ratio;
}

// A 96 kHz chain with a by-3 stage at the narrowband end gets its tail in the
// plan's order (by-2 last). A 144 kHz direction searched at 96 kHz (the
// pairing) has a ratio-1920 chain: it is first put into that same order and
// then has the by-3 stage swapped for a by-2 one: 2/3 of the 96 kHz ratio,
// the same clock. Without the first step a chain whose tail was not yet in
// order keeps a by-2 too many and misses the common clock. A 144 kHz chain of
// any other shape was searched at its own rate and already has its own clock:
// the lists would move that clock by a factor of ten.
template <typename Path, typename Setter>
void LowRatePlan_Apply(Path& path, std::uint32_t rate_Hz, Setter overridesSet)
{
    if (rate_Hz == 144000 && ChainRatio(path) != LowRatePairRatio) {
        return;
    }
    const bool by3AtTail = path.stages[NarrowbandBy3Stage] != 1;
    if ((rate_Hz == 96000 || rate_Hz == 144000) && by3AtTail) {
        (void)overridesSet(path, LowRate96kOverrides);
    }
    if (rate_Hz == 144000) {
        (void)overridesSet(path, LowRate144kOverrides);
    }
}

template <typename Path>
void CopyChain(const std::array<std::uint8_t, 18>& chain, Path& path)
{
    for (std::size_t stage = 0; stage < chain.size(); ++stage) {
        path.stages[stage] = chain[stage];
    }
}

}  // namespace

std::uint8_t FilterDesigner::DesignChains(const std::array<ChannelDesignRequest, 2>& requests,
                                          const DesignCriteria& criteria, std::array<ChannelDataPaths, 2>& paths)
{
    // The engine wants a channel with something enabled first.
    const ChannelDesignRecord& channel1 = requests[0].record;
    const std::size_t primary = (channel1.rxEnabled || channel1.txEnabled) ? 0 : 1;
    const std::size_t secondary = 1 - primary;
    std::array<ChannelDesignOutput, 2> outputs{};
    const std::int8_t status = Engine_DesignChains(criteria, requests[primary].record, requests[secondary].record,
                                                   outputs[primary], outputs[secondary]);
    if (status != ChainStatusSuccess) {
        ReportChainStatus(status);
        return 255;
    }

    for (std::size_t index = 0; index < 2; ++index) {
        const ChannelDesignOutput& output = outputs[index];
        ChannelDataPaths& path = paths[index];
        CopyChain(output.rxStages, path.rx);
        CopyChain(output.txStages, path.tx);
        path.rxRipple_dB = output.rxRipple_dB;
        path.txRipple_dB = output.txRipple_dB;
        path.rx.stages[RxPath::Hb34SelectStage] = output.rxStage21;
        path.rx.stages[RxPath::Hb56SelectStage] = output.rxStage22;
        path.rx.stages[RxPath::WblpfStage] = output.rxStage23;
        path.tx.stages[TxPath::WblpfStage] = output.txStage21;
        path.tx.stages[TxPath::DirectFmFskStage] = requests[index].record.txSpecialMode;
        if (PreprocessorInterpolation_Set(path.tx, requests[index].preprocessorInterpolation) != 0) {
            return 255;
        }
    }
    return SpecialPlans_Apply(paths);
}

std::uint8_t FilterDesigner::SpecialPlans_Apply(std::array<ChannelDataPaths, 2>& paths) const
{
    for (std::size_t index = 0; index < 2; ++index) {
        const RxChannelBlueprint& rx = savedBlueprint.rxChannel(index);
        const TxChannelBlueprint& tx = savedBlueprint.txChannel(index);
        RxPath& rxPath = paths[index].rx;
        TxPath& txPath = paths[index].tx;
        if (!lowRateMode) {
            if (!FollowsNineSixPlan(rx) || !FollowsNineSixPlan(tx)) {
                continue;
            }
            if (!savedBlueprint.expandedSearchEnable) {
                ErrorHandler::Message(LogLevel::ERROR, "Unable to create profile.", SourceUnit::FilterDesigner, 326);
                return 255;
            }
            // The plan is the whole chain: a searched chain may keep its by-2
            // stages elsewhere, and adding the plan's four on top would multiply
            // the ratio (and the clock) instead of fixing it at 16.
            BypassChain(rxPath);
            BypassChain(txPath);
            // The lists hold only valid stage indices, so a failure cannot occur; any would be reported.
            (void)DecimationOverrides_Set(rxPath, NineSixPlanOverrides);
            (void)InterpolationOverrides_Set(txPath, NineSixPlanOverrides);
            rxPath.stages[RxPath::Hb34SelectStage] = 3;
            rxPath.stages[RxPath::Hb56SelectStage] = 5;
            rxPath.stages[RxPath::WblpfStage] = ToInt(WidebandFilterSelect::BW_80);
            continue;
        }
        if (rx.enabled) {
            LowRatePlan_Apply(rxPath, rx.samplingRate_Hz(), DecimationOverrides_Set);
        }
        if (tx.enabled) {
            LowRatePlan_Apply(txPath, tx.samplingRate_Hz(), InterpolationOverrides_Set);
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
