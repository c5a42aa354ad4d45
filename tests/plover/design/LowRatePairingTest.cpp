// The low-rate pairing: a 96 kHz channel and a 144 kHz partner in the same
// direction pair are designed together at 96 kHz, and the partner's chain is
// then turned into ratio 1280 on the same 184.32 MHz clock.

#include <gtest/gtest.h>

#include <array>
#include <vector>
#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

constexpr std::uint32_t Base_Hz = 96000;
constexpr std::uint32_t Partner_Hz = 144000;
constexpr std::uint32_t Bandwidth_Hz = 25000;

// Chain stages 2..17 after the designer's low-rate plans.
constexpr std::array<std::uint8_t, 16> BaseChain = {1, 2, 2, 1, 1, 1, 1, 1, 10, 2, 2, 2, 1, 1, 3, 2};
constexpr std::array<std::uint8_t, 16> PartnerChain = {1, 2, 2, 1, 1, 1, 1, 1, 10, 2, 2, 2, 2, 1, 1, 2};

template <typename Path>
std::array<std::uint8_t, 16> Chain(const Path& path)
{
    std::array<std::uint8_t, 16> chain{};
    for (std::size_t stage = 2; stage <= 17; ++stage) chain[stage - 2] = path.stages[stage];
    return chain;
}

struct Channel {
    bool tx;
    std::size_t index;
    std::uint32_t rate_Hz;
};

struct PairingCase {
    const char* name;
    std::vector<Channel> channels;
};

// A 144 kHz channel is searched at 96 kHz only when the other channel of its
// direction runs at 96 kHz; otherwise it keeps its own 144 kHz chain.
bool SearchedAtBase(const PairingCase& c, const Channel& channel)
{
    if (channel.rate_Hz == Base_Hz) return true;
    for (const Channel& other : c.channels) {
        if (other.tx == channel.tx && other.index != channel.index && other.rate_Hz == Base_Hz) return true;
    }
    return false;
}

ChannelBlueprint& Of(MarlinBlueprint& blueprint, const Channel& c)
{
    if (c.tx) return blueprint.txChannel(c.index);
    return blueprint.rxChannel(c.index);
}

}  // namespace

// Each 96 kHz channel ends on ratio 1920 and each 144 kHz one on 1280, all on
// 184.32 MHz; the chains searched at 96 kHz are the pairing ones (a paired
// 144 kHz channel ends on the stock 1280 chain).
TEST(LowRatePairing, PairsDesignOnOneClock)
{
    const PairingCase cases[] = {
        {"Rx1 96k + Rx2 144k", {{false, 0, Base_Hz}, {false, 1, Partner_Hz}}},
        {"Rx2 96k + Rx1 144k", {{false, 1, Base_Hz}, {false, 0, Partner_Hz}}},
        {"Tx1 96k + Tx2 144k", {{true, 0, Base_Hz}, {true, 1, Partner_Hz}}},
        {"Rx pair + Tx pair",
         {{false, 0, Base_Hz}, {false, 1, Partner_Hz}, {true, 0, Base_Hz}, {true, 1, Partner_Hz}}},
        {"Rx pair + Tx1 96k", {{false, 0, Base_Hz}, {false, 1, Partner_Hz}, {true, 0, Base_Hz}}},
        {"Rx pair + Tx2 144k", {{false, 0, Base_Hz}, {false, 1, Partner_Hz}, {true, 1, Partner_Hz}}},
        {"Tx pair + Rx1 96k", {{true, 0, Base_Hz}, {true, 1, Partner_Hz}, {false, 0, Base_Hz}}},
        {"Rx1 96k + Tx1 144k, unpaired", {{false, 0, Base_Hz}, {true, 0, Partner_Hz}}},
    };
    for (const PairingCase& c : cases) {
        SCOPED_TRACE(c.name);
        MarlinBlueprint blueprint;
        for (const Channel& channel : c.channels) Enable(Of(blueprint, channel), channel.rate_Hz, Bandwidth_Hz);
        FilterDesigner designer;
        ReportCapture capture;
        ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0)
            << (capture.lines().empty() ? "" : capture.lines()[0]);
        EXPECT_TRUE(capture.lines().empty());
        EXPECT_TRUE(designer.lowRateMode);
        for (const Channel& channel : c.channels) {
            SCOPED_TRACE(std::string(channel.tx ? "Tx" : "Rx") + std::to_string(channel.index + 1));
            const bool partner = channel.rate_Hz == Partner_Hz;
            EXPECT_EQ(Of(blueprint, channel).samplingRate_Hz(), channel.rate_Hz);
            const auto& expected = partner ? PartnerChain : BaseChain;
            const std::uint64_t ratio = partner ? 1280 : 1920;
            if (channel.tx) {
                const TxChannelBlueprint& tx = blueprint.txChannel(channel.index);
                if (SearchedAtBase(c, channel)) {
                    EXPECT_EQ(Chain(tx.dataPath), expected);
                }
                EXPECT_EQ(ChainRatio(tx.dataPath), ratio);
                EXPECT_EQ(TxClock(tx), Clock184_Hz);
            } else {
                const RxChannelBlueprint& rx = blueprint.rxChannel(channel.index);
                if (SearchedAtBase(c, channel)) {
                    EXPECT_EQ(Chain(rx.dataPath), expected);
                }
                EXPECT_EQ(ChainRatio(rx.dataPath), ratio);
                EXPECT_EQ(RxClock(rx), Clock184_Hz);
            }
        }
    }
}

// The partner carries the 144 kHz list on top of the 96 kHz chain that the
// search found: SCIC at 10, a by-2 in place of the narrowband by-3.
TEST(LowRatePairing, LoneReceiverKeepsThePairableChain)
{
    MarlinBlueprint blueprint;
    Enable(blueprint.rxChannel1, Base_Hz, Bandwidth_Hz);
    blueprint.rxChannel2.samplingRate_Hz(Partner_Hz);
    FilterDesigner designer;
    ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
    EXPECT_FALSE(designer.lowRateMode);
    const std::array<std::uint8_t, 16> searched = {1, 2, 2, 2, 1, 1, 1, 1, 5, 2, 2, 2, 1, 1, 3, 2};
    EXPECT_EQ(Chain(blueprint.rxChannel1.dataPath), searched);
    EXPECT_EQ(RxClock(blueprint.rxChannel1), Clock184_Hz);
    EXPECT_FALSE(blueprint.rxChannel2.dataPath.isDesigned());
}

// A 144 kHz channel without a 96 kHz partner keeps the chain searched at its
// own rate: narrow ones land on the 1280 chain anyway, wider ones on the
// custom table's chain at 165.888 MHz, which the pairing's lists would push
// past 1 GHz.
TEST(LowRatePairing, Lone144kChannelKeepsItsOwnChain)
{
    struct Case {
        bool tx;
        std::uint32_t bandwidth_Hz;
        std::uint64_t clock_Hz;
    };
    for (const Case& c : {Case{false, 25000, Clock184_Hz}, Case{false, 60000, 165888000},
                          Case{false, 90000, 193536000}}) {
        SCOPED_TRACE(std::string(c.tx ? "Tx1 " : "Rx1 ") + std::to_string(c.bandwidth_Hz));
        MarlinBlueprint blueprint;
        Enable(Of(blueprint, {c.tx, 0, Partner_Hz}), Partner_Hz, c.bandwidth_Hz);
        FilterDesigner designer;
        ASSERT_EQ(designer.Design(blueprint, DesignCriteria{}, false), 0);
        EXPECT_EQ(c.tx ? TxClock(blueprint.txChannel1) : RxClock(blueprint.rxChannel1), c.clock_Hz);
    }
}

// The pairable 96 kHz row is the widest that can hold 96 kHz (any wider one
// would be met first and could not be paired): 64,655 Hz passes, one more fails.
TEST(LowRatePairing, WidestPairedChannel)
{
    for (const std::uint32_t bandwidth_Hz : {64655u, 64656u}) {
        SCOPED_TRACE(bandwidth_Hz);
        MarlinBlueprint blueprint;
        Enable(blueprint.rxChannel1, Base_Hz, bandwidth_Hz);
        Enable(blueprint.rxChannel2, Partner_Hz, bandwidth_Hz);
        FilterDesigner designer;
        ReportCapture capture;
        const bool fits = bandwidth_Hz == 64655u;
        EXPECT_EQ(designer.Design(blueprint, DesignCriteria{}, false), fits ? 0 : 255);
        if (fits) {
            EXPECT_EQ(RxClock(blueprint.rxChannel2), Clock184_Hz);
        } else {
            ASSERT_EQ(capture.lines().size(), 1u);
            EXPECT_NE(capture.lines()[0].find("line 203: Sampling rate not possible"), std::string::npos);
        }
    }
}
