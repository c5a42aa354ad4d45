// The compensation entries and the channel responses on channels designed by
// the filter designer, with the real design engine behind them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "DesignedChannelSupport.h"
#include "ReportCapture.h"
#include "plover/ChannelFilterDesigner.h"
#include "plover/ChannelResponse.h"
#include "plover/Pfir.h"

using namespace Veltrix::Marlin::Native;

namespace {

const std::string DesignerUnit = "..\\..\\..\\src\\plover\\FilterDesigner";
constexpr std::int32_t Unity = 8388608;

marlin_PfirMag21Buffer_t PassThrough()
{
    marlin_PfirMag21Buffer_t bank{};
    bank.numCoeff = 21;
    bank.coefficients[10] = Unity;
    return bank;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string Warning(int line, const std::string& text)
{
    return "WARNING: In " + DesignerUnit + " on line " + std::to_string(line) + ": " + text;
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
        AnalogFilterOrder order;
        std::int32_t compensationMode;
        std::uint32_t analog_kHz;
        std::uint8_t status;
        int line;
        const char* text;
    };
    const Case cases[] = {
        {AnalogFilterOrder::ORDER_1, 0, 1000, 255, 678, "filter design failed, where target ripple does not meet 0.1 dB"},
        {AnalogFilterOrder::ORDER_1, 1, 100000, 253, 682,
         "When designing the low rate filter(102X), the analog filter bandwidth exceeds 86% sample rate at the low "
         "rate filter position."},
        {AnalogFilterOrder::ORDER_2, 1, 20000, 252, 684,
         "Unsupported mode, Biquad cannot be used when low rate magcomp is enabled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const RxChannel& channel = Wide(c.order).rx;
        RxFilterRequest request{};
        RxFilterDesigner{}.FilterRequest_Build(request, channel, c.compensationMode, 2, c.analog_kHz,
                                               c.order == AnalogFilterOrder::ORDER_1 ? 1 : 2, 1, 0.1);
        marlin_PfirMag21Buffer_t taps21{};
        taps21.numCoeff = 21;
        taps21.coefficients.fill(5);
        marlin_PfirMag13Buffer_t taps13{};
        const ReportCapture capture;
        EXPECT_EQ(RxFilterDesigner{}.MagComp_Design(taps21, taps13, request), c.status);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{Warning(c.line, c.text)});
        EXPECT_EQ(taps21, PassThrough());
    }
}

TEST(RxMagCompDesign, SuccessIsSilent)
{
    const RxChannel& channel = Wide(AnalogFilterOrder::ORDER_1).rx;
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, 0, 1, 100000, 1, 1, 0.1);
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    marlin_PfirMag13Buffer_t taps13{};
    const ReportCapture capture;
    EXPECT_EQ(RxFilterDesigner{}.MagComp_Design(taps21, taps13, request), 0);
    EXPECT_TRUE(capture.lines().empty());
    ExpectDesigned(taps21);
}

TEST(TxMagCompDesign, FailureReportsAndReturnsMinusOne)
{
    const TxChannel& channel = Wide(AnalogFilterOrder::ORDER_1).tx;
    TxFilterRequest request{};
    TxFilterDesigner{}.FilterRequest_Build(request, channel);
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    marlin_PfirMag13Buffer_t taps13{};
    {
        const ReportCapture capture;
        EXPECT_EQ(TxFilterDesigner{}.MagComp_Design(taps21, taps13, request), 0);
        EXPECT_TRUE(capture.lines().empty());
        ExpectDesigned(taps21);
    }
    request.rippleTarget_dB = 1e-6f;
    const ReportCapture capture;
    EXPECT_EQ(TxFilterDesigner{}.MagComp_Design(taps21, taps13, request), -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"ERROR: In " + DesignerUnit +
                                                        " on line 736: Error designing magnitude compensation filter"});
}

// A wide TIA receiver: the wide-corner designs succeed; the low-rate ones
// cannot meet the ripple target at the narrow corner, fail alone, and leave
// the pass-through set in their banks.
TEST(PfirDesignedReceiver, TiaReceiverBanks)
{
    const RxChannel& channel = Wide(AnalogFilterOrder::ORDER_1).rx;
    Pfir pfir;
    const ReportCapture capture;
    ASSERT_EQ(pfir.RxMagnitudeCompensation_Design(channel), 0);
    ExpectDesigned(pfir.pfirRxMagHighTiaHighSRHp[0]);
    ExpectDesigned(pfir.pfirRxMagLowTiaHighSRHp[0]);
    ExpectDesigned(pfir.pfirRxMagHighTiaHighSRLp[0]);
    ExpectDesigned(pfir.pfirRxMagLowTiaHighSRLp[0]);
    EXPECT_EQ(pfir.pfirRxMagLowTiaLowSRHp[0], PassThrough());
    EXPECT_EQ(pfir.pfirRxMagLowTiaLowSRLp[0], PassThrough());
    EXPECT_EQ(pfir.pfirRxMagCompNb[0].numCoeff, 13);
    const auto lines = capture.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         Warning(678, "filter design failed, where target ripple does not meet 0.1 dB")),
              2);
    EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_A, channel.channelFilter.buffer);
    EXPECT_EQ(pfir.pfirRxMagHighTiaHighSRHp[1], marlin_PfirMag21Buffer_t{});
}

TEST(PfirDesignedReceiver, BiquadReceiverRefusesLowRateCompensation)
{
    const RxChannel& channel = Wide(AnalogFilterOrder::ORDER_2).rx;
    Pfir pfir;
    const ReportCapture capture;
    ASSERT_EQ(pfir.RxMagnitudeCompensation_Design(channel), 0);
    ExpectDesigned(pfir.pfirRxMagHighTiaHighSRHp[0]);
    ExpectDesigned(pfir.pfirRxMagHighTiaHighSRLp[0]);
    EXPECT_EQ(pfir.pfirRxMagLowTiaLowSRHp[0], PassThrough());
    EXPECT_EQ(pfir.pfirRxMagLowTiaLowSRLp[0], PassThrough());
    marlin_PfirMag13Buffer_t refused{};
    refused.numCoeff = 13;
    EXPECT_EQ(pfir.pfirRxMagCompNb[0], refused);
    const auto lines = capture.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         Warning(684, "Unsupported mode, Biquad cannot be used when low rate magcomp is enabled")),
              2);
}

TEST(PfirDesignedReceiver, UnreachableRippleTargetFailsTheFirstDesign)
{
    RxChannel channel = Wide(AnalogFilterOrder::ORDER_1).rx;
    channel.rippleTarget = 1e-5;
    Pfir pfir;
    const ReportCapture capture;
    EXPECT_EQ(pfir.RxMagnitudeCompensation_Design(channel), -1);
    EXPECT_EQ(pfir, Pfir{});
    EXPECT_TRUE(Contains(capture.lines(), "ERROR: In ..\\..\\..\\src\\plover\\Pfir on line 63: Unexpected error in "
                                          "magnitude compensation filter design for high-performance ADC"));
}

TEST(PfirDesignedTransmitter, CompensationAndPulseShapingBanks)
{
    const TxChannel& channel = Wide(AnalogFilterOrder::ORDER_1).tx;
    Pfir pfir;
    ASSERT_EQ(pfir.TxMagnitudeCompensation_Design(channel), 0);
    ExpectDesigned(pfir.pfirTxMagComp1);
    EXPECT_EQ(pfir.pfirTxMagComp2, marlin_PfirMag21Buffer_t{});
    EXPECT_EQ(pfir.pfirTxMagCompNb[0].numCoeff, 13);
    EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_A, channel.channelFilter.buffer);
    EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_B, channel.channelFilter.buffer);
}

// Responses of designed channels: the grid runs from 0 in steps of the
// converter clock over 2^22, the compensated passband sits at 0 dB within the
// ripple target, and every alias (image) band is far down.
struct ResponseCase {
    std::uint32_t rate_Hz;
    std::uint32_t bandwidth_Hz;
    AnalogFilterOrder order;
};

class ChannelResponseTest : public testing::TestWithParam<ResponseCase> {};

namespace {

struct Measured {
    double mean_dB = 0.0;
    double ripple_dB = 0.0;
    double worstAlias_dB = -1e300;
};

Measured Measure(const std::vector<double>& response, double step_Hz, double clock_Hz, double rate_Hz,
                 double bandwidth_Hz)
{
    Measured m;
    const double half = bandwidth_Hz / 2.0;
    double low = 1e300;
    double high = -1e300;
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t k = 0; k < response.size(); ++k) {
        const double f = static_cast<double>(k) * step_Hz;
        if (f <= half) {
            low = std::min(low, response[k]);
            high = std::max(high, response[k]);
            sum += response[k];
            ++count;
        } else if (f >= rate_Hz - half && f <= clock_Hz / 2.0) {
            if (std::fabs(f - std::round(f / rate_Hz) * rate_Hz) <= half) {
                m.worstAlias_dB = std::max(m.worstAlias_dB, response[k]);
            }
        }
    }
    m.mean_dB = sum / static_cast<double>(count);
    m.ripple_dB = high - low;
    return m;
}

}  // namespace

TEST_P(ChannelResponseTest, GridPassbandAndAliases)
{
    const ResponseCase& c = GetParam();
    const auto channels = DesignedChannel::Design(c.rate_Hz, c.bandwidth_Hz, c.order);
    std::vector<double> response;
    for (const bool rx : {true, false}) {
        SCOPED_TRACE(rx ? "Rx" : "Tx");
        double start_Hz = -1.0;
        double step_Hz = -1.0;
        const std::int8_t status = rx ? ChannelResponse_Get(channels.rx, response, start_Hz, step_Hz)
                                      : ChannelResponse_Get(channels.tx, response, start_Hz, step_Hz);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(response.size(), 4194304u);
        const double clock_Hz = 1000.0 * (rx ? channels.rx.adcClk_kHz : channels.tx.dacClk_kHz);
        EXPECT_EQ(start_Hz, 0.0);
        EXPECT_DOUBLE_EQ(step_Hz, clock_Hz / 4194304.0);
        const Measured m = Measure(response, step_Hz, clock_Hz, c.rate_Hz, c.bandwidth_Hz);
        EXPECT_NEAR(m.mean_dB, 0.0, 0.5);
        EXPECT_LE(m.ripple_dB, 0.1);
        EXPECT_LE(m.worstAlias_dB, m.mean_dB - 60.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Designed, ChannelResponseTest,
                         testing::Values(ResponseCase{30720000, 18000000, AnalogFilterOrder::ORDER_1},
                                         ResponseCase{1920000, 1008000, AnalogFilterOrder::ORDER_2},
                                         ResponseCase{144000, 25000, AnalogFilterOrder::ORDER_1}));


// A channel read back from a profile file carries the device record but no
// data path: no response is made up for it.
TEST(ChannelResponse, ChannelsWithoutADesignedPathAreRefused)
{
    marlin_RxProfile_t record{};
    record.adcClk_kHz = 2211840;
    record.primarySigBandwidth_Hz = 18000000;
    record.filterOrder = 1;
    const RxChannel loaded(record);
    marlin_TxProfile_t txRecord{};
    const TxChannel loadedTx(txRecord);
    const std::string expected = "ERROR: In " + DesignerUnit +
                                 " on line 760: The channel carries no designed data path and converter clock, so its "
                                 "frequency response cannot be computed.";
    std::vector<double> response{1.0};
    double start_Hz = 7.0;
    double step_Hz = 8.0;
    for (const bool rx : {true, false}) {
        const ReportCapture capture;
        EXPECT_EQ(rx ? ChannelResponse_Get(loaded, response, start_Hz, step_Hz)
                     : ChannelResponse_Get(loadedTx, response, start_Hz, step_Hz),
                  -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{expected});
    }
    EXPECT_EQ(response, std::vector<double>{1.0});
    EXPECT_EQ(start_Hz, 7.0);
    EXPECT_EQ(step_Hz, 8.0);
}
