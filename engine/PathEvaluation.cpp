#include "engine/PathEvaluation.h"

#include <algorithm>
#include <cmath>

namespace Veltrix::Marlin::Native {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Squared magnitude of the analog filter at u = f / corner.
inline double AnalogPower(bool tia, double u)
{
    const double u2 = u * u;
    if (tia) {
        return 1.0 / (1.0 + u2);
    }
    const double real = 1.0 - u2;
    return 1.0 / (real * real + u2 / (0.707 * 0.707));
}

// Squared magnitude of the front end (analog filter and converter) of grid
// points base .. base+count-1 into power.
void FrontPowerBlock(const PathLayout& layout, const Rotor& rotor, std::size_t n, std::size_t base,
                     std::size_t count, double* power)
{
    const double step = layout.converterRate_Hz / static_cast<double>(n);
    const bool analog = layout.analogCorner_Hz > 0.0;
    const bool tia = layout.analog == AnalogFilterModel::Tia;
    const double inverseCorner = analog ? 1.0 / layout.analogCorner_Hz : 0.0;
    if (layout.converter == ConverterModel::HighPower) {
        for (std::size_t i = 0; i < count; ++i) {
            const double f = step * static_cast<double>(base + i);
            power[i] = (analog ? AnalogPower(tia, f * inverseCorner) : 1.0) *
                       HighPowerConverter_Power(f, layout.converterRate_Hz);
        }
        return;
    }
    double c[Rotor::Block];
    double s[Rotor::Block];
    rotor.Fill(base, count, c, s);
    const double scale = static_cast<double>(n) / Pi;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = base + i;
        const double f = step * static_cast<double>(k);
        const double hold = k == 0 ? 1.0 : s[i] * scale / static_cast<double>(k);
        power[i] = (analog ? AnalogPower(tia, f * inverseCorner) : 1.0) * hold * hold;
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
    for (std::size_t base = 0; base < n; base += Rotor::Block) {
        const std::size_t count = std::min(Rotor::Block, n - base);
        double power[Rotor::Block];
        FrontPowerBlock(layout, rotor, n, base, count, power);
        for (std::size_t i = 0; i < count; ++i) {
            magnitude[base + i] *= std::sqrt(power[i]);
        }
    }
}

void Grid_Fill(double* grid_Hz, std::size_t n, double clock_Hz)
{
    const double step = clock_Hz / static_cast<double>(n);
    for (std::size_t k = 0; k < n; ++k) {
        grid_Hz[k] = step * static_cast<double>(k);
    }
    const double end = clock_Hz - step;
    if (n > 0 && std::fabs(grid_Hz[n - 1] - end) <= 4.440892098500626e-16 * std::fabs(end)) {
        grid_Hz[n - 1] = end;
    }
}

void Path_Response(const PathLayout& layout, std::span<const ResponseStage> stages, std::size_t n,
                   double* grid_Hz, double* response_dB, ResponseWorkspace& workspace)
{
    // The grid buffer holds the inner stages' tables until the grid is written.
    ChainResponse_Tabulate(stages, n, std::span<double>(response_dB, n), std::span<double>(grid_Hz, n), workspace);
    Grid_Fill(grid_Hz, n, layout.converterRate_Hz);
    const Rotor rotor(n, 1);
    for (std::size_t base = 0; base < n; base += Rotor::Block) {
        const std::size_t count = std::min(Rotor::Block, n - base);
        double* values = response_dB + base;
        double power[Rotor::Block];
        FrontPowerBlock(layout, rotor, n, base, count, power);
        // 20 log10 of the magnitude as 10 log10 of its square: no square root.
        for (std::size_t i = 0; i < count; ++i) {
            const double squared = values[i] * values[i] * power[i];
            values[i] = 10.0 * std::log10(std::max(squared, ResponseFloor * ResponseFloor));
        }
    }
}

double Passband_Ripple_dB(const double* response_dB, std::size_t count)
{
    if (count == 0) {
        return 0.0;
    }
    const auto [low, high] = std::minmax_element(response_dB, response_dB + count);
    return *high - *low;
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
