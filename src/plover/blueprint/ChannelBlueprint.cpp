#include "plover/blueprint/ChannelBlueprint.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr vx_marlin_SsiType SsiCmos = 1;

}  // namespace

void ChannelBlueprint::samplingRate_Hz(std::uint32_t value)
{
    samplingRate_Hz_ = value;
    if (ssiRateFollowsSamplingRate_) {
        ssiInterfaceRate_Hz_ = value;
    }
}

void ChannelBlueprint::ssiInterfaceRate_Hz(std::uint32_t value)
{
    ssiInterfaceRate_Hz_ = value;
    ssiRateFollowsSamplingRate_ = false;
}

std::uint32_t SsiBitsPerSample_Get(vx_marlin_SsiDataFormat format)
{
    static constexpr std::uint32_t bits[] = {2, 8, 16, 24, 32, 32, 64};
    if (format < 0 || format > 6) {
        ErrorHandler::Error("Unrecognized SSI data format.", SourceUnit::BlueprintHeader, 192);
    }
    return bits[format];
}

std::uint32_t ChannelBlueprint::SsiClock_Get() const
{
    const std::uint32_t bitsPerSample = SsiBitsPerSample_Get(ssiDataFormat);
    // Lane count is 2 to the power of the lane setting (0, 1, 2 = 1, 2, 4
    // lanes); settings the SSI rules reject elsewhere must not shift out of range.
    const std::uint32_t lanes =
        (ssiNumLane >= 0 && ssiNumLane < 32) ? (std::uint32_t{1} << ssiNumLane) : std::uint32_t{1};
    std::uint32_t clock = ssiInterfaceRate_Hz_ * bitsPerSample / lanes;
    if (ssiType == SsiCmos && ssiDataRate == SsiDataRate::DOUBLE) {
        clock /= 2;
    }
    return clock;
}

void TxChannelBlueprint::channelSignalType(vx_marlin_TxSignalType value)
{
    channelSignalType_ = value;
    dataPath.isDirectFmFsk(value == TxSignalType::DIRECT_FM_FSK);
}

}  // namespace Veltrix::Marlin::Native
