#pragma once
// Front end of the equiripple designer: the dense grid of the two-band
// low-pass problem, laid out as in McClellan, Parks and Rabiner's program,
// the call of the exchange and the quantisation of the taps. The engine uses
// three sizes (21 and 13 taps for magnitude compensation, 127 for the
// programmable FIR); the coefficient generator under tools/gen uses others.

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/EquirippleExchange.h"

namespace Veltrix::Marlin::Native {

// Dense-grid spacing on the 0..1 band-edge scale (1 = half the sample rate).
inline constexpr double EquirippleGridSpacing = 0.00625;

// Passband [e0, e1] and stop band [e2, e3] on the 0..1 scale.
struct EquirippleBandEdges {
    double e0 = 0.0;
    double e1 = 0.0;
    double e2 = 0.0;
    double e3 = 1.0;
};

// Grid storage for one design; sized once, before the exchange runs.
struct EquirippleGridStorage {
    std::vector<double> frequency;  // 0..1 scale while building, then cycles per sample
    std::vector<double> desired;
    std::vector<double> weight;
    std::vector<double> x;
    std::vector<std::uint8_t> band;  // 0 passband, 1 stop band
};

// Points of one band: from its lower edge up, equally spaced, the last on the
// upper edge, or pulled in to 1 - spacing when the edge lies above it.
inline void EquirippleGrid_AddBand(EquirippleGridStorage& grid, double lower, double upper, double spacing,
                                   std::uint8_t band)
{
    const double last = upper > 1.0 - spacing ? 1.0 - spacing : upper;
    if (last < lower) {
        return;
    }
    const auto steps = static_cast<std::size_t>(std::ceil((last - lower) / spacing - 1e-9));
    for (std::size_t i = 0; i < steps; ++i) {
        grid.frequency.push_back(lower + spacing * static_cast<double>(i));
        grid.band.push_back(band);
    }
    grid.frequency.push_back(last);
    grid.band.push_back(band);
}

// Fills desired and weight from desiredOf(f, band) and weightOf(f, band), f on
// the 0..1 scale, then converts the grid to cycles per sample.
template <class DesiredOf, class WeightOf>
void EquirippleGrid_Build(EquirippleGridStorage& grid, const EquirippleBandEdges& edges, double spacing,
                          DesiredOf desiredOf, WeightOf weightOf)
{
    grid.frequency.clear();
    grid.band.clear();
    const auto expected = static_cast<std::size_t>((edges.e1 - edges.e0 + edges.e3 - edges.e2) / spacing) + 4;
    grid.frequency.reserve(expected);
    grid.band.reserve(expected);
    EquirippleGrid_AddBand(grid, edges.e0, edges.e1, spacing, 0);
    EquirippleGrid_AddBand(grid, edges.e2, edges.e3, spacing, 1);
    const std::size_t g = grid.frequency.size();
    grid.desired.resize(g);
    grid.weight.resize(g);
    grid.x.resize(g);
    constexpr double pi = 3.14159265358979323846;
    for (std::size_t k = 0; k < g; ++k) {
        const double f = grid.frequency[k];
        grid.desired[k] = desiredOf(f, grid.band[k]);
        grid.weight[k] = weightOf(f, grid.band[k]);
        grid.frequency[k] = f / 2.0;
        grid.x[k] = std::cos(pi * f);
    }
}

// The designed taps in reverse order (the same sequence for these symmetric
// filters), with the {1, L} size record of the matrix the taps form.
template <std::size_t Length>
struct EquirippleDesign {
    EquirippleResult<Length> result;
    std::array<std::size_t, 2> size{1, Length};
};

template <std::size_t Length, class DesiredOf, class WeightOf>
EquirippleDesign<Length> Equiripple_Design(const EquirippleBandEdges& edges, DesiredOf desiredOf,
                                           WeightOf weightOf, double spacing = EquirippleGridSpacing)
{
    EquirippleGridStorage storage;
    EquirippleGrid_Build(storage, edges, spacing, desiredOf, weightOf);
    EquirippleExchange<Length> exchange;
    const EquirippleGrid grid{storage.frequency, storage.desired, storage.weight, storage.x};
    EquirippleDesign<Length> design;
    design.result = exchange.Run(grid);
    std::array<double, Length> reversed{};
    for (std::size_t i = 0; i < Length; ++i) {
        reversed[i] = design.result.taps[Length - 1 - i];
    }
    design.result.taps = reversed;
    return design;
}

// Rounds a tap to the nearest multiple of 2^-15.
inline double Coefficient_Quantize(double tap) { return std::floor(32768.0 * tap + 0.5) / 32768.0; }

// Half away from zero, saturated to the signed 32-bit range.
inline std::int32_t Coefficient_ToInt32(double value)
{
    const double rounded = value < 0.0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
    if (!(rounded == rounded)) {
        return 0;
    }
    if (rounded >= 2147483647.0) {
        return 2147483647;
    }
    if (rounded <= -2147483648.0) {
        return -2147483647 - 1;
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace Veltrix::Marlin::Native
