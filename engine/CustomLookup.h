#pragma once
// The custom lookup: chains from the custom tables for rates the stock chains
// cannot put on a clock inside the bounds.

#include "engine/ChainDesign.h"

namespace Veltrix::Marlin::Native {

// Fills `chains` with the rows' chains of the first working combination and
// returns the status: 0, -2, -3, -4 or -7 (unknown selector configuration).
double CustomLookup(const EngineContext& context,
                    const ChannelDesignRecord& first,
                    const ChannelDesignRecord& second,
                    ChainSelection& chains);

}  // namespace Veltrix::Marlin::Native
