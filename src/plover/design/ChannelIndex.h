#pragma once
// Channel numbers and ports as the interfaces name them, and the array
// indices and profile slots the code keeps them in.

#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

// Port codes of the channel interfaces.
enum PortCode : std::uint8_t {
    PortRx = 0,
    PortTx = 1,
    PortOrx = 2,
    PortIlb = 3,
    PortElb = 4,
};

// Channels are numbered 1 and 2 at every interface and indexed 0 and 1 in
// arrays. Every conversion throws (recorded) on an input outside its list.
namespace Decode {

std::uint8_t ChannelNumberToIndex(std::uint8_t channelNumber);

// Slot of a profile's eight receive-side channels: RX 0/1, ORX 2/3, ILB 4/5,
// ELB 6/7. A port outside the receive-side ports counts as Rx.
std::uint8_t PortChannelToIndex(std::uint8_t port, std::uint8_t channelNumber);

ChannelType PortChannelToRxChannelType(std::uint8_t port, std::uint8_t channelNumber);
std::uint8_t RxChannelTypeToSlot(ChannelType type);
// The port code of a receive-side channel type: 0 main, 2 ORx, 3 ILB, 4 ELB.
std::uint8_t RxChannelTypeToPort(ChannelType type);

std::uint8_t TxChannelNumberToIndex(std::uint8_t channelNumber);
ChannelType TxChannelNumberToChannelType(std::uint8_t channelNumber);

// LO1 gives 0, LO2 gives 1.
std::uint8_t LoSelToIndex(vx_marlin_LoSel loSelect);

}  // namespace Decode

}  // namespace Veltrix::Marlin::Native
