#include <gtest/gtest.h>

#include <string>

#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/design/ChannelIndex.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(Decode, ConversionsMapTheirListsAndThrowOutside)
{
    EXPECT_EQ(Decode::ChannelNumberToIndex(1), 0);
    EXPECT_EQ(Decode::ChannelNumberToIndex(2), 1);
    EXPECT_EQ(Decode::PortChannelToIndex(PortRx, 2), 1);
    EXPECT_EQ(Decode::PortChannelToIndex(PortOrx, 1), 2);
    EXPECT_EQ(Decode::PortChannelToIndex(PortIlb, 2), 5);
    EXPECT_EQ(Decode::PortChannelToIndex(PortElb, 1), 6);
    EXPECT_EQ(Decode::PortChannelToIndex(PortTx, 2), 1);  // any other port counts as Rx
    EXPECT_EQ(Decode::PortChannelToIndex(9, 1), 0);
    EXPECT_EQ(Decode::PortChannelToRxChannelType(PortRx, 2), ChannelType::RX2);
    EXPECT_EQ(Decode::PortChannelToRxChannelType(PortOrx, 1), ChannelType::ORX1);
    EXPECT_EQ(Decode::PortChannelToRxChannelType(PortIlb, 2), ChannelType::ILB2);
    EXPECT_EQ(Decode::PortChannelToRxChannelType(PortElb, 2), ChannelType::ELB2);
    const ChannelType rxTypes[] = {ChannelType::RX1, ChannelType::RX2, ChannelType::ORX1, ChannelType::ORX2,
                                   ChannelType::ILB1, ChannelType::ILB2, ChannelType::ELB1, ChannelType::ELB2};
    const std::uint8_t ports[] = {0, 0, 2, 2, 3, 3, 4, 4};
    for (std::uint8_t slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(Decode::RxChannelTypeToSlot(rxTypes[slot]), slot);
        EXPECT_EQ(Decode::RxChannelTypeToPort(rxTypes[slot]), ports[slot]);
    }
    EXPECT_EQ(Decode::TxChannelNumberToIndex(2), 1);
    EXPECT_EQ(Decode::TxChannelNumberToChannelType(1), ChannelType::TX1);
    EXPECT_EQ(Decode::TxChannelNumberToChannelType(2), ChannelType::TX2);
    EXPECT_EQ(Decode::LoSelToIndex(1), 0);
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
