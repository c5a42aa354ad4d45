#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChainDesignTestSupport.h"

using namespace ChainDesignTest;

namespace {

// Criteria switches of a scenario.
enum Switch { Default = 0, StockOnly = 1, Modelling = 2, Min150MHz = 4, Min185MHz = 8 };

DesignCriteria Criteria(int switches)
{
    DesignCriteria c;
    c.useExtendedLookup(!(switches & StockOnly));
    c.useModelingSearch(switches & Modelling);
    if (switches & Min150MHz) c.minSystemClock(150000000);
    if (switches & Min185MHz) c.minSystemClock(185000000);
    return c;
}

struct Scenario {
    const char* what;
    int switches;
    ChannelDesignRecord first, second;
    std::int8_t status;
    std::array<double, 4> ratios;  // RX1 TX1 RX2 TX2 chain ratios; 0: not designed
};

// Chain lookups on the 160..200 MHz clock: the stock rows first, then the
// custom table unless kept out. A direction designed by lookup has ripple -1,
// one not designed the 1e6 that means unscored.
const Scenario Scenarios[] = {
    {"nothing enabled", Default, {}, {}, -5, {}},
    {"61.44 MHz at the by-3 row's bandwidth limit", Default, RxTx(61440000, 40000000), {}, 0, {3, 3}},
    {"30.72 MHz", Default, RxTx(30720000, 20000000), {}, 0, {6, 6}},
    {"15.36 MHz", Default, RxTx(15360000, 10000000), {}, 0, {12, 12}},
    {"7.68 MHz", Default, RxTx(7680000, 4500000), {}, 0, {24, 24}},
    {"3.84 MHz", Default, RxTx(3840000, 2500000), {}, 0, {48, 48}},
    {"1.92 MHz", Default, RxTx(1920000, 1200000), {}, 0, {96, 96}},
    {"144 kHz", Default, RxTx(144000, 50000), {}, 0, {1280, 1280}},
    {"48 kHz", Default, RxTx(48000, 12500), {}, 0, {3840, 3840}},
    {"24 kHz", Default, RxTx(24000, 12500), {}, 0, {7680, 7680}},
    {"both channels share the clock", Default, RxTx(61440000, 40000000), RxTx(61440000, 40000000), 0, {3, 3, 3, 3}},
    {"both channels, 144 kHz", Default, RxTx(144000, 50000), RxTx(144000, 50000), 0, {1280, 1280, 1280, 1280}},
    {"both channels, 24 kHz", Default, RxTx(24000, 12500), RxTx(24000, 12500), 0, {7680, 7680, 7680, 7680}},
    {"60 MHz takes the by-3 row", Default, Rx(60000000, 39000000), {}, 0, {3}},
    // 50 MHz: ratio 3 (150 MHz, limit 0.651) and ratio 4 (200 MHz, limit 0.825).
    {"within the by-3 row's limit", StockOnly | Min150MHz, Rx(50000000, 30000000), {}, 0, {3}},
    {"above it: the next ratio", StockOnly | Min150MHz, Rx(50000000, 35000000), {}, 0, {4}},
    {"above every row's limit", StockOnly | Min150MHz, Rx(50000000, 45000000), {}, -2, {}},
    {"no stock ratio puts 10 MHz on the clock", StockOnly, Rx(10000000, 5000000), {}, -2, {}},
    {"51 MHz lies between ratios 3 and 4", Default, Rx(51000000, 20000000), {}, -2, {}},
    {"160 MHz is inside", StockOnly, Rx(40000000, 20000000), {}, 0, {4}},
    {"200 MHz is inside", StockOnly, Rx(50000000, 20000000), {}, 0, {4}},
    {"184.32 MHz is below a raised floor", Min185MHz, Rx(61440000, 20000000), {}, -2, {}},
    // Half-band chain 1 2 2 2 2: ratio 16, clock 160 MHz.
    {"10 MHz through the custom table", Default, Rx(10000000, 5000000), {}, 0, {16}},
    {"10 MHz both directions", Default, RxTx(10000000, 5000000), {}, 0, {16, 16}},
    {"10 MHz Rx on one channel, Tx on the other", Default, Rx(10000000, 5000000), Tx(10000000, 5000000), 0,
     {16, 0, 0, 16}},
    {"10 MHz Tx has the stock ratio 16", Default, Tx(10000000, 5000000), {}, 0, {0, 16}},
    // 9 MHz has no stock ratio: the custom rows, although Rx is disabled on both channels.
    {"9 MHz Tx", Default, Tx(9000000, 4000000), {}, 0, {0, 20}},
    {"9 MHz Tx on both channels", Default, Tx(9000000, 4000000), Tx(9000000, 3000000), 0, {0, 20, 0, 20}},
    {"Rx on the second channel only", Default, Tx(9000000, 4000000), RxTx(9000000, 4000000), 0, {0, 20, 20, 20}},
    // 61.44 MHz Rx needs 184.32 MHz; 50 MHz Tx reaches 150 or 200 MHz only.
    {"directions on different stock clocks", StockOnly, Rx(61440000, 30000000), Tx(50000000, 20000000), -4, {}},
    {"custom rows on different converter sides", Default, Rx(61440000, 30000000), Tx(50000000, 20000000), -3, {}},
    // The modelling search, not built in this path, keeps the lookup verdict.
    {"modelling request, lookup fails", Modelling, Rx(51000000, 20000000), {}, -2, {}},
    {"modelling request, lookup succeeds", Modelling, Rx(61440000, 40000000), {}, 0, {3}},
};

TEST(DesignChains, Scenarios)
{
    for (const Scenario& s : Scenarios) {
        SCOPED_TRACE(s.what);
        const DesignRun run = Design(Criteria(s.switches), s.first, s.second);
        ASSERT_EQ(run.status, s.status);
        EXPECT_EQ(run.first.status, s.status);
        const ChannelDesignOutput* outputs[] = {&run.first, &run.first, &run.second, &run.second};
        for (std::size_t d = 0; d < 4; ++d) {
            const bool rx = d % 2 == 0;
            EXPECT_EQ(Ratio(rx ? outputs[d]->rxStages : outputs[d]->txStages), s.ratios[d]) << "direction " << d;
            if (s.status == 0) {
                EXPECT_EQ(rx ? outputs[d]->rxRipple_dB : outputs[d]->txRipple_dB, s.ratios[d] ? -1.0 : 1000000.0) << d;
            }
        }
    }
}

TEST(DesignChains, StageBytesHeadsAndSaturation)
{
    ChannelDesignRecord first = Rx(60000000, 39000000);
    first.rxHead0 = 7;
    const DesignRun by3 = Design(DesignCriteria{}, first);
    EXPECT_EQ(by3.first.rxStages, (std::array<std::uint8_t, 18>{7, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(by3.first.txStages[1], 1);  // a disabled direction keeps the head bytes only

    first = RxTx(144000, 50000);
    first.rxHead0 = 9;
    first.txHead0 = 5;
    first.txHead1 = 255;  // 256 saturates to the byte range
    const DesignRun run = Design(DesignCriteria{}, first, Rx(144000, 50000));
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.first.rxStages[0], 9);
    EXPECT_EQ(run.first.rxStages[1], 2);
    EXPECT_EQ(run.first.txStages[0], 3);
    EXPECT_EQ(run.first.txStages[1], 255);
    EXPECT_EQ(run.first.rxStages[10], 10);  // the sinc factor of the 1280 chain
    EXPECT_EQ(run.second.rxStages[0], 9);   // heads come from the first record
    EXPECT_EQ(run.second.txStages[0], 3);

    // Nothing designed: stage bytes, variants and ripple untouched.
    const DesignRun none = Design(DesignCriteria{}, ChannelDesignRecord{}, ChannelDesignRecord{});
    EXPECT_EQ(none.first.rxStages, Zero);
    EXPECT_EQ(none.first.rxStage21, 0);
    EXPECT_EQ(none.first.rxRipple_dB, 0.0);
}

TEST(DesignChains, DirectModulationTxUsesTheSpecialRowAndBlocksTheCustomTable)
{
    ChannelDesignRecord fm = Tx(100000, 50000);
    fm.txSpecialMode = 1;
    const DesignRun run = Design(DesignCriteria{}, fm);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.first.txStages, (std::array<std::uint8_t, 18>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 2}));
    ChannelDesignRecord blocked = Tx(9000000, 4000000);  // no stock ratio reaches 9 MHz
    blocked.txSpecialMode = 1;
    EXPECT_EQ(Design(DesignCriteria{}, blocked).status, -5);
    EXPECT_EQ(Design(Criteria(StockOnly), blocked).status, -2);
}

TEST(DesignChains, UnknownSelectorIsReportedAlways)
{
    ChannelDesignRecord first = Rx(10000000, 5000000);
    first.lifSelect = 3;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Design(DesignCriteria{}, first).status, -7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown WBLPF/HB22 or LIF/VLIF configuration selected\n");
    ChannelDesignRecord tx = Tx(9000000, 4000000);
    tx.txHb22WblpfSelect = 9;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Design(DesignCriteria{}, tx).status, -7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown TX WBLPF/HB22 configuration selected\n");
}

TEST(DesignChains, StagesOnlyOnSuccessVariantsAlways)
{
    // Failure: stage bytes stay zero, variant bytes are still composed.
    const DesignRun failed = Design(DesignCriteria{}, Rx(51000000, 20000000));
    ASSERT_EQ(failed.status, -2);
    EXPECT_EQ(failed.first.rxStage21, 1);
    EXPECT_EQ(failed.first.rxStage22, 1);

    // Response ignored: success without stage bytes; 45 MHz x 4 uses both converter half-bands.
    DesignCriteria ignored;
    ignored.isResponseIgnored(true);
    for (std::uint8_t lif : {0, 1, 2}) {
        ChannelDesignRecord first = Rx(45000000, 20000000);
        first.lifSelect = lif;
        const DesignRun run = Design(ignored, first);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.first.rxStages, Zero);
        EXPECT_EQ(run.first.rxStage21, lif == 1 ? 4 : 3) << int(lif);
        EXPECT_EQ(run.first.rxStage22, lif == 1 ? 6 : 5) << int(lif);
        EXPECT_EQ(run.second.rxStage21, 1);  // disabled: no chain, no variant
    }
}

TEST(DesignChains, VariantOfTheLastWidebandStage)
{
    // 30.72 MHz x 6: stage 7 active. Selector 2 -> 1, 1 -> 2, 0 -> 1.
    for (std::uint8_t sel : {0, 1, 2}) {
        ChannelDesignRecord first = RxTx(30720000, 20000000);
        first.rxHb22WblpfSelect = sel;
        first.txHb22WblpfSelect = sel;
        const DesignRun run = Design(DesignCriteria{}, first);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(run.first.rxStage23, sel == 1 ? 2 : 1);
        EXPECT_EQ(run.first.txStage21, sel == 1 ? 2 : 1);
    }
    // 61.44 MHz x 3: stage 7 bypassed -> 0 whatever the selector.
    EXPECT_EQ(Design(DesignCriteria{}, RxTx(61440000, 40000000)).first.rxStage23, 0);
}

TEST(DesignChains, DebugLines)
{
    DesignCriteria debug;
    debug.isDebug(true);
    const auto printed = [](const DesignCriteria& c, const ChannelDesignRecord& first) {
        testing::internal::CaptureStdout();
        Design(c, first);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(printed(debug, Rx(61440000, 40000000)), "Pre-existing profile found\n");
    EXPECT_EQ(printed(debug, Rx(10000000, 5000000)), "Using Direct lookup solution (Custom)\n");
    EXPECT_EQ(printed(DesignCriteria{}, Rx(10000000, 5000000)), "");
}

}  // namespace
