#pragma once
// The design of one direction (Rx or Tx) on one clock: admission of the chain
// rows, the design goal's choice of candidates, and their scoring.

#include <cstddef>
#include <span>

#include "engine/CandidateScoring.h"
#include "engine/ChainDesign.h"
#include "engine/ChainEnumeration.h"

namespace Veltrix::Marlin::Native {

// Highest rate a converter-side stage group may hand on.
inline constexpr double MaxConverterSideOutput_Hz = 67584000.0;
inline constexpr double UnscoredRipple_dB = 2000000.0;
inline constexpr double FailedDesignRipple_dB = 2.220446049250313e-16;

struct DirectionRequest {
    ChainDirection direction = ChainDirection::Rx;
    double ratio = 0.0;
    double sampleRate_Hz = 0.0;
    double clock_Hz = 0.0;
    const ChainList* list = nullptr;
    std::span<const std::size_t> rows;  // rows of `list` with this ratio and converter side, in row order
};

struct DirectionResult {
    bool designed = false;      // some candidate was scored
    bool improved = false;      // some candidate became best
    StageCodes chain{};
    double ripple_dB = UnscoredRipple_dB;
    std::size_t position = 0;   // 1-based position of the chain in the list it won
    std::size_t scored = 0;     // candidates scored, both passes together
};

DirectionResult Direction_Design(const EngineContext& context, const DirectionRequest& request,
                                 CandidateScorer& scorer);

// The variants a candidate is scored with.
StageVariants Direction_Variants(const EngineContext& context, ChainDirection direction, const StageCodes& codes);

// Goal texts compared ignoring letter case.
bool Goal_Is(const std::string& goal, const char* text);

}  // namespace Veltrix::Marlin::Native
