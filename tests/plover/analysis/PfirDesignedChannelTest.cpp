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

// The receive statuses real requests run into, the WARNING each leaves, and
// the pass-through set in the 21-tap record.
TEST(RxMagCompDesign, FailureStatusesWarnAndLeaveThePassThroughSet)
{
    struct Case {
        std::uint32_t rate_Hz;
        std::uint32_t bandwidth_Hz;
        AnalogFilterOrder order;
        std::int32_t compensationMode;
        std::uint32_t analog_kHz;
        std::uint8_t status;
        int line;
    };
    const Case cases[] = {
        {30720000, 18000000, AnalogFilterOrder::ORDER_1, 0, 1000, 255, 678},
        // A Biquad corner this far below a 1.92 MHz converter path needs more
        // lift above the band than the analog filter takes away.
        {1920000, 1008000, AnalogFilterOrder::ORDER_2, 0, 5000, 254, 680},
        {30720000, 18000000, AnalogFilterOrder::ORDER_1, 1, 100000, 253, 682},
        {30720000, 18000000, AnalogFilterOrder::ORDER_2, 1, 20000, 252, 684},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const RxChannel channel = DesignedChannel::Design(c.rate_Hz, c.bandwidth_Hz, c.order).rx;
        RxFilterRequest request{};
        RxFilterDesigner{}.FilterRequest_Build(request, channel, c.compensationMode, 2, c.analog_kHz,
                                               c.order == AnalogFilterOrder::ORDER_1 ? 1 : 2, 1, 0.1);
        marlin_PfirMag21Buffer_t taps21{};
        taps21.numCoeff = 21;
        taps21.coefficients.fill(5);
        marlin_PfirMag13Buffer_t taps13{};
        const ReportCapture capture;
        EXPECT_EQ(RxFilterDesigner{}.MagComp_Design(taps21, taps13, request), c.status);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", c.line)});
        EXPECT_EQ(taps21, PassThrough());
    }
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

