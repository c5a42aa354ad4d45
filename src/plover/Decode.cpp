#include "plover/Decode.h"

#include "plover/ErrorHandler.h"
#include "plover/SourceUnit.h"

namespace Veltrix::Marlin::Native::Decode {

namespace {

// Receive channel-type bits in slot order.
constexpr std::uint32_t RxSlotTypes[8] = {
    static_cast<std::uint32_t>(ChannelType::RX1),  static_cast<std::uint32_t>(ChannelType::RX2),
    static_cast<std::uint32_t>(ChannelType::ORX1), static_cast<std::uint32_t>(ChannelType::ORX2),
    static_cast<std::uint32_t>(ChannelType::ILB1), static_cast<std::uint32_t>(ChannelType::ILB2),
    static_cast<std::uint32_t>(ChannelType::ELB1), static_cast<std::uint32_t>(ChannelType::ELB2),
};

// Index of channel-type bit in RxSlotTypes, or 8 when it is none of them.
std::size_t FindRxSlot(std::uint32_t channelType)
{
    std::size_t slot = 0;
    while (slot < 8 && RxSlotTypes[slot] != channelType) {
        ++slot;
    }
    return slot;
}

// Receive port codes with a slot pair of their own, in slot order.
std::size_t PortSlotPair(std::int32_t port, bool& known)
{
    known = true;
    switch (static_cast<Port>(port)) {
    case Port::RX: return 0;
    case Port::ORX: return 1;
    case Port::ILB: return 2;
    case Port::ELB: return 3;
    default: known = false; return 0;
    }
}

}  // namespace

std::size_t ChannelNumberToIndex(std::uint32_t channelNumber)
{
    if (channelNumber == 1) {
        return 0;
    }
    if (channelNumber == 2) {
        return 1;
    }
    ErrorHandler::Error("Unable to resolve the channel number", SourceUnit::Utilities, 27);
}

std::size_t PortChannelToIndex(std::int32_t port, std::uint32_t channelNumber)
{
    bool known = false;
    const std::size_t pair = PortSlotPair(port, known);
    return 2 * pair + (channelNumber == 2 ? 1 : 0);
}

std::uint32_t PortChannelToRxChannelType(std::int32_t port, std::uint32_t channelNumber)
{
    bool known = false;
    const std::size_t pair = PortSlotPair(port, known);
    if (!known || (channelNumber != 1 && channelNumber != 2)) {
        ErrorHandler::Error("Cannot convert given port and channelNumber to an RxChannel type",
                            SourceUnit::Utilities, 78);
    }
    return RxSlotTypes[2 * pair + (channelNumber - 1)];
}

std::size_t RxChannelTypeToIndex(std::uint32_t channelType)
{
    const std::size_t slot = FindRxSlot(channelType);
    if (slot == 8) {
        ErrorHandler::Error("Channel type not recognized", SourceUnit::Utilities, 110);
    }
    return slot;
}

std::int32_t RxChannelTypeToPort(std::uint32_t channelType)
{
    constexpr Port SlotPorts[4] = {Port::RX, Port::ORX, Port::ILB, Port::ELB};
    const std::size_t slot = FindRxSlot(channelType);
    if (slot == 8) {
        ErrorHandler::Error("Unrecognized channelType", SourceUnit::Utilities, 134);
    }
    return static_cast<std::int32_t>(SlotPorts[slot / 2]);
}

std::uint32_t RxChannelTypeToChannelNumber(std::uint32_t channelType)
{
    const std::size_t slot = FindRxSlot(channelType);
    if (slot == 8) {
        ErrorHandler::Error("Unrecognized channelType", SourceUnit::Utilities, 144);
    }
    return static_cast<std::uint32_t>(slot % 2 + 1);
}

std::size_t TxChannelNumberToIndex(std::uint32_t channelNumber)
{
    if (channelNumber == 1 || channelNumber == 2) {
        return channelNumber - 1;
    }
    ErrorHandler::Error("Unable to resolve the channel number", SourceUnit::Utilities, 153);
}

std::uint32_t TxChannelNumberToChannelType(std::uint32_t channelNumber)
{
    if (channelNumber == 1) {
        return static_cast<std::uint32_t>(ChannelType::TX1);
    }
    if (channelNumber == 2) {
        return static_cast<std::uint32_t>(ChannelType::TX2);
    }
    ErrorHandler::Error("Unable to resolve the channel number", SourceUnit::Utilities, 164);
}

std::size_t LoSelToIndex(vx_marlin_LoSel loSelect)
{
    // LO1 and LO2 are the device interface's selections 1 and 2.
    if (loSelect == 1 || loSelect == 2) {
        return static_cast<std::size_t>(loSelect - 1);
    }
    ErrorHandler::Error("Unsupported vx_marlin_LoSel_e", SourceUnit::Utilities, 172);
}

}  // namespace Veltrix::Marlin::Native::Decode
