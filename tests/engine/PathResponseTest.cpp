// What the golden responses in tests/data/engine cannot show at a glance:
// the analog models at their corners, the stage sets' own rejection, and the
// ripple limit and passband bins at their edges.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/AnalogModels.h"
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

}  // namespace
