#pragma once
// Scoring of one candidate chain of the modelling search: the programmable
// FIR of 127 taps is designed to flatten the chain's passband, and the
// passband ripple of chain and FIR together is the candidate's score.

#include <array>
#include <cstddef>
#include <vector>

#include "engine/ChainOptions.h"

namespace Veltrix::Marlin::Native {

// Two head stages (the converter side) followed by the 16 chain codes.
using StageVector = std::array<double, 18>;

inline constexpr std::size_t PfirTaps = 127;

class CandidateScorer {
public:
    virtual ~CandidateScorer() = default;
    // Passband ripple in dB; a value at or below 2.22e-16 marks a failed design.
    virtual double Ripple_dB(const StageVector& stages, const StageVariants& variants) = 0;
};

// What one candidate's design leaves behind.
struct CandidateDesign {
    double ripple_dB = 0.0;
    bool success = false;
    std::array<double, PfirTaps> pfirTaps{};  // at the baseband end, output (Rx) or input (Tx) rate
};

// Scores the candidates of one direction on one clock: the ratio, rate and
// bandwidth are fixed for its lifetime, so the stage responses of the stages
// a candidate shares (from the baseband end) with the one before are reused.
class PfirCandidateScorer final : public CandidateScorer {
public:
    PfirCandidateScorer(ChainDirection direction, double sampleRate_Hz, double bandwidth_Hz);

    double Ripple_dB(const StageVector& stages, const StageVariants& variants) override;
    CandidateDesign Design(const StageVector& stages, const StageVariants& variants);

    // Frequencies (Hz) at which the ripple is measured: 0 .. bandwidth / 2.
    const std::vector<double>& RippleFrequencies_Hz() const { return fine_Hz_; }
    // Corner of the analog filter assumed in front of (Rx) or behind (Tx) the converter.
    double AnalogCorner_Hz() const { return analogCorner_Hz_; }

private:
    void UpdateChainMagnitude(const StageVector& stages, const StageVariants& variants);

    ChainDirection direction_;
    double sampleRate_Hz_;
    double analogCorner_Hz_;
    bool feasible_ = false;
    double passEdge_ = 0.0;  // on the 0..1 scale, 1 = half the sample rate
    double stopEdge_ = 1.0;
    std::vector<double> points_Hz_;  // design-grid passband points, then the fine points
    std::size_t passPoints_ = 0;
    std::vector<double> fine_Hz_;
    // cumulative_[i]: magnitude of stages i..17 and the analog filter and
    // converter at every point; cumulative_[18]: analog filter and converter alone.
    std::array<std::vector<double>, 19> cumulative_;
    std::vector<double> fineCosines_;  // cos(2 pi f / rate) of the fine points
    std::vector<double> cosines_;      // per-stage cosines, then the measured ripple magnitudes
    std::array<int, 18> previousFilter_{};
    StageVector previousStages_{};
    bool havePrevious_ = false;
};

// Linear magnitude of a fixed stage at nu cycles per sample of its high-side rate.
double StageFilter_Magnitude(StageFilter filter, double nu);

}  // namespace Veltrix::Marlin::Native
