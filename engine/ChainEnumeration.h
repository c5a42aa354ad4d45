#pragma once
// Every chain an option set admits, as rows of 16 stage codes with their
// bandwidth factors and option indices, stored column-wise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/ChainOptions.h"
#include "engine/EngineRecords.h"

namespace Veltrix::Marlin::Native {

struct ChainList {
    std::array<std::vector<double>, 16> codes;
    std::array<std::vector<double>, 16> bandwidthFactors;
    std::array<std::vector<std::uint8_t>, 16> optionIndices;
    std::vector<double> ratio;           // product of the 16 codes
    std::vector<double> converterRatio;  // product of codes 0..2

    std::size_t size() const { return ratio.size(); }
    StageCodes Row(std::size_t row) const;
    double BandwidthFactorProduct(std::size_t row) const;
};

// Product in 16-bit signed arithmetic, held at -32,768 and 32,767 after each step.
std::int16_t SaturatingProduct16(const double* codes, std::size_t count);

// Walks every combination like an odometer (position 0 fastest), keeps those
// whose converter end is (3, 1, 1) or (1, 2, 2) and whose saturated product is
// non-zero, and returns them with the last accepted combination first.
ChainList ChainList_Enumerate(const ChainOptionSet& options, bool isDebug);

}  // namespace Veltrix::Marlin::Native
