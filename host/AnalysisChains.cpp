// The modelling search on its own, for rates given directly: the chains,
// the system clock, the ripples, and a blueprint that pins what was found.

#include <cmath>
#include <stdexcept>

#include "engine/ChainDesign.h"
#include "engine/ModelingSearch.h"
#include "host/Analysis.h"
#include "plover/design/FilterDesigner.h"
#include "plover/profile/RxChannel.h"

namespace Veltrix::Marlin {

namespace {

std::uint8_t SearchMode(ChainsRequest::Goal goal)
{
    switch (goal) {
    case ChainsRequest::Goal::TargetRipple: return 1;
    case ChainsRequest::Goal::MinimizeRipple: return 2;
    case ChainsRequest::Goal::MaximizeBandwidth:
    default: return 0;
    }
}

std::vector<int> Chain(const Native::StageCodes& stages)
{
    std::vector<int> chain;
    for (double stage : stages) {
        chain.push_back(static_cast<int>(std::lround(stage)));
    }
    return chain;
}

void Check(const ChainsRequest& request)
{
    if (request.rxRate_Hz == 0 || request.rxBandwidth_Hz == 0) {
        throw std::invalid_argument("The receive rate and bandwidth must be above 0 Hz.");
    }
    if ((request.txRate_Hz == 0) != (request.txBandwidth_Hz == 0)) {
        throw std::invalid_argument("The transmit rate and bandwidth go together: give both or neither.");
    }
    if (request.minClock_Hz > request.maxClock_Hz) {
        throw std::invalid_argument("The lowest system clock is above the highest.");
    }
    if (request.goal == ChainsRequest::Goal::TargetRipple &&
        !(request.targetRipple_dB && std::isfinite(*request.targetRipple_dB) && *request.targetRipple_dB > 0.0)) {
        throw std::invalid_argument("The target-ripple goal needs a target ripple above 0 dB.");
    }
}

// What no search can get round, in words, before running one.
std::string Obstacle(const ChainsRequest& request)
{
    const auto direction = [](const char* name, std::uint32_t rate, std::uint32_t bandwidth) -> std::string {
        if (bandwidth > rate) {
            return std::string("the ") + name + " bandwidth (" + std::to_string(bandwidth) +
                   " Hz) is above its rate (" + std::to_string(rate) + " Hz)";
        }
        if (rate < Native::RxSamplingRateMin_Hz || rate > Native::RxSamplingRateMax_Hz) {
            return std::string("the ") + name + " rate " + std::to_string(rate) + " Hz is outside the range " +
                   std::to_string(Native::RxSamplingRateMin_Hz) + " to " + std::to_string(Native::RxSamplingRateMax_Hz) +
                   " Hz";
        }
        return {};
    };
    std::string cause = direction("receive", request.rxRate_Hz, request.rxBandwidth_Hz);
    if (cause.empty() && request.txRate_Hz != 0) {
        cause = direction("transmit", request.txRate_Hz, request.txBandwidth_Hz);
    }
    return cause;
}

// Rx 1 (and Tx 1) at the request's rates, designed by the filter designer
// under the search's own criteria and then pinned to the chains the search
// found: the designer fills every byte beside the chain (heads, variant
// selections), and a pinned (designed) data path is what a later design
// keeps. Empty when the designer cannot complete such a blueprint.
std::optional<MarlinBlueprint> PinnedBlueprint(const ChainsRequest& request, const Native::DesignCriteria& criteria,
                                               const ChainsOutcome& outcome)
{
    Native::MarlinBlueprint blueprint;
    // The default blueprint names no device clock; 38.4 MHz is the one every
    // bundled example uses.
    blueprint.deviceClockInput_kHz = 38400;
    Native::RxChannelBlueprint& rx = blueprint.rxChannel1;
    rx.enabled = true;
    rx.samplingRate_Hz(request.rxRate_Hz);
    rx.rfChannelBandwidth_Hz = request.rxBandwidth_Hz;
    if (request.txRate_Hz != 0) {
        Native::TxChannelBlueprint& tx = blueprint.txChannel1;
        tx.enabled = true;
        tx.samplingRate_Hz(request.txRate_Hz);
        tx.rfChannelBandwidth_Hz = request.txBandwidth_Hz;
    }
    Native::FilterDesigner designer;
    if (designer.Design(blueprint, criteria, false) != 0) {
        return std::nullopt;
    }
    // Where a table served the rates, the designer's chain differs from the
    // search's; the variant selections then follow the pinned chain.
    Native::StageCodes rxCodes{};
    Native::StageCodes txCodes{};
    for (std::size_t i = 0; i < outcome.rxChain.size(); ++i) {
        rx.dataPath.stages[Native::FirstOverrideStage + i] = static_cast<unsigned char>(outcome.rxChain[i]);
        rxCodes[i] = outcome.rxChain[i];
    }
    Native::TxChannelBlueprint& tx = blueprint.txChannel1;
    for (std::size_t i = 0; i < outcome.txChain.size(); ++i) {
        tx.dataPath.stages[Native::FirstOverrideStage + i] = static_cast<unsigned char>(outcome.txChain[i]);
        txCodes[i] = outcome.txChain[i];
    }
    Native::ChannelDesignOutput variants;
    Native::ChainVariants_Get(Native::ChannelDesignRequest_Build(blueprint, 0).record, rxCodes, txCodes, variants);
    rx.dataPath.stages[Native::RxPath::Hb34SelectStage] = variants.rxStage21;
    rx.dataPath.stages[Native::RxPath::Hb56SelectStage] = variants.rxStage22;
    rx.dataPath.stages[Native::RxPath::WblpfStage] = variants.rxStage23;
    if (tx.enabled) {
        tx.dataPath.stages[Native::TxPath::WblpfStage] = variants.txStage21;
    }
    return MarlinBlueprint(&blueprint);
}

}  // namespace

ChainsOutcome Analysis::Chains_Find(const ChainsRequest& request,
                                    const std::function<void(const ChainsProgress&)>& progress, bool wantBlueprint)
{
    Check(request);
    ChainsOutcome outcome;
    outcome.cause = Obstacle(request);
    if (!outcome.cause.empty()) {
        return outcome;
    }

    Native::DesignCriteria criteria;
    criteria.searchMode(SearchMode(request.goal));
    if (request.targetRipple_dB) {
        criteria.targetRipple(*request.targetRipple_dB);
    }
    criteria.minSystemClock(request.minClock_Hz);
    criteria.maxSystemClock(request.maxClock_Hz);
    criteria.useModelingSearch(true);

    // The default blueprint's first pair at these rates, built into a channel
    // request the way a design builds it (its ADC rate chooses the chain heads).
    Native::MarlinBlueprint blueprint;
    blueprint.adcRate(blueprint.adcRate());
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(request.rxRate_Hz);
    blueprint.rxChannel1.rfChannelBandwidth_Hz = request.rxBandwidth_Hz;
    blueprint.txChannel1.enabled = request.txRate_Hz != 0;
    blueprint.txChannel1.samplingRate_Hz(request.txRate_Hz);
    blueprint.txChannel1.rfChannelBandwidth_Hz = request.txBandwidth_Hz;
    const Native::ChannelDesignRecord record = Native::ChannelDesignRequest_Build(blueprint, 0).record;

    Native::ModelingSearchProgressCallback callback;
    if (progress) {
        callback = [&progress](const Native::ModelingSearchProgress& p) {
            progress({p.ratiosVisited, Native::ModelingSearchRatioCount, p.pairsDesigned, p.bestRipple_dB});
        };
    }
    const Native::ModelingSearchOutcome found = Native::Engine_ModelingSearch(criteria, record, callback);
    outcome.status = found.status;
    outcome.systemClock_Hz = found.systemClock_Hz;
    outcome.rxChain = Chain(found.rxChain);
    outcome.rxRipple_dB = found.rxRipple_dB;
    if (record.txEnabled != 0) {
        outcome.txChain = Chain(found.txChain);
        outcome.txRipple_dB = found.txRipple_dB;
    }
    outcome.found = found.status == 0 && found.systemClock_Hz != 0.0;
    if (outcome.found && wantBlueprint) {
        outcome.blueprint = PinnedBlueprint(request, criteria, outcome);
    }
    if (!outcome.found) {
        outcome.cause = found.status == Native::ChainStatusTargetRippleNotMet
                            ? "no chain meets the target ripple"
                            : "no system clock between " + std::to_string(request.minClock_Hz) + " and " +
                                  std::to_string(request.maxClock_Hz) + " Hz serves these rates";
    }
    return outcome;
}

}  // namespace Veltrix::Marlin
