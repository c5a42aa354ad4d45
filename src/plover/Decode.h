#pragma once
// Conversions between the numbers users and the device interface speak
// (channel numbers 1 and 2, port codes, channel-type bits, LO selections) and
// the indices our arrays use. Every conversion throws on a value outside its
// list: such a value can only come from a programming error upstream.

#include <cstddef>
#include <cstdint>

#include "plover/Enums.h"

namespace Veltrix::Marlin::Native {

// Port codes of the device interface.
enum class Port : std::int32_t {
    RX = 0,
    TX = 1,
    ORX = 2,
    ILB = 3,
    ELB = 4,
};

namespace Decode {

// Channel number 1 or 2 to array index 0 or 1.
std::size_t ChannelNumberToIndex(std::uint32_t channelNumber);

// Receive-side slot of a (port, channel number) pair: RX 0/1, ORX 2/3, ILB 4/5,
// ELB 6/7. Ports without a receive slot of their own read as RX; a channel
// number other than 2 reads as 1. Never throws.
std::size_t PortChannelToIndex(std::int32_t port, std::uint32_t channelNumber);

// (port, channel number) to the receive channel-type bit (RX1 1 ... ELB2 512).
std::uint32_t PortChannelToRxChannelType(std::int32_t port, std::uint32_t channelNumber);

// Receive channel-type bit to profile slot 0..7 (RX1, RX2, ORX1, ..., ELB2).
std::size_t RxChannelTypeToIndex(std::uint32_t channelType);

// Receive channel-type bit to its port code: RX 0, ORX 2, ILB 3, ELB 4.
std::int32_t RxChannelTypeToPort(std::uint32_t channelType);

// Receive channel-type bit to channel number 1 or 2.
std::uint32_t RxChannelTypeToChannelNumber(std::uint32_t channelType);

// Transmitter number 1 or 2 to index 0 or 1, and to its type bit TX1 4 / TX2 8.
std::size_t TxChannelNumberToIndex(std::uint32_t channelNumber);
std::uint32_t TxChannelNumberToChannelType(std::uint32_t channelNumber);

// LO selection LO1 / LO2 to LO index 0 / 1.
std::size_t LoSelToIndex(vx_marlin_LoSel loSelect);

}  // namespace Decode
}  // namespace Veltrix::Marlin::Native
