// Every common rate, alone and in the four-channel set-up, lands on its stock
// ratio and the 184.32 MHz clock (the examples pin the whole profile of a few).

#include <gtest/gtest.h>

#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

TEST(FilterDesignerRates, EveryCommonRateLandsOnItsStockRatioAndClock)
{
    struct RateCase {
        std::uint32_t rate_Hz, bandwidth_Hz;
        std::uint64_t ratio;
    };
    // Typical channel bandwidths: LTE for the wide rates, TETRA and DMR for the narrow ones.
    const RateCase rates[] = {
        {61440000, 38000000, 3}, {30720000, 18000000, 6}, {15360000, 9000000, 12},
        {7680000, 4500000, 24},  {3840000, 2700000, 48},  {1920000, 1008000, 96},
        {144000, 25000, 1280},   {48000, 12000, 3840},    {24000, 12000, 7680},
    };
    struct Setup {
        const char* name;
        bool rx, tx;
        std::size_t channels;
    };
    for (const Setup& setup : {Setup{"Rx1", true, false, 1}, Setup{"Tx1", false, true, 1},
                               Setup{"Rx1+Tx1", true, true, 1}, Setup{"2T2R", true, true, 2}}) {
        for (const RateCase& c : rates) {
            SCOPED_TRACE(std::string(setup.name) + " at " + std::to_string(c.rate_Hz));
            MarlinBlueprint blueprint;
            for (std::size_t index = 0; index < setup.channels; ++index) {
                if (setup.rx) Enable(blueprint.rxChannel(index), c.rate_Hz, c.bandwidth_Hz);
                if (setup.tx) Enable(blueprint.txChannel(index), c.rate_Hz, c.bandwidth_Hz);
            }
            FilterDesigner designer;
            ReportCapture capture;
            ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
            EXPECT_TRUE(capture.lines().empty());
            for (std::size_t index = 0; index < 2; ++index) {
                const RxChannelBlueprint& r = blueprint.rxChannel(index);
                const TxChannelBlueprint& t = blueprint.txChannel(index);
                const bool used = index < setup.channels;
                EXPECT_EQ(r.dataPath.isDesigned(), used && setup.rx);
                EXPECT_EQ(t.dataPath.isDesigned(), used && setup.tx);
                if (used && setup.rx) {
                    EXPECT_EQ(ChainRatio(r.dataPath), c.ratio);
                    EXPECT_EQ(RxClock(r), Clock184_Hz);
                }
                if (used && setup.tx) {
                    EXPECT_EQ(ChainRatio(t.dataPath), c.ratio);
                    EXPECT_EQ(TxClock(t), Clock184_Hz);
                    // The INT3 stage at the DAC runs for wide channels.
                    EXPECT_EQ(t.int3Factor, c.bandwidth_Hz >= 1000000 ? 3u : 1u);
                }
            }
        }
    }
}
