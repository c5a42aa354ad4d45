#pragma once
// How a designed receive channel asks the design engine for its frequency
// response and its magnitude-compensation filters. The designer holds no data.

#include <cstdint>

#include "engine/EngineRecords.h"
#include "plover/base/Enums.h"

namespace Veltrix::Marlin::Native {

class RxChannel;
struct marlin_PfirMag21Buffer_t;
struct marlin_PfirMag13Buffer_t;

class RxFilterDesigner {
public:
    // Fills the fields a receive request carries from the designed channel;
    // fields not named here (mode5) keep what the caller zeroed them to. The
    // request points at the channel's stage bytes, so it lives no longer than
    // the channel. Selectors: compensationMode 1 or 2 asks for the low-rate
    // compensation filter; hb012Select 2 hands over the channel's HB012
    // selection; analogFilterSelect 1 is the TIA; highPowerSelect 1 the
    // high-power ADC. Always 0.
    std::int8_t FilterRequest_Build(RxFilterRequest& request, const RxChannel& channel,
                                    std::int32_t compensationMode, std::int32_t hb012Select,
                                    std::uint32_t analogBandwidth_kHz, std::int32_t analogFilterSelect,
                                    std::int32_t highPowerSelect, double rippleTarget_dB) const;

    // Runs the engine's receive compensation into the coefficients of the
    // two records; statuses 252 to 255 leave a WARNING. The engine's status
    // is returned unchanged.
    std::uint8_t MagComp_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                const RxFilterRequest& request) const;
};

}  // namespace Veltrix::Marlin::Native
