#pragma once
// Turns a designed data path into the named hardware block enables of the
// device's channel profile. The receive map can meet selection bytes that
// name no hardware variant; it reports them and fails. Every transmit stage
// byte has a meaning, so its map cannot fail.

#include <cstdint>

#include "plover/blueprint/DataPath.h"
#include "plover/records/ProfileRecordsRx.h"
#include "plover/records/ProfileRecordsTx.h"

namespace Veltrix::Marlin::Native {

// Fills sincMux, hbMux and the rxDecTop, rxWbDecTop and rxNbDecTop enables.
// 0 on success, -1 after an ERROR line for an unknown selection byte (the
// fields written before it keep their new values).
std::int8_t RxStageMap_Apply(const RxPath& path, marlin_RxDpProfile_t& profile);

// Fills the txIntTop, txWbIntTop and txNbIntTop enables. Always 0.
std::int8_t TxStageMap_Apply(const TxPath& path, marlin_TxDpProfile_t& profile);

}  // namespace Veltrix::Marlin::Native
