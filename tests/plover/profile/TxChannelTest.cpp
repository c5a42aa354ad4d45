// A transmit channel's own rules: its limits, saturation and refusals. What a
// designed channel holds is pinned by the examples and scenarios.

#include <gtest/gtest.h>

#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/profile/TxChannel.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// INT3 at block 44, interpolate-by-2 at blocks 38 and 36, then 30 and 28.
TxPath DesignedPath()
{
    TxPath path;
    path.stages = {3, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 2, 0, 1, 0, 0, 0, 1};
    return path;
}

}  // namespace

TEST(TxChannel, SettingsAndTheirLimits)
{
    EXPECT_EQ(TxChannel(1'000'000, 800'000).txBbf3dBCorner_kHz, 50'000u);
    EXPECT_EQ(TxChannel(999'999, 12'500).txBbf3dBCorner_kHz, 33'000u);

    TxChannel channel(48'000, 12'500);
    ASSERT_EQ(channel.SignalType_Set(2, 5'000), 0);
    ASSERT_EQ(channel.SignalType_Set(0, 0), 0);  // back to I/Q clears the FM/FSK settings
    EXPECT_EQ(channel.txDpProfile.txPreProc.txPreProcMode, 1);
    EXPECT_EQ(channel.txDpProfile.txIntTopFreqDevMap.freqDevMapEn, 0);
    std::int8_t status = 0;
    EXPECT_EQ(ReportsOf([&] { status = channel.SignalType_Set(3, 0); }), std::vector<std::string>{ReportLine("TxChannel.h", 97)});
    EXPECT_EQ(status, -1);

    // Loop-back power in tenths of a dBm, kept when disabled, saturated beyond the field.
    channel.Loopback_Set(ElbType::AFTER_PA, -12);
    EXPECT_EQ(channel.txPeakLoopBackPower, -120);
    channel.Loopback_Set(ElbType::DISABLED, 30);
    EXPECT_EQ(channel.txExtLoopBackType, 0);
    EXPECT_EQ(channel.txPeakLoopBackPower, -120);
    channel.Loopback_Set(ElbType::BEFORE_PA, 5'000);
    EXPECT_EQ(channel.txPeakLoopBackPower, 32'767);
    channel.Loopback_Set(ElbType::BEFORE_PA, -5'000);
    EXPECT_EQ(channel.txPeakLoopBackPower, -32'768);

    ASSERT_EQ(channel.Ssi_Configure(2, 3, 3'840'000, 1, SsiDataRate::DOUBLE, 1, 1), 0);
    EXPECT_EQ(channel.Ssi_Configure(1, 3, 1'000, 0, SsiDataRate::SINGLE, 0, 0), -1);  // CMOS never carries 12-bit I/Q
    EXPECT_EQ(channel.txSsiConfig.ssiType, 2);
    EXPECT_EQ(channel.txInterfaceSampleRate_Hz, 3'840'000u);

    channel.ChannelNumber_Set(2);
    EXPECT_EQ(channel.pfirBankIndexI, 2);
    EXPECT_EQ(channel.pfirBankIndexQ, 3);
    EXPECT_THROW(channel.ChannelNumber_Set(3), std::runtime_error);
    EXPECT_EQ(channel.channelNumber, 2);
}

TEST(TxChannel, DacConfiguration)
{
    // LOW with an INT3 at block 40 runs the IQ modulator at S / 3.
    TxChannel channel(15'360'000, 9'000'000);
    TxPath by3At40 = DesignedPath();
    by3At40.stages[2] = 3;
    ASSERT_EQ(channel.Dac_Configure(184'320'001, DacRate::LOW, 1, by3At40), 0);
    EXPECT_EQ(channel.dacClk_kHz, 184'320u);
    EXPECT_EQ(channel.txDpProfile.txIqdmDuc.iqdmNco.sampleFreq, 61'440'000u);
    EXPECT_EQ(ReportsOf([&] {
                  EXPECT_EQ(channel.Dac_Configure(184'320'000, static_cast<DacRate>(2), 1, DesignedPath()), -1);
              }),
              std::vector<std::string>{ReportLine("TxChannel", 201)});

    TxChannel unused;  // no sampling rate: no division by zero
    EXPECT_EQ(unused.Dac_Configure(184'320'000, DacRate::HIGH, 2, DesignedPath()), 0);
    EXPECT_EQ(unused.interpolation, 0u);

    TxChannel fmFsk(48'000, 12'500);
    fmFsk.SignalType_Set(1, 2'500);
    fmFsk.FrequencyOffsetCorrectionEnable_Set(true);
    EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(fmFsk.Dac_Configure(184'320'000, DacRate::LOW, 2, DesignedPath()), -1); }),
              std::vector<std::string>{ReportLine("TxChannel", 236)});

    TxChannel iq(1'920'000, 1'008'000);
    iq.txDpProfile.txIqdmDuc.iqdmDev = 5;
    iq.FrequencyOffsetCorrectionEnable_Set(true);
    ASSERT_EQ(iq.Dac_Configure(184'320'000, DacRate::HIGH, 2, DesignedPath()), 0);
    EXPECT_EQ(iq.txDpProfile.txIqdmDuc.iqdmDucMode, 2);
    EXPECT_EQ(iq.txDpProfile.txIqdmDuc.iqdmDev, 0u);
}
