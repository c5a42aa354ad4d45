#pragma once
// Whole-path magnitude on a uniform grid from 0 up to the converter clock:
// the analog filter and converter model at every grid point times the stage
// cascade (ChainResponse.h). Shared by the response entries and the
// magnitude-compensation design.

#include <cstddef>
#include <span>
#include <vector>

#include "engine/ChainResponse.h"
#include "engine/PathStages.h"

namespace Veltrix::Marlin::Native {

// Magnitudes below this floor (-300 dB) are written as the floor, so the dB
// response stays finite at exact nulls.
inline constexpr double ResponseFloor = 1e-15;

// Linear magnitude of analog filter and converter at one frequency.
double PathFront_Magnitude(const PathLayout& layout, double frequency_Hz);

// Linear magnitude of the analog filter, converter and stages (in order, the
// first running at the converter clock) at n grid points into magnitude.
void Path_Magnitude(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                    std::span<double> magnitude, ResponseWorkspace& workspace);

// As Path_Magnitude, writing the analysis grid (k times the step, a last
// point within 4.44e-16 of the end placed on it) and 20 log10 of the magnitude.
void Path_Response(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                   double* grid_Hz, double* response_dB, ResponseWorkspace& workspace);

// What Path_Window evaluates: a window of grid points in dB, the passband
// points in dB (for ripple figures), and the largest level of the stopband.
struct GridBands {
    std::size_t first = 0;           // the window, first + count <= n
    std::size_t count = 0;
    std::size_t passbandPoints = 0;  // points 0 .. passbandPoints-1
    std::size_t stopbandFirst = 0;   // points stopbandFirst .. n-1
};

struct GridFigures {
    std::vector<double> window_dB;    // bands.count values
    std::vector<double> passband_dB;  // bands.passbandPoints values
    double stopbandMax_dB = 0.0;      // -inf for an empty stopband
};

// The values Path_Response would write at those points, bit for bit, without
// writing the whole grid: the stage cascade is tabulated up to n / 2 into
// the caller's buffer (its first n / 2 + 1 values; the inner stages' tables
// take the rest when it holds them), but the analog front, the squares and the
// logarithms are taken only where needed. Where the front's magnitude cannot
// rise with frequency, a stopband block whose cascade maximum times the
// front at its start stays below the level found so far is skipped.
void Path_Window(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                 const GridBands& bands, std::span<double> table, ResponseWorkspace& workspace,
                 GridFigures& figures);

// Each part of the path on its own over the window, in dB: the analog front
// (filter and converter) first, then every stage at the grid frequencies as
// its own rate sees them.
std::vector<std::vector<double>> Path_PartCurves(const PathLayout& layout, std::span<const ResponseStage> stages,
                                                 std::size_t n, std::size_t first, std::size_t count);

// Max - min of response_dB over bins 0 .. count-1 (0 for an empty passband).
double Passband_Ripple_dB(const double* response_dB, std::size_t count);

// The stages of a path with compensation filters inserted: front stages,
// then the 21-tap filter, then the remaining stages. When lowRate is given,
// it is inserted after the stages of lowRateLayout.front.
std::vector<ResponseStage> Path_WithCompensation(const PathLayout& layout, const ResponseStage* compensation,
                                                 const PathLayout* lowRateLayout, const ResponseStage* lowRate);

}  // namespace Veltrix::Marlin::Native
