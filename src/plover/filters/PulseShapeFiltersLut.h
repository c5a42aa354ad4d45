#pragma once
// The pulse-shaping filter of a narrowband receive channel: one 128-tap bank
// of the pulse-shaping FIR, either a fixed set picked by key or coefficients
// the caller supplies.

#include <cstdint>
#include <span>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

class PulseShapeFilter {
public:
    PulseShapeFilter() = default;

    // Fills positions 0 onwards (the rest stay 0) under the fixed bank header:
    // all 128 taps, no symmetry folding, gain select 2. More than 128
    // coefficients raise an error.
    explicit PulseShapeFilter(std::span<const std::int32_t> coefficients);

    marlin_PfirPulseBuffer_t buffer{};
};

// The pulse-shaping filter of a fixed set; a key outside the enumeration raises an error.
PulseShapeFilter PulseShapeFilter_Lookup(PulseShapeFilterSelect select);

// The fixed set for a receive channel's signal setup, sampling rate and RF
// channel bandwidth. P25 has no shaping filter yet and raises an error, as
// does a setup outside the enumeration.
PulseShapeFilterSelect PulseShapeFilterSelect_Get(RxChannelSignalSetup setup, std::uint32_t samplingRate_Hz,
                                                  std::uint32_t bandwidth_Hz);

}  // namespace Veltrix::Marlin::Native
