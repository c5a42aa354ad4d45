#include <gtest/gtest.h>

#include "plover/blueprint/ChannelBlueprint.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(ChannelBlueprint, InterfaceRateFollowsSamplingRateUntilSetOnItsOwn)
{
    RxChannelBlueprint rx;
    EXPECT_TRUE(rx.ssiRateFollowsSamplingRate());
    rx.samplingRate_Hz(1920000);
    EXPECT_EQ(rx.ssiInterfaceRate_Hz(), 1920000u);
    rx.samplingRate_Hz(3840000);
    EXPECT_EQ(rx.ssiInterfaceRate_Hz(), 3840000u);

    rx.ssiInterfaceRate_Hz(15360000);
    EXPECT_FALSE(rx.ssiRateFollowsSamplingRate());
    rx.samplingRate_Hz(960000);
    EXPECT_EQ(rx.samplingRate_Hz(), 960000u);
    EXPECT_EQ(rx.ssiInterfaceRate_Hz(), 15360000u);
}

TEST(ChannelBlueprint, OperationalBandwidthSwitchesAtOneMegahertz)
{
    TxChannelBlueprint tx;
    tx.rfChannelBandwidth_Hz = 999999;
    EXPECT_EQ(tx.operationalBandwidth(), OperationalBandwidth::NARROW);
    tx.rfChannelBandwidth_Hz = 1000000;
    EXPECT_EQ(tx.operationalBandwidth(), OperationalBandwidth::WIDE);
}

TEST(ChannelBlueprint, SsiClockFromFormatLanesAndDataRate)
{
    struct Case {
        vx_marlin_SsiType type;
        vx_marlin_SsiDataFormat format;
        vx_marlin_SsiNumLane lanes;
        SsiDataRate rate;
        std::uint32_t interface_Hz;
        std::uint32_t clock_Hz;
    };
    const Case cases[] = {
        {2, 4, 0, SsiDataRate::SINGLE, 1920000, 61440000},   // 32 bits, 1 lane
        {2, 4, 1, SsiDataRate::DOUBLE, 1920000, 30720000},   // LVDS DDR is not halved
        {1, 4, 1, SsiDataRate::DOUBLE, 1920000, 15360000},   // CMOS DDR halved
        {1, 3, 2, SsiDataRate::SINGLE, 1000000, 6000000},    // 24 bits, 4 lanes
        {1, 0, 0, SsiDataRate::SINGLE, 24000, 48000},        // 2 bits
        {0, 1, 0, SsiDataRate::DOUBLE, 24000, 192000},       // 8 bits, no halving when disabled
        {2, 6, 0, SsiDataRate::SINGLE, 100000000, 2105032704u},  // 64 bits wraps in 32-bit arithmetic
    };
    for (const Case& c : cases) {
        RxChannelBlueprint rx;
        rx.ssiType = c.type;
        rx.ssiDataFormat = c.format;
        rx.ssiNumLane = c.lanes;
        rx.ssiDataRate = c.rate;
        rx.ssiInterfaceRate_Hz(c.interface_Hz);
        EXPECT_EQ(rx.SsiClock_Get(), c.clock_Hz) << c.format << " " << c.lanes;
    }
}

TEST(ChannelBlueprint, UnknownSsiDataFormatThrows)
{
    for (vx_marlin_SsiDataFormat format : {7, -1}) {
        TxChannelBlueprint tx;
        tx.ssiDataFormat = format;
        EXPECT_EQ(ThrownText<std::runtime_error>([&] { (void)tx.SsiClock_Get(); }), ReportLine("Blueprint.h", 192)) << format;
    }
}
