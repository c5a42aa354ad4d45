#pragma once
// The profile's programmable-FIR coefficient banks. A new set passes every
// receive channel filter through unchanged (the Unity filter) and holds no
// pulse shaping and no magnitude compensation until a design fills them.

#include "plover/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

class Pfir : public marlin_PfirBuffer_t {
public:
    Pfir();
    // The banks read back from a profile file, taken over whole.
    explicit Pfir(const marlin_PfirBuffer_t& buffer);
};

}  // namespace Veltrix::Marlin::Native
