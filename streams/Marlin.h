#pragma once
// The Marlin chip as a stream-generator device: a core processor and one
// processor for each transmitter and receiver, silicon versions "c0" and "b0".

#include <string>

#include "streams/Device.h"

namespace Veltrix::Runnel {

class Marlin : public Device {
public:
    // siVersion is matched without regard to case; an empty topLevelPath takes
    // the resource folder under APPDATA.
    Marlin(const std::string& siVersion, const std::string& topLevelPath);
};

}  // namespace Veltrix::Runnel
