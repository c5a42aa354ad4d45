#pragma once
// The steps of a profile assembly, shared by the units that implement them.
// Each works on the working profile and returns 0 or the failing status.

#include <array>
#include <cstdint>
#include <string>

#include "plover/blueprint/Blueprint.h"
#include "plover/profile/Profile.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

// ADC type of each main receiver (by channel index), borrowed by the
// observation and loop-back receivers of the transmitter with that number.
using ReceiverAdcTypes = std::array<vx_marlin_AdcType, 2>;

// The blueprint key of a channel, which names the channel a report is about;
// the observation and loop-back receivers go by their transmitter's.
inline std::string ChannelSubject(bool tx, std::size_t index)
{
    return (tx ? "txChannel" : "rxChannel") + std::to_string(index + 1);
}

// RX1 and RX2 from the enabled receive blueprints.
std::int8_t ReceiveChannels_Add(Profile& profile, const MarlinBlueprint& blueprint, ReceiverAdcTypes& adcTypes);
// TX1 and TX2 with their observation and loop-back receivers.
std::int8_t TransmitChannels_Add(Profile& profile, const MarlinBlueprint& blueprint,
                                 const ReceiverAdcTypes& adcTypes);
// Records a channel's LO source; only the Rx and Tx ports have one.
std::int8_t ChannelLoSource_Store(Profile& profile, std::uint8_t port, std::uint8_t channelNumber, LoSource source);

// ADC and analog filter of every receive slot, DAC and PFIR entries of every
// transmitter, the transmit LO divider modes.
std::int8_t Converters_Configure(Profile& profile, const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz);
// Magnitude compensation of each main receiver, or of the internal loop-back
// receiver of a transmitter whose main receiver is off.
std::int8_t MagnitudeCompensation_Design(Profile& profile);

}  // namespace Veltrix::Marlin::Native
