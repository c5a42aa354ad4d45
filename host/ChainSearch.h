#pragma once
/// @file
/// The engine's modelling search on its own: decimation and interpolation
/// chains and a system clock for given rates, without a whole blueprint. The
/// channel request is built the way a design builds it, from the default
/// blueprint's first channel pair with these rates.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace Veltrix::Marlin {

/// What the search optimises.
enum class ChainSearchGoal : std::uint8_t {
    MaximizeBandwidth = 0,  ///< the widest passband at acceptable ripple
    TargetRipple = 1,       ///< stop at the first pair within the target ripple
    MinimizeRipple = 2,     ///< the lowest ripple over every clock ratio
};

/// The rates and bounds of one search.
struct ChainSearchRequest {
    /// Zero rates, the default goal and the design's default system-clock bounds.
    ChainSearchRequest();

    std::uint32_t rxRate_Hz = 0;       ///< receive sampling rate
    std::uint32_t rxBandwidth_Hz = 0;  ///< receive RF bandwidth
    std::uint32_t txRate_Hz = 0;       ///< transmit sampling rate; 0: receive only
    std::uint32_t txBandwidth_Hz = 0;  ///< transmit RF bandwidth
    ChainSearchGoal goal = ChainSearchGoal::MaximizeBandwidth;  ///< what to optimise
    double targetRipple_dB = 0.1;      ///< passband ripple aimed at by TargetRipple
    std::uint32_t minSystemClock_Hz;   ///< lowest system clock tried
    std::uint32_t maxSystemClock_Hz;   ///< highest system clock tried
};

/// How far a search has come.
struct ChainSearchProgress {
    std::size_t ratiosVisited = 0;  ///< clock ratios tried so far, of ratioCount
    std::size_t ratioCount = 0;     ///< clock ratios in all
    std::size_t pairsDesigned = 0;  ///< receive/transmit chain pairs designed
    double bestRipple_dB = 0.0;     ///< the best ripple found so far
};

/// The chosen chains and clock.
struct ChainSearchResult {
    std::int8_t status = 0;                  ///< 0 when chains were found
    double systemClockFrequency_Hz = 0.0;    ///< the chosen system clock; 0 when none
    std::array<std::int32_t, 16> rxChain{};  ///< receive stage codes
    std::array<std::int32_t, 16> txChain{};  ///< transmit stage codes
    double rxRipple_dB = 0.0;                ///< receive passband ripple
    double txRipple_dB = 0.0;                ///< transmit passband ripple
};

/// The modelling search entry point.
class ChainSearch {
public:
    /// Runs the search; progress, when given, is called on the calling thread as it goes.
    static ChainSearchResult Run(const ChainSearchRequest& request,
                                 const std::function<void(const ChainSearchProgress&)>& progress = {});
};

}  // namespace Veltrix::Marlin
