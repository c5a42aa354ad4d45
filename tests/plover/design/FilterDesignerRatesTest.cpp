// Designs every common Rx/Tx rate, alone and in the four-channel set-up, and
// checks the chain ratio and the 184.32 MHz clock each one lands on.

#include <gtest/gtest.h>

#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

struct RateCase {
    std::uint32_t rate_Hz;
    std::uint32_t bandwidth_Hz;
    std::uint64_t ratio;
};

// Typical channel bandwidths: the LTE channels for the wide rates, TETRA and
// DMR channels for the narrow ones.
constexpr RateCase RateCases[] = {
    {61440000, 38000000, 3}, {30720000, 18000000, 6},   {15360000, 9000000, 12},
    {7680000, 4500000, 24},  {3840000, 2700000, 48},    {1920000, 1008000, 96},
    {144000, 25000, 1280},   {48000, 12000, 3840},      {24000, 12000, 7680},
};

enum class Channels { Rx1, Tx1, Rx1Tx1, TwoTwo };

const char* Name(Channels setup)
{
    switch (setup) {
    case Channels::Rx1: return "Rx1";
    case Channels::Tx1: return "Tx1";
    case Channels::Rx1Tx1: return "Rx1+Tx1";
    case Channels::TwoTwo: return "2T2R";
    }
    return "";
}

}  // namespace

TEST(FilterDesignerRates, EveryCommonRateLandsOnItsStockRatioAndClock)
{
    for (const Channels setup : {Channels::Rx1, Channels::Tx1, Channels::Rx1Tx1, Channels::TwoTwo}) {
        for (const RateCase& c : RateCases) {
            SCOPED_TRACE(std::string(Name(setup)) + " at " + std::to_string(c.rate_Hz));
            MarlinBlueprint blueprint;
            const bool rx = setup != Channels::Tx1;
            const bool tx = setup != Channels::Rx1;
            const std::size_t channels = setup == Channels::TwoTwo ? 2 : 1;
            for (std::size_t index = 0; index < channels; ++index) {
                if (rx) Enable(blueprint.rxChannel(index), c.rate_Hz, c.bandwidth_Hz);
                if (tx) Enable(blueprint.txChannel(index), c.rate_Hz, c.bandwidth_Hz);
            }
            FilterDesigner designer;
            ReportCapture capture;
            ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
            EXPECT_TRUE(capture.lines().empty());
            EXPECT_TRUE(blueprint.isDesigned());
            for (std::size_t index = 0; index < channels; ++index) {
                const RxChannelBlueprint& r = blueprint.rxChannel(index);
                const TxChannelBlueprint& t = blueprint.txChannel(index);
                if (rx) {
                    EXPECT_EQ(ChainRatio(r.dataPath), c.ratio);
                    EXPECT_EQ(RxClock(r), Clock184_Hz);
                    EXPECT_EQ(r.dataPath.stages[0], 6);  // SINC factor of the HIGH ADC rate
                    EXPECT_EQ(r.dataPath.stages[1], 2);
                    EXPECT_FALSE(r.dataPath.isDirty);
                }
                if (tx) {
                    EXPECT_EQ(ChainRatio(t.dataPath), c.ratio);
                    EXPECT_EQ(TxClock(t), Clock184_Hz);
                    // The INT3 stage at the DAC runs for wide channels.
                    EXPECT_EQ(t.dataPath.stages[0], c.bandwidth_Hz >= 1000000 ? 3 : 1);
                    EXPECT_EQ(t.int3Factor, c.bandwidth_Hz >= 1000000 ? 3u : 1u);
                }
                if (!rx) {
                    EXPECT_FALSE(r.dataPath.isDesigned());
                }
                if (!tx) {
                    EXPECT_FALSE(t.dataPath.isDesigned());
                }
            }
        }
    }
}

TEST(FilterDesignerRates, TenMegahertzDesignsThroughTheCustomTable)
{
    // No stock ratio puts 10 MHz on a 160-200 MHz clock (12 gives 120, 24 gives 240).
    for (const bool tx : {false, true}) {
        SCOPED_TRACE(tx ? "Tx1" : "Rx1");
        MarlinBlueprint blueprint;
        ChannelBlueprint& channel = tx ? static_cast<ChannelBlueprint&>(blueprint.txChannel1) : blueprint.rxChannel1;
        Enable(channel, 10000000, 5000000);
        FilterDesigner designer;
        ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
        const std::uint64_t clock = tx ? TxClock(blueprint.txChannel1) : RxClock(blueprint.rxChannel1);
        EXPECT_GE(clock, 160000000u);
        EXPECT_LE(clock, 200000000u);
        EXPECT_EQ(clock % 10000000, 0u);
    }
}

TEST(FilterDesignerRates, TransmitChannelFilterInterpolationMovesIntoThePreprocessor)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, 1920000, 1008000);
    Enable(blueprint.txChannel1, 1920000, 1008000);
    blueprint.txChannel1.channelFilterType = ChannelFilterType::CUSTOM;
    blueprint.txChannel1.channelFilterInterpolation = ChannelFilterInterpolation::INTERPOLATE_BY_2;
    FilterDesigner designer;
    ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
    const TxPath& path = blueprint.txChannel1.dataPath;
    EXPECT_EQ(path.stages[TxPath::PreprocessorStage], 2);
    EXPECT_EQ(ChainRatio(path), 48u);
    EXPECT_EQ(TxClock(blueprint.txChannel1), Clock184_Hz);
    EXPECT_FALSE(path.isDirty);  // written back clean

    // The 96 chain has its only by-3 stage at the converter, out of the preprocessor's reach.
    blueprint.txChannel1.channelFilterInterpolation = ChannelFilterInterpolation::INTERPOLATE_BY_3;
    ReportCapture capture;
    EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 255);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_NE(capture.lines()[0].find("Current configuration does not support a preprocessor interpolation of 3."),
              std::string::npos);
}
