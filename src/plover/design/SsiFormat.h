#pragma once
// The SSI format and lane rules that every channel's serial data interface
// must obey before it is stored. The clocking rules, which need the system
// clock, live with the filter designer (SsiRules.h).

#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/DeviceInterfaceTypes.h"
#include "plover/records/ProfileRecordsShared.h"

namespace Veltrix::Marlin::Native {

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
