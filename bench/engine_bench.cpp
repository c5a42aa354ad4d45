// Speed of the numeric engine: equiripple designs of the fixed sizes, the
// 30.72 MHz magnitude compensation, and the 2^22-point Rx response against a
// floor that only writes the grid and 20 log10 of a precomputed array. Each
// case also runs against the previous implementation ("/reference");
// bench/ratios.py prints the ratios.
#include "engine/VectorKernels.h"
#include "engine_cases.h"

namespace {

void FloorPass(std::vector<double>& grid, std::vector<double>& response, const std::vector<double>& magnitude,
               double step)
{
    Kernel_Ramp(step, 0, grid.size(), grid.data());
    Kernel_MagnitudeDb(magnitude.data(), magnitude.size(), response.data());
}

}  // namespace

#include "BenchMain.h"
