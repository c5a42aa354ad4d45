#include <gtest/gtest.h>

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/design/Utilities.h"

using namespace Veltrix::Marlin::Native;

namespace {

std::string UtilitiesLine(int line, const std::string& text)
{
    return std::string("ERROR: In ") + SourceUnit::Utilities + " on line " + std::to_string(line) + ": " + text;
}

std::string ThrownText(int line, const std::string& text)
{
    return std::string("In ") + SourceUnit::Utilities + " on line " + std::to_string(line) + ": " + text;
}

struct ValidateCase {
    vx_marlin_SsiType type;
    vx_marlin_SsiDataFormat format;
    vx_marlin_SsiNumLane lanes;
    int line;  // 0: valid
    const char* text;
};

}  // namespace

TEST(SsiValidate, FirstBrokenRuleReportsItsMessage)
{
    const ValidateCase cases[] = {
        {2, 4, 1, 0, ""},
        {2, 3, 1, 0, ""},
        {2, 6, 1, 0, ""},
        {2, 2, 1, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 7, 1, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 2, 0, 171, "LVDS must have a data format of 16-bit or 12-bit I/Q data."},
        {2, 4, 0, 176, "LVDS must have number of lanes set to 2."},
        {2, 4, 2, 176, "LVDS must have number of lanes set to 2."},
        {1, 3, 1, 184, "CMOS cannot have a data format of 12-bit I/Q data."},
        {1, 4, 1, 189, "CMOS cannot have number of lanes set to 2."},
        {1, 2, 2, 196, "CMOS must have number of lanes set to 1 if data format is 16-bit I only data."},
        {1, 2, 0, 0, ""},
        {1, 4, 2, 0, ""},
        {1, 0, 3, 201, "CMOS must have number of lanes set to 1 or 4."},
        {1, 4, -1, 201, "CMOS must have number of lanes set to 1 or 4."},
        {0, 3, 7, 0, ""},
        {5, 3, 1, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " format " << c.format << " lanes " << c.lanes);
        const size_t before = ErrorHandler::messages().size();
        const std::int8_t status = Ssi_Validate(c.type, c.format, c.lanes, SsiDataRate::SINGLE);
        if (c.line == 0) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(ErrorHandler::messages().size(), before);
        } else {
            EXPECT_EQ(status, -1);
            ASSERT_EQ(ErrorHandler::messages().size(), before + 1);
            EXPECT_EQ(ErrorHandler::messages().back(), UtilitiesLine(c.line, c.text));
        }
    }
}

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

    const size_t errorsBefore = ErrorHandler::errors().size();
    const auto expectThrow = [](auto call, int line, const char* text) {
        try {
            call();
            ADD_FAILURE() << "no throw for " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), ThrownText(line, text));
        }
    };
    expectThrow([] { Decode::ChannelNumberToIndex(0); }, 31, "Unable to resolve the channel number");
    expectThrow([] { Decode::PortChannelToIndex(PortOrx, 3); }, 31, "Unable to resolve the channel number");
    expectThrow([] { Decode::PortChannelToRxChannelType(PortTx, 1); }, 68,
                "Cannot convert given port and channelNumber to an RxChannel type");
    expectThrow([] { Decode::PortChannelToRxChannelType(PortRx, 3); }, 68,
                "Cannot convert given port and channelNumber to an RxChannel type");
    expectThrow([] { Decode::RxChannelTypeToSlot(ChannelType::TX1); }, 92, "Channel type not recognized");
    expectThrow([] { Decode::RxChannelTypeToPort(ChannelType::RXOFF); }, 117, "Unrecognized channelType");
    expectThrow([] { Decode::TxChannelNumberToIndex(3); }, 131, "Unable to resolve the channel number");
    expectThrow([] { Decode::TxChannelNumberToChannelType(0); }, 142, "Unable to resolve the channel number");
    expectThrow([] { Decode::LoSelToIndex(3); }, 153, "Unsupported vx_marlin_LoSel_e");
    EXPECT_EQ(ErrorHandler::errors().size(), errorsBefore + 9);
}
