#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <tuple>
#include <vector>

#include "PathQualitySupport.h"
#include "engine/AnalogModels.h"
#include "engine/MagnitudeCompensation.h"
#include "engine/PathEvaluation.h"
#include "engine/ResponseEntries.h"

namespace {

using namespace Veltrix::Marlin::Native;

constexpr std::int32_t Unity = 8388608;

struct Outputs {
    std::array<std::int32_t, 21> taps21{};
    std::array<std::int32_t, 13> taps13{};
    std::uint8_t status = 99;
};

Outputs RunRx(const RxFilterRequest& request)
{
    Outputs out;
    out.taps21.fill(-5);
    out.taps13.fill(-5);
    Engine_RxMagComp(request, out.taps21.data(), out.taps13.data(), out.status);
    return out;
}

void ExpectPassThrough(const std::array<std::int32_t, 21>& taps)
{
    for (std::size_t i = 0; i < 21; ++i) {
        EXPECT_EQ(taps[i], i == 10 ? Unity : 0) << i;
    }
}

// The 144 kHz chain: stage bytes 0..4 are 6, 2, 1, 2, 2, so the low-rate
// position runs at 2,211,840,000 / 48 = 46,080,000 Hz. An analog bandwidth
// above 87 % of it is refused (253), and so is the Biquad there (252); both
// leave the pass-through set and a zero 13-tap set.
TEST(MagnitudeCompensation, LowRatePositionLimits)
{
    const auto stages = PathQuality::RxStages(PathQuality::Configurations()[6]);
    RxFilterRequest request = PathQuality::RxRequest(PathQuality::Configurations()[6], stages.data(), true, true);
    request.mode4 = 2;
    request.analogBandwidth_Hz = 40089600;  // 0.87 * 46,080,000
    EXPECT_EQ(RunRx(request).status, 0);
    request.analogBandwidth_Hz = 40000000;
    const CompensationDesign design = RxCompensation_Design(request);
    EXPECT_DOUBLE_EQ(design.report.positionRate_Hz, 46080000.0);
    EXPECT_TRUE(design.lowRate13);
    for (const auto& [bandwidth_Hz, tia, status] : {std::tuple{40089601u, 1, 253}, std::tuple{20000000u, 0, 252}}) {
        request.analogBandwidth_Hz = bandwidth_Hz;
        request.tiaFilter = static_cast<std::uint8_t>(tia);
        const Outputs out = RunRx(request);
        EXPECT_EQ(out.status, status);
        ExpectPassThrough(out.taps21);
        EXPECT_EQ(out.taps13, (std::array<std::int32_t, 13>{}));
    }
}

TEST(MagnitudeCompensation, MissedRippleTargetLeavesThePassThroughSet)
{
    const auto& c = PathQuality::Configurations()[0];
    const auto stages = PathQuality::RxStages(c);
    RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), true, false);
    request.rippleTarget_dB = 1e-5f;
    const Outputs out = RunRx(request);
    EXPECT_EQ(out.status, 255);
    ExpectPassThrough(out.taps21);
    // The 13-tap set is written whatever the status.
    EXPECT_NE(std::accumulate(out.taps13.begin(), out.taps13.end(), 0LL), -65LL);
}

TEST(MagnitudeCompensation, NoCompensationPositionKeepsInitialOutputs)
{
    const auto& c = PathQuality::Configurations()[1];
    const auto stages = PathQuality::RxStages(c);
    RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), true, true);
    request.mode4 = 0;
    const Outputs out = RunRx(request);
    EXPECT_EQ(out.status, 0);
    ExpectPassThrough(out.taps21);
    EXPECT_EQ(out.taps13, (std::array<std::int32_t, 13>{}));
}

// A successful design: symmetric taps on the 2^-15 grid (multiples of 256 at
// unity 2^23), gain near unity at 0 Hz, lifting towards the corner.
TEST(MagnitudeCompensation, DesignedTapsAreSymmetricQuantisedAndNearUnity)
{
    const auto& c = PathQuality::Configurations()[1];
    const auto stages = PathQuality::RxStages(c);
    const RxFilterRequest request = PathQuality::RxRequest(c, stages.data(), true, true);
    const Outputs out = RunRx(request);
    ASSERT_EQ(out.status, 0);
    long long sum = 0;
    for (std::size_t i = 0; i < 21; ++i) {
        EXPECT_EQ(out.taps21[i], out.taps21[20 - i]);
        EXPECT_EQ(out.taps21[i] % 256, 0);
        sum += out.taps21[i];
    }
    EXPECT_NEAR(static_cast<double>(sum) / Unity, 1.0, 0.01);
    const CompensationDesign design = RxCompensation_Design(request);
    EXPECT_EQ(design.report.exchange, EquirippleStatus::Converged);
    EXPECT_GT(design.report.iterations, 0);
    EXPECT_NEAR(design.report.passEdge, 50e6 / 92.16e6, 1e-9);  // TIA: half the analog bandwidth
    EXPECT_NEAR(design.report.positionRate_Hz, 184.32e6, 1e-3);
    EXPECT_GT(design.report.stopEdge, design.report.passEdge);
    EXPECT_LT(design.report.outOfBandGain_dB, AnalogFilter_OutOfBandLimit_dB(AnalogFilterModel::Tia));
    EXPECT_LE(design.report.ripple_dB, 0.1);
}

// The channel occupies |f| <= B/2 at baseband: the design's own ripple test
// must judge that band, as the response status does. Judged over 0..B, a
// 38 MHz channel reached past the 20 MHz compensation corner (and, at the
// 61.44 MHz low-rate position, past its Nyquist rate), and both designs of
// the narrow-corner pair failed.
TEST(MagnitudeCompensation, RippleIsJudgedOverTheBasebandHalfOfTheChannel)
{
    const auto& c = PathQuality::Configurations()[0];
    ASSERT_EQ(c.bandwidth_Hz, 38000000u);
    auto stages = PathQuality::RxStages(c);
    stages[20] = 1;
    std::vector<double> grid(ResponseGridPoints);
    std::vector<double> response(ResponseGridPoints);
    for (bool lowRate : {false, true}) {
        const RxFilterRequest request = PathQuality::RxNarrowRequest(c, stages.data(), true, true, lowRate);
        const CompensationDesign design = RxCompensation_Design(request);
        EXPECT_EQ(design.report.status, 0) << lowRate;
        std::uint8_t status = 99;
        Engine_RxResponse(request, status, grid.data(), response.data());
        EXPECT_EQ(status, 0) << lowRate;
        const double ripple = Passband_Ripple_dB(
            response.data(), RxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz));
        EXPECT_NEAR(design.report.ripple_dB, ripple, 0.002) << lowRate;
    }
}

TEST(MagnitudeCompensation, TxWritesItsTapsEvenWhenTheTargetIsMissed)
{
    const auto& c = PathQuality::Configurations()[0];
    const auto stages = PathQuality::TxStages(c);
    TxFilterRequest request = PathQuality::TxRequest(c, stages.data());
    std::array<std::int32_t, 21> taps21{};
    std::array<std::int32_t, 13> taps13{};
    std::int32_t status = -1;
    Engine_TxMagComp(request, taps21.data(), taps13.data(), status);
    EXPECT_EQ(status, 0);
    const auto good = taps21;
    request.rippleTarget_dB = 1e-6f;
    Engine_TxMagComp(request, taps21.data(), taps13.data(), status);
    EXPECT_EQ(status, 255);
    EXPECT_EQ(taps21, good);
    EXPECT_EQ(taps13, (std::array<std::int32_t, 13>{}));  // wideband: no low-rate filter
}

TEST(MagnitudeCompensation, TxNarrowbandPathDesignsTheThirteenTapFilter)
{
    const auto& c = PathQuality::Configurations()[6];
    const auto stages = PathQuality::TxStages(c);
    const TxFilterRequest request = PathQuality::TxRequest(c, stages.data());
    ASSERT_EQ(request.narrowband, 1);
    std::array<std::int32_t, 21> taps21{};
    std::array<std::int32_t, 13> taps13{};
    std::int32_t status = -1;
    Engine_TxMagComp(request, taps21.data(), taps13.data(), status);
    EXPECT_EQ(status, 0);
    const long long sum = std::accumulate(taps13.begin(), taps13.end(), 0LL);
    EXPECT_NEAR(static_cast<double>(sum) / Unity, 1.0, 0.02);
}

}  // namespace

namespace {

using namespace Veltrix::Marlin::Native;

// Requests the channel code could build wrongly: no stages, no clock, no
// analog bandwidth, odd stage bytes. Each gives a status, never a crash.
TEST(MagnitudeCompensation, DegenerateRequestsGiveAStatus)
{
    std::array<std::int32_t, 21> taps21{};
    std::array<std::int32_t, 13> taps13{};
    std::uint8_t status = 0;
    RxFilterRequest request;
    request.mode4 = 1;
    Engine_RxMagComp(request, taps21.data(), taps13.data(), status);  // no stages
    EXPECT_EQ(status, 0);
    EXPECT_EQ(taps21[10], 8388608);

    const std::uint8_t odd[18] = {6, 2, 7, 9, 0, 2, 2, 2, 2, 2, 11, 2, 2, 2, 2, 2, 5, 2};
    request.stages = odd;
    Engine_RxMagComp(request, taps21.data(), taps13.data(), status);  // no clock, no analog bandwidth
    EXPECT_EQ(status, 255);
    EXPECT_EQ(taps21[10], 8388608);

    request.converterRate_Hz = 2211840000u;
    request.analogBandwidth_Hz = 100000000u;
    request.tiaFilter = 1;
    request.channelBandwidth_Hz = 4000000000u;
    Engine_RxMagComp(request, taps21.data(), taps13.data(), status);
    EXPECT_TRUE(status == 0 || status >= 252);

    TxFilterRequest tx;
    std::int32_t txStatus = 0;
    tx.stages = odd;
    Engine_TxMagComp(tx, taps21.data(), taps13.data(), txStatus);
    EXPECT_EQ(txStatus, 255);
}

}  // namespace
