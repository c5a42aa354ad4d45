#pragma once
// The active stages of an Rx decimation or Tx interpolation chain, read from
// the request's stage bytes, as response stages ordered from the converter
// outwards, split at the position of the magnitude-compensation FIR.

#include <cstddef>
#include <vector>

#include "engine/AnalogModels.h"
#include "engine/ChainResponse.h"
#include "engine/EngineRecords.h"

namespace Veltrix::Marlin::Native {

struct PathLayout {
    std::vector<ResponseStage> front;  // converter side of the compensation position
    std::vector<ResponseStage> back;   // beyond it, towards the baseband interface
    double positionRate_Hz = 0.0;      // sample rate at the compensation position
    double converterRate_Hz = 0.0;
    AnalogFilterModel analog = AnalogFilterModel::Tia;
    ConverterModel converter = ConverterModel::LowPower;
    double analogCorner_Hz = 0.0;
};

// positionBytes: the number of stage bytes (from byte 0) ahead of the
// compensation position, 2 for the normal position and 5 for the low-rate one.
PathLayout RxPath_Layout(const RxFilterRequest& request, std::size_t positionBytes);
PathLayout TxPath_Layout(const TxFilterRequest& request, std::size_t positionBytes);

// The product of stage bytes 0 .. count-1 (a zero byte counts as 1).
double StageBytes_Product(const std::uint8_t* stages, std::size_t count);

}  // namespace Veltrix::Marlin::Native
