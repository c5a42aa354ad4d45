#pragma once
// Device-interface enumerations: the device's own programming interface. They
// are carried through unchanged as 32-bit integers, so they stay plain integers.

#include <cstdint>

namespace Veltrix::Marlin::Native {

using vx_marlin_LoSel = std::int32_t;
using vx_marlin_RxSignalType = std::int32_t;
using vx_marlin_TxSignalType = std::int32_t;
using vx_marlin_AdcType = std::int32_t;
using vx_marlin_RxRfInputSel = std::int32_t;
using vx_marlin_RxGainTableType = std::int32_t;
using vx_marlin_SsiType = std::int32_t;
using vx_marlin_SsiDataFormat = std::int32_t;
using vx_marlin_SsiNumLane = std::int32_t;
using vx_marlin_SsiStrobeType = std::int32_t;
using vx_marlin_SsiTxRefClockPin = std::int32_t;
using vx_marlin_ExtLoType = std::int32_t;
using vx_marlin_ComponentPowerLevel_e = std::int32_t;
using vx_marlin_PllCalibration = std::int32_t;
using vx_marlin_NumDynamicProfiles = std::int32_t;
using vx_marlin_FhMode_e = std::int32_t;
using vx_marlin_McsMode = std::int32_t;
using vx_common_ChannelNumber = std::int32_t;

}  // namespace Veltrix::Marlin::Native
