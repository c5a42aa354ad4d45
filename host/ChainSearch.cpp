#include "host/ChainSearch.h"

#include <cmath>

#include "engine/ModelingSearch.h"
#include "plover/design/FilterDesigner.h"

namespace Veltrix::Marlin {

namespace {

std::array<std::int32_t, 16> Chain(const Native::StageCodes& stages)
{
    std::array<std::int32_t, 16> out{};
    for (std::size_t i = 0; i < out.size() && i < stages.size(); ++i) {
        out[i] = static_cast<std::int32_t>(std::lround(stages[i]));
    }
    return out;
}

}  // namespace

ChainSearchRequest::ChainSearchRequest()
    : minSystemClock_Hz(Native::DesignCriteria::DefaultMinSystemClock_Hz),
      maxSystemClock_Hz(Native::DesignCriteria::DefaultMaxSystemClock_Hz)
{
}

ChainSearchResult ChainSearch::Run(const ChainSearchRequest& request,
                                   const std::function<void(const ChainSearchProgress&)>& progress)
{
    Native::DesignCriteria criteria;
    criteria.searchMode(static_cast<std::uint8_t>(request.goal));
    criteria.targetRipple(request.targetRipple_dB);
    criteria.minSystemClock(request.minSystemClock_Hz);
    criteria.maxSystemClock(request.maxSystemClock_Hz);
    criteria.useModelingSearch(true);

    // The default blueprint's first pair carries the chain heads its ADC rate chooses.
    Native::MarlinBlueprint blueprint;
    blueprint.adcRate(blueprint.adcRate());
    blueprint.rxChannel1.enabled = true;
    blueprint.rxChannel1.samplingRate_Hz(request.rxRate_Hz);
    blueprint.rxChannel1.rfChannelBandwidth_Hz = request.rxBandwidth_Hz;
    blueprint.txChannel1.enabled = request.txRate_Hz != 0;
    blueprint.txChannel1.samplingRate_Hz(request.txRate_Hz);
    blueprint.txChannel1.rfChannelBandwidth_Hz = request.txBandwidth_Hz;
    const Native::ChannelDesignRequest channel = Native::ChannelDesignRequest_Build(blueprint, 0);

    Native::ModelingSearchProgressCallback forward;
    if (progress) {
        forward = [&progress](const Native::ModelingSearchProgress& p) {
            progress({p.ratiosVisited, Native::ModelingSearchRatioCount, p.pairsDesigned, p.bestRipple_dB});
        };
    }
    const Native::ModelingSearchOutcome outcome = Native::Engine_ModelingSearch(criteria, channel.record, forward);

    ChainSearchResult result;
    result.status = outcome.status;
    result.systemClockFrequency_Hz = outcome.systemClock_Hz;
    result.rxChain = Chain(outcome.rxChain);
    result.txChain = Chain(outcome.txChain);
    result.rxRipple_dB = outcome.rxRipple_dB;
    result.txRipple_dB = outcome.txRipple_dB;
    return result;
}

}  // namespace Veltrix::Marlin
