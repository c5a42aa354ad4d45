// The quality bars of the designed paths over the stock configurations:
// compensation designs succeed for both converters, the compensated passband
// ripple stays within 0.1 dB and every alias (image) lies 60 dB down.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "PathQualitySupport.h"
#include "engine/MagnitudeCompensation.h"
#include "engine/ResponseEntries.h"

namespace {

using namespace Veltrix::Marlin::Native;
using PathQuality::Configuration;

class PathQualityTest : public testing::TestWithParam<Configuration> {
protected:
    static void SetUpTestSuite()
    {
        grid_ = new std::vector<double>(ResponseGridPoints);
        response_ = new std::vector<double>(ResponseGridPoints);
        std::printf("%-6s %9s %9s %-7s %8s %11s %9s\n", "path", "rate", "bandwidth", "filter", "comp dB", "ripple dB",
                    "reject dB");
    }
    static void TearDownTestSuite()
    {
        delete grid_;
        delete response_;
    }
    static std::vector<double>* grid_;
    static std::vector<double>* response_;
};

std::vector<double>* PathQualityTest::grid_ = nullptr;
std::vector<double>* PathQualityTest::response_ = nullptr;

TEST_P(PathQualityTest, RxPathsOfTheHighPerformanceConverter)
{
    const Configuration& c = GetParam();
    const auto stages = PathQuality::RxStages(c);
    for (bool tia : {true, false}) {
        for (bool highPower : {true, false}) {
            const RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), highPower, tia);
            std::array<std::int32_t, 21> taps21{};
            std::array<std::int32_t, 13> taps13{};
            std::uint8_t status = 99;
            Engine_RxMagComp(request, taps21.data(), taps13.data(), status);
            EXPECT_EQ(status, 0) << (highPower ? "HP1 " : "LP1 ") << (tia ? "TIA" : "Biquad");
        }
        const RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), true, tia);
        const CompensationDesign design = RxCompensation_Design(request);
        std::uint8_t status = 99;
        Engine_RxResponse(request, status, grid_->data(), response_->data());
        const auto q = PathQuality::Measure(grid_->data(), response_->data(), ResponseGridPoints,
                                            request.converterRate_Hz, c.rate_Hz, c.bandwidth_Hz);
        std::printf("%-6s %9u %9u %-7s %8.4f %11.4f %9.1f\n", "Rx", c.rate_Hz, c.bandwidth_Hz, tia ? "TIA" : "Biquad",
                    design.report.ripple_dB, q.ripple_dB, q.rejection_dB);
        EXPECT_EQ(status, 0);
        EXPECT_LE(q.ripple_dB, 0.1);
        EXPECT_GE(q.rejection_dB, 60.0) << "worst alias at " << q.worstAlias_Hz << " Hz";
    }
}

// The designs behind a receiver's narrow-corner banks: a profile develops only
// when one of each pair (high-rate and low-rate position) succeeds. The
// Biquad is refused at the low-rate position, so its high-rate design must
// succeed on its own.
TEST_P(PathQualityTest, RxNarrowCornerDesignsOfBothConverters)
{
    const Configuration& c = GetParam();
    auto stages = PathQuality::RxStages(c);
    stages[20] = 1;  // HB1
    for (bool tia : {true, false}) {
        for (bool highPower : {true, false}) {
            for (bool lowRate : {false, true}) {
                const RxFilterRequest request =
                    PathQuality::RxNarrowRequest(c, stages.data(), highPower, tia, lowRate);
                const CompensationDesign design = RxCompensation_Design(request);
                const std::uint8_t expected = tia || !lowRate ? 0 : 252;
                EXPECT_EQ(design.report.status, expected)
                    << (highPower ? "HP" : "LP") << (lowRate ? " low rate " : " high rate ") << (tia ? "TIA" : "Biquad")
                    << ": ripple " << design.report.ripple_dB << " dB";
            }
        }
    }
}

TEST_P(PathQualityTest, TxPaths)
{
    const Configuration& c = GetParam();
    const auto stages = PathQuality::TxStages(c);
    const TxFilterRequest request = PathQuality::TxRequest(c, stages.data());
    std::array<std::int32_t, 21> taps21{};
    std::array<std::int32_t, 13> taps13{};
    std::int32_t compensation = 99;
    Engine_TxMagComp(request, taps21.data(), taps13.data(), compensation);
    EXPECT_EQ(compensation, 0);
    const CompensationDesign design = TxCompensation_Design(request);
    std::uint8_t status = 99;
    Engine_TxResponse(request, status, grid_->data(), response_->data());
    const auto q = PathQuality::Measure(grid_->data(), response_->data(), ResponseGridPoints, request.converterRate_Hz,
                                        c.rate_Hz, c.bandwidth_Hz);
    std::printf("%-6s %9u %9u %-7s %8.4f %11.4f %9.1f\n", "Tx", c.rate_Hz, c.bandwidth_Hz, "Biquad",
                design.report.ripple_dB, q.ripple_dB, q.rejection_dB);
    EXPECT_EQ(status, 0);
    EXPECT_LE(q.ripple_dB, 0.1);
    EXPECT_GE(q.rejection_dB, 60.0) << "worst image at " << q.worstAlias_Hz << " Hz";
}

INSTANTIATE_TEST_SUITE_P(StockConfigurations, PathQualityTest, testing::ValuesIn(PathQuality::Configurations()));

}  // namespace
