// A receive channel's own rules: its limits, rounding, tables and refusals.
// What a designed channel holds is pinned by the examples and scenarios.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/profile/RxChannel.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

const nlohmann::json& Tables()
{
    static const auto tables = nlohmann::json::parse(ReadText(SourcePath("tests/data/profile/tables.json")));
    return tables;
}

RxChannel Channel(std::uint32_t rate, std::uint32_t bandwidth, AnalogFilterOrder order = AnalogFilterOrder::ORDER_1,
                  std::uint32_t corner_kHz = 40'000)
{
    return RxChannel(rate, bandwidth, 1, corner_kHz, order, 0);
}

// SINC 6, HB2, then decimation by 2 x 2 x 2 x 2 in blocks 17, 19, 25, 33: 16 after the SINC and HB012.
RxPath DesignedPath()
{
    RxPath path;
    path.stages = {6, 2, 1, 2, 2, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, 6, 2, 3, 5, 1};
    return path;
}

}  // namespace

TEST(RxChannel, ConstructionLimitsAndDerivedSettings)
{
    EXPECT_EQ(ThrownText<std::runtime_error>([] { Channel(20'833, 10'000); }), ReportLine("RxChannel", 29, {"20834"}));
    EXPECT_EQ(ThrownText<std::runtime_error>([] { Channel(67'584'001, 10'000); }),
              ReportLine("RxChannel", 33, {"67584000"}));
    EXPECT_NE(ThrownText<std::runtime_error>([] { Channel(0, 0); }), NoException);
    EXPECT_EQ(Channel(20'834, 10'000).rxDpProfile.rxSincHBTop.hbMux, 4);  // 50 MHz ADC bandwidth below 1 MSPS
    EXPECT_EQ(Channel(999'999, 200'000).rxDpProfile.rxSincHBTop.hbMux, 4);
    const RxChannel wide = Channel(1'000'000, 200'000, AnalogFilterOrder::ORDER_2);
    EXPECT_EQ(wide.rxDpProfile.rxSincHBTop.hbMux, 2);  // 100 MHz
    EXPECT_EQ(wide.filterOrder, 2);
    EXPECT_EQ(wide.filterOrderLp, 2);
    EXPECT_EQ(Channel(67'584'000, 20'000'000).filterOrder, 1);
    RxChannel channel = wide;
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { channel.AdcBandwidth_Set(static_cast<AdcBandwidth>(75)); }),
              ReportLine("RxChannel.h", 163));
}

// The DMR and analog FM examples pin what the signal types set; failures change nothing.
TEST(RxChannel, UnknownSignalTypesAreRefused)
{
    RxChannel channel = Channel(48'000, 12'000);
    channel.SignalTypeFrequencyDeviation_Set(RxChannelSignalSetup::ANALOG_FM);
    for (const auto& [type, line] : {std::pair<int, int>{2, 112}, {7, 116}}) {
        std::int8_t status = 0;
        EXPECT_EQ(ReportsOf([&] { status = channel.SignalType_Set(type, RxChannelSignalSetup::NONE); }),
                  std::vector<std::string>{ReportLine("RxChannel", line)});
        EXPECT_EQ(status, -1);
        EXPECT_EQ(channel.outputSignaling, 1);
        EXPECT_EQ(channel.signalSetup, RxChannelSignalSetup::ANALOG_FM);
    }
}

TEST(RxChannel, IntermediateFrequencyTruncatesTowardZero)
{
    RxChannel channel = Channel(1'920'000, 1'008'000);
    for (const auto& row : Tables().at("rxIntermediateFrequency")) {
        EXPECT_EQ(channel.IntermediateFrequency_Set(true, row.at("Hz")), 0);
        EXPECT_EQ(channel.rxOffsetLo_kHz, row.at("kHz")) << row;
    }
}

TEST(RxChannel, SsiSettingsAreStoredOnlyWhenValid)
{
    RxChannel channel = Channel(7'680'000, 4'500'000);
    ASSERT_EQ(channel.Ssi_Configure(2, 4, 15'360'000, 1, SsiDataRate::DOUBLE, 1), 0);
    EXPECT_TRUE(channel.rxSsiConfig.rxMaskStrobeEn);  // not every strobe carries a sample
    ASSERT_EQ(channel.Ssi_Configure(1, 4, 7'680'000, 0, SsiDataRate::SINGLE, 0), 0);
    EXPECT_FALSE(channel.rxSsiConfig.rxMaskStrobeEn);

    EXPECT_EQ(ReportsOf([&] { EXPECT_EQ(channel.Ssi_Configure(2, 2, 1'000, 1, SsiDataRate::SINGLE, 0), -1); }),
              std::vector<std::string>{ReportLine("Utilities", 171)});
    EXPECT_EQ(channel.rxSsiConfig.ssiType, 1);
    EXPECT_EQ(channel.rxInterfaceSampleRate_Hz, 7'680'000u);
}

TEST(RxChannel, AnalogCornerClampsNarrowBandWithAWarning)
{
    for (const auto& row : Tables().at("rxAnalogCorner_kHz")) {
        const RxChannel channel = Channel(1'920'000, 1'008'000, row.at("order"), row.at("corner_kHz"));
        std::uint32_t corner = 0;
        const auto lines = ReportsOf([&] {
            corner = channel.AnalogFilterCorner_Get(row.at("narrow") ? OperationalBandwidth::NARROW : OperationalBandwidth::WIDE);
        });
        EXPECT_EQ(corner, row.at("expected_kHz")) << row;
        EXPECT_EQ(lines, row.at("warns") ? std::vector<std::string>{ReportLine("RxChannel.h", 188)} : std::vector<std::string>{});
    }
}

TEST(RxChannel, ChannelTypeAndPfirBank)
{
    for (const auto& row : Tables().at("rxChannelTypes")) {
        const std::uint32_t type = row.at("type");  // 0: refused
        RxChannel channel = Channel(1'920'000, 1'008'000);
        channel.inUse = type == 0;
        EXPECT_EQ(channel.ChannelType_Set(row.at("port"), row.at("number")), type == 0 ? -1 : 0) << row;
        EXPECT_EQ(channel.inUse, type != 0);
        if (type != 0) {
            EXPECT_EQ(channel.channelType, type);
            EXPECT_EQ(channel.rxDpProfile.rxNbDem.rxWbNbCompPFir.bankSel, row.at("bank"));
            EXPECT_EQ(channel.ChannelNumber_Get(), row.at("number"));
        }
    }
    RxChannel channel;
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { channel.ChannelType_Set(ChannelType::TX1); }),
              ReportLine("RxChannel.h", 214));
    EXPECT_NE(ThrownText<std::runtime_error>([&] { channel.ChannelNumber_Get(); }), NoException);
}

TEST(RxChannel, AdcConfiguration)
{
    RxChannel channel = Channel(1'920'000, 1'008'000);
    channel.ChannelType_Set(ChannelType::RX1);
    ASSERT_EQ(channel.Adc_Configure(150'000'001, AdcRate::LOW, 1, DesignedPath()), 0);
    EXPECT_EQ(channel.adcClk_kHz, 900'000u);  // 900,000,006 Hz, whole kHz
    EXPECT_EQ(channel.decimation, 16u);

    EXPECT_EQ(ReportsOf([&] {
                  EXPECT_EQ(channel.Adc_Configure(184'320'000, static_cast<AdcRate>(4), 1, DesignedPath()), -1);
              }),
              std::vector<std::string>{ReportLine("RxChannel", 523)});
    RxPath broken = DesignedPath();
    broken.stages[0] = 5;
    EXPECT_EQ(channel.Adc_Configure(184'320'000, AdcRate::HIGH, 1, broken), -1);

    channel.SignalTypeFrequencyDeviation_Set(RxChannelSignalSetup::P25);
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { channel.Adc_Configure(184'320'000, AdcRate::HIGH, 2, DesignedPath()); }),
              ReportLine("RxChannel", 502));
}

TEST(RxChannel, NarrowBandNcoRunsForMainReceiversThatNeedIt)
{
    for (const auto& row : Tables().at("rxNarrowBandNco")) {
        RxChannel channel = Channel(24'000, 12'000);
        channel.ChannelType_Set(row.at("type").get<ChannelType>());
        if (row.at("deviation")) channel.SignalTypeFrequencyDeviation_Set(RxChannelSignalSetup::NONE);
        channel.FrequencyOffsetCorrectionEnable_Set(row.at("correction"));
        ASSERT_EQ(channel.Adc_Configure(184'320'000, AdcRate::HIGH, 2, DesignedPath()), 0);
        const bool nco = row.at("nco");
        EXPECT_EQ(channel.rxDpProfile.rxNbDem.rxNbNco.rxNbNcoEn, nco ? 1 : 0) << row;
        EXPECT_EQ(channel.rxDpProfile.rxNbDem.rxNbNco.rxNbNcoConfig.sampleFreq, nco ? 24'000u : 0u);
    }
}
