#pragma once
// The engine's modelling search on its own: decimation and interpolation
// chains and a system clock for given rates, without a whole blueprint. The
// channel request is built the way a design builds it, from the default
// blueprint's first channel pair with these rates.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace Veltrix::Marlin {

enum class ChainSearchGoal : std::uint8_t {
    MaximizeBandwidth = 0,
    TargetRipple = 1,
    MinimizeRipple = 2,
};

struct ChainSearchRequest {
    ChainSearchRequest();  // the design's default system-clock bounds

    std::uint32_t rxRate_Hz = 0;
    std::uint32_t rxBandwidth_Hz = 0;
    std::uint32_t txRate_Hz = 0;  // 0: receive only
    std::uint32_t txBandwidth_Hz = 0;
    ChainSearchGoal goal = ChainSearchGoal::MaximizeBandwidth;
    double targetRipple_dB = 0.1;
    std::uint32_t minSystemClock_Hz;
    std::uint32_t maxSystemClock_Hz;
};

struct ChainSearchProgress {
    std::size_t ratiosVisited = 0;  // of ratioCount
    std::size_t ratioCount = 0;
    std::size_t pairsDesigned = 0;
    double bestRipple_dB = 0.0;
};

struct ChainSearchResult {
    std::int8_t status = 0;  // 0 when chains were found
    double systemClockFrequency_Hz = 0.0;
    std::array<std::int32_t, 16> rxChain{};
    std::array<std::int32_t, 16> txChain{};
    double rxRipple_dB = 0.0;
    double txRipple_dB = 0.0;
};

class ChainSearch {
public:
    // progress, when given, is called from the calling thread as the search goes.
    static ChainSearchResult Run(const ChainSearchRequest& request,
                                 const std::function<void(const ChainSearchProgress&)>& progress = {});
};

}  // namespace Veltrix::Marlin
