#pragma once
// JSON form of the device initialisation record tree. The conversions are
// found by the JSON library through argument-dependent lookup, so assigning a
// marlin_Init_t to a json value, or asking a json value for one, converts the
// whole tree.
//
// Writing puts every field under its own name: a json target sorts the keys,
// an ordered_json target keeps them in the records' declaration order.
// Reading applies the keys it finds and skips absent ones, so read into a
// value-initialised record.
// Booleans must be JSON booleans; other numeric fields take any number (a
// floating value is truncated toward zero) and are cast to the field's width;
// numeric fields that are not enumerations also take true/false as 1/0.
// Fixed arrays must hold at least their length. Every failure is the JSON
// library's own exception.

#include <nlohmann/json_fwd.hpp>

#include "plover/records/ProfileRecords.h"

namespace Veltrix::Marlin::Native {

using json = nlohmann::json;
// Same records with keys kept in declaration order, for the host's own form.
using ordered_json = nlohmann::ordered_json;

void to_json(json& j, const marlin_Init_t& r);
void from_json(const json& j, marlin_Init_t& r);

void to_json(json& j, const marlin_ClockSettings_t& r);
void from_json(const json& j, marlin_ClockSettings_t& r);
void to_json(json& j, const marlin_DeviceSysConfig_t& r);
void from_json(const json& j, marlin_DeviceSysConfig_t& r);
void to_json(json& j, const marlin_pllModulus_t& r);
void from_json(const json& j, marlin_pllModulus_t& r);
void to_json(json& j, const marlin_NcoDpConfig_t& r);
void from_json(const json& j, marlin_NcoDpConfig_t& r);
void to_json(json& j, const marlin_SsiConfig_t& r);
void from_json(const json& j, marlin_SsiConfig_t& r);

void to_json(json& j, const marlin_PfirBuffer_t& r);
void from_json(const json& j, marlin_PfirBuffer_t& r);
void to_json(json& j, const marlin_PfirWbNbBuffer_t& r);
void from_json(const json& j, marlin_PfirWbNbBuffer_t& r);
void to_json(json& j, const marlin_PfirPulseBuffer_t& r);
void from_json(const json& j, marlin_PfirPulseBuffer_t& r);
void to_json(json& j, const marlin_PfirMag21Buffer_t& r);
void from_json(const json& j, marlin_PfirMag21Buffer_t& r);
void to_json(json& j, const marlin_PfirMag13Buffer_t& r);
void from_json(const json& j, marlin_PfirMag13Buffer_t& r);

void to_json(json& j, const marlin_RxSettings_t& r);
void from_json(const json& j, marlin_RxSettings_t& r);
void to_json(json& j, const marlin_RxChannelCfg_t& r);
void from_json(const json& j, marlin_RxChannelCfg_t& r);
void to_json(json& j, const marlin_RxProfile_t& r);
void from_json(const json& j, marlin_RxProfile_t& r);
void to_json(json& j, const marlin_RxDpProfile_t& r);
void from_json(const json& j, marlin_RxDpProfile_t& r);
void to_json(json& j, const marlin_RxNbDecTop_t& r);
void from_json(const json& j, marlin_RxNbDecTop_t& r);
void to_json(json& j, const marlin_RxWbDecTop_t& r);
void from_json(const json& j, marlin_RxWbDecTop_t& r);
void to_json(json& j, const marlin_RxDecTop_t& r);
void from_json(const json& j, marlin_RxDecTop_t& r);
void to_json(json& j, const marlin_RxSincHbTop_t& r);
void from_json(const json& j, marlin_RxSincHbTop_t& r);
void to_json(json& j, const marlin_RxNbDemConfig_t& r);
void from_json(const json& j, marlin_RxNbDemConfig_t& r);
void to_json(json& j, const marlin_RxDpInFifoConfig_t& r);
void from_json(const json& j, marlin_RxDpInFifoConfig_t& r);
void to_json(json& j, const marlin_RxNbNcoConfig_t& r);
void from_json(const json& j, marlin_RxNbNcoConfig_t& r);
void to_json(json& j, const marlin_RxWbNbCompPFir_t& r);
void from_json(const json& j, marlin_RxWbNbCompPFir_t& r);
void to_json(json& j, const marlin_RxResampConfig_t& r);
void from_json(const json& j, marlin_RxResampConfig_t& r);
void to_json(json& j, const marlin_RxLnaConfig_t& r);
void from_json(const json& j, marlin_RxLnaConfig_t& r);

void to_json(json& j, const marlin_TxSettings_t& r);
void from_json(const json& j, marlin_TxSettings_t& r);
void to_json(json& j, const marlin_TxProfile_t& r);
void from_json(const json& j, marlin_TxProfile_t& r);
void to_json(json& j, const marlin_TxDpProfile_t& r);
void from_json(const json& j, marlin_TxDpProfile_t& r);
void to_json(json& j, const marlin_TxPreProc_t& r);
void from_json(const json& j, marlin_TxPreProc_t& r);
void to_json(json& j, const marlin_TxWbIntTop_t& r);
void from_json(const json& j, marlin_TxWbIntTop_t& r);
void to_json(json& j, const marlin_TxNbIntTop_t& r);
void from_json(const json& j, marlin_TxNbIntTop_t& r);
void to_json(json& j, const marlin_TxIntTop_t& r);
void from_json(const json& j, marlin_TxIntTop_t& r);
void to_json(json& j, const marlin_TxIntTopFreqDevMap_t& r);
void from_json(const json& j, marlin_TxIntTopFreqDevMap_t& r);
void to_json(json& j, const marlin_TxIqdmDuc_t& r);
void from_json(const json& j, marlin_TxIqdmDuc_t& r);

// Declaration-order forms (write only).
void to_json(ordered_json& j, const marlin_Init_t& r);
void to_json(ordered_json& j, const marlin_ClockSettings_t& r);
void to_json(ordered_json& j, const marlin_DeviceSysConfig_t& r);
void to_json(ordered_json& j, const marlin_pllModulus_t& r);
void to_json(ordered_json& j, const marlin_NcoDpConfig_t& r);
void to_json(ordered_json& j, const marlin_SsiConfig_t& r);
void to_json(ordered_json& j, const marlin_PfirBuffer_t& r);
void to_json(ordered_json& j, const marlin_PfirWbNbBuffer_t& r);
void to_json(ordered_json& j, const marlin_PfirPulseBuffer_t& r);
void to_json(ordered_json& j, const marlin_PfirMag21Buffer_t& r);
void to_json(ordered_json& j, const marlin_PfirMag13Buffer_t& r);
void to_json(ordered_json& j, const marlin_RxSettings_t& r);
void to_json(ordered_json& j, const marlin_RxChannelCfg_t& r);
void to_json(ordered_json& j, const marlin_RxProfile_t& r);
void to_json(ordered_json& j, const marlin_RxDpProfile_t& r);
void to_json(ordered_json& j, const marlin_RxNbDecTop_t& r);
void to_json(ordered_json& j, const marlin_RxWbDecTop_t& r);
void to_json(ordered_json& j, const marlin_RxDecTop_t& r);
void to_json(ordered_json& j, const marlin_RxSincHbTop_t& r);
void to_json(ordered_json& j, const marlin_RxNbDemConfig_t& r);
void to_json(ordered_json& j, const marlin_RxDpInFifoConfig_t& r);
void to_json(ordered_json& j, const marlin_RxNbNcoConfig_t& r);
void to_json(ordered_json& j, const marlin_RxWbNbCompPFir_t& r);
void to_json(ordered_json& j, const marlin_RxResampConfig_t& r);
void to_json(ordered_json& j, const marlin_RxLnaConfig_t& r);
void to_json(ordered_json& j, const marlin_TxSettings_t& r);
void to_json(ordered_json& j, const marlin_TxProfile_t& r);
void to_json(ordered_json& j, const marlin_TxDpProfile_t& r);
void to_json(ordered_json& j, const marlin_TxPreProc_t& r);
void to_json(ordered_json& j, const marlin_TxWbIntTop_t& r);
void to_json(ordered_json& j, const marlin_TxNbIntTop_t& r);
void to_json(ordered_json& j, const marlin_TxIntTop_t& r);
void to_json(ordered_json& j, const marlin_TxIntTopFreqDevMap_t& r);
void to_json(ordered_json& j, const marlin_TxIqdmDuc_t& r);

}  // namespace Veltrix::Marlin::Native
