// The compensation entries on channels designed by the filter designer, with
// the real design engine behind them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

const DesignedChannel::Channels& Wide(AnalogFilterOrder order)
{
    static const auto tia = DesignedChannel::Design(30720000, 18000000, AnalogFilterOrder::ORDER_1);
    static const auto biquad = DesignedChannel::Design(30720000, 18000000, AnalogFilterOrder::ORDER_2);
    return order == AnalogFilterOrder::ORDER_1 ? tia : biquad;
}

// A designed compensation filter: linear phase, gain near unity at 0 Hz, and
// not the pass-through set a failed design leaves.
void ExpectDesigned(const marlin_PfirMag21Buffer_t& bank)
{
    EXPECT_EQ(bank.numCoeff, 21);
    EXPECT_NE(bank, PassThrough());
    double sum = 0.0;
    for (std::size_t k = 0; k < 21; ++k) {
        EXPECT_EQ(bank.coefficients[k], bank.coefficients[20 - k]);
        sum += bank.coefficients[k];
    }
    EXPECT_NEAR(sum / Unity, 1.0, 0.05);
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
    const TxChannel& channel = Wide(AnalogFilterOrder::ORDER_1).tx;
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

// A design that fails alone leaves the pass-through set and a WARNING. A wide
// TIA receiver with an 8 MHz corner fails only the narrow-corner designs at
// the high rate (its 18 MHz channel lies within 9 MHz of 0 Hz at baseband,
// inside the 10 MHz compensation corner at the low rate); a Biquad receiver
// refuses the low-rate designs and leaves its 13-tap set empty.
TEST(PfirDesignedReceiver, DesignFailingAloneKeepsThePassThroughSet)
{
    struct Case {
        AnalogFilterOrder order;
        std::uint32_t corner_kHz;
        std::array<int, 6> designed;  // in design order; 1 designed, 0 pass-through, -1 not checked
        int line;
    };
    for (const Case& c : {Case{AnalogFilterOrder::ORDER_1, 8000, {1, 0, 1, 1, 0, 1}, 678},
                          Case{AnalogFilterOrder::ORDER_2, 20000, {1, -1, 0, 1, -1, 0}, 684}}) {
        SCOPED_TRACE(c.line);
        RxChannel channel = Wide(c.order).rx;
        channel.analogFilterCorner_kHz = c.corner_kHz;
        Pfir pfir;
        const ReportCapture capture;
        ASSERT_EQ(pfir.RxMagnitudeCompensation_Design(channel), 0);
        const marlin_PfirMag21Buffer_t banks[] = {pfir.pfirRxMagHighTiaHighSRHp[0], pfir.pfirRxMagLowTiaHighSRHp[0],
                                                  pfir.pfirRxMagLowTiaLowSRHp[0],   pfir.pfirRxMagHighTiaHighSRLp[0],
                                                  pfir.pfirRxMagLowTiaHighSRLp[0],  pfir.pfirRxMagLowTiaLowSRLp[0]};
        for (std::size_t n = 0; n < 6; ++n) {
            SCOPED_TRACE(n);
            if (c.designed[n] == 1) {
                ExpectDesigned(banks[n]);
            } else if (c.designed[n] == 0) {
                EXPECT_EQ(banks[n], PassThrough());
            }
        }
        const auto lines = capture.lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), ReportLine("FilterDesigner", c.line)), 2);
        if (c.order == AnalogFilterOrder::ORDER_2) {
            marlin_PfirMag13Buffer_t refused{};
            refused.numCoeff = 13;
            EXPECT_EQ(pfir.pfirRxMagCompNb[0], refused);
        }
    }
}

TEST(PfirDesignedReceiver, UnreachableRippleTargetFailsTheFirstDesign)
{
    RxChannel channel = Wide(AnalogFilterOrder::ORDER_1).rx;
    channel.rippleTarget = 1e-5;
    Pfir pfir;
    const ReportCapture capture;
    EXPECT_EQ(pfir.RxMagnitudeCompensation_Design(channel), -1);
    EXPECT_EQ(pfir, Pfir{});
    EXPECT_TRUE(capture.Has("Pfir", 63));
}

