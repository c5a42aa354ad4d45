#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plover/records/ProfileRecordsJson.h"

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

TEST(ProfileRecordsJsonInput, LongArraysLoadTheirFirstElements)
{
    json j = DefaultTree();
    json coefficients = json::array();
    for (int i = 0; i < 130; ++i) {
        coefficients.push_back(i - 64);
    }
    j[ChannelBank]["coefficients"] = coefficients;
    const auto init = j.get<marlin_Init_t>();
    EXPECT_EQ(init.pfirBuffer.pfirRxWbNbChFilterCoeff_B.coefficients[0], -64);
    EXPECT_EQ(init.pfirBuffer.pfirRxWbNbChFilterCoeff_B.coefficients[127], 63);
}

struct MalformedCase {
    std::string name;
    std::string pointer;
    json value;
    int id;  // the library's exception number
    std::string text;
};

class ProfileRecordsJsonMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ProfileRecordsJsonMalformed, RaisesTheLibraryExceptionAndLeavesTheTargetUnchanged)
{
    const MalformedCase& c = GetParam();
    json j = DefaultTree();
    j["/clocks/deviceClock_kHz"_json_pointer] = 122880;  // read before the fault in every case
    if (c.pointer.empty()) {
        j = c.value;
    } else {
        j[json::json_pointer(c.pointer)] = c.value;
    }

    marlin_Init_t target{};
    target.sysConfig.pllLockTime_us = 777;
    try {
        target = j.get<marlin_Init_t>();
        FAIL() << "no exception for " << c.name;
    } catch (const json::exception& e) {
        EXPECT_EQ(e.id, c.id) << e.what();
        EXPECT_THAT(e.what(), HasSubstr(c.text));
    }
    EXPECT_EQ(target.sysConfig.pllLockTime_us, 777);
    EXPECT_EQ(target.clocks.deviceClock_kHz, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRecordsJsonMalformed,
    ::testing::Values(
        MalformedCase{"BooleanAsNumber", "/clocks/refClockOutEnable", 1, 302, "type must be boolean, but is number"},
        MalformedCase{"BooleanAsString", "/sysConfig/warmBootEnable", "true", 302, "type must be boolean, but is string"},
        MalformedCase{"NumberAsString", "/clocks/clkPllVcoFreq_daHz", "8847360", 302, "type must be number, but is string"},
        MalformedCase{"NumberAsNull", "/tx/txProfile/1/validDataDelay", nullptr, 302, "type must be number, but is null"},
        MalformedCase{"NumberAsObject", "/rx/rxChannelCfg/7/profile/adcClk_kHz", json::object(), 302,
                      "type must be number, but is object"},
        MalformedCase{"EnumerationAsBoolean", "/sysConfig/duplexMode", true, 302, "type must be number, but is boolean"},
        MalformedCase{"EnumerationInArrayRecord", "/pfirBuffer/pfirRxNbPulShp/1/gainSel", json::array(), 302,
                      "type must be number, but is array"},
        MalformedCase{"ShortCoefficients", "/pfirBuffer/pfirRxWbNbChFilterCoeff_B/coefficients",
                      std::vector<int>(127, 3), 401, "array index 127 is out of range"},
        MalformedCase{"ShortChannelList", "/rx/rxChannelCfg", std::vector<json>(7, json::object()), 401,
                      "array index 7 is out of range"},
        MalformedCase{"ShortModulus", "/sysConfig/pllModulus/dmModulus", {5}, 401, "array index 1 is out of range"},
        MalformedCase{"ArrayAsObject", "/pfirBuffer/pfirTxMagComp1/coefficients", json::object(), 304,
                      "cannot use at() with object"},
        MalformedCase{"ArrayAsNumber", "/rx/rxChannelCfg/0/profile/rxDpProfile/rxSincHBTop/gainComp9GainQ", 6, 304,
                      "cannot use at() with number"},
        MalformedCase{"RecordAsNumber", "/tx/txProfile/0/txDpProfile/txIqdmDuc/iqdmNco", 5, 302,
                      "type must be object, but is number"},
        MalformedCase{"RecordAsArray", "/sysConfig", json::array(), 302, "type must be object, but is array"},
        MalformedCase{"TopLevelArray", "", json::array({1, 2}), 302, "type must be object, but is array"},
        MalformedCase{"FloatBeyond64Bits", "/tx/txProfile/1/txDpProfile/txPreProc/txPreProcSymbol3", 1e300, 406,
                      "number overflow"}),
    [](const auto& info) { return info.param.name; });

