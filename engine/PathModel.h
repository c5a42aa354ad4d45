#pragma once
// A designed Rx or Tx path as the response entries evaluate it: its stages
// from the converter outwards with the magnitude-compensation filters in
// place, and beside each stage the filter itself (name, rate, factor, taps),
// so that what is listed and what is evaluated cannot drift apart.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineRecords.h"
#include "engine/PathStages.h"

namespace Veltrix::Marlin::Native {

struct PathFilter {
    std::string name;      // "SINC6", "HB3", "COMP21", ...
    int factor = 1;        // rate change; 1 for a filter that keeps the rate
    double rate_Hz = 0.0;  // the rate it runs at: its converter-side rate
    std::vector<double> taps;               // unity gain is 1.0
    std::vector<std::int32_t> fixedTaps;    // the integers the hardware holds
    double unity = 1.0;                     // the integer that stands for 1.0
};

struct PathModel {
    PathLayout layout;
    std::vector<ResponseStage> stages;  // converter outwards, compensation included
    std::vector<PathFilter> filters;    // one per stage, same order
    // False when there is nothing to evaluate: no converter clock or stages,
    // or the compensation pre-check refused the request (status then holds
    // its code, 252 or 253).
    bool evaluable = false;
    std::uint8_t status = 0;
};

// withCompensation false lists the compensation filters with a single unity
// tap instead of designing them (the design is the costly part): enough for
// naming the stages, not for evaluating them.
PathModel RxPath_Model(const RxFilterRequest& request, bool withCompensation = true);
PathModel TxPath_Model(const TxFilterRequest& request, bool withCompensation = true);

// The printed name of a fixed coefficient set (a StageFilter value).
std::string StageFilter_Name(int fixedSet);

}  // namespace Veltrix::Marlin::Native
