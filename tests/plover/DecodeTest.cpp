#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "plover/Decode.h"
#include "plover/ErrorHandler.h"

using namespace Veltrix::Marlin::Native;

namespace {

// Runs a conversion expected to throw and returns its text (empty if it did not throw).
template <typename F>
std::string ThrownText(F&& call)
{
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}


}  // namespace

TEST(Decode, ChannelNumbersMapToIndices)
{
    EXPECT_EQ(Decode::ChannelNumberToIndex(1), 0u);
    EXPECT_EQ(Decode::ChannelNumberToIndex(2), 1u);
    EXPECT_EQ(Decode::TxChannelNumberToIndex(2), 1u);
    EXPECT_EQ(Decode::TxChannelNumberToChannelType(1), 4u);
    EXPECT_EQ(Decode::TxChannelNumberToChannelType(2), 8u);
    for (std::uint32_t bad : {0u, 3u}) {
        const std::string tail = "Unable to resolve the channel number";
        EXPECT_THAT(ThrownText([&] { Decode::ChannelNumberToIndex(bad); }), ::testing::EndsWith(tail));
        EXPECT_THAT(ThrownText([&] { Decode::TxChannelNumberToIndex(bad); }), ::testing::EndsWith(tail));
        EXPECT_THAT(ThrownText([&] { Decode::TxChannelNumberToChannelType(bad); }), ::testing::EndsWith(tail));
    }
}

TEST(Decode, PortAndChannelGiveSlotAndType)
{
    struct Case {
        std::int32_t port;
        std::uint32_t channel;
        std::size_t slot;
        std::uint32_t type;
        std::int32_t kind;
    };
    const Case cases[] = {
        {0, 1, 0, 1, 0},   {0, 2, 1, 2, 0},   {2, 1, 2, 16, 2},  {2, 2, 3, 32, 2},
        {3, 1, 4, 64, 3},  {3, 2, 5, 128, 3}, {4, 1, 6, 256, 4}, {4, 2, 7, 512, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode::PortChannelToIndex(c.port, c.channel), c.slot);
        EXPECT_EQ(Decode::PortChannelToRxChannelType(c.port, c.channel), c.type);
        EXPECT_EQ(Decode::RxChannelTypeToIndex(c.type), c.slot);
        EXPECT_EQ(Decode::RxChannelTypeToPort(c.type), c.kind);
        EXPECT_EQ(Decode::RxChannelTypeToChannelNumber(c.type), c.channel);
    }
    // A transmit or unknown port reads as the main receiver, without complaint.
    EXPECT_EQ(Decode::PortChannelToIndex(1, 2), 1u);
    EXPECT_EQ(Decode::PortChannelToIndex(9, 1), 0u);
}

TEST(Decode, UnknownValuesThrowTheirMessages)
{
    const std::string portTail = "Cannot convert given port and channelNumber to an RxChannel type";
    EXPECT_THAT(ThrownText([] { Decode::PortChannelToRxChannelType(1, 1); }), ::testing::EndsWith(portTail));
    EXPECT_THAT(ThrownText([] { Decode::PortChannelToRxChannelType(0, 3); }), ::testing::EndsWith(portTail));
    for (std::uint32_t bad : {0u, 4u, 8u, 3u, 1024u}) {
        EXPECT_THAT(ThrownText([&] { Decode::RxChannelTypeToIndex(bad); }),
                    ::testing::EndsWith("Channel type not recognized"));
        EXPECT_THAT(ThrownText([&] { Decode::RxChannelTypeToPort(bad); }), ::testing::EndsWith("Unrecognized channelType"));
    }
    EXPECT_EQ(Decode::LoSelToIndex(1), 0u);
    EXPECT_EQ(Decode::LoSelToIndex(2), 1u);
    const std::string text = ThrownText([] { Decode::LoSelToIndex(3); });
    EXPECT_EQ(text, "In ..\\..\\..\\src\\plover\\Utilities on line 172: Unsupported vx_marlin_LoSel_e");
    EXPECT_STREQ(ErrorHandler::errors().back().what(), text.c_str());
}
