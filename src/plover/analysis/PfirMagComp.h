#pragma once
// Filling a profile's PFIR banks from a designed channel. A receiver gets six
// magnitude-compensation designs (high-performance and low-power ADC, each for
// the wide analog corner at the high rate, and for its narrow-band corner at
// the high rate and at the low rate), its 13-tap low-rate filter, its
// pulse-shaping bank and its channel-filter banks; a transmitter gets its
// compensation pair and its pre-processor channel-filter banks.

#include <cstdint>

#include "engine/EngineRecords.h"
#include "plover/profile/Pfir.h"

namespace Veltrix::Marlin::Native {

// The compensation designs behind the PFIR entries: by default the filter
// designers' MagComp_Design. Tests substitute statuses that no real channel
// steers the engine to.
class MagCompDesigner {
public:
    virtual ~MagCompDesigner() = default;
    virtual std::uint8_t Rx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                   const RxFilterRequest& request) const;
    virtual std::int8_t Tx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                  const TxFilterRequest& request) const;
};

// A design pair fails only when both members fail; the first fatal failure
// ends the operation with -1, keeping the banks written before it.
std::int8_t RxMagnitudeCompensation_Design(Pfir& pfir, const RxChannel& channel, const MagCompDesigner& designer);
// A failed design leaves the banks unchanged.
std::int8_t TxMagnitudeCompensation_Design(Pfir& pfir, const TxChannel& channel, const MagCompDesigner& designer);

}  // namespace Veltrix::Marlin::Native
