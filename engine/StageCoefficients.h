#pragma once
// The coefficient sets of the fixed decimation and interpolation stages. The
// tables are generated (engine/StageCoefficientTables.cpp, by
// tools/gen/stage_coefficients.cpp); each names its place in the chain.

#include <cstdint>
#include <span>

namespace Veltrix::Marlin::Native {

enum class StageFilter : int {
    Hb0,
    Hb1,
    Hb2,
    Dec3Wide,
    Hb3,
    Hb4,
    Hb5,
    Hb6,
    WbDec2,
    Hb22,
    Wblpf,
    NbDec2,
    NbDec3,
    NbDec2Last,
    Int3,
    Cic2,  // third-order sinc/CIC shapes, factors 2..10
    Cic3,
    Cic4,
    Cic5,
    Cic6,
    Cic7,
    Cic8,
    Cic9,
    Cic10,
};

struct StageCoefficientSet {
    const char* name;
    int factor;       // rate change of the stage
    double passEdge;  // fraction of the low-side rate (0 for the sinc/CIC shapes)
    std::span<const std::int32_t> taps;
    double scale;     // the integer that stands for unity
};

const StageCoefficientSet& StageCoefficients_Get(StageFilter filter);

// The third-order sinc/CIC shape of a factor 2..10.
inline StageFilter StageFilter_Cic(int factor)
{
    return static_cast<StageFilter>(static_cast<int>(StageFilter::Cic2) + (factor - 2));
}

}  // namespace Veltrix::Marlin::Native
