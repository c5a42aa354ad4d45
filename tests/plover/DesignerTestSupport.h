#pragma once
// Blueprint set-up and chain arithmetic shared by the filter designer's tests.

#include <cstdint>

#include "plover/blueprint/Blueprint.h"
#include "plover/design/FilterDesigner.h"

namespace DesignerTest {

using namespace Veltrix::Marlin::Native;

inline constexpr std::uint32_t Clock184_Hz = 184320000;

inline void Enable(ChannelBlueprint& channel, std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    channel.enabled = true;
    channel.samplingRate_Hz(rate_Hz);
    channel.rfChannelBandwidth_Hz = bandwidth_Hz;
}

// Product of the chain stages 2 to 17.
template <typename Path>
std::uint64_t ChainRatio(const Path& path)
{
    std::uint64_t ratio = 1;
    for (std::size_t stage = 2; stage <= 17; ++stage) {
        ratio *= path.stages[stage];
    }
    return ratio;
}

inline std::uint64_t RxClock(const RxChannelBlueprint& rx) { return rx.samplingRate_Hz() * ChainRatio(rx.dataPath); }

inline std::uint64_t TxClock(const TxChannelBlueprint& tx)
{
    return tx.samplingRate_Hz() * ChainRatio(tx.dataPath) * tx.dataPath.stages[TxPath::PreprocessorStage];
}

// Opens the designer's steps to the tests.
class DesignerProbe : public FilterDesigner {
public:
    using FilterDesigner::Blueprint_Prepare;
};

}  // namespace DesignerTest
