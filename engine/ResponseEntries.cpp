#include "engine/ResponseEntries.h"

#include <algorithm>
#include <cmath>

#include "engine/PathEvaluation.h"
#include "engine/PathModel.h"

namespace Veltrix::Marlin::Native {


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
    const PathModel model = RxPath_Model(request);
    if (!model.evaluable) {
        ClearBuffers(grid_Hz, response_dB);
        status = model.status;
        return;
    }
    ResponseWorkspace workspace;
    Path_Response(model.layout, model.stages, ResponseGridPoints, grid_Hz, response_dB, workspace);
    const double ripple =
        Passband_Ripple_dB(response_dB, RxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz));
    status = ResponseStatus_FromRipple(ripple);
}

void Engine_TxResponse(const TxFilterRequest& request, std::uint8_t& status, double* grid_Hz, double* response_dB)
{
    const PathModel model = TxPath_Model(request);
    if (!model.evaluable) {
        ClearBuffers(grid_Hz, response_dB);
        status = model.status;
        return;
    }
    ResponseWorkspace workspace;
    Path_Response(model.layout, model.stages, ResponseGridPoints, grid_Hz, response_dB, workspace);
    const double ripple =
        Passband_Ripple_dB(response_dB, TxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz));
    status = ResponseStatus_FromRipple(ripple);
}

static void Window_Evaluate(const PathModel& model, std::size_t statusBins, const GridBands& bands, bool parts,
                            std::span<double> table, ResponseWindowResult& result)
{
    result = ResponseWindowResult{};
    result.status = model.status;
    if (!model.evaluable) {
        return;
    }
    result.evaluated = true;
    result.step_Hz = model.layout.converterRate_Hz / static_cast<double>(ResponseGridPoints);
    // Bands beyond the grid are cut at its end; the status's own passband
    // rides along with the caller's.
    GridBands wider = bands;
    wider.first = std::min(bands.first, ResponseGridPoints);
    wider.count = std::min(bands.count, ResponseGridPoints - wider.first);
    wider.stopbandFirst = std::min(bands.stopbandFirst, ResponseGridPoints);
    const std::size_t passband = std::min(bands.passbandPoints, ResponseGridPoints);
    wider.passbandPoints = std::max(passband, statusBins);
    ResponseWorkspace workspace;
    Path_Window(model.layout, model.stages, ResponseGridPoints, wider, table, workspace, result.figures);
    result.status =
        ResponseStatus_FromRipple(Passband_Ripple_dB(result.figures.passband_dB.data(), statusBins));
    result.figures.passband_dB.resize(passband);
    if (parts) {
        result.parts = Path_PartCurves(model.layout, model.stages, ResponseGridPoints, wider.first, wider.count);
        result.partNames.push_back("front");
        for (const PathFilter& filter : model.filters) {
            result.partNames.push_back(filter.name);
        }
    }
}

void Engine_RxResponseWindow(const RxFilterRequest& request, const GridBands& bands, bool parts,
                             std::span<double> table, ResponseWindowResult& result)
{
    Window_Evaluate(RxPath_Model(request), RxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz),
                    bands, parts, table, result);
}

void Engine_TxResponseWindow(const TxFilterRequest& request, const GridBands& bands, bool parts,
                             std::span<double> table, ResponseWindowResult& result)
{
    Window_Evaluate(TxPath_Model(request), TxPassband_Bins(request.channelBandwidth_Hz, request.converterRate_Hz),
                    bands, parts, table, result);
}

}  // namespace Veltrix::Marlin::Native
