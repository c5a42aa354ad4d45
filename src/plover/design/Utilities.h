#pragma once
// Index conversions shared by the channel code, and the SSI format and lane
// rules that every channel's serial data interface must obey before it is
// stored. The clocking rules, which need the system clock, live with the
// filter designer (SsiRules.h).

#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsShared.h"

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

// SSI signalling types that the rules distinguish; any other value means the
// interface is disabled and no rule applies.
inline constexpr vx_marlin_SsiType SsiTypeCmos = 1;
inline constexpr vx_marlin_SsiType SsiTypeLvds = 2;

// Largest ssiNumLane value: 0, 1, 2 select one, two and four lanes.
inline constexpr vx_marlin_SsiNumLane SsiNumLaneMax = 2;

// Format and lane rules of a CMOS or LVDS interface. Reports the first broken
// rule as an ERROR and returns -1; 0 when the setting is valid. The data rate
// takes part in no format rule.
std::int8_t Ssi_Validate(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                         vx_marlin_SsiNumLane ssiNumLane, SsiDataRate ssiDataRate);

// Validates the settings (Ssi_Validate) and, when they hold, writes them into
// `ssi` with the bit-order and inversion options at their plain values. The
// direction's own fields (txRefClockPin, rxMaskStrobeEn) are the caller's.
std::int8_t SsiConfig_Set(marlin_SsiConfig_t& ssi, vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                          vx_marlin_SsiNumLane ssiNumLane, SsiDataRate ssiDataRate,
                          vx_marlin_SsiStrobeType ssiStrobeType);

}  // namespace Veltrix::Marlin::Native
