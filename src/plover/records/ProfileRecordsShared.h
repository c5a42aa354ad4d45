#pragma once
// Device-interface records used by both the receive and the transmit side of
// a profile. Field order and widths are those of the device interface; every
// field is value-initialised so a record read from a file that lacks some keys
// holds zeros there.

#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"

namespace Veltrix::Marlin::Native {

struct marlin_NcoDpConfig_t {
    std::int32_t freq{};
    std::uint32_t sampleFreq{};
    std::uint16_t phase{};
    std::uint8_t realOut{};

    bool operator==(const marlin_NcoDpConfig_t&) const = default;
};

struct marlin_SsiConfig_t {
    vx_marlin_SsiType ssiType{};
    vx_marlin_SsiDataFormat ssiDataFormatSel{};
    vx_marlin_SsiNumLane numLaneSel{};
    vx_marlin_SsiStrobeType strobeType{};
    std::uint8_t lsbFirst{};
    std::uint8_t qFirst{};
    vx_marlin_SsiTxRefClockPin txRefClockPin{};
    bool lvdsIBitInversion{};
    bool lvdsQBitInversion{};
    bool lvdsStrobeBitInversion{};
    std::uint8_t lvdsUseLsbIn12bitMode{};
    bool lvdsRxClkInversionEn{};
    bool cmosDdrPosClkEn{};
    bool cmosClkInversionEn{};
    bool ddrEn{};
    bool rxMaskStrobeEn{};

    bool operator==(const marlin_SsiConfig_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
