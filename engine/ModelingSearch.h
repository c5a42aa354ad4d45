#pragma once
// The modelling search: the last resort of chain selection when neither lookup
// table yields a chain and the criteria ask for it (useModelingSearch).

#include "engine/ChainDesign.h"

namespace Veltrix::Marlin::Native {

// Called with the records as mirrored by Engine_DesignChains and the status the
// lookups left. Returns the final status (a double, rounded by the caller) and
// sets the first channel's chains and ripples in `chains`.
double ModelingSearch(EngineContext& context,
                      const ChannelDesignRecord& first,
                      const ChannelDesignRecord& second,
                      ChainSelection& chains,
                      double lookupStatus);

}  // namespace Veltrix::Marlin::Native
