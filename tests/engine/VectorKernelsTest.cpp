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
#include <map>
#include <string>
#include <vector>

#include "EngineRequests.h"
#include "engine/EquirippleDesign.h"
#include "engine/PathEvaluation.h"
#include "engine/PathStages.h"
#include "engine/VectorKernels.h"

namespace {

using namespace EngineTest;
using Outputs = std::map<std::string, std::vector<double>>;  // what one instruction set produced, by kernel

// Rx and Tx paths of a wideband and a narrowband stock configuration.
std::vector<PathLayout> Layouts()
{
    const Json cases = EngineData("quality.json");
    std::vector<PathLayout> layouts;
    for (const std::size_t i : {3, 5, 18, 20}) {
        const auto stages = Bytes(cases[i]);
        layouts.push_back(cases[i]["entry"] == "rxResponse" ? RxPath_Layout(RxRequestOf(cases[i], stages), 2)
                                                            : TxPath_Layout(TxRequestOf(cases[i], stages), 2));
    }
    return layouts;
}

// The cascade by its definition: every stage at the frequency it sees, the
// analog front from its own model.
double PlainMagnitude(const PathLayout& layout, const std::vector<ResponseStage>& stages, std::size_t k, std::size_t n)
{
    double magnitude = PathFront_Magnitude(layout, layout.converterRate_Hz * static_cast<double>(k) / n);
    double rate = 1.0;
    for (const ResponseStage& stage : stages) {
        magnitude *= ResponseStage_Magnitude(stage, std::fmod(static_cast<double>(k) * rate / static_cast<double>(n), 1.0));
        rate *= std::max(1, stage.factor);
    }
    return magnitude;
}

void RunAll(Outputs& out)
{
    constexpr std::size_t n = 1 << 13;
    for (const PathLayout& layout : Layouts()) {
        std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
        stages.insert(stages.end(), layout.back.begin(), layout.back.end());
        ResponseWorkspace workspace;
        std::vector<double> magnitude(n), grid(n), response(n);
        Path_Magnitude(layout, stages, n, magnitude, workspace);
        Path_Response(layout, stages, n, grid.data(), response.data(), workspace);
        // The window evaluation (the tool's) promises the whole grid's values bit for bit.
        GridFigures figures;
        std::vector<double> table(n);
        Path_Window(layout, stages, n, GridBands{0, n, 0, n}, table, workspace, figures);
        ASSERT_EQ(std::memcmp(figures.window_dB.data(), response.data(), n * sizeof(double)), 0);
        for (std::size_t k = 0; k < n; k += 7) {
            const double plain = PlainMagnitude(layout, stages, k, n);
            ASSERT_NEAR(magnitude[k], plain, 1e-12 * std::max(1.0, plain)) << k;
            if (magnitude[k] > 1e-10) {
                ASSERT_NEAR(response[k], 20.0 * std::log10(magnitude[k]), 1e-11) << k;
            }
            ASSERT_EQ(grid[k], layout.converterRate_Hz / n * static_cast<double>(k)) << k;
        }
        out["magnitude"].insert(out["magnitude"].end(), magnitude.begin(), magnitude.end());
        out["response"].insert(out["response"].end(), response.begin(), response.end());
    }

    // The logarithm over the whole double range, odd lengths for the tails.
    std::vector<double> values;
    for (double v = 1e-300; v < 1e300; v *= 1.37) values.push_back(v);
    std::vector<double> dB(values.size());
    Kernel_MagnitudeDb(values.data(), values.size(), dB.data());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double plain = 20.0 * std::log10(values[i]);
        EXPECT_LE(std::fabs(dB[i] - plain), 4 * std::numeric_limits<double>::epsilon() * std::fabs(plain) + 1e-300) << values[i];
    }

    // Ripple scan: the spread of every prefix length around the vector width.
    for (std::size_t count : {1, 3, 8, 17, 1001}) {
        std::vector<double> shuffled(values.begin() + 5, values.begin() + 5 + count);
        const auto [low, high] = std::minmax_element(shuffled.begin(), shuffled.end());
        const double spread = *high - *low;
        std::reverse(shuffled.begin(), shuffled.begin() + count / 2);
        EXPECT_EQ(Passband_Ripple_dB(shuffled.data(), count), spread) << count;
    }

    // Interpolation through nodes with points on (that node's value exactly),
    // between and beyond them (the plain sums within rounding).
    const std::vector<double> x{0.9, 0.5, 0.1, -0.3, -0.7, -0.95}, a{1.5, -4.0, 6.5, -5.0, 2.5, -0.75},
        y{1.0, 0.2, -0.4, 0.8, 0.0, -1.2};
    std::vector<double> points(x);
    for (int i = 0; i <= 40; ++i) points.push_back(1.0 - 0.05 * i);
    auto& interpolated = out["interpolated"] = std::vector<double>(points.size());
    Kernel_Barycentric(points.data(), points.size(), x.data(), a.data(), y.data(), x.size(), interpolated.data());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto node = std::find(x.begin(), x.end(), points[i]);
        double numerator = 0.0, denominator = 0.0;
        for (std::size_t j = 0; j < x.size(); ++j) {
            numerator += a[j] / (points[i] - x[j]) * y[j];
            denominator += a[j] / (points[i] - x[j]);
        }
        const double plain = node != x.end() ? y[node - x.begin()] : numerator / denominator;
        EXPECT_NEAR(interpolated[i], plain, node != x.end() ? 0.0 : 1e-14 * std::max(1.0, std::fabs(plain))) << points[i];
    }

    // cos(pi f) across quadrants, signs and the tail lengths.
    std::vector<double> f;
    for (int i = -2003; i <= 2003; ++i) f.push_back(i / 1000.0 + 1e-4);
    auto& cosines = out["cosines"] = std::vector<double>(f.size());
    Kernel_CosPi(f.data(), f.size(), cosines.data());
    for (std::size_t i = 0; i < f.size(); ++i) {
        EXPECT_NEAR(cosines[i], static_cast<double>(std::cos(3.141592653589793238462643383279503L * f[i])), 2.5e-16) << f[i];
    }

    // Designs: the sizes of the engine, the generator's largest.
    const auto design = [&](auto length, double pass, double stop) {
        const auto result = Equiripple_Design<decltype(length)::value>(
                                {0.0, pass, stop, 1.0}, [](double, int band) { return band == 0 ? 1.0 : 0.0; },
                                [](double, int band) { return band == 0 ? 1.0 : 10.0; })
                                .result;
        EXPECT_EQ(result.status, EquirippleStatus::Converged);
        out["taps"].insert(out["taps"].end(), result.taps.begin(), result.taps.end());
    };
    design(std::integral_constant<std::size_t, 13>{}, 0.3, 0.5);
    design(std::integral_constant<std::size_t, 21>{}, 0.4, 0.5);
    design(std::integral_constant<std::size_t, 127>{}, 0.2, 0.25);
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
        SCOPED_TRACE(target);
        ASSERT_TRUE(VectorTarget_Force(target));
        EXPECT_EQ(VectorTargets_Supported(), targets);  // listing does not undo the choice
        EXPECT_EQ(VectorTarget_Name(), target);
        RunAll(outputs.emplace_back());
    }
    ASSERT_TRUE(VectorTarget_Force(""));
    EXPECT_EQ(VectorTarget_Name(), targets.front());

    for (std::size_t t = 1; t < outputs.size(); ++t) {
        for (const auto& [kernel, values] : outputs[0]) {
            const std::vector<double>& other = outputs[t][kernel];
            ASSERT_EQ(other.size(), values.size()) << targets[t] << " " << kernel;
            double worst = 0.0;
            for (std::size_t k = 0; k < values.size(); ++k) worst = std::max(worst, std::fabs(other[k] - values[k]));
            // Only the logarithm may differ, in its last bits.
            if (kernel == "response") {
                EXPECT_LT(worst, 1e-12) << targets[t];
            } else {
                EXPECT_EQ(std::memcmp(other.data(), values.data(), values.size() * sizeof(double)), 0) << targets[t] << " " << kernel;
            }
        }
    }
}

}  // namespace
