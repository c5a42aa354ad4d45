#include <gtest/gtest.h>

#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/profile/TxChannel.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// INT3 at block 44, interpolate-by-2 at blocks 38 and 36, then 30 and 28.
TxPath DesignedPath(bool interpolateBy3At40 = false)
{
    TxPath path;
    path.stages = {3, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 2, 0, 1, 0, 0, 0, 1};
    if (interpolateBy3At40) {
        path.stages[2] = 3;
    }
    return path;
}

}  // namespace

TEST(TxChannel, BasebandCornerFollowsTheRate)
{
    const TxChannel wide(1'000'000, 800'000);
    EXPECT_EQ(wide.txBbf3dBCorner_kHz, 50'000u);
    EXPECT_EQ(wide.txDpProfile.txPreProc.txPreProcMode, 1);  // I/Q input
    EXPECT_EQ(TxChannel(999'999, 12'500).txBbf3dBCorner_kHz, 33'000u);
}

TEST(TxChannel, SignalTypes)
{
    // The FM/FSK settings are the golden DMR and direct FM profiles'; back to I/Q clears them.
    TxChannel channel(48'000, 12'500);
    ASSERT_EQ(channel.SignalType_Set(2, 5'000), 0);
    ASSERT_EQ(channel.SignalType_Set(0, 0), 0);
    EXPECT_EQ(channel.outputSignaling, 0);
    EXPECT_EQ(channel.txDpProfile.txPreProc.txPreProcMode, 1);
    EXPECT_EQ(channel.txDpProfile.txIntTopFreqDevMap.freqDevMapEn, 0);
    EXPECT_EQ(channel.txDpProfile.txIntTopFreqDevMap.txRoundEn, 1);

    std::int8_t status = 0;
    EXPECT_EQ(ReportsOf([&] { status = channel.SignalType_Set(3, 0); }), std::vector<std::string>{ReportLine("TxChannel.h", 97)});
    EXPECT_EQ(status, -1);
}

TEST(TxChannel, LoopbackPowerInTenthsOfADbm)
{
    TxChannel channel(1'920'000, 1'008'000);
    channel.Loopback_Set(ElbType::AFTER_PA, -12);
    EXPECT_EQ(channel.txExtLoopBackType, 2);
    EXPECT_EQ(channel.txPeakLoopBackPower, -120);
    channel.Loopback_Set(ElbType::DISABLED, 30);
    EXPECT_EQ(channel.txExtLoopBackType, 0);
    EXPECT_EQ(channel.txPeakLoopBackPower, -120);
    channel.Loopback_Set(ElbType::BEFORE_PA, 5'000);  // beyond the field: saturates
    EXPECT_EQ(channel.txPeakLoopBackPower, 32'767);
}

TEST(TxChannel, CustomFilterAndSsi)
{
    TxChannel channel(1'920'000, 1'008'000);
    std::array<std::int32_t, 128> taps{};
    taps[0] = -7;
    taps[127] = 11;
    channel.ChannelFilter_Set(taps, ChannelFilterInterpolation::INTERPOLATE_BY_3);
    EXPECT_EQ(channel.interpolationRate, 3);
    EXPECT_EQ(channel.channelFilter.buffer.coefficients[0], -7);
    EXPECT_EQ(channel.channelFilter.buffer.coefficients[127], 11);

    channel.txSsiConfig.rxMaskStrobeEn = true;
    ASSERT_EQ(channel.Ssi_Configure(2, 3, 3'840'000, 1, SsiDataRate::DOUBLE, 1, 1), 0);
    EXPECT_EQ(channel.txSsiConfig.ssiType, 2);
    EXPECT_EQ(channel.txSsiConfig.ssiDataFormatSel, 3);
    EXPECT_EQ(channel.txSsiConfig.numLaneSel, 1);
    EXPECT_EQ(channel.txSsiConfig.txRefClockPin, 1);
    EXPECT_EQ(channel.txSsiConfig.strobeType, 1);
    EXPECT_TRUE(channel.txSsiConfig.ddrEn);
    EXPECT_FALSE(channel.txSsiConfig.rxMaskStrobeEn);
    EXPECT_EQ(channel.txInterfaceSampleRate_Hz, 3'840'000u);

    EXPECT_EQ(channel.Ssi_Configure(1, 3, 1'000, 0, SsiDataRate::SINGLE, 0, 0), -1);  // CMOS never carries 12-bit I/Q
    EXPECT_EQ(channel.txSsiConfig.ssiType, 2);
    EXPECT_EQ(channel.txInterfaceSampleRate_Hz, 3'840'000u);
}

TEST(TxChannel, DacConfiguration)
{
    // The HIGH rate at S / 4 is the golden LTE profiles'; LOW with an INT3 at block 40 runs at S / 3.
    TxChannel channel(15'360'000, 9'000'000);
    ASSERT_EQ(channel.Dac_Configure(184'320'001, DacRate::LOW, 1, DesignedPath(true)), 0);
    EXPECT_EQ(channel.dacClk_kHz, 184'320u);
    EXPECT_EQ(channel.txDpProfile.txIqdmDuc.iqdmNco.sampleFreq, 61'440'000u);  // S / 3

    const auto lines = ReportsOf(
        [&] { EXPECT_EQ(channel.Dac_Configure(184'320'000, static_cast<DacRate>(2), 1, DesignedPath()), -1); });
    EXPECT_EQ(lines, std::vector<std::string>{ReportLine("TxChannel", 201)});

    TxChannel unused;  // no sampling rate: no division by zero
    EXPECT_EQ(unused.Dac_Configure(184'320'000, DacRate::HIGH, 2, DesignedPath()), 0);
    EXPECT_EQ(unused.interpolation, 0u);
}

TEST(TxChannel, DacConfigurationChecksTheSignalType)
{
    TxChannel fmFsk(48'000, 12'500);
    fmFsk.SignalType_Set(1, 2'500);
    fmFsk.FrequencyOffsetCorrectionEnable_Set(true);
    const auto lines =
        ReportsOf([&] { EXPECT_EQ(fmFsk.Dac_Configure(184'320'000, DacRate::LOW, 2, DesignedPath()), -1); });
    EXPECT_EQ(lines, std::vector<std::string>{ReportLine("TxChannel", 236)});

    TxChannel iq(1'920'000, 1'008'000);
    iq.txDpProfile.txIqdmDuc.iqdmDev = 5;
    iq.FrequencyOffsetCorrectionEnable_Set(true);
    ASSERT_EQ(iq.Dac_Configure(184'320'000, DacRate::HIGH, 2, DesignedPath()), 0);
    EXPECT_EQ(iq.txDpProfile.txIqdmDuc.iqdmDucMode, 2);
    EXPECT_EQ(iq.txDpProfile.txIqdmDuc.iqdmDev, 0u);
}

TEST(TxChannel, ChannelNumberPicksItsPfirBanks)
{
    TxChannel channel(1'920'000, 1'008'000);
    channel.ChannelNumber_Set(1);
    EXPECT_EQ(channel.channelNumber, 1);
    EXPECT_EQ(channel.pfirBankIndexI, 0);
    EXPECT_EQ(channel.pfirBankIndexQ, 1);
    channel.ChannelNumber_Set(2);
    EXPECT_EQ(channel.pfirBankIndexI, 2);
    EXPECT_EQ(channel.pfirBankIndexQ, 3);
    EXPECT_THROW(channel.ChannelNumber_Set(3), std::runtime_error);
    EXPECT_EQ(channel.channelNumber, 2);
}
