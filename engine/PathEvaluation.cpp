#include "engine/PathEvaluation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace Veltrix::Marlin::Native {

namespace {


// A polynomial in z = (k / n)^2, the squared grid frequency in units of the
// converter clock; every squared model magnitude is a ratio of two of them.
struct Polynomial {
    std::array<double, 16> c{};
    int degree = 0;

    void MultiplyBy(const Polynomial& other)
    {
        std::array<double, 16> product{};
        for (int i = 0; i <= degree; ++i) {
            for (int j = 0; j <= other.degree && i + j < 16; ++j) {
                product[static_cast<std::size_t>(i + j)] += c[static_cast<std::size_t>(i)] * other.c[static_cast<std::size_t>(j)];
            }
        }
        c = product;
        degree = std::min(15, degree + other.degree);
    }
    double operator()(double z) const
    {
        double value = c[static_cast<std::size_t>(degree)];
        for (int i = degree - 1; i >= 0; --i) {
            value = value * z + c[static_cast<std::size_t>(i)];
        }
        return value;
    }
};

// Squared front-end magnitude = numerator(z) / denominator(z) (times the
// hold droop for the sampling converters).
struct FrontPower {
    Polynomial numerator;
    Polynomial denominator;
    bool hold = false;
};

FrontPower FrontPower_Build(const PathLayout& layout)
{
    FrontPower front;
    front.numerator.c[0] = 1.0;
    front.denominator.c[0] = 1.0;
    if (layout.converter == ConverterModel::HighPower) {
        // |c0 - c2 nu^2 + j c1 nu|^2 with nu^2 = z / 4.
        for (const ConverterRow& row : HighPowerRows) {
            Polynomial factor;
            factor.degree = 2;
            factor.c[0] = row.c0 * row.c0;
            factor.c[1] = (row.c1 * row.c1 - 2.0 * row.c0 * row.c2) / 4.0;
            factor.c[2] = row.c2 * row.c2 / 16.0;
            for (int p = 0; p < row.power; ++p) {
                (row.side > 0 ? front.numerator : front.denominator).MultiplyBy(factor);
            }
        }
    } else {
        front.hold = true;
    }
    if (layout.analogCorner_Hz > 0.0) {
        const double ratio = layout.converterRate_Hz / layout.analogCorner_Hz;
        const double a = ratio * ratio;  // u^2 = a z
        Polynomial factor;
        if (layout.analog == AnalogFilterModel::Tia) {
            factor.degree = 1;
            factor.c[0] = 1.0;
            factor.c[1] = a;
        } else {
            factor.degree = 2;
            factor.c[0] = 1.0;
            factor.c[1] = (1.0 / (0.707 * 0.707) - 2.0) * a;
            factor.c[2] = a * a;
        }
        front.denominator.MultiplyBy(factor);
    }
    return front;
}

FrontShape Shape(const FrontPower& front, std::size_t n)
{
    FrontShape shape;
    shape.numerator = front.numerator.c.data();
    shape.numeratorDegree = front.numerator.degree;
    shape.denominator = front.denominator.c.data();
    shape.denominatorDegree = front.denominator.degree;
    // The hold droop (sin(pi k / n) / (pi k / n))^2 takes its sine from the rotor.
    shape.hold = front.hold;
    shape.inverse = 1.0 / static_cast<double>(n);
    return shape;
}

// True when no factor of the front can rise with frequency on [0, n): the
// analog filters' denominators have only non-negative coefficients in z and
// the hold droop falls up to the converter clock. The high-power converter's
// model has zeros and may rise.
bool FrontNeverRises(const FrontPower& front)
{
    if (front.numerator.degree != 0) {
        return false;
    }
    for (int i = 0; i <= front.denominator.degree; ++i) {
        if (front.denominator.c[static_cast<std::size_t>(i)] < 0.0) {
            return false;
        }
    }
    return true;
}

// The logarithm Path_Response takes, so that every level matches it bit for bit.
double Decibels(double squared)
{
    double level = 0.0;
    Kernel_PowerDb(&squared, 1, ResponseFloor * ResponseFloor, &level);
    return level;
}

// Only the hold droop takes its sine from the rotor: the seed's
// trigonometric calls are spared otherwise.
RotorBlock FrontSeed(const FrontPower& front, const Rotor& rotor, std::size_t base)
{
    return front.hold ? rotor.Seed(base) : RotorBlock{};
}

void FrontPowerBlock(const FrontPower& front, const Rotor& rotor, std::size_t n, std::size_t base, std::size_t count,
                     double* power)
{
    Kernel_FrontPower(Shape(front, n), FrontSeed(front, rotor, base), base, count, power);
}

// The analysis grid, k times the step; the usual guard of a stepped range:
// a last point within rounding of the end is placed on it.
void Path_WriteGrid(const PathLayout& layout, std::size_t n, double* grid_Hz)
{
    const double step = layout.converterRate_Hz / static_cast<double>(n);
    Kernel_Ramp(step, 0, n, grid_Hz);
    const double end = layout.converterRate_Hz - step;
    if (n > 0 && std::fabs(grid_Hz[n - 1] - end) <= 4.440892098500626e-16 * std::fabs(end)) {
        grid_Hz[n - 1] = end;
    }
}

}  // namespace

double PathFront_Magnitude(const PathLayout& layout, double frequency_Hz)
{
    double magnitude = Converter_Magnitude(layout.converter, frequency_Hz, layout.converterRate_Hz);
    if (layout.analogCorner_Hz > 0.0) {
        magnitude *= AnalogFilter_Magnitude(layout.analog, frequency_Hz, layout.analogCorner_Hz);
    }
    return magnitude;
}

void Path_Magnitude(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                    std::span<double> magnitude, ResponseWorkspace& workspace)
{
    ChainResponse_Tabulate(stages, n, magnitude, {}, workspace);
    const Rotor rotor(n, 1);
    const FrontPower front = FrontPower_Build(layout);
    const FrontShape shape = Shape(front, n);
    for (std::size_t base = 0; base < n; base += Rotor::Block) {
        const std::size_t count = std::min(Rotor::Block, n - base);
        Kernel_FrontMagnitude(shape, FrontSeed(front, rotor, base), base, count, magnitude.data() + base);
    }
}

void Path_Response(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                   double* grid_Hz, double* response_dB, ResponseWorkspace& workspace)
{
    // The grid buffer holds the inner stages' tables until the grid is
    // written. When the grid splits into pairs of whole blocks, the cascade
    // comes back for k <= n / 2 only (it is even about n / 2), and each block
    // below n / 2 gives the dB of itself and of its mirror block above in
    // one pass. Blocks start at multiples of the rotor block either way, so
    // every front power comes out of the same arithmetic.
    const bool paired = n % (2 * Rotor::Block) == 0;
    const std::span<double> table(response_dB, n);
    const std::span<double> scratch(grid_Hz, n);
    const Rotor rotor(n, 1);
    const FrontPower front = FrontPower_Build(layout);
    const FrontShape shape = Shape(front, n);
    const double floorSquared = ResponseFloor * ResponseFloor;
    if (paired && ChainBlocks::Streams(stages, n)) {
        // The outermost stage runs at the grid's own rate: each block of it
        // is evaluated, folded, and taken to dB with its mirror block while
        // it is in cache, and no table of the whole grid is written. Blocks
        // go in the order of the inner table positions they read (with an
        // odd factor such as 3 the grid order sweeps that table several
        // times over); the mirror block also reads the first point of the
        // next block, taken on its own when that block is still to come.
        constexpr std::size_t block = Rotor::Block;
        const std::size_t blocks = n / 2 / block;
        const ChainBlocks cascade(stages, n, scratch, workspace);
        std::vector<std::pair<std::size_t, std::size_t>> order(blocks);
        for (std::size_t m = 0; m < blocks; ++m) {
            order[m] = {cascade.InnerPosition(m * block), m};
        }
        std::sort(order.begin(), order.end());
        std::vector<double> firstPoint(blocks + 1);
        std::vector<bool> known(blocks + 1, false);
        // The block and the first point of the next: the mirror block reads
        // the last block points of it backwards.
        double values[block + 1];
        for (const auto& [position, m] : order) {
            const std::size_t base = m * block;
            cascade.Block(base, block, values);
            firstPoint[m] = values[0];
            known[m] = true;
            if (!known[m + 1]) {
                cascade.Block(base + block, 1, &firstPoint[m + 1]);
                known[m + 1] = true;
            }
            values[block] = firstPoint[m + 1];
            const std::size_t mirror = n - base - block;
            Kernel_FrontDbReversed(shape, FrontSeed(front, rotor, mirror), mirror, block, floorSquared, values + 1,
                                   response_dB + mirror);
            Kernel_FrontDb(shape, FrontSeed(front, rotor, base), base, block, floorSquared, values,
                           response_dB + base);
        }
        Path_WriteGrid(layout, n, grid_Hz);
        return;
    }
    if (paired) {
        ChainResponse_TabulateHalf(stages, n, table, scratch, workspace);
    } else {
        ChainResponse_Tabulate(stages, n, table, scratch, workspace);
    }
    // 20 log10 of the magnitude as 10 log10 of its square: no square root.
    if (paired) {
        constexpr std::size_t block = Rotor::Block;
        for (std::size_t base = 0; base < n / 2; base += block) {
            // Its mirror block first: it reads this block (and the point
            // after it) before they are overwritten.
            const std::size_t mirror = n - base - block;
            double mirrored[block];
            Kernel_Mirror(response_dB + base + 1, block, mirrored);
            Kernel_FrontDb(shape, FrontSeed(front, rotor, mirror), mirror, block, floorSquared, mirrored, response_dB + mirror);
            Kernel_FrontDb(shape, FrontSeed(front, rotor, base), base, block, floorSquared, response_dB + base, response_dB + base);
        }
    } else {
        for (std::size_t base = 0; base < n; base += Rotor::Block) {
            const std::size_t count = std::min(Rotor::Block, n - base);
            Kernel_FrontDb(shape, FrontSeed(front, rotor, base), base, count, floorSquared, response_dB + base,
                           response_dB + base);
        }
    }
    Path_WriteGrid(layout, n, grid_Hz);
}

void Path_Window(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                 const GridBands& bands, std::span<double> table, ResponseWorkspace& workspace,
                 GridFigures& figures)
{
    // The cascade is even about n / 2 (Path_Response pairs its blocks on
    // that), so only k <= n / 2 is tabulated and the points above read their
    // mirror; the rest of the caller's buffer lends the inner stages their
    // tables.
    const std::size_t half = n / 2;
    const std::span<double> scratch = table.size() > half + 1 ? table.subspan(half + 1) : std::span<double>{};
    ChainResponse_TabulateHalf(stages, n, table.first(half + 1), scratch, workspace);
    const Rotor rotor(n, 1);
    const FrontPower front = FrontPower_Build(layout);
    const bool falling = FrontNeverRises(front);
    const double floorSquared = ResponseFloor * ResponseFloor;
    figures.window_dB.assign(bands.count, 0.0);
    figures.passband_dB.assign(bands.passbandPoints, 0.0);
    // The stopband's largest square, and the largest level among the points
    // within rounding of it: the logarithm is taken of those alone, and the
    // largest of their levels is the one the whole grid would report.
    double bestSquared = -1.0;
    double best_dB = -std::numeric_limits<double>::infinity();
    constexpr double Near = 1.0 - 1e-12;
    const std::size_t windowEnd = bands.first + bands.count;
    // Blocks start at multiples of the rotor block, as in Path_Response, so
    // every power comes out of the same arithmetic.
    for (std::size_t base = 0; base < n; base += Rotor::Block) {
        const std::size_t count = std::min(Rotor::Block, n - base);
        const std::size_t end = base + count;
        const bool inPassband = base < bands.passbandPoints;
        const bool inWindow = base < windowEnd && end > bands.first;
        const bool inStopband = end > bands.stopbandFirst;
        if (!inPassband && !inWindow && !inStopband) {
            continue;
        }
        double mirrored[Rotor::Block];
        const double* values = table.data() + base;
        if (end > half + 1) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t k = base + i;
                mirrored[i] = table[k <= half ? k : n - k];
            }
            values = mirrored;
        }
        const std::size_t stopFrom = bands.stopbandFirst > base ? bands.stopbandFirst - base : 0;
        double power[Rotor::Block];
        if (!inPassband && !inWindow && falling) {
            double largest = 0.0;
            for (std::size_t i = stopFrom; i < count; ++i) {
                largest = std::max(largest, values[i] * values[i]);
            }
            FrontPowerBlock(front, rotor, n, base, 1, power);
            if (largest * power[0] * (1.0 + 1e-9) < bestSquared * Near) {
                continue;
            }
        }
        FrontPowerBlock(front, rotor, n, base, count, power);
        double squared[Rotor::Block];
        for (std::size_t i = 0; i < count; ++i) {
            squared[i] = values[i] * values[i] * power[i];
        }
        if (inPassband) {
            Kernel_PowerDb(squared, std::min(end, bands.passbandPoints) - base, floorSquared,
                           figures.passband_dB.data() + base);
        }
        if (inWindow) {
            const std::size_t from = std::max(base, bands.first);
            Kernel_PowerDb(squared + (from - base), std::min(end, windowEnd) - from, floorSquared,
                           figures.window_dB.data() + (from - bands.first));
        }
        if (inStopband) {
            // Only the points within rounding of the larger of the block's
            // largest square and the best so far can set the level.
            const double blockLargest = *std::max_element(squared + stopFrom, squared + count);
            if (blockLargest >= bestSquared * Near) {
                bestSquared = std::max(bestSquared, blockLargest);
                for (std::size_t i = stopFrom; i < count; ++i) {
                    if (squared[i] >= bestSquared * Near) {
                        best_dB = std::max(best_dB, Decibels(squared[i]));
                    }
                }
            }
        }
    }
    figures.stopbandMax_dB = best_dB;
}

std::vector<std::vector<double>> Path_PartCurves(const PathLayout& layout, std::span<const ResponseStage> stages,
                                                 std::size_t n, std::size_t first, std::size_t count)
{
    std::vector<std::vector<double>> curves(stages.size() + 1, std::vector<double>(count));
    const Rotor frontRotor(n, 1);
    const FrontPower front = FrontPower_Build(layout);
    double power[Rotor::Block];
    for (std::size_t done = 0; done < count; done += Rotor::Block) {
        const std::size_t block = std::min(Rotor::Block, count - done);
        FrontPowerBlock(front, frontRotor, n, first + done, block, power);
        for (std::size_t i = 0; i < block; ++i) {
            curves[0][done + i] = Decibels(power[i]);
        }
    }
    // A stage behind factors M sees grid point k at M k / n cycles per sample.
    std::size_t behind = 1;
    double amplitude[Rotor::Block];
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const Rotor rotor(n, behind);
        for (std::size_t done = 0; done < count; done += Rotor::Block) {
            const std::size_t block = std::min(Rotor::Block, count - done);
            ResponseStage_Block(stages[s], rotor, first + done, block, amplitude);
            for (std::size_t i = 0; i < block; ++i) {
                curves[s + 1][done + i] = Decibels(amplitude[i] * amplitude[i]);
            }
        }
        behind *= static_cast<std::size_t>(std::max(1, stages[s].factor));
    }
    return curves;
}

double Passband_Ripple_dB(const double* response_dB, std::size_t count)
{
    if (count == 0) {
        return 0.0;
    }
    double low = 0.0;
    double high = 0.0;
    Kernel_MinMax(response_dB, count, low, high);
    return high - low;
}

std::vector<ResponseStage> Path_WithCompensation(const PathLayout& layout, const ResponseStage* compensation,
                                                 const PathLayout* lowRateLayout, const ResponseStage* lowRate)
{
    std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
    if (compensation != nullptr) {
        stages.push_back(*compensation);
    }
    if (lowRate == nullptr || lowRateLayout == nullptr) {
        stages.insert(stages.end(), layout.back.begin(), layout.back.end());
        return stages;
    }
    const std::size_t split = std::max(layout.front.size(), lowRateLayout->front.size());
    const std::size_t fromBack = std::min(split - layout.front.size(), layout.back.size());
    stages.insert(stages.end(), layout.back.begin(), layout.back.begin() + static_cast<std::ptrdiff_t>(fromBack));
    stages.push_back(*lowRate);
    stages.insert(stages.end(), layout.back.begin() + static_cast<std::ptrdiff_t>(fromBack), layout.back.end());
    return stages;
}

}  // namespace Veltrix::Marlin::Native
