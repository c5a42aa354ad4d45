#include "plover/analysis/TxFilterDesigner.h"

#include "engine/MagnitudeCompensation.h"
#include "plover/analysis/FrequencyUnits.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/TxChannel.h"
#include "plover/records/ProfileRecordsPfir.h"

namespace Veltrix::Marlin::Native {

namespace {

// Transmitters below this rate are narrowband.
constexpr std::uint32_t NarrowbandRateLimit_Hz = 1000000;
constexpr float TxRippleTarget_dB = 0.1f;

}  // namespace

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
