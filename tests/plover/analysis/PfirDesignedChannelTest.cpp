// The compensation entries on channels designed by the filter designer, with
// the real design engine behind them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesignedChannelSupport.h"
#include "support/Reports.h"
#include "plover/analysis/RxFilterDesigner.h"
#include "plover/analysis/TxFilterDesigner.h"
#include "plover/profile/Pfir.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

constexpr std::int32_t Unity = 8388608;

marlin_PfirMag21Buffer_t PassThrough()
{
    marlin_PfirMag21Buffer_t bank{};
    bank.numCoeff = 21;
    bank.coefficients[10] = Unity;
    return bank;
}

// A wide TIA receiver and its transmitter.
const DesignedChannel::Channels& Wide()
{
    static const auto channels = DesignedChannel::Design(30720000, 18000000, AnalogFilterOrder::ORDER_1);
    return channels;
}

}  // namespace

// The other warnings real designs run into are pinned by the analysis-rx-*
// scenarios; this one needs a low-rate request with an analog corner above
// 86 % of the low rate, which no blueprint makes. The 21-tap record keeps the
// pass-through set.
TEST(RxMagCompDesign, AnalogCornerAboveTheLowRateWarns)
{
    const RxChannel channel = Wide().rx;
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, 1, 2, 100000, 1, 1, 0.1);
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    taps21.coefficients.fill(5);
    marlin_PfirMag13Buffer_t taps13{};
    const ReportCapture capture;
    EXPECT_EQ(RxFilterDesigner{}.MagComp_Design(taps21, taps13, request), 253);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 682)});
    EXPECT_EQ(taps21, PassThrough());
}

TEST(TxMagCompDesign, FailureReportsAndReturnsMinusOne)
{
    const TxChannel& channel = Wide().tx;
    TxFilterRequest request{};
    TxFilterDesigner{}.FilterRequest_Build(request, channel);
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    marlin_PfirMag13Buffer_t taps13{};
    request.rippleTarget_dB = 1e-6f;
    const ReportCapture capture;
    EXPECT_EQ(TxFilterDesigner{}.MagComp_Design(taps21, taps13, request), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 736)});
}

// What a design failing alone leaves in a developed profile (the pass-through
// set and a WARNING) is pinned by the analysis-rx-* scenarios in tests/scenarios.
TEST(PfirDesignedReceiver, UnreachableRippleTargetFailsTheFirstDesign)
{
    RxChannel channel = Wide().rx;
    channel.rippleTarget = 1e-5;
    Pfir pfir;
    const ReportCapture capture;
    EXPECT_EQ(pfir.RxMagnitudeCompensation_Design(channel), -1);
    EXPECT_EQ(pfir, Pfir{});
    EXPECT_TRUE(capture.Has("Pfir", 63));
}

