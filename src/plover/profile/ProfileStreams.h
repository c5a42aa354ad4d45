#pragma once
// What a profile hands to stream generation. The stream library knows nothing
// of profiles; it takes these facts, and the profile's stream operations
// (declared in Profile.h) are thin calls into it.

#include "plover/profile/Profile.h"
#include "streams/StreamProfileFacts.h"

namespace Veltrix::Marlin::Native {

// The processor clock, the transmitters in use with their number and output
// signalling, the four LO sources, the receivers' RF inputs and port-impedance
// control, the LO1 mode and the two PLL waits of the profile.
Veltrix::Runnel::StreamProfileFacts StreamProfileFacts_Get(const Profile& profile);

}  // namespace Veltrix::Marlin::Native
