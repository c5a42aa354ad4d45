#include "plover/analysis/ChannelFilterDesigner.h"

#include <limits>

#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

namespace Veltrix::Marlin::Native {

namespace {

// kHz to Hz; a value beyond 32 bits is held at the largest one rather than wrapped.
std::uint32_t KilohertzToHertz(std::uint32_t value_kHz)
{
    const std::uint64_t value_Hz = std::uint64_t{value_kHz} * 1000;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value_Hz > largest ? largest : value_Hz);
}

// Transmitters below this rate are narrowband.
constexpr std::uint32_t NarrowbandRateLimit_Hz = 1000000;
constexpr float TxRippleTarget_dB = 0.1f;

}  // namespace

std::int8_t RxFilterDesigner::FilterRequest_Build(RxFilterRequest& request, const RxChannel& channel,
                                                  std::int32_t compensationMode, std::int32_t hb012Select,
                                                  std::uint32_t analogBandwidth_kHz, std::int32_t analogFilterSelect,
                                                  std::int32_t highPowerSelect, double rippleTarget_dB) const
{
    const auto& stages = channel.dataPath.stages;
    request.analogBandwidth_Hz = KilohertzToHertz(analogBandwidth_kHz);
    request.channelBandwidth_Hz = channel.primarySigBandwidth_Hz;
    request.converterRate_Hz = KilohertzToHertz(channel.adcClk_kHz);
    request.highPowerAdc = highPowerSelect == 1 ? 1 : 0;
    request.tiaFilter = analogFilterSelect == 1 ? 1 : 0;
    request.stages = stages.data();
    request.mode0 = hb012Select == 2 ? stages[RxPath::Hb012SelectStage] : 2;
    request.mode1 = stages[RxPath::Hb34SelectStage];
    request.mode2 = stages[RxPath::Hb56SelectStage];
    request.mode3 = stages[RxPath::WblpfStage] == ToInt(WidebandFilterSelect::BW_92) ? 1 : 0;
    request.mode4 = (compensationMode == 1 || compensationMode == 2) ? 2 : 1;
    request.rippleTarget_dB = static_cast<float>(rippleTarget_dB);
    return 0;
}

std::int8_t TxFilterDesigner::FilterRequest_Build(TxFilterRequest& request, const TxChannel& channel) const
{
    const auto& stages = channel.dataPath.stages;
    request.analogBandwidth_Hz = KilohertzToHertz(channel.txBbf3dBCorner_kHz);
    request.channelBandwidth_Hz = channel.primarySigBandwidth_Hz;
    request.converterRate_Hz = KilohertzToHertz(channel.dacClk_kHz);
    request.stages = stages.data();
    request.option0 = stages[TxPath::Int3Sinc3SelectStage] >= ToInt(TxInt3Sinc3::INT3) ? 1 : 0;
    request.option1 = stages[TxPath::WblpfStage] == ToInt(WidebandFilterSelect::BW_92) ? 1 : 0;
    request.option2 = 1;
    request.narrowband = channel.samplingRate_Hz < NarrowbandRateLimit_Hz ? 1 : 0;
    request.rippleTarget_dB = TxRippleTarget_dB;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
