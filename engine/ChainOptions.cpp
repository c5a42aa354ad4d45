// Option sets of the modelling search.
//
// Bandwidth factor of a code: the share of the stage's output rate that the
// stage passes flat, divided by the code, so that the product of a chain's 16
// factors times its ratio times the output rate estimates the bandwidth the
// chain can carry. The flat share of an equiripple stage is twice its passband
// edge (edge given as a fraction of its low-side rate) and is read from the
// stage's own coefficient set, so the figure follows the filters scoring
// designs with. The sinc/CIC shapes have no passband edge; their droop is
// lifted by the programmable FIR, and we count half the output rate as usable
// behind them, which is where a third-order sinc has lost about 4 dB and
// what an equaliser of 127 taps can still lift with little ripple. A bypass
// passes everything (factor 1).
//
// The narrowband-specific set (band "NB" with bifurcation) drops the four
// wideband by-2 stages 3..6: below 1.25 MHz the sinc/CIC stage and the
// narrowband stages carry the decimation at lower cost, and the set still
// reaches every ratio up to 15,360 that the general set reaches with one
// wideband stage at position 7. It shrinks the chain list from 81,920 rows
// to 5,120.

#include "engine/ChainOptions.h"

namespace Veltrix::Marlin::Native {
namespace {

constexpr double CicFlatShare = 0.5;

double FlatShare(std::size_t position, double code)
{
    StageFilter filter{};
    if (!StageFilter_ForCode(position, code, StageVariants{}, filter)) return 1.0;
    if (filter >= StageFilter::Cic2) return CicFlatShare;
    return 2.0 * StageCoefficients_Get(filter).passEdge;
}

StageOptions Options(std::size_t position, std::initializer_list<double> codes)
{
    StageOptions options;
    for (double code : codes) {
        options.codes.push_back(code);
        options.bandwidthFactors.push_back(FlatShare(position, code) / code);
    }
    return options;
}

}  // namespace

bool StageFilter_ForCode(std::size_t position, double code, const StageVariants& variants, StageFilter& filter)
{
    if (position == 8) {
        if (code < 2.0 || code > 10.0) return false;
        filter = StageFilter_Cic(static_cast<int>(code));
        return true;
    }
    const double active = (position == 0 || position == 14) ? 3.0 : 2.0;
    if (code != active) return false;
    switch (position) {
    case 0: filter = StageFilter::Dec3Wide; break;
    case 1: filter = variants.lowIfFirst ? StageFilter::Hb4 : StageFilter::Hb3; break;
    case 2: filter = variants.lowIfSecond ? StageFilter::Hb6 : StageFilter::Hb5; break;
    case 7: filter = variants.wblpf ? StageFilter::Wblpf : StageFilter::Hb22; break;
    case 14: filter = StageFilter::NbDec3; break;
    case 15: filter = StageFilter::NbDec2Last; break;
    default: filter = position < 7 ? StageFilter::WbDec2 : StageFilter::NbDec2; break;
    }
    return true;
}

ChainOptionSet ChainOptionSet_Build(ChainDirection /*direction*/, const std::string& bandTag, bool bifurcated)
{
    // Both directions share the stage layout and its coefficient sets, so
    // their option sets agree; the direction stays in the signature because
    // the sets are chosen per direction (each has its own bifurcation flag).
    const bool narrowbandSet = bandTag == "NB" && bifurcated;
    ChainOptionSet set;
    for (std::size_t p = 0; p < set.size(); ++p) {
        if (p == 0 || p == 14) {
            set[p] = Options(p, {1.0, 3.0});
        } else if (p == 8) {
            set[p] = Options(p, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0});
        } else if (narrowbandSet && p >= 3 && p <= 6) {
            set[p] = Options(p, {1.0});
        } else {
            set[p] = Options(p, {1.0, 2.0});
        }
    }
    return set;
}

}  // namespace Veltrix::Marlin::Native
