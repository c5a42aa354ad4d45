#pragma once
// The modelling search: the last resort of chain selection when neither lookup
// table yields a chain and the criteria ask for it (useModelingSearch). It
// enumerates every admissible chain of each direction and, clock ratio by
// clock ratio, designs one chain per direction under the criteria's goal.

#include <cstddef>
#include <functional>

#include "engine/ChainDesign.h"

namespace Veltrix::Marlin::Native {

inline constexpr std::size_t ModelingSearchRatioCount = 7678;  // clock ratios 3 .. 7680

// Where a running search stands; reported after every feasible clock.
struct ModelingSearchProgress {
    std::size_t ratiosVisited = 0;  // of ModelingSearchRatioCount
    std::size_t feasibleClocks = 0;
    std::size_t pairsDesigned = 0;
    std::size_t candidatesScored = 0;
    double bestRipple_dB = 1000000.0;  // worst direction of the best pair so far
};

using ModelingSearchProgressCallback = std::function<void(const ModelingSearchProgress&)>;

// Called with the records as mirrored by Engine_DesignChains. Returns the final
// status (a double, rounded by the caller) and sets the first channel's chains
// and ripples in `chains`. The lookups' status is superseded.
double ModelingSearch(EngineContext& context,
                      const ChannelDesignRecord& first,
                      const ChannelDesignRecord& second,
                      ChainSelection& chains,
                      double lookupStatus,
                      const ModelingSearchProgressCallback& progress = {});

// What a search for one channel settles, for tools that run it on its own.
struct ModelingSearchOutcome {
    std::int8_t status = 0;  // as Engine_DesignChains
    StageCodes rxChain{};
    StageCodes txChain{};
    double rxRipple_dB = 1000000.0;
    double txRipple_dB = 1000000.0;
    double systemClock_Hz = 0.0;  // 0 when no chain was chosen
    ModelingSearchProgress totals;
};

// Runs the modelling search alone (no table lookups) for one channel's Rx and
// Tx, under the criteria's goal, target ripple, clock bounds and flags; a
// disabled direction gets no chain. The callback, when given, sees the progress.
ModelingSearchOutcome Engine_ModelingSearch(const DesignCriteria& criteria,
                                            const ChannelDesignRecord& channel,
                                            const ModelingSearchProgressCallback& progress = {});

}  // namespace Veltrix::Marlin::Native
