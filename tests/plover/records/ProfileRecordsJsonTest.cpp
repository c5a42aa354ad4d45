#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Json.h"
#include "plover/records/ProfileRecordsJson.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

// Replaces every scalar of a record's JSON form with a distinct small value
// (1..120 fits every field width, signed or not) and every boolean with true.
void FillLeaves(json& j, int& counter)
{
    if (j.is_object() || j.is_array()) {
        for (auto& element : j) {
            FillLeaves(element, counter);
        }
    } else if (j.is_boolean()) {
        j = true;
    } else {
        j = 1 + (counter++ % 120);
    }
}

json FilledTree(int& leaves)
{
    json j = marlin_Init_t{};
    leaves = 0;
    FillLeaves(j, leaves);
    return j;
}

std::string Render(const marlin_Init_t& init)
{
    return json(init).dump(2);
}

}  // namespace

TEST(ProfileRecordsJson, EveryFieldIsWrittenReadAndRewrittenIdentically)
{
    int leaves = 0;
    const json filled = FilledTree(leaves);
    EXPECT_GT(leaves, 2500);  // the eight receive and two transmit entries and all banks are written in full

    const auto init = filled.get<marlin_Init_t>();
    EXPECT_EQ(json(init), filled) << "a field is missing from the reader or the writer";
    EXPECT_NE(init, marlin_Init_t{});

    const std::string text = Render(init);
    const auto reread = json::parse(text).get<marlin_Init_t>();
    EXPECT_EQ(reread, init);
    EXPECT_EQ(Render(reread), text);
    EXPECT_EQ(text.back(), '}');
}

TEST(ProfileRecordsJson, TopLevelAndSampleFieldsCarryTheDeviceNames)
{
    marlin_Init_t init{};
    init.rx.rxChannelCfg[7].profile.rxOffsetLo_kHz = -1250;
    init.tx.txProfile[1].txOffsetLo_kHz = -7;
    init.tx.txProfile[0].txPeakLoopBackPower = -18;
    init.pfirBuffer.pfirRxNbPulShp[1].coefficients[127] = -8388608;
    init.clocks.refClockOutEnable = true;
    const json j = init;

    std::vector<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) {
        keys.push_back(it.key());
    }
    EXPECT_THAT(keys, ::testing::ElementsAre("clocks", "pfirBuffer", "rx", "sysConfig", "tx"));
    EXPECT_EQ(j["rx"]["rxChannelCfg"].size(), 8u);
    EXPECT_EQ(j["tx"]["txProfile"].size(), 2u);
    EXPECT_EQ(j["pfirBuffer"]["pfirRxWbNbChFilterCoeff_A"]["coefficients"].size(), 128u);
    EXPECT_EQ(j["pfirBuffer"]["pfirRxMagCompNb"][0]["coefficients"].size(), 13u);
    EXPECT_TRUE(j["clocks"]["refClockOutEnable"].is_boolean());
    EXPECT_TRUE(j["rx"]["rxChannelCfg"][0]["profile"]["rxDpProfile"]["rxDecTop"]["decBy3Blk15En"].is_number_unsigned());

    const auto back = json::parse(j.dump(2)).get<marlin_Init_t>();
    EXPECT_EQ(back.rx.rxChannelCfg[7].profile.rxOffsetLo_kHz, -1250);
    EXPECT_EQ(back.tx.txProfile[1].txOffsetLo_kHz, -7);
    EXPECT_EQ(back.tx.txProfile[0].txPeakLoopBackPower, -18);
    EXPECT_EQ(back.pfirBuffer.pfirRxNbPulShp[1].coefficients[127], -8388608);
    EXPECT_TRUE(back.clocks.refClockOutEnable);
}

TEST(ProfileRecordsJson, KeysAppearInByteOrderInEveryObject)
{
    int leaves = 0;
    const auto ordered = nlohmann::ordered_json::parse(Render(FilledTree(leaves).get<marlin_Init_t>()));
    EXPECT_TRUE(KeysSortedEverywhere(ordered));
    // Upper case sorts before lower case and digits before letters.
    const std::string clocks = json(marlin_ClockSettings_t{}).dump(2);
    EXPECT_LT(clocks.find("\"armClkDiv\""), clocks.find("\"armPowerSavingClkDiv\""));
    EXPECT_LT(clocks.find("\"clk1105Div\""), clocks.find("\"clkPllHsDiv\""));
    const std::string pfir = json(marlin_PfirBuffer_t{}).dump(2);
    EXPECT_LT(pfir.find("\"pfirRxMagHighTiaHighSRHp\""), pfir.find("\"pfirRxMagLowTiaLowSRHp\""));
}
