#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "PathQualitySupport.h"
#include "engine/AnalogModels.h"
#include "engine/ChainResponse.h"
#include "engine/MagnitudeCompensation.h"
#include "engine/PathStages.h"
#include "engine/ResponseEntries.h"
#include "engine/StageCoefficients.h"

namespace {

using namespace Veltrix::Marlin::Native;

double Db(double magnitude) { return 20.0 * std::log10(magnitude); }

TEST(AnalogModels, CornerValues)
{
    EXPECT_NEAR(Db(TiaFilter_Magnitude(1e8, 1e8)), -20.0 * std::log10(std::sqrt(2.0)), 1e-12);
    EXPECT_NEAR(Db(BiquadFilter_Magnitude(7.071e7, 7.071e7)), -20.0 * std::log10(1.0 / 0.707), 1e-12);
    EXPECT_EQ(LowPowerConverter_Magnitude(0.0, 2211840000.0), 1.0);
    EXPECT_NEAR(LowPowerConverter_Magnitude(1105920000.0, 2211840000.0), 2.0 / 3.14159265358979323846, 1e-12);
    EXPECT_EQ(HighPowerConverter_Magnitude(0.0, 2211840000.0), 1.0);
}

// The high-performance converter model: flat within a few hundredths of a dB
// over every passband the chains offer, smoothly falling beyond.
TEST(AnalogModels, HighPowerConverterIsSmoothAndNearlyFlatInBand)
{
    const double clock = 2211840000.0;
    double previous = 0.0;
    for (double f = 0.0; f <= 50e6; f += 1e6) {
        const double level = Db(HighPowerConverter_Magnitude(f, clock));
        EXPECT_LT(std::fabs(level), 0.2) << f;
        EXPECT_LT(std::fabs(level - previous), 0.02) << f;
        previous = level;
    }
    EXPECT_LT(Db(HighPowerConverter_Magnitude(clock / 2.0, clock)), -20.0);
    for (const auto& [clock_Hz, type] : {std::pair{2211840000u, 6}, {1474560000u, 4}, {1105920000u, 2}, {1000000000u, 0}}) {
        EXPECT_EQ(ConverterClock_Class(clock_Hz), type) << clock_Hz;
    }
}

// Every fixed coefficient set is symmetric, has unity scale at 0 Hz within
// rounding, and the half-bands have zero even-offset taps.
TEST(StageCoefficients, SetsAreSymmetricLinearPhaseFilters)
{
    for (int i = 0; i <= static_cast<int>(StageFilter::Cic10); ++i) {
        const StageCoefficientSet& set = StageCoefficients_Get(static_cast<StageFilter>(i));
        const std::size_t n = set.taps.size();
        ASSERT_GT(n, 1u) << set.name;
        double sum = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            EXPECT_EQ(set.taps[k], set.taps[n - 1 - k]) << set.name;
            sum += set.taps[k];
        }
        EXPECT_NEAR(sum / set.scale, 1.0, 2e-4 * static_cast<double>(n)) << set.name;
        if (std::string(set.name).rfind("hb", 0) == 0) {
            EXPECT_EQ(2 * set.taps[n / 2], static_cast<std::int32_t>(set.scale)) << set.name;
            for (std::size_t m = 2; m <= n / 2; m += 2) {
                EXPECT_EQ(set.taps[n / 2 + m], 0) << set.name;
            }
        }
    }
}

// Each equiripple set rejects the first alias band of its stated passband by
// at least 75 dB, measured directly on its taps.
TEST(StageCoefficients, EachSetRejectsItsAliasBand)
{
    for (int i = 0; i < static_cast<int>(StageFilter::Cic2); ++i) {
        const StageCoefficientSet& set = StageCoefficients_Get(static_cast<StageFilter>(i));
        std::vector<double> taps(set.taps.begin(), set.taps.end());
        const ResponseStage stage = ResponseStage_FromTaps(taps, set.factor);
        const double factor = static_cast<double>(set.factor);
        double worst = 0.0;
        double passLow = 1e9;
        double passHigh = 0.0;
        for (int k = 0; k <= 4000; ++k) {
            const double nu = 0.5 * k / 4000.0;
            const double m = ResponseStage_Magnitude(stage, nu);
            if (nu >= (1.0 - set.passEdge) / factor) {
                worst = std::max(worst, m);
            }
            if (nu <= set.passEdge / factor) {
                passLow = std::min(passLow, m);
                passHigh = std::max(passHigh, m);
            }
        }
        EXPECT_LT(Db(worst), -75.0) << set.name;
        EXPECT_LT(Db(passHigh / passLow), 0.005) << set.name;
    }
}

// The tiled evaluation equals the product of the stages evaluated directly at
// each grid frequency, on a chain with factors 6, 2, 1, 3, 2 and 10.
TEST(ChainResponse, TilingMatchesDirectEvaluation)
{
    const std::uint8_t bytes[18] = {6, 2, 3, 1, 1, 1, 1, 1, 1, 2, 10, 1, 1, 1, 1, 1, 3, 2};
    RxFilterRequest request;
    request.converterRate_Hz = 2211840000u;
    request.stages = bytes;
    request.mode0 = 2;
    PathLayout layout = RxPath_Layout(request, 2);
    std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
    const std::vector<double> taps{-0.01, 0.02, 0.1, 0.78, 0.1, 0.02, -0.01};
    stages.push_back(ResponseStage_FromTaps(taps, 1));
    stages.insert(stages.end(), layout.back.begin(), layout.back.end());
    ASSERT_EQ(stages.size(), 8u);
    const std::size_t n = 8192;
    std::vector<double> tiled(n);
    ResponseWorkspace workspace;
    ChainResponse_Tabulate(stages, n, tiled, {}, workspace);
    for (std::size_t k = 0; k < n; k += 7) {
        double rate = 1.0;  // in units of the converter clock
        double direct = 1.0;
        for (const ResponseStage& stage : stages) {
            direct *= ResponseStage_Magnitude(stage, static_cast<double>(k) / static_cast<double>(n) / rate);
            rate /= stage.factor;
        }
        EXPECT_NEAR(tiled[k], direct, 1e-12 + 1e-9 * direct) << k;
    }
}

TEST(ResponseEntries, GridOfTheMidClockClass)
{
    const std::uint8_t bytes[18] = {4, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    RxFilterRequest request;
    request.analogBandwidth_Hz = 100000000;
    request.channelBandwidth_Hz = 38000000;
    request.converterRate_Hz = 1474560000u;
    request.highPowerAdc = 1;
    request.tiaFilter = 1;
    request.stages = bytes;
    request.mode0 = 2;
    request.mode4 = 1;
    std::vector<double> grid(ResponseGridPoints, -1.0);
    std::vector<double> response(ResponseGridPoints, -1.0);
    std::uint8_t status = 7;
    Engine_RxResponse(request, status, grid.data(), response.data());
    EXPECT_EQ(grid[0], 0.0);
    EXPECT_EQ(grid[1] - grid[0], 351.5625);
    EXPECT_EQ(grid[ResponseGridPoints - 1], 1474559648.4375);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(response[0], 0.0, 0.01);
}

// The 2^22-point response equals the path evaluated directly, part by part,
// at grid frequencies across the whole band, for both converter models.
TEST(ResponseEntries, ResponseMatchesDirectEvaluationOfEveryPart)
{
    const PathQuality::Configuration& c = PathQuality::Configurations()[1];
    const auto bytes = PathQuality::RxStages(c);
    std::vector<double> grid(ResponseGridPoints);
    std::vector<double> response(ResponseGridPoints);
    for (bool highPower : {true, false}) {
        const RxFilterRequest request = PathQuality::RxRequest(c, bytes.data(), highPower, false);
        const CompensationDesign design = RxCompensation_Design(request);
        ASSERT_TRUE(design.compensated);
        std::uint8_t status = 99;
        Engine_RxResponse(request, status, grid.data(), response.data());
        const PathLayout layout = RxPath_Layout(request, 2);
        const ResponseStage compensation = ResponseStage_FromTaps(design.taps21, 1);
        std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
        stages.push_back(compensation);
        stages.insert(stages.end(), layout.back.begin(), layout.back.end());
        for (std::size_t k = 0; k < ResponseGridPoints; k += 99991) {
            const double f = grid[k];
            double magnitude = highPower ? HighPowerConverter_Magnitude(f, request.converterRate_Hz)
                                         : LowPowerConverter_Magnitude(f, request.converterRate_Hz);
            magnitude *= BiquadFilter_Magnitude(f, request.analogBandwidth_Hz);
            double rate = request.converterRate_Hz;
            for (const ResponseStage& stage : stages) {
                magnitude *= ResponseStage_Magnitude(stage, f / rate);
                rate /= stage.factor;
            }
            const double expected = Db(std::max(magnitude, 1e-15));
            EXPECT_NEAR(response[k], expected, 1e-6 + 1e-9 * std::fabs(expected)) << k;
        }
    }
}

TEST(ResponseEntries, RippleOfExactlyTheLimitPasses)
{
    EXPECT_EQ(ResponseStatus_FromRipple(0.1), 0);
    EXPECT_EQ(ResponseStatus_FromRipple(0.1000001), 255);
    EXPECT_EQ(ResponseStatus_FromRipple(0.0), 0);
    // Rx counts passband bins rounding up, Tx rounding down.
    EXPECT_EQ(RxPassband_Bins(1000, 4194304), 500u);
    EXPECT_EQ(RxPassband_Bins(1001, 4194304), 501u);
    EXPECT_EQ(TxPassband_Bins(1001, 4194304), 500u);
    EXPECT_EQ(TxPassband_Bins(1, 4194304), 0u);
}

TEST(ResponseEntries, PreCheckFailureLeavesBuffersZero)
{
    const PathQuality::Configuration& c = PathQuality::Configurations()[6];
    const auto stages = PathQuality::RxStages(c);
    RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), true, false);
    request.mode4 = 2;  // low-rate compensation behind the Biquad
    request.analogBandwidth_Hz = 20000000;
    std::vector<double> grid(ResponseGridPoints, 5.0);
    std::vector<double> response(ResponseGridPoints, 5.0);
    std::uint8_t status = 0;
    Engine_RxResponse(request, status, grid.data(), response.data());
    EXPECT_EQ(status, 252);
    EXPECT_TRUE(std::all_of(grid.begin(), grid.end(), [](double v) { return v == 0.0; }));
    EXPECT_TRUE(std::all_of(response.begin(), response.end(), [](double v) { return v == 0.0; }));
}

}  // namespace
