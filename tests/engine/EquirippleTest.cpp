#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/EquirippleDesign.h"

namespace {

using namespace Veltrix::Marlin::Native;

double Amplitude(const double* taps, std::size_t length, double cyclesPerSample)
{
    const double centre = (static_cast<double>(length) - 1.0) / 2.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += taps[i] * std::cos(2.0 * 3.14159265358979323846 * cyclesPerSample * (static_cast<double>(i) - centre));
    }
    return sum;
}

auto LowPassDesired = [](double, int band) { return band == 0 ? 1.0 : 0.0; };
auto UnitWeight = [](double, int) { return 1.0; };

// The equiripple property: the weighted error on the design grid reaches the
// deviation with alternating sign at n + 1 = 12 points, and nowhere exceeds it.
TEST(Equiripple, LowPassErrorAlternatesAtTwelveExtremals)
{
    const EquirippleBandEdges edges{0.0, 0.4, 0.5, 1.0};
    const auto design = Equiripple_Design<21>(edges, LowPassDesired, UnitWeight);
    ASSERT_TRUE(design.result.success);
    EXPECT_EQ(design.result.status, EquirippleStatus::Converged);
    EXPECT_EQ(design.size[0], 1u);
    EXPECT_EQ(design.size[1], 21u);
    const double delta = design.result.deviation;
    EXPECT_GT(delta, 0.01);
    EXPECT_LT(delta, 0.1);

    EquirippleGridStorage grid;
    EquirippleGrid_Build(grid, edges, EquirippleGridSpacing, LowPassDesired, UnitWeight);
    std::vector<double> error(grid.frequency.size());
    for (std::size_t k = 0; k < error.size(); ++k) {
        error[k] = Amplitude(design.result.taps.data(), 21, grid.frequency[k]) - grid.desired[k];
        EXPECT_LE(std::fabs(error[k]), delta * (1.0 + 1e-3)) << "grid point " << k;
    }
    // Count sign alternations among points where |error| reaches delta.
    int extremals = 0;
    double lastSign = 0.0;
    for (double e : error) {
        if (std::fabs(e) >= delta * (1.0 - 1e-3)) {
            const double sign = e > 0.0 ? 1.0 : -1.0;
            if (sign != lastSign) {
                ++extremals;
                lastSign = sign;
            }
        }
    }
    EXPECT_GE(extremals, 12);
}

TEST(Equiripple, TapsAreSymmetricWithUnityPassband)
{
    const auto design = Equiripple_Design<127>({0.0, 0.2, 0.25, 1.0}, LowPassDesired, UnitWeight);
    ASSERT_TRUE(design.result.success);
    for (std::size_t i = 0; i < 63; ++i) {
        EXPECT_DOUBLE_EQ(design.result.taps[i], design.result.taps[126 - i]);
    }
    EXPECT_NEAR(Amplitude(design.result.taps.data(), 127, 0.0), 1.0, design.result.deviation * 1.01);
    EXPECT_LT(std::fabs(Amplitude(design.result.taps.data(), 127, 0.4)), design.result.deviation * 1.01);
    EXPECT_GT(design.result.iterations, 0);
    EXPECT_LE(design.result.iterations, EquirippleIterationLimit);
}

// A target the filter meets exactly leaves only rounding noise as deviation;
// it stops growing, which the exchange reports as data and on standard output.
TEST(Equiripple, DeviationThatStopsGrowingIsReportedAsNotConverged)
{
    testing::internal::CaptureStdout();
    const auto design = Equiripple_Design<13>({0.0, 0.4, 0.5, 1.0}, [](double, int) { return 0.5; }, UnitWeight);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(design.result.success);
    EXPECT_EQ(design.result.status, EquirippleStatus::DidNotConverge);
    EXPECT_EQ(design.result.deviation, -1.0);
    EXPECT_GE(design.result.iterations, 2);
    for (double tap : design.result.taps) {
        EXPECT_EQ(tap, 0.0);
    }
    EXPECT_EQ(printed, "DidNotConverge\n");
}

TEST(Equiripple, GridSpacingAndUpperEdgePulledInside)
{
    EquirippleGridStorage grid;
    EquirippleGrid_Build(grid, {0.0, 0.1, 0.5, 1.0}, EquirippleGridSpacing, LowPassDesired, UnitWeight);
    // Passband 0 .. 0.1: 17 points, the last on the edge (halved: cycles per sample).
    EXPECT_DOUBLE_EQ(grid.frequency[0], 0.0);
    EXPECT_DOUBLE_EQ(grid.frequency[1], 0.00625 / 2.0);
    EXPECT_DOUBLE_EQ(grid.frequency[16], 0.05);
    EXPECT_EQ(grid.band[16], 0);
    EXPECT_EQ(grid.band[17], 1);
    EXPECT_DOUBLE_EQ(grid.frequency[17], 0.25);
    // An upper edge at 1 lies above 1 - 0.00625: the last point is pulled in.
    EXPECT_DOUBLE_EQ(grid.frequency.back(), (1.0 - 0.00625) / 2.0);
    EXPECT_DOUBLE_EQ(grid.x[0], 1.0);
}

// Coefficients on the 2^-15 grid (a half step rounds up); integer outputs
// round half away from zero and saturate.
TEST(Equiripple, QuantisationAndIntegerOutputs)
{
    for (const auto& [value, steps] : {std::pair{0.5, 16384.0}, {0.50002, 16385.0}, {-0.25, -8192.0}, {1.0 / 65536.0, 1.0}}) {
        EXPECT_EQ(Coefficient_Quantize(value) * 32768.0, steps) << value;
    }
    for (const auto& [value, integer] : {std::pair{2.5, 3}, {-2.5, -3}, {8388608.0, 8388608}, {1e12, 2147483647},
                                         {-1e12, -2147483647 - 1}}) {
        EXPECT_EQ(Coefficient_ToInt32(value), integer) << value;
    }
}

}  // namespace
