#pragma once
// Monitor-mode synchronisation: the receivers' serial interfaces run faster
// than their sampling rates by the over-sampling ratio, and every receive slot
// passes its data through the input FIFO with the strobe masked.

#include <string>

#include "plover/base/Enums.h"
#include "plover/blueprint/Feature.h"

namespace Veltrix::Marlin::Native {

class MonitorModeSyncFeature : public Feature {
public:
    static constexpr const char* Id = "MMSync";

    MonitorModeSyncOverSamplingRatio monitorModeSyncOverSamplingRatio = MonitorModeSyncOverSamplingRatio::OSR_4;

    std::string ID() const override { return Id; }
    // Sets both receivers' interface rate to ratio x sampling rate, enabled or
    // not, and stops it following later sampling-rate changes.
    std::int8_t Blueprint_Update(MarlinBlueprint& blueprint) override;
    std::int8_t Profile_Update(Profile& profile) override;
};

}  // namespace Veltrix::Marlin::Native
