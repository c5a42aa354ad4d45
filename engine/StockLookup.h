#pragma once
// The stock chains: a fixed chain for each of a few overall ratios, tried for
// every ratio that puts the rates on a clock inside the bounds.

#include <optional>

#include "engine/ChainDesign.h"

namespace Veltrix::Marlin::Native {

inline constexpr int MinClockRatio = 3;
inline constexpr int MaxClockRatio = 7680;

// The stock Rx chain of an overall ratio, when the row exists and passes the
// requested bandwidth ÷ sample rate.
std::optional<StageCodes> RxStockTable_Find(int ratio, double bandwidthRatio);
// As above for Tx; txSpecialMode swaps the 1920 row for the direct FM/FSK chain.
std::optional<StageCodes> TxStockTable_Find(int ratio, double bandwidthRatio, bool txSpecialMode);

// Fills `chains` with the chosen stock chains (zeros on failure) and returns the
// status: 0, -2, -3 or -4. Reads the records as mirrored by Engine_DesignChains.
double StockLookup(const EngineContext& context,
                   const ChannelDesignRecord& first,
                   const ChannelDesignRecord& second,
                   ChainSelection& chains);

}  // namespace Veltrix::Marlin::Native
