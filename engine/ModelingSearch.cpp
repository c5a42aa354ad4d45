// The modelling search over clock ratios 3..7680 for the first channel.

#include "engine/ModelingSearch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/ChainEnumeration.h"
#include "engine/DirectionDesign.h"

namespace Veltrix::Marlin::Native {
namespace {

constexpr int MinRatio = 3;
constexpr int MaxRatio = 7680;
constexpr double NoRipple_dB = 1000000.0;
// Below this transmit rate the search takes the narrowband option sets.
constexpr double NarrowbandBelow_Hz = 1250000.0;

void PrintAlways(const char* line)
{
    std::printf("%s", line);
    std::fflush(stdout);
}

// The rows of a chain list by overall ratio (up to MaxRatio), in row order.
struct RatioIndex {
    std::vector<std::vector<std::size_t>> rows;
    explicit RatioIndex(const ChainList& list) : rows(MaxRatio + 1)
    {
        for (std::size_t r = 0; r < list.size(); ++r) {
            const double ratio = list.ratio[r];
            if (ratio >= MinRatio && ratio <= MaxRatio) rows[static_cast<std::size_t>(ratio)].push_back(r);
        }
    }
};

// Distinct converter-side ratios of some rows, ascending.
std::vector<double> ConverterSides(const ChainList& list, const std::vector<std::size_t>& rows)
{
    std::vector<double> sides;
    for (std::size_t r : rows) {
        const double c = list.converterRatio[r];
        bool seen = false;
        for (double s : sides) seen = seen || s == c;
        if (!seen) sides.push_back(c);
    }
    std::sort(sides.begin(), sides.end());
    return sides;
}

std::vector<std::size_t> WithConverterSide(const ChainList& list, const std::vector<std::size_t>& rows, double side)
{
    std::vector<std::size_t> out;
    for (std::size_t r : rows) {
        if (list.converterRatio[r] == side) out.push_back(r);
    }
    return out;
}

bool SameOptions(const ChainOptionSet& a, const ChainOptionSet& b)
{
    for (std::size_t p = 0; p < a.size(); ++p) {
        if (a[p].codes != b[p].codes || a[p].bandwidthFactors != b[p].bandwidthFactors) return false;
    }
    return true;
}

struct SearchState {
    ModelingSearchProgress totals;
    double clock_Hz = 0.0;
    bool chosen = false;
};

double Search(EngineContext& context, const ChannelDesignRecord& first, const ChannelDesignRecord& second,
              ChainSelection& chains, const ModelingSearchProgressCallback& progress, SearchState& state)
{
    double status = 0.0;
    if (context.secondChannelUsed) {
        PrintAlways("Arbitrary response verification is not supported for MIMO Mode\n");
        return -6.0;
    }
    if (first.lifSelect != second.lifSelect || first.rxHb22WblpfSelect != second.rxHb22WblpfSelect) {
        PrintAlways("Arbitrary response verification is not supported for MIMO Mode with VLIF differences\n");
        return -6.0;
    }
    context.lifSelect = first.lifSelect;
    context.rxHb22WblpfSelect = first.rxHb22WblpfSelect;
    context.txHb22WblpfSelect = 0;

    // A direction that is off still needs a rate for the clock walk: it takes
    // the other direction's, and it is neither required nor designed.
    const bool rxOn = !context.firstRxDisabled;
    const bool txOn = !context.firstTxDisabled;
    const double rxRate = rxOn ? first.rxSampleRate_Hz : first.txSampleRate_Hz;
    const double txRate = txOn ? first.txSampleRate_Hz : first.rxSampleRate_Hz;

    context.bandTag = txRate < NarrowbandBelow_Hz ? "NB" : "WB";
    // Both directions share the stage layout: equal option sets give equal
    // lists, enumerated once (the debug line still appears per direction).
    const ChainOptionSet txSet = ChainOptionSet_Build(ChainDirection::Tx, context.bandTag, context.isTxSearchBifurcated != 0);
    const ChainOptionSet rxSet = ChainOptionSet_Build(ChainDirection::Rx, context.bandTag, context.isRxSearchBifurcated != 0);
    const ChainList txList = ChainList_Enumerate(txSet, context.isDebug);
    const bool sameSets = SameOptions(txSet, rxSet);
    if (sameSets && context.isDebug) {
        std::printf("Possible Ints/Decs Overall %ld\n", static_cast<long>(txList.size()));
        std::fflush(stdout);
    }
    const ChainList rxOwn = sameSets ? ChainList{} : ChainList_Enumerate(rxSet, context.isDebug);
    const ChainList& rxList = sameSets ? txList : rxOwn;
    const RatioIndex txIndex(txList);
    const RatioIndex rxIndex(rxList);
    PfirCandidateScorer rxScorer(ChainDirection::Rx, rxRate, first.rxBandwidth_Hz);
    PfirCandidateScorer txScorer(ChainDirection::Tx, txRate, first.txBandwidth_Hz);

    const bool stopOnTarget = Goal_Is(context.goal, "TargetChannelRipple") || Goal_Is(context.goal, "MaximizeChannelBandwidth");
    double best = NoRipple_dB;
    bool pairFound = false;
    bool done = false;
    for (int i = 0; i < static_cast<int>(ModelingSearchRatioCount) && !done; ++i) {
        state.totals.ratiosVisited = static_cast<std::size_t>(i) + 1;
        const int t = i + MinRatio;
        const double clock = txRate * t;
        if (clock < context.minSystemClock_Hz || clock > context.maxSystemClock_Hz) continue;
        const double exact = rxRate > 0.0 ? clock / rxRate : 0.0;
        const double r = std::floor(exact);
        if (r != exact || r < MinRatio || r > MaxRatio || rxRate * r != clock) continue;
        ++state.totals.feasibleClocks;
        const auto& txRows = txIndex.rows[static_cast<std::size_t>(t)];
        const auto& rxRows = rxIndex.rows[static_cast<std::size_t>(r)];
        if ((txOn && txRows.empty()) || (rxOn && rxRows.empty())) continue;
        if (context.isResponseIgnored == 1) break;

        const std::vector<double> rxSides = ConverterSides(rxList, rxRows);
        const std::vector<double> txSides = ConverterSides(txList, txRows);
        for (double rxSide : rxOn ? rxSides : txSides) {
            for (double txSide : txOn ? txSides : rxSides) {
                if (rxSide != txSide || done) continue;
                pairFound = true;
                if (context.isResponseIgnored == 2) continue;

                DirectionResult tx, rx;
                if (txOn) {
                    const std::vector<std::size_t> rows = WithConverterSide(txList, txRows, txSide);
                    tx = Direction_Design(context, {ChainDirection::Tx, double(t), txRate, clock, &txList, rows}, txScorer);
                }
                if (rxOn) {
                    const std::vector<std::size_t> rows = WithConverterSide(rxList, rxRows, rxSide);
                    rx = Direction_Design(context, {ChainDirection::Rx, r, rxRate, clock, &rxList, rows}, rxScorer);
                }
                ++state.totals.pairsDesigned;
                state.totals.candidatesScored += rx.scored + tx.scored;
                if (context.isDebug) {
                    std::printf("Ripple %f (RX) %f (TX)\n", rx.ripple_dB, tx.ripple_dB);
                    std::fflush(stdout);
                }
                // A direction that is off does not count; one that could not
                // be designed keeps the pair from improving.
                const double worst = std::max(rxOn ? rx.ripple_dB : 0.0, txOn ? tx.ripple_dB : 0.0);
                if (worst < best && (!rxOn || rx.improved) && (!txOn || tx.improved)) {
                    best = worst;
                    state.chosen = true;
                    state.clock_Hz = clock;
                    // The ripples reported are those of the chains delivered.
                    chains.firstRx = rx.chain;
                    chains.firstTx = tx.chain;
                    chains.firstRxRipple_dB = rxOn ? rx.ripple_dB : NoRipple_dB;
                    chains.firstTxRipple_dB = txOn ? tx.ripple_dB : NoRipple_dB;
                    state.totals.bestRipple_dB = best;
                    if (stopOnTarget && context.targetRipple_dB > worst) {
                        if (context.isDebug) {
                            std::printf("Target ripple met\n");
                            std::fflush(stdout);
                        }
                        done = true;
                    }
                }
            }
        }
        if (progress) progress(state.totals);
    }

    if (context.isResponseIgnored != 1 && !pairFound) status = -3.0;
    if (state.totals.feasibleClocks == 0) status = -2.0;
    if (context.isResponseIgnored == 0 && Goal_Is(context.goal, "TargetChannelRipple") &&
        best > context.targetRipple_dB) {
        status = -1.0;
    }
    // Nothing designable on any clock: no chain to deliver, so no success and
    // no "best chains found" either.
    if (context.isResponseIgnored == 0 && (status == 0.0 || status == -1.0) && !state.chosen) status = -3.0;
    if (progress) progress(state.totals);
    return status;
}

}  // namespace

double ModelingSearch(EngineContext& context,
                      const ChannelDesignRecord& first,
                      const ChannelDesignRecord& second,
                      ChainSelection& chains,
                      double /*lookupStatus*/,
                      const ModelingSearchProgressCallback& progress)
{
    SearchState state;
    return Search(context, first, second, chains, progress, state);
}

ModelingSearchOutcome Engine_ModelingSearch(const DesignCriteria& criteria,
                                            const ChannelDesignRecord& channel,
                                            const ModelingSearchProgressCallback& progress)
{
    ModelingSearchOutcome outcome;
    if (!channel.rxEnabled && !channel.txEnabled) {
        outcome.status = ChainStatusModeNotPossible;
        return outcome;
    }
    EngineContext context;
    context.rxHead0 = channel.rxHead0;
    context.rxHead1 = channel.rxHead1;
    context.rxReferenceRate_Hz = channel.rxReferenceRate_Hz;
    context.txReferenceRate_Hz = channel.txReferenceRate_Hz;
    context.txHead0Stage = channel.txHead0 != 0 ? 3.0 : 1.0;
    context.txHead1Stage = channel.txHead1 + 1.0;
    context.minSystemClock_Hz = criteria.minSystemClock();
    context.maxSystemClock_Hz = criteria.maxSystemClock();
    context.targetRipple_dB = criteria.targetRipple();
    context.goal = DesignGoal_FromSearchMode(criteria.searchMode());
    context.isDebug = criteria.isDebug();
    context.isRscicSearchFirst = criteria.isRscicSearchFirst();
    context.isRxSearchBifurcated = criteria.isRxSearchBifurcated() ? 1 : 0;
    context.isTxSearchBifurcated = criteria.isTxSearchBifurcated() ? 1 : 0;
    context.isResponseIgnored = criteria.isResponseIgnored();
    context.useModelingSearch = true;
    context.firstRxDisabled = !channel.rxEnabled;
    context.firstTxDisabled = !channel.txEnabled;
    context.secondRxDisabled = context.secondTxDisabled = true;

    ChainSelection chains;
    SearchState state;
    const double status = Search(context, channel, channel, chains, progress, state);
    outcome.status = static_cast<std::int8_t>(status);
    if (state.chosen) {
        outcome.rxChain = chains.firstRx;
        outcome.txChain = chains.firstTx;
        outcome.rxRipple_dB = chains.firstRxRipple_dB;
        outcome.txRipple_dB = chains.firstTxRipple_dB;
        outcome.systemClock_Hz = state.clock_Hz;
    }
    outcome.totals = state.totals;
    return outcome;
}

}  // namespace Veltrix::Marlin::Native
