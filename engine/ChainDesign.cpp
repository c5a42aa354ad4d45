// Engine_DesignChains: mirrors the enabled side of each direction into the
// disabled one, selects the chains (stock table, then custom table, then the
// modelling search when asked for) and composes the stage bytes.

#include "engine/ChainDesign.h"

#include <cmath>

#include "engine/CustomLookup.h"
#include "engine/ModelingSearch.h"
#include "engine/PrintSink.h"
#include "engine/StockLookup.h"

namespace Veltrix::Marlin::Native {
namespace {

constexpr double NoRipple_dB = 1000000.0;  // a direction that was not designed
constexpr double TableRipple_dB = -1.0;    // a table chain has no computed ripple

// Rounded half away from zero, then held to the byte range.
std::uint8_t SaturateToByte(double value)
{
    if (!(value > 0.0)) return 0;  // also NaN
    const double rounded = std::round(value);
    return rounded >= 255.0 ? 255 : static_cast<std::uint8_t>(rounded);
}

std::int8_t SaturateToStatus(double value)
{
    if (std::isnan(value)) return -128;
    const double rounded = std::round(value);
    if (rounded <= -128.0) return -128;
    if (rounded >= 127.0) return 127;
    return static_cast<std::int8_t>(rounded);
}

// The variant a selector byte picks for a stage that is either active (code 2)
// or not; selector 2 leaves the choice to the code itself.
std::uint8_t VariantChoice(std::uint8_t selector, double code)
{
    if (selector == 2) return code == 2.0 ? 1 : (code == 3.0 ? 2 : 0);
    return code == 2.0 ? (selector != 0 ? 2 : 1) : 0;
}

void MirrorDisabledSides(ChannelDesignRecord& first, ChannelDesignRecord& second)
{
    auto copyRx = [](const ChannelDesignRecord& from, ChannelDesignRecord& to) {
        to.rxSampleRate_Hz = from.rxSampleRate_Hz;
        to.rxBandwidth_Hz = from.rxBandwidth_Hz;
        to.lifSelect = from.lifSelect;
        to.rxHb22WblpfSelect = from.rxHb22WblpfSelect;
        to.txHb22WblpfSelect = from.txHb22WblpfSelect;
    };
    auto copyTx = [](const ChannelDesignRecord& from, ChannelDesignRecord& to) {
        to.txSampleRate_Hz = from.txSampleRate_Hz;
        to.txBandwidth_Hz = from.txBandwidth_Hz;
        to.txSpecialMode = from.txSpecialMode;
    };
    if (first.rxEnabled && !second.rxEnabled) copyRx(first, second);
    if (!first.rxEnabled && second.rxEnabled) copyRx(second, first);
    if (first.txEnabled && !second.txEnabled) copyTx(first, second);
    if (!first.txEnabled && second.txEnabled) copyTx(second, first);
}

double SelectChains(EngineContext& context,
                    const ChannelDesignRecord& first,
                    const ChannelDesignRecord& second,
                    ChainSelection& chains)
{
    auto tableRipples = [&chains] {
        chains.firstRxRipple_dB = chains.firstTxRipple_dB = TableRipple_dB;
        chains.secondRxRipple_dB = chains.secondTxRipple_dB = TableRipple_dB;
    };
    double status = StockLookup(context, first, second, chains);
    if (status == 0) {
        tableRipples();
        return status;
    }
    if (context.useExtendedLookup) {
        if (first.txSpecialMode != 0 || second.txSpecialMode != 0) return -5;
        chains = ChainSelection{};
        status = CustomLookup(context, first, second, chains);
        if (status == 0) {
            if (context.isDebug) Print("Using Direct lookup solution (Custom)\n");
            tableRipples();
            return status;
        }
    }
    if (context.useModelingSearch) status = ModelingSearch(context, first, second, chains, status);
    return status;
}

void WriteStages(const EngineContext& context,
                 const StageCodes& rx,
                 const StageCodes& tx,
                 ChannelDesignOutput& output)
{
    output.rxStages[0] = SaturateToByte(context.rxHead0);
    output.rxStages[1] = SaturateToByte(context.rxHeadFixed);
    output.txStages[0] = SaturateToByte(context.txHead0Stage);
    output.txStages[1] = SaturateToByte(context.txHead1Stage);
    for (std::size_t i = 0; i < rx.size(); ++i) {
        output.rxStages[i + 2] = SaturateToByte(rx[i]);
        output.txStages[i + 2] = SaturateToByte(tx[i]);
    }
}

void WriteVariants(const ChannelDesignRecord& record,
                   const StageCodes& rx,
                   const StageCodes& tx,
                   ChannelDesignOutput& output)
{
    const std::uint8_t lif = VariantChoice(record.lifSelect, rx[1]);
    output.rxStage21 = lif == 1 ? 3 : (lif == 2 ? 4 : 1);
    output.rxStage22 = lif == 1 ? 5 : (lif == 2 ? 6 : 1);
    output.rxStage23 = VariantChoice(record.rxHb22WblpfSelect, rx[7]);
    output.txStage21 = VariantChoice(record.txHb22WblpfSelect, tx[7]);
}

}  // namespace

void ChainVariants_Get(const ChannelDesignRecord& record, const StageCodes& rx, const StageCodes& tx,
                       ChannelDesignOutput& output)
{
    WriteVariants(record, rx, tx, output);
}

EngineContext MakeContext(const DesignCriteria& criteria, const ChannelDesignRecord& first)
{
    EngineContext context;
    context.rxHead0 = first.rxHead0;
    context.rxHead1 = first.rxHead1;
    context.rxReferenceRate_Hz = first.rxReferenceRate_Hz;
    context.txReferenceRate_Hz = first.txReferenceRate_Hz;
    context.txHead0Stage = first.txHead0 != 0 ? 3.0 : 1.0;
    context.txHead1Stage = first.txHead1 + 1.0;
    context.minSystemClock_Hz = criteria.minSystemClock();
    context.maxSystemClock_Hz = criteria.maxSystemClock();
    context.targetRipple_dB = criteria.targetRipple();
    context.goal = DesignGoal_FromSearchMode(criteria.searchMode());
    context.isDebug = criteria.isDebug();
    context.isRscicSearchFirst = criteria.isRscicSearchFirst();
    context.useExtendedLookup = criteria.useExtendedLookup();
    context.useModelingSearch = criteria.useModelingSearch();
    context.isRxSearchBifurcated = criteria.isRxSearchBifurcated() ? 1 : 0;
    context.isTxSearchBifurcated = criteria.isTxSearchBifurcated() ? 1 : 0;
    context.isResponseIgnored = criteria.isResponseIgnored();
    return context;
}

std::string DesignGoal_FromSearchMode(std::uint8_t searchMode)
{
    switch (searchMode) {
    case 0:
        return std::string("MaximizeChannelBandwidthLowPower").substr(0, 24);
    case 1:
        return "TargetChannelRipple";
    case 2:
        return "MinimizeChannelRipple";
    default:
        return "";
    }
}

std::int8_t Engine_DesignChains(const DesignCriteria& criteria,
                                const ChannelDesignRecord& firstRecord,
                                const ChannelDesignRecord& secondRecord,
                                ChannelDesignOutput& firstOutput,
                                ChannelDesignOutput& secondOutput)
{
    if (!firstRecord.rxEnabled && !firstRecord.txEnabled && !secondRecord.rxEnabled && !secondRecord.txEnabled) {
        // Nothing to design; the status fields must not read as success.
        firstOutput.status = secondOutput.status = ChainStatusModeNotPossible;
        return ChainStatusModeNotPossible;
    }

    ChannelDesignRecord first = firstRecord;
    ChannelDesignRecord second = secondRecord;
    EngineContext context = MakeContext(criteria, first);
    MirrorDisabledSides(first, second);
    context.firstRxDisabled = !first.rxEnabled;
    context.firstTxDisabled = !first.txEnabled;
    context.secondRxDisabled = !second.rxEnabled;
    context.secondTxDisabled = !second.txEnabled;
    context.secondChannelUsed = second.rxEnabled || second.txEnabled;
    context.lifSelect = first.lifSelect;
    context.rxHb22WblpfSelect = first.rxHb22WblpfSelect;

    ChainSelection chains;
    const double rawStatus = SelectChains(context, first, second, chains);
    auto clear = [](bool disabled, StageCodes& codes, double& ripple_dB) {
        if (!disabled) return;
        codes = {};
        ripple_dB = NoRipple_dB;
    };
    clear(context.firstRxDisabled, chains.firstRx, chains.firstRxRipple_dB);
    clear(context.firstTxDisabled, chains.firstTx, chains.firstTxRipple_dB);
    clear(context.secondRxDisabled, chains.secondRx, chains.secondRxRipple_dB);
    clear(context.secondTxDisabled, chains.secondTx, chains.secondTxRipple_dB);

    const std::int8_t status = SaturateToStatus(rawStatus);
    if (context.isResponseIgnored == 0 && (status == 0 || status == -1)) {
        WriteStages(context, chains.firstRx, chains.firstTx, firstOutput);
        WriteStages(context, chains.secondRx, chains.secondTx, secondOutput);
    }
    WriteVariants(first, chains.firstRx, chains.firstTx, firstOutput);
    WriteVariants(second, chains.secondRx, chains.secondTx, secondOutput);
    firstOutput.rxRipple_dB = chains.firstRxRipple_dB;
    firstOutput.txRipple_dB = chains.firstTxRipple_dB;
    secondOutput.rxRipple_dB = chains.secondRxRipple_dB;
    secondOutput.txRipple_dB = chains.secondTxRipple_dB;
    firstOutput.status = secondOutput.status = status;
    return status;
}

}  // namespace Veltrix::Marlin::Native
