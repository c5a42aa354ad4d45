#pragma once
// Builders for Engine_DesignChains requests and readers of its outputs.

#include <array>
#include <cstdint>

#include "engine/ChainDesign.h"

namespace ChainDesignTest {

using namespace Veltrix::Marlin::Native;

inline ChannelDesignRecord Rx(std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    ChannelDesignRecord r;
    r.rxEnabled = 1;
    r.rxSampleRate_Hz = rate_Hz;
    r.rxBandwidth_Hz = bandwidth_Hz;
    return r;
}

inline ChannelDesignRecord Tx(std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    ChannelDesignRecord r;
    r.txEnabled = 1;
    r.txSampleRate_Hz = rate_Hz;
    r.txBandwidth_Hz = bandwidth_Hz;
    return r;
}

inline ChannelDesignRecord RxTx(std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    ChannelDesignRecord r = Rx(rate_Hz, bandwidth_Hz);
    r.txEnabled = 1;
    r.txSampleRate_Hz = rate_Hz;
    r.txBandwidth_Hz = bandwidth_Hz;
    return r;
}

// Stage bytes of a direction that was not designed.
inline const std::array<std::uint8_t, 18> Zero{};

struct DesignRun {
    std::int8_t status = 0;
    ChannelDesignOutput first;
    ChannelDesignOutput second;
};

inline DesignRun Design(const DesignCriteria& criteria, const ChannelDesignRecord& first, const ChannelDesignRecord& second = {})
{
    DesignRun run;
    run.status = Engine_DesignChains(criteria, first, second, run.first, run.second);
    return run;
}

// Overall ratio of the chain in stage bytes 2..17.
inline double Ratio(const std::array<std::uint8_t, 18>& stages)
{
    double product = 1.0;
    for (std::size_t i = 2; i < stages.size(); ++i) product *= stages[i];
    return product;
}

}  // namespace ChainDesignTest
