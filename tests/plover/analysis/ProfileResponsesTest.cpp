#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Reports.h"
#include "plover/features/DynamicProfileFeature.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

const Profile& Lte20Profile()
{
    static const Profile profile = [] {
        Profile developed;
        if (Develop(developed, Example("lte-20mhz-2t2r-tdd")) != 0) throw std::runtime_error("LTE 20 MHz failed");
        return developed;
    }();
    return profile;
}

DynamicProfiles Untouched()
{
    DynamicProfiles records{};
    for (auto& record : records) record.dynamicProfileIndex = 99;
    return records;
}

bool SameBytes(const DynamicProfiles& a, const DynamicProfiles& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(DynamicProfiles)) == 0;
}

}  // namespace

TEST(FrequencyResponse, ReceiveAndTransmitOnTheAnalysisGrid)
{
    const Profile& profile = Lte20Profile();
    struct Case {
        std::int32_t port;
        double converterRate_Hz;
    };
    // Rx on the 12 x system-clock ADC clock, Tx on the 3 x system-clock DAC clock.
    for (const Case& c : {Case{0, 184320000.0 * 12}, Case{1, 184320000.0 * 3}}) {
        std::vector<double> response{1.0, 2.0};
        double initial = -1.0;
        double delta = -1.0;
        // The response itself is the channel's (ChannelResponseTest); here only which channel answers.
        ASSERT_EQ(profile.FrequencyResponse_Get(response, initial, delta, c.port, 2), 0) << c.port;
        EXPECT_EQ(response.size(), ResponseGridPoints);
        EXPECT_DOUBLE_EQ(delta, c.converterRate_Hz / ResponseGridPoints) << c.port;
    }
}

TEST(FrequencyResponse, RefusesDisabledChannelsAndOtherPorts)
{
    Profile profile;
    ASSERT_EQ(Develop(profile, Example("lte-10mhz-1t1r-fdd")), 0);
    struct Case {
        std::int32_t port;
        vx_common_ChannelNumber channel;
        std::string message;
    };
    for (const Case& c : {Case{0, 2, ReportLine("Profile", 417, {"2"})},
                          Case{1, 2, ReportLine("Profile", 429, {"2"})},
                          Case{2, 1, ReportLine("Profile", 434)},
                          Case{4, 1, ReportLine("Profile", 434)},
                          Case{-1, 1, ReportLine("Profile", 434)}}) {
        std::vector<double> response{1.0, 2.0};
        double initial = 5.0;
        double delta = 6.0;
        ReportCapture capture;
        EXPECT_EQ(profile.FrequencyResponse_Get(response, initial, delta, c.port, c.channel), -1);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.message});
        EXPECT_EQ(response, (std::vector<double>{1.0, 2.0}));
        EXPECT_EQ(initial, 5.0);
        EXPECT_EQ(delta, 6.0);
    }
    std::vector<double> response;
    double initial = 0.0;
    double delta = 0.0;
    for (vx_common_ChannelNumber wrong : {0, 3, 257}) {
        EXPECT_THROW(profile.FrequencyResponse_Get(response, initial, delta, 0, wrong), std::runtime_error);
    }
}

TEST(DynamicProfiles, ShiftsAndHalfBandEnablesOfEveryPath)
{
    Profile profile = Lte20Profile();
    profile.deviceSystem.numDynamicProfiles = 6;
    DynamicProfiles records = Untouched();
    ASSERT_EQ(profile.DynamicProfiles_Get(records), 0);

    // The design uses only the last wide-band half-band in each direction.
    ASSERT_EQ(profile.rxChannels[0].rxDpProfile.rxWbDecTop.decBy2Blk31En, 0);
    ASSERT_EQ(profile.rxChannels[0].rxDpProfile.rxWbDecTop.decBy2Blk33En, 1);
    ASSERT_EQ(profile.txChannels[0].txDpProfile.txWbIntTop.txInterpBy2Blk24En, 0);
    ASSERT_EQ(profile.txChannels[0].txDpProfile.txWbIntTop.txInterpBy2Blk22En, 1);
    for (std::uint32_t j = 0; j < 6; ++j) {
        const vx_tarpon_DynamicProfile& record = records[j];
        EXPECT_EQ(record.dynamicProfileIndex, j);
        const std::uint32_t shift = 5 - j;
        for (const auto& channel : record.dynamicProfileChannels) {
            const auto& tx = channel.txDynamicProfile;
            EXPECT_EQ(tx.txInputRate_Hz, 30720000u >> shift);
            EXPECT_EQ(tx.primaryBw_Hz, 18000000u >> shift);
            const std::array<std::uint8_t, 5> txHalfBands{tx.txWbIntTop.txInterpBy2Blk30En,
                                                          tx.txWbIntTop.txInterpBy2Blk28En,
                                                          tx.txWbIntTop.txInterpBy2Blk26En,
                                                          tx.txWbIntTop.txInterpBy2Blk24En,
                                                          tx.txWbIntTop.txInterpBy2Blk22En};
            for (std::uint32_t p = 0; p < 5; ++p) {
                EXPECT_EQ(txHalfBands[p], p >= j || p == 4 ? 1 : 0) << j << " " << p;
            }
            for (const auto* rx : {&channel.rxDynamicProfile, &channel.ilbDynamicProfile}) {
                EXPECT_EQ(rx->rxOutputRate_Hz, 30720000u >> shift);
                const auto& top = rx->rxWbDecTop;
                const std::array<std::uint8_t, 5> rxHalfBands{top.decBy2Blk25En, top.decBy2Blk27En,
                                                              top.decBy2Blk29En, top.decBy2Blk31En,
                                                              top.decBy2Blk33En};
                for (std::uint32_t p = 0; p < 5; ++p) {
                    EXPECT_EQ(rxHalfBands[p], p >= j || p == 4 ? 1 : 0) << j << " " << p;
                }
                EXPECT_EQ(top.wbLpfBlk33p1En, 0);
            }
            // Paths not in use: zero rates, the forced enables all the same.
            EXPECT_EQ(channel.orxDynamicProfile.rxOutputRate_Hz, 0u);
            EXPECT_EQ(channel.elbDynamicProfile.rxWbDecTop.decBy2Blk33En, j <= 4 ? 1 : 0);
        }
    }
}

TEST(DynamicProfiles, FillsOnlyTheFirstNRecordsWithIntegerShifts)
{
    Profile profile = Lte20Profile();
    profile.deviceSystem.numDynamicProfiles = 2;
    profile.rxChannels[0].rxOutputRate_Hz = 1000063;  // remainders are dropped
    profile.txChannels[1].primarySigBandwidth_Hz = 31;
    DynamicProfiles records = Untouched();
    ASSERT_EQ(profile.DynamicProfiles_Get(records), 0);
    EXPECT_EQ(records[0].dynamicProfileChannels[0].rxDynamicProfile.rxOutputRate_Hz, 1000063u / 32);
    EXPECT_EQ(records[1].dynamicProfileChannels[0].rxDynamicProfile.rxOutputRate_Hz, 1000063u / 16);
    EXPECT_EQ(records[0].dynamicProfileChannels[1].txDynamicProfile.primaryBw_Hz, 0u);
    EXPECT_EQ(records[1].dynamicProfileChannels[1].txDynamicProfile.primaryBw_Hz, 1u);
    const DynamicProfiles untouched = Untouched();
    for (std::size_t j = 2; j < 6; ++j) {
        EXPECT_EQ(std::memcmp(&records[j], &untouched[j], sizeof(vx_tarpon_DynamicProfile)), 0) << j;
    }
}

TEST(DynamicProfiles, RefusesWithoutTheFeatureOrBeyondSixRecords)
{
    Profile profile = Lte20Profile();
    struct Case {
        std::int32_t count;
        std::string message;
    };
    for (const Case& c : {Case{1, ReportLine("Profile", 302)},
                          Case{7, ReportLine("Profile", 306, {"7"})},
                          Case{-1, ReportLine("Profile", 306, {"-1"})},
                          Case{0x7FFFFFFF,
                               ReportLine("Profile", 306, {"2147483647"})}}) {
        profile.deviceSystem.numDynamicProfiles = c.count;
        DynamicProfiles records = Untouched();
        ReportCapture capture;
        EXPECT_EQ(profile.DynamicProfiles_Get(records), -1) << c.count;
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.message});
        EXPECT_TRUE(SameBytes(records, Untouched())) << c.count;
    }
}

TEST(DynamicProfiles, CountComesFromTheFeature)
{
    MarlinBlueprint blueprint = Example("lte-20mhz-2t2r-tdd");
    auto feature = std::make_shared<DynamicProfileFeature>();
    feature->numDynamicProfiles = 3;
    ASSERT_EQ(blueprint.Feature_Enable(feature), 0);
    Profile profile;
    ASSERT_EQ(Develop(profile, blueprint), 0);
    EXPECT_EQ(profile.deviceSystem.numDynamicProfiles, 3);
    DynamicProfiles records = Untouched();
    ASSERT_EQ(profile.DynamicProfiles_Get(records), 0);
    EXPECT_EQ(records[2].dynamicProfileIndex, 2u);
    EXPECT_EQ(records[3].dynamicProfileIndex, 99u);
}
