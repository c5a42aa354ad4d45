#pragma once
// How a designed transmit channel asks the design engine for its frequency
// response and its magnitude-compensation filters. The designer holds no data.

#include <cstdint>

#include "engine/EngineRecords.h"
#include "plover/base/Enums.h"

namespace Veltrix::Marlin::Native {

class TxChannel;
struct marlin_PfirMag21Buffer_t;
struct marlin_PfirMag13Buffer_t;

class TxFilterDesigner {
public:
    // Fills a transmit request from the designed channel; the request points
    // at the channel's stage bytes. Always 0.
    std::int8_t FilterRequest_Build(TxFilterRequest& request, const TxChannel& channel) const;

    // Runs the engine's transmit compensation into the two records. 0, or -1
    // after an ERROR line when the engine reports a failure.
    std::int8_t MagComp_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                               const TxFilterRequest& request) const;
};

}  // namespace Veltrix::Marlin::Native
