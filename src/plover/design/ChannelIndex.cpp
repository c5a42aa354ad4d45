#include "plover/design/ChannelIndex.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr const char* ChannelNumberUnresolved = "Unable to resolve the channel number";

}  // namespace

namespace Decode {

std::uint8_t ChannelNumberToIndex(std::uint8_t channelNumber)
{
    if (channelNumber == 1 || channelNumber == 2) {
        return static_cast<std::uint8_t>(channelNumber - 1);
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 31);
}

std::uint8_t PortChannelToIndex(std::uint8_t port, std::uint8_t channelNumber)
{
    std::uint8_t first = 0;
    switch (port) {
    case PortOrx: first = 2; break;
    case PortIlb: first = 4; break;
    case PortElb: first = 6; break;
    default: first = 0; break;
    }
    return static_cast<std::uint8_t>(first + ChannelNumberToIndex(channelNumber));
}

ChannelType PortChannelToRxChannelType(std::uint8_t port, std::uint8_t channelNumber)
{
    const bool first = channelNumber == 1;
    if (channelNumber == 1 || channelNumber == 2) {
        switch (port) {
        case PortRx: return first ? ChannelType::RX1 : ChannelType::RX2;
        case PortOrx: return first ? ChannelType::ORX1 : ChannelType::ORX2;
        case PortIlb: return first ? ChannelType::ILB1 : ChannelType::ILB2;
        case PortElb: return first ? ChannelType::ELB1 : ChannelType::ELB2;
        default: break;
        }
    }
    ErrorHandler::Error("Cannot convert given port and channelNumber to an RxChannel type", SourceUnit::Utilities, 68);
}

std::uint8_t RxChannelTypeToSlot(ChannelType type)
{
    switch (type) {
    case ChannelType::RX1: return 0;
    case ChannelType::RX2: return 1;
    case ChannelType::ORX1: return 2;
    case ChannelType::ORX2: return 3;
    case ChannelType::ILB1: return 4;
    case ChannelType::ILB2: return 5;
    case ChannelType::ELB1: return 6;
    case ChannelType::ELB2: return 7;
    default: break;
    }
    ErrorHandler::Error("Channel type not recognized", SourceUnit::Utilities, 92);
}

std::uint8_t RxChannelTypeToPort(ChannelType type)
{
    switch (type) {
    case ChannelType::RX1:
    case ChannelType::RX2: return PortRx;
    case ChannelType::ORX1:
    case ChannelType::ORX2: return PortOrx;
    case ChannelType::ILB1:
    case ChannelType::ILB2: return PortIlb;
    case ChannelType::ELB1:
    case ChannelType::ELB2: return PortElb;
    default: break;
    }
    ErrorHandler::Error("Unrecognized channelType", SourceUnit::Utilities, 117);
}

std::uint8_t TxChannelNumberToIndex(std::uint8_t channelNumber)
{
    if (channelNumber == 1 || channelNumber == 2) {
        return static_cast<std::uint8_t>(channelNumber - 1);
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 131);
}

ChannelType TxChannelNumberToChannelType(std::uint8_t channelNumber)
{
    if (channelNumber == 1) {
        return ChannelType::TX1;
    }
    if (channelNumber == 2) {
        return ChannelType::TX2;
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 142);
}

std::uint8_t LoSelToIndex(vx_marlin_LoSel loSelect)
{
    if (loSelect == 1 || loSelect == 2) {
        return static_cast<std::uint8_t>(loSelect - 1);
    }
    ErrorHandler::Error("Unsupported vx_marlin_LoSel_e", SourceUnit::Utilities, 153);
}

}  // namespace Decode

}  // namespace Veltrix::Marlin::Native
