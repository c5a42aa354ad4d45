#pragma once
// The codes each hardware stage may take in the modelling search, with the
// bandwidth factor of each code and the fixed coefficient set that scoring
// designs the stage with.

#include <array>
#include <string>
#include <vector>

#include "engine/StageCoefficients.h"

namespace Veltrix::Marlin::Native {

enum class ChainDirection { Rx, Tx };

// One stage's admissible codes, bypass (1) first, with a bandwidth factor per code.
struct StageOptions {
    std::vector<double> codes;
    std::vector<double> bandwidthFactors;
};

using ChainOptionSet = std::array<StageOptions, 16>;

// The option set of a direction for a band tag ("NB" or "WB"). A narrowband
// search that is bifurcated gets the narrowband-specific set; every other
// search gets the general one.
ChainOptionSet ChainOptionSet_Build(ChainDirection direction, const std::string& bandTag, bool bifurcated);

// Variant choices made while scoring a candidate.
struct StageVariants {
    bool lowIfFirst = false;   // HB4 instead of HB3 at position 1
    bool lowIfSecond = false;  // HB6 instead of HB5 at position 2
    bool wblpf = false;        // WBLPF instead of HB22 at position 7
};

// The coefficient set a position runs with for an active code; false when the
// code bypasses the stage.
bool StageFilter_ForCode(std::size_t position, double code, const StageVariants& variants, StageFilter& filter);

}  // namespace Veltrix::Marlin::Native
