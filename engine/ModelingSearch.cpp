// The modelling search over clock ratios 3..7680 for the first channel.

#include "engine/ModelingSearch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/ChainEnumeration.h"
#include "engine/DirectionDesign.h"
#include "engine/PrintSink.h"

namespace Veltrix::Marlin::Native {
namespace {

constexpr int MinRatio = 3;
constexpr int MaxRatio = 7680;
constexpr double NoRipple_dB = 1000000.0;
// Below this transmit rate the search takes the narrowband option sets.
constexpr double NarrowbandBelow_Hz = 1250000.0;

void PrintAlways(const char* line)
{
    Print(line);
}

// The rows of a chain list by overall ratio (up to MaxRatio), in row order.
struct RatioIndex {
    std::vector<std::vector<std::size_t>> rows;
    RatioIndex() = default;
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

// The chain lists, their ratio indices and the scorers of one search, with
// the rates the clock walk uses. A direction that is off still needs a rate
// for the walk: it takes the other direction's, and it is neither required
// nor designed.
class ClockRatioSearch {
public:
    ClockRatioSearch(EngineContext& context, const ChannelDesignRecord& first)
        : context_(context),
          rxOn_(!context.firstRxDisabled),
          txOn_(!context.firstTxDisabled),
          rxRate_(rxOn_ ? first.rxSampleRate_Hz : first.txSampleRate_Hz),
          txRate_(txOn_ ? first.txSampleRate_Hz : first.rxSampleRate_Hz),
          rxScorer_(ChainDirection::Rx, rxRate_, first.rxBandwidth_Hz),
          txScorer_(ChainDirection::Tx, txRate_, first.txBandwidth_Hz)
    {
        context.bandTag = txRate_ < NarrowbandBelow_Hz ? "NB" : "WB";
        // Both directions share the stage layout: equal option sets give equal
        // lists, enumerated once (the debug line still appears per direction).
        const ChainOptionSet txSet =
            ChainOptionSet_Build(ChainDirection::Tx, context.bandTag, context.isTxSearchBifurcated != 0);
        const ChainOptionSet rxSet =
            ChainOptionSet_Build(ChainDirection::Rx, context.bandTag, context.isRxSearchBifurcated != 0);
        txList_ = ChainList_Enumerate(txSet, context.isDebug);
        sameLists_ = SameOptions(txSet, rxSet);
        if (sameLists_ && context.isDebug) {
            PrintFormatted("Possible Ints/Decs Overall %ld\n", static_cast<long>(txList_.size()));
        }
        if (!sameLists_) rxOwnList_ = ChainList_Enumerate(rxSet, context.isDebug);
        txIndex_ = RatioIndex(txList_);
        rxIndex_ = RatioIndex(RxList());
    }

    double Run(ChainSelection& chains, const ModelingSearchProgressCallback& progress, SearchState& state)
    {
        const bool stopOnTarget =
            Goal_Is(context_.goal, "TargetChannelRipple") || Goal_Is(context_.goal, "MaximizeChannelBandwidth");
        for (std::size_t i = 0; i < ModelingSearchRatioCount && !done_; ++i) {
            state.totals.ratiosVisited = i + 1;
            const int t = static_cast<int>(i) + MinRatio;
            const double clock = txRate_ * t;
            if (clock < context_.minSystemClock_Hz || clock > context_.maxSystemClock_Hz) continue;
            const double r = ReceiveRatio(clock);
            if (r == 0.0) continue;
            ++state.totals.feasibleClocks;
            const auto& txRows = txIndex_.rows[static_cast<std::size_t>(t)];
            const auto& rxRows = rxIndex_.rows[static_cast<std::size_t>(r)];
            if ((txOn_ && txRows.empty()) || (rxOn_ && rxRows.empty())) continue;
            if (context_.isResponseIgnored == 1) break;

            const std::vector<double> rxSides = ConverterSides(RxList(), rxRows);
            const std::vector<double> txSides = ConverterSides(txList_, txRows);
            for (double rxSide : rxOn_ ? rxSides : txSides) {
                for (double txSide : txOn_ ? txSides : rxSides) {
                    if (rxSide != txSide || done_) continue;
                    pairFound_ = true;
                    if (context_.isResponseIgnored == 2) continue;
                    DesignPair(t, r, clock, rxSide, rxRows, txRows, stopOnTarget, chains, state);
                }
            }
            if (progress) progress(state.totals);
        }
        return FinalStatus(state);
    }

private:
    const ChainList& RxList() const { return sameLists_ ? txList_ : rxOwnList_; }

    // The smallest receive ratio that lands on the clock exactly, 0 for none.
    double ReceiveRatio(double clock) const
    {
        const double exact = rxRate_ > 0.0 ? clock / rxRate_ : 0.0;
        const double r = std::floor(exact);
        return (r == exact && r >= MinRatio && r <= MaxRatio && rxRate_ * r == clock) ? r : 0.0;
    }

    void DesignPair(int t, double r, double clock, double side, const std::vector<std::size_t>& rxRows,
                    const std::vector<std::size_t>& txRows, bool stopOnTarget, ChainSelection& chains,
                    SearchState& state)
    {
        DirectionResult tx, rx;
        if (txOn_) {
            const std::vector<std::size_t> rows = WithConverterSide(txList_, txRows, side);
            tx = Direction_Design(context_, {ChainDirection::Tx, double(t), txRate_, clock, &txList_, rows},
                                  txScorer_);
        }
        if (rxOn_) {
            const std::vector<std::size_t> rows = WithConverterSide(RxList(), rxRows, side);
            rx = Direction_Design(context_, {ChainDirection::Rx, r, rxRate_, clock, &RxList(), rows}, rxScorer_);
        }
        ++state.totals.pairsDesigned;
        state.totals.candidatesScored += rx.scored + tx.scored;
        if (context_.isDebug) {
            PrintFormatted("Ripple %f (RX) %f (TX)\n", rx.ripple_dB, tx.ripple_dB);
        }
        // A direction that is off does not count; one that could not be
        // designed keeps the pair from improving (its ripple is unscored).
        const double worst = std::max(rxOn_ ? rx.ripple_dB : 0.0, txOn_ ? tx.ripple_dB : 0.0);
        if (!(worst < best_) || (rxOn_ && !rx.improved) || (txOn_ && !tx.improved)) return;
        best_ = worst;
        state.chosen = true;
        state.clock_Hz = clock;
        state.totals.bestRipple_dB = best_;
        // The ripples reported are those of the chains delivered.
        chains.firstRx = rx.chain;
        chains.firstTx = tx.chain;
        chains.firstRxRipple_dB = rxOn_ ? rx.ripple_dB : NoRipple_dB;
        chains.firstTxRipple_dB = txOn_ ? tx.ripple_dB : NoRipple_dB;
        if (stopOnTarget && context_.targetRipple_dB > worst) {
            if (context_.isDebug) {
                Print("Target ripple met\n");
            }
            done_ = true;
        }
    }

    double FinalStatus(const SearchState& state) const
    {
        double status = 0.0;
        if (context_.isResponseIgnored != 1 && !pairFound_) status = -3.0;
        if (state.totals.feasibleClocks == 0) status = -2.0;
        if (context_.isResponseIgnored == 0 && Goal_Is(context_.goal, "TargetChannelRipple") &&
            best_ > context_.targetRipple_dB) {
            status = -1.0;
        }
        // Nothing designable on any clock: no chain to deliver, so neither a
        // success nor "best chains found".
        if (context_.isResponseIgnored == 0 && (status == 0.0 || status == -1.0) && !state.chosen) status = -3.0;
        return status;
    }

    EngineContext& context_;
    bool rxOn_;
    bool txOn_;
    double rxRate_;
    double txRate_;
    PfirCandidateScorer rxScorer_;
    PfirCandidateScorer txScorer_;
    ChainList txList_;
    ChainList rxOwnList_;
    bool sameLists_ = false;
    RatioIndex txIndex_;
    RatioIndex rxIndex_;
    double best_ = NoRipple_dB;  // worst direction of the best pair so far
    bool pairFound_ = false;
    bool done_ = false;
};

double Search(EngineContext& context, const ChannelDesignRecord& first, const ChannelDesignRecord& second,
              ChainSelection& chains, const ModelingSearchProgressCallback& progress, SearchState& state)
{
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

    ClockRatioSearch search(context, first);
    const double status = search.Run(chains, progress, state);
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
    // The search needs no table, so useExtendedLookup is left unread.
    EngineContext context = MakeContext(criteria, channel);
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
