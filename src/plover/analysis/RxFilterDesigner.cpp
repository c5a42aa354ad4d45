#include "plover/analysis/RxFilterDesigner.h"

#include "engine/MagnitudeCompensation.h"
#include "plover/analysis/FrequencyUnits.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/RxChannel.h"
#include "plover/records/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

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

std::uint8_t RxFilterDesigner::MagComp_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                              const RxFilterRequest& request) const
{
    std::uint8_t status = 0;
    Engine_RxMagComp(request, taps21.coefficients.data(), taps13.coefficients.data(), status);
    const auto warn = [](const char* text, int line) {
        ErrorHandler::Message(LogLevel::WARNING, text, SourceUnit::FilterDesigner, line);
    };
    switch (status) {
    case MagCompRippleMissed: warn("filter design failed, where target ripple does not meet 0.1 dB", 678); break;
    case MagCompOutOfBandGain: warn("Generated filter has large out of band gain", 680); break;
    case MagCompAnalogAboveLowRate:
        warn("When designing the low rate filter(102X), the analog filter bandwidth exceeds 86% sample rate at the "
             "low rate filter position.",
             682);
        break;
    case MagCompBiquadLowRate:
        warn("Unsupported mode, Biquad cannot be used when low rate magcomp is enabled", 684);
        break;
    default: break;
    }
    return status;
}

}  // namespace Veltrix::Marlin::Native
