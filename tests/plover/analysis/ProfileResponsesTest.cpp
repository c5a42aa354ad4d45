#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Reports.h"

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

bool SameBytes(const vx_tarpon_DynamicProfile& a, const vx_tarpon_DynamicProfile& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// Which channel answers: Rx on the 12 x system-clock ADC clock, Tx on the
// 3 x system-clock DAC clock (the response itself is ChannelResponseTest's);
// disabled channels and other ports are refused with the outputs untouched.
TEST(FrequencyResponse, AnsweredByTheEnabledChannelOfThePort)
{
    Profile oneByOne;
    ASSERT_EQ(Develop(oneByOne, Example("lte-10mhz-1t1r-fdd")), 0);
    struct Case {
        const Profile& profile;
        std::int32_t port;
        vx_common_ChannelNumber channel;
        double step_Hz;  // 0: refused with the report
        std::string report;
    };
    const Case cases[] = {
        {Lte20Profile(), 0, 2, 184320000.0 * 12 / ResponseGridPoints, ""},
        {Lte20Profile(), 1, 2, 184320000.0 * 3 / ResponseGridPoints, ""},
        {oneByOne, 0, 2, 0, ReportLine("Profile", 417, {"2"})},
        {oneByOne, 1, 2, 0, ReportLine("Profile", 429, {"2"})},
        {oneByOne, 2, 1, 0, ReportLine("Profile", 434)},
        {oneByOne, 4, 1, 0, ReportLine("Profile", 434)},
        {oneByOne, -1, 1, 0, ReportLine("Profile", 434)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.port) + " " + std::to_string(c.channel));
        std::vector<double> response{1.0, 2.0};
        double initial = 5.0;
        double delta = 6.0;
        const auto lines = ReportsOf([&] {
            EXPECT_EQ(c.profile.FrequencyResponse_Get(response, initial, delta, c.port, c.channel), c.step_Hz ? 0 : -1);
        });
        if (c.step_Hz) {
            EXPECT_EQ(response.size(), ResponseGridPoints);
            EXPECT_DOUBLE_EQ(delta, c.step_Hz);
        } else {
            EXPECT_EQ(lines, std::vector<std::string>{c.report});
            EXPECT_EQ(response, (std::vector<double>{1.0, 2.0}));
            EXPECT_EQ(initial + delta, 11.0);
        }
    }
    std::vector<double> response;
    double initial = 0.0;
    double delta = 0.0;
    for (vx_common_ChannelNumber wrong : {0, 3, 257}) {
        EXPECT_THROW(oneByOne.FrequencyResponse_Get(response, initial, delta, 0, wrong), std::runtime_error);
    }
}

// Record j runs at the designed rates shifted right by 5 - j, with half-band
// positions j and above forced on; the design itself uses only the last one.
TEST(DynamicProfiles, ShiftsAndHalfBandEnablesOfEveryPath)
{
    Profile profile = Lte20Profile();
    profile.deviceSystem.numDynamicProfiles = 6;
    DynamicProfiles records = Untouched();
    ASSERT_EQ(profile.DynamicProfiles_Get(records), 0);
    ASSERT_EQ(profile.rxChannels[0].rxDpProfile.rxWbDecTop.decBy2Blk31En, 0);
    ASSERT_EQ(profile.txChannels[0].txDpProfile.txWbIntTop.txInterpBy2Blk24En, 0);
    for (std::uint32_t j = 0; j < 6; ++j) {
        const vx_tarpon_DynamicProfile& record = records[j];
        EXPECT_EQ(record.dynamicProfileIndex, j);
        const std::uint32_t shift = 5 - j;
        for (const auto& channel : record.dynamicProfileChannels) {
            const auto& tx = channel.txDynamicProfile;
            EXPECT_EQ(tx.txInputRate_Hz, 30720000u >> shift);
            EXPECT_EQ(tx.primaryBw_Hz, 18000000u >> shift);
            const auto& t = tx.txWbIntTop;
            const std::array<std::uint8_t, 5> txHalfBands{t.txInterpBy2Blk30En, t.txInterpBy2Blk28En, t.txInterpBy2Blk26En,
                                                          t.txInterpBy2Blk24En, t.txInterpBy2Blk22En};
            for (const auto* rx : {&channel.rxDynamicProfile, &channel.ilbDynamicProfile}) {
                EXPECT_EQ(rx->rxOutputRate_Hz, 30720000u >> shift);
                EXPECT_EQ(rx->primaryBw_Hz, 18000000u >> shift);
                const auto& r = rx->rxWbDecTop;
                const std::array<std::uint8_t, 5> rxHalfBands{r.decBy2Blk25En, r.decBy2Blk27En, r.decBy2Blk29En,
                                                              r.decBy2Blk31En, r.decBy2Blk33En};
                for (std::uint32_t p = 0; p < 5; ++p) {
                    EXPECT_EQ(rxHalfBands[p], p >= j || p == 4 ? 1 : 0) << j << " " << p;
                    EXPECT_EQ(txHalfBands[p], p >= j || p == 4 ? 1 : 0) << j << " " << p;
                }
                EXPECT_EQ(r.wbLpfBlk33p1En, 0);
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
    for (std::size_t j = 2; j < 6; ++j) EXPECT_TRUE(SameBytes(records[j], Untouched()[j])) << j;
}

TEST(DynamicProfiles, RefusesWithoutTheFeatureOrBeyondSixRecords)
{
    Profile profile = Lte20Profile();
    for (const std::int32_t count : {1, 7, -1, 0x7FFFFFFF}) {
        profile.deviceSystem.numDynamicProfiles = count;
        DynamicProfiles records = Untouched();
        const auto lines = ReportsOf([&] { EXPECT_EQ(profile.DynamicProfiles_Get(records), -1) << count; });
        EXPECT_EQ(lines, std::vector<std::string>{count == 1 ? ReportLine("Profile", 302)
                                                             : ReportLine("Profile", 306, {std::to_string(count)})});
        for (std::size_t j = 0; j < 6; ++j) EXPECT_TRUE(SameBytes(records[j], Untouched()[j])) << count;
    }
}
