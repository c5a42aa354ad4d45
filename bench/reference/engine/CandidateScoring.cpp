// Candidate scoring by equalisation: the 127-tap programmable FIR at the
// baseband end of the chain is designed by the equiripple method (Parks and
// McClellan's exchange on the engine's dense grid) to the inverse of the
// chain's magnitude over the channel passband and to zero above a transition
// band, and the ripple of chain times FIR over the passband is the score. A
// chain whose stages droop or cut into the channel needs an equaliser it
// cannot get from 127 taps, and its ripple shows it.
//
// Stage magnitudes are cosine series of the fixed coefficient sets, summed
// with Clenshaw's recurrence (one cosine a point and stage), the sinc/CIC
// shapes in closed form; the analog filter and converter come from the
// engine's models (AnalogModels.h). A stage at
// position i runs at the output rate times the product of the codes from i to
// the baseband end, so the product of the stages i..17 depends only on those
// codes: consecutive candidates, which mostly differ near the converter, reuse
// the cumulative products from the baseband end.

#include "engine/CandidateScoring.h"

#include <algorithm>
#include <cmath>

#include "engine/EquirippleDesign.h"
#include "engine/PathEvaluation.h"

namespace Veltrix::Marlin::Native {
namespace {

constexpr double Pi = 3.14159265358979323846;
// Widest passband (on the 0..1 scale) we try to equalise; beyond it the
// transition band left to the FIR is narrower than its 127 taps can resolve.
constexpr double MaxPassEdge = 0.96;
// The FIR is also the channel filter: its stop band starts 2.5 % of the sample
// rate above the channel edge (0.05 on the 0..1 scale), where 127 taps reach
// about 60 dB of rejection with some 0.02 dB of passband ripple. Chains that
// need lifting near the edge, and channels so wide that the transition band
// must shrink, pay in ripple.
constexpr double TransitionWidth = 0.05;
// The ripple is measured at eight points per design-grid step: the equalised
// ripple peaks fall between grid points, and four per step miss some 5 %.
constexpr std::size_t FinePerGridStep = 8;
constexpr std::size_t MinFinePoints = 65;

// An odd-length symmetric stage as c[0] + sum c[m] cos(2 pi m nu), unity at
// nu = 0; the sinc/CIC shapes (even length for even factors) in closed form.
struct CosineSeries {
    std::vector<double> c;
    int cicLength = 0;
};

// Third-order moving sum of the given length, unity at nu = 0.
double CicMagnitude(int length, double nu)
{
    const double denominator = length * std::sin(Pi * nu);
    if (std::fabs(denominator) < 1e-300) return 1.0;
    const double ratio = std::fabs(std::sin(Pi * length * nu) / denominator);
    return ratio * ratio * ratio;
}

const CosineSeries& Series(StageFilter filter)
{
    static const std::array<CosineSeries, static_cast<std::size_t>(StageFilter::Cic10) + 1> all = [] {
        std::array<CosineSeries, static_cast<std::size_t>(StageFilter::Cic10) + 1> out{};
        for (std::size_t f = 0; f < out.size(); ++f) {
            const StageCoefficientSet& set = StageCoefficients_Get(static_cast<StageFilter>(f));
            if (static_cast<StageFilter>(f) >= StageFilter::Cic2) {
                out[f].cicLength = set.factor;
                continue;
            }
            const std::size_t n = set.taps.size();
            const std::size_t centre = n / 2;
            double sum = 0.0;
            for (std::int32_t t : set.taps) sum += t;
            CosineSeries& series = out[f];
            series.c.resize(centre + 1);
            series.c[0] = set.taps[centre] / sum;
            for (std::size_t m = 1; m <= centre; ++m) series.c[m] = 2.0 * set.taps[centre + m] / sum;
        }
        return out;
    }();
    return all[static_cast<std::size_t>(filter)];
}

// sum c[m] cos(m theta) with x = cos(theta), by Clenshaw's recurrence.
double Clenshaw(const double* c, std::size_t count, double x)
{
    double b1 = 0.0;
    double b2 = 0.0;
    for (std::size_t m = count; m-- > 1;) {
        const double b0 = c[m] + 2.0 * x * b1 - b2;
        b2 = b1;
        b1 = b0;
    }
    return c[0] + x * b1 - b2;
}

bool HeadFilter(ChainDirection direction, std::size_t index, double code, StageFilter& filter)
{
    if (direction == ChainDirection::Rx) {
        // Converter-side sinc decimator, then the converter half-band.
        if (index == 0 && code >= 2.0 && code <= 10.0) return filter = StageFilter_Cic(static_cast<int>(code)), true;
        if (index == 1 && code == 2.0) return filter = StageFilter::Hb0, true;
        return false;
    }
    // DAC-side by-3 interpolator, then the sinc by-2.
    if (index == 0 && code == 3.0) return filter = StageFilter::Int3, true;
    if (index == 1 && code == 2.0) return filter = StageFilter::Cic2, true;
    return false;
}

double Factor(double code) { return code > 0.0 ? code : 1.0; }

}  // namespace

double StageFilter_Magnitude(StageFilter filter, double nu)
{
    const CosineSeries& s = Series(filter);
    if (s.cicLength > 0) return CicMagnitude(s.cicLength, nu);
    return std::fabs(Clenshaw(s.c.data(), s.c.size(), std::cos(2.0 * Pi * nu)));
}

PfirCandidateScorer::PfirCandidateScorer(ChainDirection direction, double sampleRate_Hz, double bandwidth_Hz)
    : direction_(direction), sampleRate_Hz_(sampleRate_Hz), analogCorner_Hz_(bandwidth_Hz)
{
    passEdge_ = sampleRate_Hz > 0.0 ? bandwidth_Hz / sampleRate_Hz : 0.0;
    feasible_ = passEdge_ > 0.0 && passEdge_ <= MaxPassEdge;
    if (!feasible_) return;
    stopEdge_ = std::min(passEdge_ + TransitionWidth, 0.5 * (1.0 + passEdge_));

    EquirippleGridStorage grid;
    EquirippleGrid_Build(grid, EquirippleBandEdges{0.0, passEdge_, stopEdge_, 1.0}, EquirippleGridSpacing,
                         [](double, std::uint8_t) { return 0.0; }, [](double, std::uint8_t) { return 1.0; });
    for (std::size_t k = 0; k < grid.frequency.size() && grid.band[k] == 0; ++k) {
        points_Hz_.push_back(grid.frequency[k] * sampleRate_Hz);  // cycles per sample to Hz
    }
    passPoints_ = points_Hz_.size();
    const std::size_t fine = std::max(MinFinePoints, FinePerGridStep * (passPoints_ - 1) + 1);
    const double edge_Hz = 0.5 * bandwidth_Hz;
    for (std::size_t i = 0; i < fine; ++i) {
        fine_Hz_.push_back(edge_Hz * static_cast<double>(i) / static_cast<double>(fine - 1));
    }
    points_Hz_.insert(points_Hz_.end(), fine_Hz_.begin(), fine_Hz_.end());
    for (auto& c : cumulative_) c.assign(points_Hz_.size(), 1.0);
}

void PfirCandidateScorer::UpdateChainMagnitude(const StageVector& stages, const StageVariants& variants)
{
    std::array<int, 18> filterOf{};
    for (std::size_t i = 0; i < 18; ++i) {
        StageFilter filter{};
        const bool active = i < 2 ? HeadFilter(direction_, i, stages[i], filter)
                                  : StageFilter_ForCode(i - 2, stages[i], variants, filter);
        filterOf[i] = active ? static_cast<int>(filter) : -1;
    }
    // The analog filter and converter sit beyond position 0 and depend on the
    // converter clock only, that is on the product of all stages.
    double total = 1.0;
    for (double code : stages) total *= Factor(code);
    const double converter_Hz = sampleRate_Hz_ * total;
    double previousTotal = 1.0;
    for (double code : previousStages_) previousTotal *= Factor(code);
    if (!havePrevious_ || previousTotal != total) {
        havePrevious_ = false;
        // The analog filter and converter models of the numeric engine: the
        // high-performance converter behind a TIA for Rx, a held DAC before a
        // second-order reconstruction filter for Tx.
        PathLayout layout;
        layout.converterRate_Hz = converter_Hz;
        layout.analogCorner_Hz = analogCorner_Hz_;
        layout.analog = direction_ == ChainDirection::Rx ? AnalogFilterModel::Tia : AnalogFilterModel::Biquad;
        layout.converter = direction_ == ChainDirection::Rx ? ConverterModel::HighPower : ConverterModel::DacHold;
        for (std::size_t k = 0; k < points_Hz_.size(); ++k) {
            cumulative_[18][k] = PathFront_Magnitude(layout, points_Hz_[k]);
        }
    }

    // Lowest position from which the stages (and therefore their rates) agree with the previous candidate.
    std::size_t agree = 18;
    if (havePrevious_) {
        while (agree > 0 && stages[agree - 1] == previousStages_[agree - 1] &&
               filterOf[agree - 1] == previousFilter_[agree - 1]) {
            --agree;
        }
    }
    double rate_Hz = sampleRate_Hz_;
    for (std::size_t i = 18; i-- > agree;) rate_Hz *= Factor(stages[i]);
    for (std::size_t i = agree; i-- > 0;) {
        rate_Hz *= Factor(stages[i]);  // the stage's high-side rate
        const std::vector<double>& next = cumulative_[i + 1];
        std::vector<double>& here = cumulative_[i];
        if (filterOf[i] < 0) {
            here = next;
            continue;
        }
        const CosineSeries& s = Series(static_cast<StageFilter>(filterOf[i]));
        if (s.cicLength > 0) {
            for (std::size_t k = 0; k < points_Hz_.size(); ++k) {
                here[k] = next[k] * CicMagnitude(s.cicLength, points_Hz_[k] / rate_Hz);
            }
            continue;
        }
        for (std::size_t k = 0; k < points_Hz_.size(); ++k) {
            const double x = std::cos(2.0 * Pi * points_Hz_[k] / rate_Hz);
            here[k] = next[k] * std::fabs(Clenshaw(s.c.data(), s.c.size(), x));
        }
    }
    previousStages_ = stages;
    previousFilter_ = filterOf;
    havePrevious_ = true;
}

CandidateDesign PfirCandidateScorer::Design(const StageVector& stages, const StageVariants& variants)
{
    CandidateDesign design;
    if (!feasible_) return design;
    UpdateChainMagnitude(stages, variants);
    const std::vector<double>& chain = cumulative_[0];

    // The grid front end asks for the desired values in grid order, passband
    // first, which is the order of the design-grid points tabulated above.
    std::size_t passIndex = 0;
    auto desired = [&](double, std::uint8_t band) {
        if (band != 0) return 0.0;
        const double h = chain[std::min(passIndex++, passPoints_ - 1)];
        return h > 1e-12 ? 1.0 / h : 1e12;
    };
    const auto fir = Equiripple_Design<PfirTaps>(EquirippleBandEdges{0.0, passEdge_, stopEdge_, 1.0}, desired,
                                                 [](double, std::uint8_t) { return 1.0; });
    if (!fir.result.success) return design;
    design.pfirTaps = fir.result.taps;

    constexpr std::size_t centre = PfirTaps / 2;
    std::array<double, centre + 1> c{};
    c[0] = design.pfirTaps[centre];
    for (std::size_t m = 1; m <= centre; ++m) c[m] = 2.0 * design.pfirTaps[centre + m];
    double lowest = INFINITY;
    double highest = 0.0;
    for (std::size_t i = 0; i < fine_Hz_.size(); ++i) {
        const double x = std::cos(2.0 * Pi * fine_Hz_[i] / sampleRate_Hz_);
        const double m = chain[passPoints_ + i] * std::fabs(Clenshaw(c.data(), c.size(), x));
        lowest = std::min(lowest, m);
        highest = std::max(highest, m);
    }
    if (!(lowest > 0.0)) return design;
    design.ripple_dB = 20.0 * std::log10(highest / lowest);
    design.success = true;
    return design;
}

double PfirCandidateScorer::Ripple_dB(const StageVector& stages, const StageVariants& variants)
{
    return Design(stages, variants).ripple_dB;
}

}  // namespace Veltrix::Marlin::Native
