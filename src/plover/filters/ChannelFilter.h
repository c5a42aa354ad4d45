#pragma once
// The channel filter of a receive or transmit channel: one 128-tap bank of the
// wideband/narrowband programmable FIR, either a fixed set picked by key or
// coefficients the caller supplies.

#include <cstdint>
#include <span>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

class ChannelFilter {
public:
    ChannelFilter() = default;

    // Fills positions 0 onwards (the rest stay 0) under the fixed bank header:
    // all 128 taps, no symmetry folding, taps select 3, gain select 2.
    // More than 128 coefficients raise an error.
    explicit ChannelFilter(std::span<const std::int32_t> coefficients);

    marlin_PfirWbNbBuffer_t buffer{};
};

// The channel filter of a fixed set; a key outside the enumeration raises an error.
ChannelFilter ChannelFilter_Lookup(ChannelFilterSelect select);

// The fixed set a receive channel asking for a looked-up filter gets for its
// sampling rate and RF channel bandwidth; pairs without a set of their own get Unity.
ChannelFilterSelect ChannelFilterSelect_Get(std::uint32_t samplingRate_Hz, std::uint32_t bandwidth_Hz);

}  // namespace Veltrix::Marlin::Native
