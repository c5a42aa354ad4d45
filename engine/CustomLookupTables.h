#pragma once
// Chains for rates the stock tables do not reach, one table per direction.
// Each half of a table holds one converter family (the by-3 stage, or the two
// half-bands), rows ordered from high to low rate: Rx rows 0..55 are by-3
// chains and 56..111 half-band chains; Tx the other way round.

#include <array>
#include <cstdint>

namespace Veltrix::Marlin::Native {

struct CustomLookupRow {
    std::int32_t nominalRate_Hz;
    std::int32_t maxBandwidth_Hz;   // widest channel the row's chain passes
    double windowLower_Hz;          // rates the row accepts, inclusive
    double windowUpper_Hz;
    std::array<std::int8_t, 16> codes;
};

inline constexpr std::size_t CustomLookupRows = 112;

extern const std::array<CustomLookupRow, CustomLookupRows> RxCustomLookupTable;
extern const std::array<CustomLookupRow, CustomLookupRows> TxCustomLookupTable;

}  // namespace Veltrix::Marlin::Native
