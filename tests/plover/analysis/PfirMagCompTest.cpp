// The PFIR entries' bank rules, failure rules and messages, with the
// compensation designs scripted so that every status combination is reached.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Reports.h"
#include "plover/filters/ChannelFilter.h"
#include "plover/analysis/PfirMagComp.h"
#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// Design n (0 to 5) writes 100 + n into every 21-tap coefficient and 200 + n
// into every 13-tap one, and returns the n-th scripted status.
class ScriptedDesigner : public MagCompDesigner {
public:
    explicit ScriptedDesigner(std::vector<std::uint8_t> statuses = {}, std::int8_t txStatus = 0)
        : rxStatuses(std::move(statuses)), txStatus(txStatus)
    {
    }

    std::uint8_t Rx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                           const RxFilterRequest& request) const override
    {
        const std::size_t call = rxRequests.size();
        rxRequests.push_back(request);
        taps21.coefficients.fill(static_cast<std::int32_t>(100 + call));
        taps13.coefficients.fill(static_cast<std::int32_t>(200 + call));
        return call < rxStatuses.size() ? rxStatuses[call] : 0;
    }

    std::int8_t Tx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                          const TxFilterRequest& request) const override
    {
        txRequests.push_back(request);
        taps21.coefficients.fill(300);
        taps13.coefficients.fill(400);
        return txStatus;
    }

    std::vector<std::uint8_t> rxStatuses;
    std::int8_t txStatus;
    mutable std::vector<RxFilterRequest> rxRequests;
    mutable std::vector<TxFilterRequest> txRequests;
};

RxChannel Receiver(ChannelType type, AnalogFilterOrder order = AnalogFilterOrder::ORDER_1,
                   std::uint32_t corner_kHz = 20000)
{
    RxChannel channel(1920000, 1008000, 1, corner_kHz, order, 0);
    channel.ChannelType_Set(type);
    channel.dataPath.stages[RxPath::Hb012SelectStage] = 1;
    channel.pulseShapeFilter.buffer.numCoeff = 5;
    channel.pulseShapeFilter.buffer.coefficients[0] = 77;
    return channel;
}

TxChannel Transmitter(std::uint8_t number)
{
    TxChannel channel(1920000, 1008000);
    channel.ChannelNumber_Set(number);
    std::array<std::int32_t, 128> taps{};
    taps[0] = 55;
    channel.ChannelFilter_Set(taps, ChannelFilterInterpolation::INTERPOLATE_BY_2);
    return channel;
}

// A bank as a design leaves it: its tap count and every tap `value`.
template <typename Bank, std::int32_t Taps>
Bank Written(std::int32_t value)
{
    Bank bank{};
    bank.numCoeff = Taps;
    bank.coefficients.fill(value);
    return bank;
}

marlin_PfirMag21Buffer_t Written21(std::int32_t value) { return Written<marlin_PfirMag21Buffer_t, 21>(value); }
marlin_PfirMag13Buffer_t Written13(std::int32_t value) { return Written<marlin_PfirMag13Buffer_t, 13>(value); }

// The six compensation banks of channel index i in design order.
std::vector<marlin_PfirMag21Buffer_t> DesignBanks(const Pfir& pfir, std::size_t i)
{
    return {pfir.pfirRxMagHighTiaHighSRHp[i], pfir.pfirRxMagLowTiaHighSRHp[i], pfir.pfirRxMagLowTiaLowSRHp[i],
            pfir.pfirRxMagHighTiaHighSRLp[i], pfir.pfirRxMagLowTiaHighSRLp[i], pfir.pfirRxMagLowTiaLowSRLp[i]};
}

}  // namespace

// Which request each of the six designs gets, for both analog filter orders:
// high-performance ADC for the first three, the wide corner (and HB012 mode 2)
// for the first of each three, the narrow corner (clamped) and the channel's
// own HB012 selection (1) for the others, low-rate mode 2 for the third.
TEST(PfirReceiveEntries, SixDesignRequests)
{
    struct OrderCase {
        AnalogFilterOrder order;
        std::uint32_t corner_kHz, wide_Hz, narrow_Hz;
        std::uint8_t tia;
    };
    for (const OrderCase& order : {OrderCase{AnalogFilterOrder::ORDER_1, 50000, 100000000, 40000000, 1},
                                   OrderCase{AnalogFilterOrder::ORDER_2, 20000, 70710000, 20000000, 0}}) {
        RxChannel channel = Receiver(ChannelType::RX1, order.order, order.corner_kHz);
        channel.rippleTarget = 0.05;
        const ScriptedDesigner designer;
        Pfir pfir;
        ASSERT_EQ(RxMagnitudeCompensation_Design(pfir, channel, designer), 0);
        ASSERT_EQ(designer.rxRequests.size(), 6u);
        for (std::size_t n = 0; n < 6; ++n) {
            const RxFilterRequest& r = designer.rxRequests[n];
            const std::uint32_t wide = n % 3 == 0;
            EXPECT_EQ((std::vector<std::uint32_t>{r.highPowerAdc, r.analogBandwidth_Hz, r.mode0, r.mode4, r.tiaFilter,
                                                  r.channelBandwidth_Hz}),
                      (std::vector<std::uint32_t>{n < 3, wide ? order.wide_Hz : order.narrow_Hz, wide ? 2u : 1u,
                                                  n % 3 == 2 ? 2u : 1u, order.tia, 1008000}))
                << order.corner_kHz << " design " << n;
            EXPECT_FLOAT_EQ(r.rippleTarget_dB, 0.05f);
        }
    }
}

// Each receiver writes its own index of every bank (the 13-tap bank takes
// what the last design, LP3, left); receiver 1 fills channel-filter bank A,
// receiver 2 bank C, and either rewrites B and D with the Unity set.
TEST(PfirReceiveEntries, BanksOfEachReceiver)
{
    const marlin_PfirWbNbBuffer_t unity = ChannelFilter_Lookup(ChannelFilterSelect::Unity).buffer;
    marlin_PfirWbNbBuffer_t marked{};
    marked.coefficients[3] = 9;
    for (const std::size_t i : {0u, 1u}) {
        SCOPED_TRACE(i);
        const RxChannel channel = Receiver(i == 0 ? ChannelType::RX1 : ChannelType::RX2);
        ASSERT_NE(channel.channelFilter.buffer, unity);
        Pfir pfir;
        pfir.pfirRxWbNbChFilterCoeff_A = pfir.pfirRxWbNbChFilterCoeff_B = marked;
        pfir.pfirRxWbNbChFilterCoeff_C = pfir.pfirRxWbNbChFilterCoeff_D = marked;
        ASSERT_EQ(RxMagnitudeCompensation_Design(pfir, channel, ScriptedDesigner{}), 0);
        const auto banks = DesignBanks(pfir, i);
        for (std::size_t n = 0; n < 6; ++n) {
            EXPECT_EQ(banks[n], Written21(static_cast<std::int32_t>(100 + n))) << "design " << n;
        }
        EXPECT_EQ(pfir.pfirRxMagCompNb[i], Written13(205));
        EXPECT_EQ(pfir.pfirRxNbPulShp[i], channel.pulseShapeFilter.buffer);
        const std::size_t other = 1 - i;
        EXPECT_EQ(DesignBanks(pfir, other), DesignBanks(Pfir{}, other));
        EXPECT_EQ(pfir.pfirRxMagCompNb[other], marlin_PfirMag13Buffer_t{});
        EXPECT_EQ(pfir.pfirRxNbPulShp[other], marlin_PfirPulseBuffer_t{});
        EXPECT_EQ(pfir.pfirTxMagComp1, marlin_PfirMag21Buffer_t{});
        EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_A, i == 0 ? channel.channelFilter.buffer : marked);
        EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_C, i == 0 ? marked : channel.channelFilter.buffer);
        EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_B, unity);
        EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_D, unity);
    }
}

// Statuses of the six designs, what the entry returns, its one ERROR line and
// how far it got: the number of compensation banks written, and whether the
// 13-tap and filter banks were.
TEST(PfirReceiveEntries, StopsAtTheFirstFatalFailure)
{
    struct Case {
        std::vector<std::uint8_t> statuses;
        std::int8_t result;
        int line;  // 0: no ERROR
        std::size_t banksWritten;
        bool narrowbandWritten;
        bool filtersWritten;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0}, 0, 0, 6, true, true},
        {{1, 0, 0, 0, 0, 0}, -1, 63, 0, false, false},
        {{0, 253, 0, 0, 0, 0}, 0, 0, 6, true, true},  // one of a pair alone does not fail
        {{0, 0, 255, 0, 0, 0}, 0, 0, 6, true, true},
        {{0, 255, 252, 0, 0, 0}, -1, 91, 3, false, false},
        {{0, 127, 1, 0, 0, 0}, 0, 0, 6, true, true},  // small statuses are warnings
        {{0, 128, 128, 0, 0, 0}, -1, 91, 3, false, false},
        {{0, 0, 0, 7, 0, 0}, -1, 101, 3, false, false},
        {{0, 0, 0, 0, 0, 252}, 0, 0, 6, true, true},
        {{0, 254, 0, 0, 254, 253}, -1, 133, 6, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.statuses));
        const RxChannel channel = Receiver(ChannelType::RX2);
        Pfir pfir;
        const ReportCapture capture;
        EXPECT_EQ(RxMagnitudeCompensation_Design(pfir, channel, ScriptedDesigner(c.statuses)), c.result);
        // The scripted designs warn of nothing: every line is the entry's own.
        EXPECT_EQ(capture.lines(), c.line == 0 ? std::vector<std::string>{} : std::vector<std::string>{ReportLine("Pfir", c.line)});
        const auto banks = DesignBanks(pfir, 1);
        for (std::size_t n = 0; n < 6; ++n) {
            EXPECT_EQ(banks[n], n < c.banksWritten ? Written21(static_cast<std::int32_t>(100 + n)) : marlin_PfirMag21Buffer_t{})
                << "design " << n;
        }
        EXPECT_EQ(pfir.pfirRxMagCompNb[1], c.narrowbandWritten ? Written13(205) : marlin_PfirMag13Buffer_t{});
        EXPECT_EQ(pfir.pfirRxNbPulShp[1], c.filtersWritten ? channel.pulseShapeFilter.buffer : marlin_PfirPulseBuffer_t{});
        EXPECT_EQ(pfir.pfirRxWbNbChFilterCoeff_C, c.filtersWritten ? channel.channelFilter.buffer : Pfir{}.pfirRxWbNbChFilterCoeff_C);
    }
}

TEST(PfirTransmitEntries, BanksOfEachTransmitter)
{
    const marlin_PfirWbNbBuffer_t untouched = Pfir{}.pfirTxWbNbPulShpCoeff_A;
    for (const std::uint8_t number : {std::uint8_t{1}, std::uint8_t{2}}) {
        SCOPED_TRACE(int{number});
        const TxChannel channel = Transmitter(number);
        Pfir pfir;
        const ScriptedDesigner designer;
        ASSERT_EQ(TxMagnitudeCompensation_Design(pfir, channel, designer), 0);
        ASSERT_EQ(designer.txRequests.size(), 1u);
        EXPECT_EQ(designer.txRequests[0].stages, channel.dataPath.stages.data());
        const bool first = number == 1;
        EXPECT_EQ(pfir.pfirTxMagComp1, first ? Written21(300) : marlin_PfirMag21Buffer_t{});
        EXPECT_EQ(pfir.pfirTxMagComp2, first ? marlin_PfirMag21Buffer_t{} : Written21(300));
        EXPECT_EQ(pfir.pfirTxMagCompNb[number - 1], Written13(400));
        EXPECT_EQ(pfir.pfirTxMagCompNb[2 - number], marlin_PfirMag13Buffer_t{});
        const auto& filter = channel.channelFilter.buffer;
        EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_A, first ? filter : untouched);
        EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_B, first ? filter : untouched);
        EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_C, first ? untouched : filter);
        EXPECT_EQ(pfir.pfirTxWbNbPulShpCoeff_D, first ? untouched : filter);
        EXPECT_EQ(pfir.pfirRxMagHighTiaHighSRHp[0], marlin_PfirMag21Buffer_t{});
        // A failed design leaves the record unchanged.
        Pfir failed;
        EXPECT_EQ(TxMagnitudeCompensation_Design(failed, channel, ScriptedDesigner({}, -1)), -1);
        EXPECT_EQ(failed, Pfir{});
    }
}
