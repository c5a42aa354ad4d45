#pragma once
// Equiripple linear-phase FIR design by the Remez exchange of Parks and
// McClellan (1972-73), in the barycentric form of McClellan, Parks and
// Rabiner's program (1973). One instance per filter length: every array the
// iteration touches has a size fixed at compile time, so the loop allocates
// nothing. The dense grid is built by the caller (EquirippleDesign.h).
//
// After each solve the error is evaluated on the whole grid in one pass, the
// points across vector lanes (VectorKernels.h): the exchange reads nearly
// every point anyway, and one pass keeps the lanes full. Each point gets the
// same arithmetic on every instruction set, so the extremals, and the taps,
// do not depend on the machine.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <stdexcept>

#include "engine/PrintSink.h"
#include "engine/VectorKernels.h"

namespace Veltrix::Marlin::Native {

inline constexpr int EquirippleIterationLimit = 250;

enum class EquirippleStatus : int {
    Converged = 0,       // no extremal moved
    IterationLimit = 1,  // 250 iterations; the last extremal set is used
    DidNotConverge = 2,  // the deviation stopped growing; taps are all zero
};

// The dense grid as the exchange reads it: frequency in cycles per sample
// (0 .. 0.5), desired amplitude and weight at each point.
struct EquirippleGrid {
    std::span<const double> frequency;
    std::span<const double> desired;
    std::span<const double> weight;
    std::span<const double> x;  // cos(2 pi frequency), filled by the front end
    std::span<double> error;    // scratch of the grid's size: the weighted error of each solve
};

template <std::size_t Length>
struct EquirippleResult {
    std::array<double, Length> taps{};
    double deviation = -1.0;
    int iterations = 0;
    EquirippleStatus status = EquirippleStatus::DidNotConverge;
    bool success = false;
};

template <std::size_t Length>
class EquirippleExchange {
    static_assert(Length % 2 == 1, "odd-length symmetric filters only");

public:
    static constexpr std::size_t Terms = (Length + 1) / 2;  // cosine terms n
    static constexpr std::size_t Extremals = Terms + 1;     // n + 1

    EquirippleResult<Length> Run(const EquirippleGrid& grid)
    {
        EquirippleResult<Length> result;
        const std::size_t g = grid.frequency.size();
        if (grid.error.size() < g || grid.x.size() < g || grid.desired.size() < g || grid.weight.size() < g) {
            throw std::runtime_error("equiripple grid arrays shorter than the grid");
        }
        if (g < Extremals) {
            Print("DidNotConverge\n");
            return result;
        }
        // Initial extremals spread evenly over the grid, the last on its end.
        for (std::size_t j = 0; j < Terms; ++j) {
            extremal_[j] = static_cast<std::size_t>(static_cast<double>(j) * static_cast<double>(g - 1) /
                                                    static_cast<double>(Terms));
        }
        extremal_[Terms] = g - 1;

        double previous = -1.0;
        result.status = EquirippleStatus::IterationLimit;
        int iteration = 0;
        for (; iteration < EquirippleIterationLimit; ++iteration) {
            Solve(grid);
            if (delta_ <= previous) {
                Print("DidNotConverge\n");
                result.taps.fill(0.0);
                result.deviation = -1.0;
                result.iterations = iteration + 1;
                result.status = EquirippleStatus::DidNotConverge;
                result.success = false;
                return result;
            }
            previous = delta_;
            if (Exchange(grid) == 0) {
                result.status = EquirippleStatus::Converged;
                ++iteration;
                break;
            }
        }
        result.iterations = iteration;
        result.deviation = delta_;
        CosineTaps(result.taps);
        result.success = true;
        return result;
    }

    // The weighted error W (A - D) of the current interpolant at grid point k.
    double Error(const EquirippleGrid& grid, std::size_t k) const { return grid.error[k]; }

private:
    // Barycentric weights, deviation and interpolation values at the extremals.
    void Solve(const EquirippleGrid& grid)
    {
        for (std::size_t j = 0; j < Extremals; ++j) {
            x_[j] = grid.x[extremal_[j]];
        }
        // Strided products keep the magnitudes of long products in range.
        const std::size_t stride = (Extremals - 1) / 15 + 1;
        for (std::size_t j = 0; j < Extremals; ++j) {
            double product = 1.0;
            for (std::size_t start = 0; start < stride; ++start) {
                for (std::size_t i = start; i < Extremals; i += stride) {
                    if (i != j) {
                        product *= 2.0 * (x_[j] - x_[i]);
                    }
                }
            }
            a_[j] = 1.0 / product;
        }
        double numerator = 0.0;
        double denominator = 0.0;
        double sign = 1.0;
        for (std::size_t j = 0; j < Extremals; ++j) {
            const std::size_t k = extremal_[j];
            numerator += a_[j] * grid.desired[k];
            denominator += sign * a_[j] / grid.weight[k];
            sign = -sign;
        }
        delta_ = numerator / denominator;
        alternation_ = delta_ < 0.0 ? -1.0 : 1.0;
        delta_ = std::fabs(delta_);
        sign = alternation_;
        for (std::size_t j = 0; j < Extremals; ++j) {
            const std::size_t k = extremal_[j];
            y_[j] = grid.desired[k] - sign * delta_ / grid.weight[k];
            sign = -sign;
        }
        const std::size_t g = grid.frequency.size();
        Kernel_Barycentric(grid.x.data(), g, x_.data(), a_.data(), y_.data(), Extremals, grid.error.data());
        for (std::size_t k = 0; k < g; ++k) {
            grid.error[k] = grid.weight[k] * (grid.error[k] - grid.desired[k]);
        }
    }

    // The error at extremal j has the sign -(alternation) (-1)^j.
    double ExpectedSign(std::size_t j) const { return (j % 2 == 0) ? -alternation_ : alternation_; }

    // One sweep over the extremals: each climbs to the neighbouring grid point
    // of larger signed error, bounded by its neighbours; then the grid ends
    // beyond the first and last extremal may take over. Returns the moves.
    std::size_t Exchange(const EquirippleGrid& grid)
    {
        const std::size_t g = grid.frequency.size();
        std::size_t moved = 0;
        for (std::size_t j = 0; j < Extremals; ++j) {
            const double s = ExpectedSign(j);
            const std::size_t low = (j == 0) ? 0 : next_[j - 1] + 1;
            const std::size_t high = (j == Terms) ? g - 1 : extremal_[j + 1] - 1;
            std::size_t best = extremal_[j];
            if (best < low) {
                best = low;
            }
            double bestValue = s * Error(grid, best);
            if (bestValue < delta_) {
                bestValue = delta_;
            }
            bool up = false;
            for (std::size_t k = best + 1; k <= high; ++k) {
                const double value = s * Error(grid, k);
                if (value <= bestValue) {
                    break;
                }
                bestValue = value;
                best = k;
                up = true;
            }
            if (!up) {
                for (std::size_t k = best; k-- > low;) {
                    const double value = s * Error(grid, k);
                    if (value <= bestValue) {
                        break;
                    }
                    bestValue = value;
                    best = k;
                }
            }
            next_[j] = best;
            value_[j] = bestValue;
            if (best != extremal_[j]) {
                ++moved;
            }
        }
        // Ends: an error of the alternating sign beyond either end larger than
        // every current extremal error shifts the whole set by one.
        double smallest = value_[0];
        for (std::size_t j = 1; j < Extremals; ++j) {
            smallest = std::fmin(smallest, value_[j]);
        }
        double lowValue = 0.0;
        std::size_t lowIndex = 0;
        const double lowSign = -ExpectedSign(0);
        for (std::size_t k = 0; k < next_[0]; ++k) {
            const double value = lowSign * Error(grid, k);
            if (value > lowValue) {
                lowValue = value;
                lowIndex = k;
            }
        }
        double highValue = 0.0;
        std::size_t highIndex = 0;
        const double highSign = -ExpectedSign(Terms);
        for (std::size_t k = next_[Terms] + 1; k < g; ++k) {
            const double value = highSign * Error(grid, k);
            if (value > highValue) {
                highValue = value;
                highIndex = k;
            }
        }
        if (lowValue > smallest && lowValue >= highValue && lowValue > value_[Terms]) {
            for (std::size_t j = Terms; j > 0; --j) {
                next_[j] = next_[j - 1];
            }
            next_[0] = lowIndex;
            ++moved;
        } else if (highValue > smallest && highValue > value_[0]) {
            for (std::size_t j = 0; j < Terms; ++j) {
                next_[j] = next_[j + 1];
            }
            next_[Terms] = highIndex;
            ++moved;
        }
        extremal_ = next_;
        return moved;
    }

    // Cosine coefficients from the interpolant sampled at cos(2 pi q / L): an
    // inverse cosine transform whose kernel cos(2 pi m q / L) takes only the
    // L values of one table, indexed by m q mod L.
    void CosineTaps(std::array<double, Length>& taps) const
    {
        constexpr double length = static_cast<double>(Length);
        std::array<double, Length> cosine{};
        for (std::size_t r = 0; r < Length; ++r) {
            cosine[r] = static_cast<double>(2 * r) / length;
        }
        Kernel_CosPi(cosine.data(), Length, cosine.data());
        std::array<double, Terms> samples{};
        Kernel_Barycentric(cosine.data(), Terms, x_.data(), a_.data(), y_.data(), Extremals, samples.data());
        for (std::size_t q = 0; q < Terms; ++q) {
            for (std::size_t j = 0; j < Extremals; ++j) {
                if (std::fabs(cosine[q] - x_[j]) < 1e-6) {
                    samples[q] = y_[j];
                    break;
                }
            }
        }
        for (std::size_t m = 0; m < Terms; ++m) {
            double sum = samples[0];
            std::size_t r = 0;
            for (std::size_t q = 1; q < Terms; ++q) {
                r += m;
                r = r >= Length ? r - Length : r;
                sum += 2.0 * samples[q] * cosine[r];
            }
            const double alpha = (m == 0 ? 1.0 : 2.0) * sum / length;
            if (m == 0) {
                taps[Terms - 1] = alpha;
            } else {
                taps[Terms - 1 - m] = alpha / 2.0;
                taps[Terms - 1 + m] = alpha / 2.0;
            }
        }
    }

    std::array<std::size_t, Extremals> extremal_{};
    std::array<std::size_t, Extremals> next_{};
    std::array<double, Extremals> value_{};
    std::array<double, Extremals> x_{};
    std::array<double, Extremals> a_{};
    std::array<double, Extremals> y_{};
    double delta_ = 0.0;
    double alternation_ = 1.0;
};

}  // namespace Veltrix::Marlin::Native
