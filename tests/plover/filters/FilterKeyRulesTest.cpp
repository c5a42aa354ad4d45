#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "plover/filters/ChannelFilter.h"
#include "plover/filters/PulseShapeFiltersLut.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(FilterKeyRules, ChannelFilterKeyNeedsAnExactRateAndBandwidthPair)
{
    using S = ChannelFilterSelect;
    struct Case {
        std::uint32_t rate;
        std::uint32_t bandwidth;
        S key;
    };
    const Case cases[] = {
        {24000, 12000, S::DMR_24k},
        {48000, 12000, S::DMR_48k},
        {48000, 24000, S::DMR_24k},
        {144000, 25000, S::TETRA_25k},
        {144000, 50000, S::TETRA_50k},
        {1920000, 1008000, S::LTE_1p4M},
        {3840000, 2700000, S::LTE_3M},
        {7680000, 4500000, S::LTE_5M},
        {15360000, 9000000, S::LTE_10M},
        {30720000, 18000000, S::LTE_20M},
        {61440000, 38000000, S::LTE_40M},
        {20000000, 5400000, S::CUSTOM1_RX20_5p4M},
        {20000000, 7300000, S::CUSTOM1_RX20_7p3M},
        {20000000, 9200000, S::CUSTOM1_RX20_9p2M},
        {936000, 7813, S::CUSTOM2_RX936k_7813},
        {936000, 31250, S::CUSTOM2_RX936k_31250},
        {936000, 62500, S::CUSTOM2_RX936k_62500},
        {936000, 156250, S::CUSTOM2_RX936k_156250},
        {936000, 312500, S::CUSTOM2_RX936k_312500},
        {42666000, 20000000, S::CUSTOM3_RX42P666M_20M},
        // Near misses and pairs that only the direct lookup reaches.
        {24000, 24000, S::Unity},
        {48000, 12001, S::Unity},
        {936000, 7812, S::Unity},
        {42666666, 20000000, S::Unity},
        {144000, 100000, S::Unity},
        {0, 0, S::Unity},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChannelFilterSelect_Get(c.rate, c.bandwidth), c.key) << c.rate << " / " << c.bandwidth;
    }
}

TEST(FilterKeyRules, PulseShapeKeyFollowsSignalSetupRateAndBandwidth)
{
    using P = PulseShapeFilterSelect;
    using R = RxChannelSignalSetup;
    struct Case {
        R setup;
        std::uint32_t rate;
        std::uint32_t bandwidth;
        P key;
    };
    const Case cases[] = {
        {R::NONE, 48000, 12000, P::Unity},
        {R::DMR, 48000, 12000, P::DMR_48k},
        {R::DMR, 24000, 12000, P::DMR_24k},
        {R::DMR, 48000, 24000, P::DMR_24k},
        {R::DMR, 24000, 24000, P::Unity},
        {R::ANALOG_FM, 48000, 12000, P::ANALOG_FM_48k},
        {R::ANALOG_FM, 24000, 12000, P::ANALOG_FM_24k},
        {R::ANALOG_FM, 48000, 24000, P::ANALOG_FM_24k},
        {R::ANALOG_FM, 96000, 12000, P::Unity},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PulseShapeFilterSelect_Get(c.setup, c.rate, c.bandwidth), c.key)
            << static_cast<int>(c.setup) << ": " << c.rate << " / " << c.bandwidth;
    }
}

TEST(FilterKeyRules, P25AndUnknownSetupsRaise)
{
    const auto text = [](RxChannelSignalSetup setup) {
        return ThrownText<std::runtime_error>([&] { PulseShapeFilterSelect_Get(setup, 48000, 12000); });
    };
    EXPECT_EQ(text(RxChannelSignalSetup::P25), ReportLine("RxChannel", 502));
    EXPECT_EQ(text(static_cast<RxChannelSignalSetup>(4)), ReportLine("RxChannel", 507));
}
