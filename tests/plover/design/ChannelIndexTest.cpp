#include <gtest/gtest.h>

#include <string>

#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/design/ChannelIndex.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

// The receive slots in order, each with its port: every conversion between
// them goes both ways, and anything outside its list throws its own line.
TEST(Decode, ConversionsMapTheirListsAndThrowOutside)
{
    const ChannelType rxTypes[] = {ChannelType::RX1, ChannelType::RX2, ChannelType::ORX1, ChannelType::ORX2,
                                   ChannelType::ILB1, ChannelType::ILB2, ChannelType::ELB1, ChannelType::ELB2};
    const std::uint8_t ports[] = {PortRx, PortRx, PortOrx, PortOrx, PortIlb, PortIlb, PortElb, PortElb};
    for (std::uint8_t slot = 0; slot < 8; ++slot) {
        const std::uint8_t number = slot % 2 + 1;
        EXPECT_EQ(Decode::RxChannelTypeToSlot(rxTypes[slot]), slot);
        EXPECT_EQ(Decode::RxChannelTypeToPort(rxTypes[slot]), ports[slot]);
        EXPECT_EQ(Decode::PortChannelToRxChannelType(ports[slot], number), rxTypes[slot]);
        EXPECT_EQ(Decode::PortChannelToIndex(ports[slot], number), slot);
    }
    EXPECT_EQ(Decode::PortChannelToIndex(PortTx, 2), 1);  // any other port counts as Rx
    EXPECT_EQ(Decode::TxChannelNumberToIndex(2), 1);
    EXPECT_EQ(Decode::TxChannelNumberToChannelType(2), ChannelType::TX2);
    EXPECT_EQ(Decode::LoSelToIndex(2), 1);

    const auto expectThrow = [](auto call, int line) {
        EXPECT_EQ(ThrownText<std::runtime_error>(call), ReportLine("Utilities", line));
    };
    expectThrow([] { Decode::ChannelNumberToIndex(0); }, 31);
    expectThrow([] { Decode::PortChannelToIndex(PortOrx, 3); }, 31);
    expectThrow([] { Decode::PortChannelToRxChannelType(PortTx, 1); }, 68);
    expectThrow([] { Decode::PortChannelToRxChannelType(PortRx, 3); }, 68);
    expectThrow([] { Decode::RxChannelTypeToSlot(ChannelType::TX1); }, 92);
    expectThrow([] { Decode::RxChannelTypeToPort(ChannelType::RXOFF); }, 117);
    expectThrow([] { Decode::TxChannelNumberToIndex(3); }, 131);
    expectThrow([] { Decode::TxChannelNumberToChannelType(0); }, 142);
    expectThrow([] { Decode::LoSelToIndex(3); }, 153);
}
