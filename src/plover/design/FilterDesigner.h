#pragma once
// The filter designer turns a blueprint's channel requests into designed data
// paths on one common system clock: it prepares the blueprint, asks the
// engine's chain search for the chains of both channel indices, applies the
// fixed overrides of a few special rate plans and the transmit preprocessor
// interpolation, derives the system clock, checks the clock PLL and every SSI
// against it, and writes the chosen stages back into the blueprint.

#include <array>
#include <cstdint>

#include "engine/DesignCriteria.h"
#include "engine/EngineRecords.h"
#include "plover/blueprint/Blueprint.h"
#include "plover/blueprint/DataPath.h"

namespace Veltrix::Marlin::Native {

// The chains being designed for one channel index; fresh for every design.
struct ChannelDataPaths {
    RxPath rx;
    TxPath tx;
    double rxRipple_dB = 0.0;
    double txRipple_dB = 0.0;
};

// What the designer asks the engine for one channel index, plus the transmit
// preprocessor interpolation that only the designer reads.
struct ChannelDesignRequest {
    ChannelDesignRecord record;
    unsigned char preprocessorInterpolation = 1;
};

class FilterDesigner {
public:
    // Designs `blueprint` in place. With `designOnly` the design stops after
    // the chain search and leaves the blueprint's data paths untouched.
    // 0 on success; the failing step's status otherwise (255 for reported ones).
    std::uint8_t Design(MarlinBlueprint& blueprint, const DesignCriteria& criteria, bool designOnly);

    // The blueprint as it was before the low-rate pairing changed any rate;
    // the special rate plans are recognised on it.
    MarlinBlueprint savedBlueprint;
    // Set while the current design follows a low-rate plan (24, 48, 96 or 144 kHz).
    bool lowRateMode = false;

protected:
    // The steps of Design, open to derived designers and to tests.

    // Re-applies the ADC-rate coupling and the settings each channel derives
    // from its own fields (wideband low-pass selection, INT3, direct FM/FSK mark,
    // loop-back analog filter).
    static void Blueprint_Prepare(MarlinBlueprint& blueprint);
    // Pairs a 144 kHz channel with a 96 kHz one for the chain search, builds
    // both requests, then restores the paired rates.
    void LowRate_Prepare(MarlinBlueprint& blueprint, std::array<ChannelDesignRequest, 2>& requests);
    // Runs the chain search and the special plans into `paths`. 0 or 255.
    std::uint8_t DesignChains(const std::array<ChannelDesignRequest, 2>& requests, const DesignCriteria& criteria,
                              std::array<ChannelDataPaths, 2>& paths);
    std::uint8_t SpecialPlans_Apply(std::array<ChannelDataPaths, 2>& paths) const;
};

// The request the designer builds for channel index 0 or 1 of a prepared blueprint.
ChannelDesignRequest ChannelDesignRequest_Build(const MarlinBlueprint& blueprint, std::size_t index);

}  // namespace Veltrix::Marlin::Native
