#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plover/records/ProfileRecordsJson.h"
#include "support/Files.h"

using namespace Veltrix::Marlin::Native;
using ::testing::HasSubstr;

namespace {

json DefaultTree()
{
    return json(marlin_Init_t{});
}

const json::json_pointer DecTop{"/rx/rxChannelCfg/2/profile/rxDpProfile/rxDecTop"};
const json::json_pointer ChannelBank{"/pfirBuffer/pfirRxWbNbChFilterCoeff_B"};

}  // namespace

TEST(ProfileRecordsJsonInput, NumbersAreTruncatedCastAndTakeBooleans)
{
    json j = DefaultTree();
    j[DecTop]["decBy3Blk15En"] = true;
    j[DecTop]["decBy2Hb3Blk17p1En"] = 2.9;
    j[DecTop]["decBy2Hb4Blk17p2En"] = -1;  // wraps to the field's width
    j["/rx/rxChannelCfg/2/profile/rxOffsetLo_kHz"_json_pointer] = -3.7;
    j["/rx/rxChannelCfg/2/profile/lnaConfig/lnaGainSteps_mdB"_json_pointer] = {70000, -1, false, 4.5};
    j["/clocks/clkPllMode"_json_pointer] = 1.99;
    j["/clocks/armClkDiv"_json_pointer] = -4;
    j["/sysConfig/pllModulus/modulus"_json_pointer] = {1, 2, 3, 4, 4294967297ULL};
    json coefficients = json::array();  // long arrays load their first elements
    for (int i = 0; i < 130; ++i) coefficients.push_back(i - 64);
    j[ChannelBank]["coefficients"] = coefficients;

    const auto init = j.get<marlin_Init_t>();
    const auto& profile = init.rx.rxChannelCfg[2].profile;
    EXPECT_EQ(profile.rxDpProfile.rxDecTop.decBy3Blk15En, 1);
    EXPECT_EQ(profile.rxDpProfile.rxDecTop.decBy2Hb3Blk17p1En, 2);
    EXPECT_EQ(profile.rxDpProfile.rxDecTop.decBy2Hb4Blk17p2En, 255);
    EXPECT_EQ(profile.rxOffsetLo_kHz, -3);
    EXPECT_THAT(profile.lnaConfig.lnaGainSteps_mdB, ::testing::ElementsAre(70000 - 65536, 65535, 0, 4));
    EXPECT_EQ(init.clocks.clkPllMode, 1);
    EXPECT_EQ(init.clocks.armClkDiv, -4);
    EXPECT_EQ(init.sysConfig.pllModulus.modulus[4], 1u);
    EXPECT_EQ(init.pfirBuffer.pfirRxWbNbChFilterCoeff_B.coefficients[0], -64);
    EXPECT_EQ(init.pfirBuffer.pfirRxWbNbChFilterCoeff_B.coefficients[127], 63);
}

TEST(ProfileRecordsJsonInput, AbsentKeysKeepDefaultsAndExtraKeysAreIgnored)
{
    const json j = json::parse(R"({
        "clocks": {"deviceClock_kHz": 245760, "unknownKey": [1, 2], "refClockOutEnable": true},
        "tx": {"txProfile": [{"txOffsetLo_kHz": -20}, {"txSsiConfig": {"ddrEn": true}}, {"extra": "ignored"}]},
        "comment": "not a record field",
        "pfirBuffer": {"pfirRxNbPulShp": [{"numCoeff": 128}, {}], "pfirTxMagComp2": {}}
    })");
    const auto init = j.get<marlin_Init_t>();

    marlin_Init_t expected{};
    expected.clocks.deviceClock_kHz = 245760;
    expected.clocks.refClockOutEnable = true;
    expected.tx.txProfile[0].txOffsetLo_kHz = -20;
    expected.tx.txProfile[1].txSsiConfig.ddrEn = true;
    expected.pfirBuffer.pfirRxNbPulShp[0].numCoeff = 128;
    EXPECT_EQ(init, expected);
}

// Each row of tests/data/records/malformed.json raises the JSON library's
// exception and leaves the target as it was.
TEST(ProfileRecordsJsonInput, MalformedTreesRaiseAndLeaveTheTargetUnchanged)
{
    for (const json& row : json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/records/malformed.json")))) {
        SCOPED_TRACE(row.at("name").get<std::string>());
        json j = DefaultTree();
        j["/clocks/deviceClock_kHz"_json_pointer] = 122880;  // read before the fault in every case
        if (row.at("pointer") == "") {
            j = row.at("value");
        } else {
            j[json::json_pointer(row.at("pointer"))] = row.at("value");
        }
        marlin_Init_t target{};
        target.sysConfig.pllLockTime_us = 777;
        try {
            target = j.get<marlin_Init_t>();
            ADD_FAILURE() << "no exception";
        } catch (const json::exception& e) {
            EXPECT_EQ(e.id, row.at("id")) << e.what();
            EXPECT_THAT(e.what(), HasSubstr(row.at("text").get<std::string>()));
        }
        EXPECT_EQ(target.sysConfig.pllLockTime_us, 777);
        EXPECT_EQ(target.clocks.deviceClock_kHz, 0u);
    }
}
