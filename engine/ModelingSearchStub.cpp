// Placeholder until the modelling search is built: the lookups' verdict stands.
// Replace this file with the real search; nothing else needs to change.

#include "engine/ModelingSearch.h"

namespace Veltrix::Marlin::Native {

double ModelingSearch(EngineContext& /*context*/,
                      const ChannelDesignRecord& /*first*/,
                      const ChannelDesignRecord& /*second*/,
                      ChainSelection& /*chains*/,
                      double lookupStatus)
{
    return lookupStatus;
}

}  // namespace Veltrix::Marlin::Native
