#pragma once
// What the stream generator needs to know of a designed profile. The stream
// library depends on nothing of the design layer, so the profile's numbers
// are handed over in its own record.

#include "plover/Profile.h"
#include "streams/StreamProfileFacts.h"

namespace Veltrix::Marlin {

Runnel::StreamProfileFacts StreamFacts_Get(const Native::Profile& profile);

}  // namespace Veltrix::Marlin
