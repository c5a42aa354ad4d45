#pragma once
// The profile's programmable-FIR coefficient banks. A new set passes every
// receive channel filter through unchanged (the Unity filter) and holds no
// pulse shaping and no magnitude compensation until a design fills them.

#include <cstdint>

#include "plover/records/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

class RxChannel;
class TxChannel;

class Pfir : public marlin_PfirBuffer_t {
public:
    Pfir();
    // The banks read back from a profile file, taken over whole.
    explicit Pfir(const marlin_PfirBuffer_t& buffer);

    // Magnitude compensation and filter banks of a designed receiver or
    // transmitter (PfirMagComp.h). 0, or -1 after an ERROR line.
    std::int8_t RxMagnitudeCompensation_Design(const RxChannel& channel);
    std::int8_t TxMagnitudeCompensation_Design(const TxChannel& channel);
};

}  // namespace Veltrix::Marlin::Native
