#pragma once
// The device initialisation record: the whole designed profile in the layout
// of the device interface, and the content of a profile file. Its sections
// follow one another in the order clocks, rx, tx, sysConfig, pfirBuffer.
// Declare it value-initialised; the JSON reader relies on that for absent keys.

#include "plover/records/ProfileRecordsPfir.h"
#include "plover/records/ProfileRecordsRx.h"
#include "plover/records/ProfileRecordsShared.h"
#include "plover/records/ProfileRecordsSystem.h"
#include "plover/records/ProfileRecordsTx.h"

namespace Veltrix::Marlin::Native {

struct marlin_Init_t {
    marlin_ClockSettings_t clocks{};
    marlin_RxSettings_t rx{};
    marlin_TxSettings_t tx{};
    marlin_DeviceSysConfig_t sysConfig{};
    marlin_PfirBuffer_t pfirBuffer{};

    bool operator==(const marlin_Init_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
