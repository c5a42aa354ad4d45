#include "engine/ResponseEntries.h"

#include <algorithm>
#include <cmath>

#include "engine/MagnitudeCompensation.h"
#include "engine/PathEvaluation.h"

namespace Veltrix::Marlin::Native {

namespace {

ResponseStage CompensationStage(std::span<const double> taps) { return ResponseStage_FromTaps(taps, 1); }

}  // namespace


std::size_t RxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz)
{
    if (converterRate_Hz == 0) {
        return 0;
    }
    const double bin = static_cast<double>(converterRate_Hz) / static_cast<double>(ResponseGridPoints);
    const double count = std::ceil(static_cast<double>(channelBandwidth_Hz) / 2.0 / bin);
    return static_cast<std::size_t>(std::clamp(count, 0.0, static_cast<double>(ResponseGridPoints)));
}

std::size_t TxPassband_Bins(std::uint32_t channelBandwidth_Hz, std::uint32_t converterRate_Hz)
{
    if (converterRate_Hz == 0) {
        return 0;
    }
    const double bin = static_cast<double>(converterRate_Hz) / static_cast<double>(ResponseGridPoints);
    const double count = std::floor(static_cast<double>(channelBandwidth_Hz) / 2.0 / bin);
    return static_cast<std::size_t>(std::clamp(count, 0.0, static_cast<double>(ResponseGridPoints)));
}

// Both buffers are zeroed when nothing is evaluated; otherwise every point of
// both is written by the evaluation.
static void ClearBuffers(double* grid_Hz, double* response_dB)
{
    std::fill(grid_Hz, grid_Hz + ResponseGridPoints, 0.0);
    std::fill(response_dB, response_dB + ResponseGridPoints, 0.0);
}

void Engine_RxResponse(const RxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB)
{
    const CompensationDesign design = RxCompensation_Design(request);
    if (design.report.status == MagCompAnalogAboveLowRate || design.report.status == MagCompBiquadLowRate) {
        ClearBuffers(grid_Hz, response_dB);
        status = design.report.status;
        return;
    }
    if (request.converterRate_Hz == 0 || request.stages == nullptr) {
        ClearBuffers(grid_Hz, response_dB);
        status = 0;
        return;
    }
    const bool compensate = request.mode4 == 1 || request.mode4 == 2;
    const PathLayout layout = RxPath_Layout(request, request.mode4 == 2 ? 5 : 2);
    const ResponseStage compensation = CompensationStage(design.taps21);
    const auto stages = Path_WithCompensation(layout, compensate ? &compensation : nullptr, nullptr, nullptr);
    ResponseWorkspace workspace;
    Path_Response(layout, stages, ResponseGridPoints, grid_Hz, response_dB, workspace);
    const double ripple =
        Passband_Ripple_dB(response_dB, RxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz));
    status = ResponseStatus_FromRipple(ripple);
}

void Engine_TxResponse(const TxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB)
{
    if (request.converterRate_Hz == 0 || request.stages == nullptr) {
        ClearBuffers(grid_Hz, response_dB);
        status = 0;
        return;
    }
    const CompensationDesign design = TxCompensation_Design(request);
    const PathLayout layout = TxPath_Layout(request, 2);
    const PathLayout lowRateLayout = TxPath_Layout(request, 5);
    const ResponseStage compensation = CompensationStage(design.taps21);
    std::array<double, 13> lowRateTaps = design.taps13;
    const bool narrowband = request.narrowband != 0 && design.lowRate13;
    const ResponseStage lowRate = CompensationStage(lowRateTaps);
    const auto stages = Path_WithCompensation(layout, &compensation, narrowband ? &lowRateLayout : nullptr,
                                              narrowband ? &lowRate : nullptr);
    ResponseWorkspace workspace;
    Path_Response(layout, stages, ResponseGridPoints, grid_Hz, response_dB, workspace);
    const double ripple =
        Passband_Ripple_dB(response_dB, TxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz));
    status = ResponseStatus_FromRipple(ripple);
}

}  // namespace Veltrix::Marlin::Native
