// The filter designers' magnitude-compensation entries: they hand a channel's
// request to the design engine and turn its status into the user's messages.

#include "engine/MagnitudeCompensation.h"
#include "plover/analysis/ChannelFilterDesigner.h"
#include "plover/base/ErrorHandler.h"
#include "plover/records/ProfileRecordsPfir.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

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

std::int8_t TxFilterDesigner::MagComp_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                             const TxFilterRequest& request) const
{
    std::int32_t status = 0;
    Engine_TxMagComp(request, taps21.coefficients.data(), taps13.coefficients.data(), status);
    if (status >= 1) {
        ErrorHandler::Message(LogLevel::ERROR, "Error designing magnitude compensation filter",
                              SourceUnit::FilterDesigner, 736);
        return -1;
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
