// The SSI clock of each channel is pinned with the other blueprint answers in
// tests/data/blueprint/queries.json.

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

TEST(ChannelBlueprint, OperationalBandwidthAndUnknownSsiFormat)
{
    TxChannelBlueprint tx;
    tx.rfChannelBandwidth_Hz = 999999;
    EXPECT_EQ(tx.operationalBandwidth(), OperationalBandwidth::NARROW);
    tx.rfChannelBandwidth_Hz = 1000000;
    EXPECT_EQ(tx.operationalBandwidth(), OperationalBandwidth::WIDE);
    for (vx_marlin_SsiDataFormat format : {7, -1}) {
        tx.ssiDataFormat = format;
        EXPECT_EQ(ThrownText<std::runtime_error>([&] { (void)tx.SsiClock_Get(); }), ReportLine("Blueprint.h", 192)) << format;
    }
}
