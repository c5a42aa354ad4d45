// The vector kernels under every instruction set this machine runs, against
// plain scalar evaluations. All but the logarithm must give the same bits on
// every instruction set: the compensation filters designed from these
// responses are quantised, and a stored profile must not depend on the
// machine that designed it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "PathQualitySupport.h"
#include "engine/EquirippleDesign.h"
#include "engine/PathEvaluation.h"
#include "engine/PathStages.h"
#include "engine/VectorKernels.h"

namespace {

using namespace Veltrix::Marlin::Native;

// What one instruction set produced, for comparison across sets.
struct Outputs {
    std::vector<double> magnitude;  // Path_Magnitude of every layout, concatenated
    std::vector<double> response;   // Path_Response's dB of every layout
    std::vector<double> taps;       // equiripple designs
    std::vector<double> interpolated;
    std::vector<double> cosines;
};

std::vector<PathLayout> Layouts()
{
    std::vector<PathLayout> layouts;
    for (const auto& config : {PathQuality::Configurations()[1], PathQuality::Configurations()[6]}) {
        const auto rx = PathQuality::RxStages(config);
        layouts.push_back(RxPath_Layout(PathQuality::RxRequest(config, rx.data(), true, true), 2));
        const auto tx = PathQuality::TxStages(config);
        layouts.push_back(TxPath_Layout(PathQuality::TxRequest(config, tx.data()), 2));
    }
    return layouts;
}

std::vector<ResponseStage> Stages(const PathLayout& layout)
{
    std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
    stages.insert(stages.end(), layout.back.begin(), layout.back.end());
    return stages;
}

// The cascade by its definition: every stage at the frequency it sees, the
// analog front from its own model.
double PlainMagnitude(const PathLayout& layout, const std::vector<ResponseStage>& stages, std::size_t k,
                      std::size_t n)
{
    double magnitude = PathFront_Magnitude(layout, layout.converterRate_Hz * static_cast<double>(k) / n);
    double rate = 1.0;
    for (const ResponseStage& stage : stages) {
        const double nu = std::fmod(static_cast<double>(k) * rate / static_cast<double>(n), 1.0);
        magnitude *= ResponseStage_Magnitude(stage, nu);
        rate *= std::max(1, stage.factor);
    }
    return magnitude;
}

double PlainBarycentric(double t, const std::vector<double>& x, const std::vector<double>& a,
                        const std::vector<double>& y)
{
    double numerator = 0.0;
    double denominator = 0.0;
    for (std::size_t j = 0; j < x.size(); ++j) {
        if (t == x[j]) return y[j];
        numerator += a[j] / (t - x[j]) * y[j];
        denominator += a[j] / (t - x[j]);
    }
    return numerator / denominator;
}

void RunAll(const std::string& target, Outputs& out)
{
    SCOPED_TRACE(target);
    constexpr std::size_t n = 1 << 13;
    for (const PathLayout& layout : Layouts()) {
        const auto stages = Stages(layout);
        ResponseWorkspace workspace;
        std::vector<double> magnitude(n);
        Path_Magnitude(layout, stages, n, magnitude, workspace);
        std::vector<double> grid(n);
        std::vector<double> response(n);
        Path_Response(layout, stages, n, grid.data(), response.data(), workspace);
        for (std::size_t k = 0; k < n; k += 7) {
            const double plain = PlainMagnitude(layout, stages, k, n);
            ASSERT_NEAR(magnitude[k], plain, 1e-12 * std::max(1.0, plain)) << k;
            if (magnitude[k] > 1e-10) {
                ASSERT_NEAR(response[k], 20.0 * std::log10(magnitude[k]), 1e-11) << k;
            }
            ASSERT_EQ(grid[k], layout.converterRate_Hz / n * static_cast<double>(k)) << k;
        }
        out.magnitude.insert(out.magnitude.end(), magnitude.begin(), magnitude.end());
        out.response.insert(out.response.end(), response.begin(), response.end());
    }

    // The logarithm over the whole double range, odd lengths for the tails.
    std::vector<double> values;
    for (double v = 1e-300; v < 1e300; v *= 1.37) values.push_back(v);
    std::vector<double> dB(values.size());
    Kernel_MagnitudeDb(values.data(), values.size(), dB.data());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double plain = 20.0 * std::log10(values[i]);
        EXPECT_LE(std::fabs(dB[i] - plain), 4 * std::numeric_limits<double>::epsilon() * std::fabs(plain) + 1e-300)
            << values[i];
    }

    // Ripple scan: the spread of every prefix length around the vector width.
    for (std::size_t count : {1, 3, 8, 17, 1001}) {
        const auto [low, high] = std::minmax_element(values.begin() + 5, values.begin() + 5 + count);
        std::vector<double> shuffled(values.begin() + 5, values.begin() + 5 + count);
        std::reverse(shuffled.begin(), shuffled.begin() + count / 2);
        EXPECT_EQ(Passband_Ripple_dB(shuffled.data(), count), *high - *low) << count;
    }

    // Interpolation through nodes with points on, between and beyond them.
    const std::vector<double> x{0.9, 0.5, 0.1, -0.3, -0.7, -0.95};
    const std::vector<double> a{1.5, -4.0, 6.5, -5.0, 2.5, -0.75};
    const std::vector<double> y{1.0, 0.2, -0.4, 0.8, 0.0, -1.2};
    std::vector<double> points;
    for (int i = 0; i <= 40; ++i) points.push_back(1.0 - 0.05 * i);
    points.insert(points.end(), x.begin(), x.end());
    std::vector<double> interpolated(points.size());
    Kernel_Barycentric(points.data(), points.size(), x.data(), a.data(), y.data(), x.size(), interpolated.data());
    // On a node: that node's value exactly; elsewhere the plain sums within
    // rounding (the kernel carries them over one common denominator).
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double plain = PlainBarycentric(points[i], x, a, y);
        const bool onNode = std::find(x.begin(), x.end(), points[i]) != x.end();
        EXPECT_NEAR(interpolated[i], plain, onNode ? 0.0 : 1e-14 * std::max(1.0, std::fabs(plain))) << points[i];
    }
    out.interpolated = interpolated;

    // cos(pi f) across quadrants, signs and the tail lengths.
    std::vector<double> f;
    for (int i = -2003; i <= 2003; ++i) f.push_back(i / 1000.0 + 1e-4);
    std::vector<double> cosines(f.size());
    Kernel_CosPi(f.data(), f.size(), cosines.data());
    for (std::size_t i = 0; i < f.size(); ++i) {
        const long double exact = std::cos(3.141592653589793238462643383279503L * static_cast<long double>(f[i]));
        EXPECT_NEAR(cosines[i], static_cast<double>(exact), 2.5e-16) << f[i];
    }
    out.cosines = cosines;

    // Designs: the sizes of the engine, the generator's largest.
    const auto design = [&](auto length, double pass, double stop) {
        const auto result = Equiripple_Design<decltype(length)::value>(
                                {0.0, pass, stop, 1.0}, [](double, int band) { return band == 0 ? 1.0 : 0.0; },
                                [](double, int band) { return band == 0 ? 1.0 : 10.0; })
                                .result;
        EXPECT_EQ(result.status, EquirippleStatus::Converged);
        out.taps.insert(out.taps.end(), result.taps.begin(), result.taps.end());
    };
    design(std::integral_constant<std::size_t, 13>{}, 0.3, 0.5);
    design(std::integral_constant<std::size_t, 21>{}, 0.4, 0.5);
    design(std::integral_constant<std::size_t, 127>{}, 0.2, 0.25);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(VectorKernels, EveryInstructionSetMatchesThePlainLoopsAndTheOthers)
{
    const std::vector<std::string> targets = VectorTargets_Supported();
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(VectorTarget_Name(), targets.front());
    EXPECT_FALSE(VectorTarget_Force("no such target"));
    EXPECT_EQ(VectorTarget_Name(), targets.front());

    std::vector<Outputs> outputs;
    for (const std::string& target : targets) {
        ASSERT_TRUE(VectorTarget_Force(target));
        EXPECT_EQ(VectorTarget_Name(), target);
        // Listing does not undo the choice.
        EXPECT_EQ(VectorTargets_Supported(), targets);
        EXPECT_EQ(VectorTarget_Name(), target);
        RunAll(target, outputs.emplace_back());
    }
    ASSERT_TRUE(VectorTarget_Force(""));
    EXPECT_EQ(VectorTarget_Name(), targets.front());

    for (std::size_t t = 1; t < outputs.size(); ++t) {
        SCOPED_TRACE(targets[t]);
        EXPECT_TRUE(SameBits(outputs[t].magnitude, outputs[0].magnitude));
        EXPECT_TRUE(SameBits(outputs[t].taps, outputs[0].taps));
        EXPECT_TRUE(SameBits(outputs[t].interpolated, outputs[0].interpolated));
        EXPECT_TRUE(SameBits(outputs[t].cosines, outputs[0].cosines));
        double worst = 0.0;
        for (std::size_t k = 0; k < outputs[t].response.size(); ++k) {
            worst = std::max(worst, std::fabs(outputs[t].response[k] - outputs[0].response[k]));
        }
        EXPECT_LT(worst, 1e-12);
    }
}

}  // namespace
