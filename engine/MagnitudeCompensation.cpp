// Magnitude-compensation design: the inverse of the path's magnitude as the
// passband target of an equiripple FIR (Parks-McClellan), weighted by the
// path's own magnitude so the exchange spreads a relative error, i.e. an
// equal ripple in dB, over the compensated passband.
#include "engine/MagnitudeCompensation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/EquirippleDesign.h"
#include "engine/PathEvaluation.h"

namespace Veltrix::Marlin::Native {

namespace {

// Stop-band weight against the relative passband weight of about 1: the stop
// band only has to keep the filter from lifting what the path has already
// taken down, so the passband gets nearly all of the exchange's freedom.
constexpr double StopWeight = 0.01;
// Beyond 38 % of the position rate the stages ahead of it are in their
// transition bands; their droop there is not ours to undo.
constexpr double CornerLimitOfRate = 0.38;
// Last usable stop-band start, and the narrowest transition band given to
// the exchange (both on the 0..1 scale of the position's Nyquist rate).
constexpr double LatestStopEdge = 0.95;
constexpr double SmallestTransition = 0.1;
constexpr double StopAttenuation_dB = 15.0;

// The channel's RF bandwidth is centred on the LO, so at complex baseband the
// signal occupies |f| <= bandwidth / 2: the ripple is judged there, as the
// path's response status judges it. Over the whole bandwidth the test would
// reach past the compensation corner, and for a channel wider than half the
// low-rate position's rate even into the stop band of the stages ahead of it.
double ChannelPassband_Hz(std::uint32_t channelBandwidth_Hz) { return channelBandwidth_Hz / 2.0; }

double PathFront_WithStages(const PathLayout& layout, double frequency_Hz)
{
    double magnitude = PathFront_Magnitude(layout, frequency_Hz);
    double rate = layout.converterRate_Hz;
    for (const ResponseStage& stage : layout.front) {
        magnitude *= ResponseStage_Magnitude(stage, frequency_Hz / rate);
        rate /= std::max(1, stage.factor);
    }
    return magnitude;
}

struct PositionDesign {
    double passEdge = 0.0;
    double stopEdge = 0.0;
    std::size_t stopBin = 0;
    std::size_t nyquistBin = 0;
};

// Band edges: passband to the corner; stop band from the first design bin at
// which the path is 15 dB down, kept inside the position's Nyquist band.
bool BandEdges(const PathLayout& layout, double corner_Hz, const std::vector<double>& front, PositionDesign& edges,
               std::string& error)
{
    const double nyquist = layout.positionRate_Hz / 2.0;
    const double bin = layout.converterRate_Hz / static_cast<double>(CompensationDesignBins);
    const double corner = std::min(corner_Hz, CornerLimitOfRate * layout.positionRate_Hz);
    const auto passBin = static_cast<std::size_t>(std::ceil(corner / bin));
    edges.nyquistBin = std::min(CompensationDesignBins / 2, static_cast<std::size_t>(std::floor(nyquist / bin)));
    const double threshold = front[0] * std::pow(10.0, -StopAttenuation_dB / 20.0);
    double stopEdge = LatestStopEdge;
    for (std::size_t k = passBin; k <= edges.nyquistBin; ++k) {
        if (front[k] <= threshold) {
            stopEdge = static_cast<double>(k) * bin / nyquist;
            break;
        }
    }
    edges.passEdge = corner / nyquist;
    edges.stopEdge = std::clamp(stopEdge, edges.passEdge + SmallestTransition, LatestStopEdge);
    edges.stopBin = static_cast<std::size_t>(std::ceil(edges.stopEdge * nyquist / bin));
    if (edges.stopBin <= passBin) {
        char text[96];
        std::snprintf(text, sizeof text, "Fstop must be > Fpass, %f %f", static_cast<double>(edges.stopBin),
                      static_cast<double>(passBin));
        error = text;
        return false;
    }
    return true;
}

template <std::size_t Length>
bool DesignAtPosition(const PathLayout& layout, double corner_Hz, double passband_Hz,
                      std::array<double, Length>& taps, CompensationReport& report)
{
    report.positionRate_Hz = layout.positionRate_Hz;
    if (!(layout.converterRate_Hz > 0.0) || !(layout.positionRate_Hz > 0.0) || !(corner_Hz > 0.0)) {
        report.status = MagCompRippleMissed;  // nothing to design against
        return false;
    }
    std::vector<double> front(CompensationDesignBins);
    ResponseWorkspace workspace;
    Path_Magnitude(layout, layout.front, CompensationDesignBins, front, workspace);
    PositionDesign edges;
    if (!BandEdges(layout, corner_Hz, front, edges, report.error)) {
        report.status = MagCompRippleMissed;
        return false;
    }
    report.passEdge = edges.passEdge;
    report.stopEdge = edges.stopEdge;
    const double nyquist = layout.positionRate_Hz / 2.0;
    auto design = Equiripple_Design<Length>(
        {0.0, edges.passEdge, edges.stopEdge, 1.0},
        [&](double f, int band) { return band == 0 ? 1.0 / PathFront_WithStages(layout, f * nyquist) : 0.0; },
        [&](double f, int band) { return band == 0 ? PathFront_WithStages(layout, f * nyquist) : StopWeight; });
    report.exchange = design.result.status;
    report.iterations = design.result.iterations;
    report.deviation = design.result.deviation;
    double sum = 0.0;
    for (std::size_t i = 0; i < Length; ++i) {
        taps[i] = Coefficient_Quantize(design.result.taps[i]);
        sum += taps[i];
    }
    if (!design.result.success || sum == 0.0) {
        report.status = MagCompRippleMissed;
        report.ripple_dB = 0.0;
        return false;
    }
    // The compensated path, the filter scaled to unity gain at 0 Hz.
    std::array<double, Length> normalised{};
    for (std::size_t i = 0; i < Length; ++i) {
        normalised[i] = taps[i] / sum;
    }
    std::vector<ResponseStage> stages(layout.front.begin(), layout.front.end());
    stages.push_back(ResponseStage_FromTaps(normalised, 1));
    std::vector<double> compensated(CompensationDesignBins);
    Path_Magnitude(layout, stages, CompensationDesignBins, compensated, workspace);
    double gain = 0.0;
    for (std::size_t k = edges.stopBin; k <= edges.nyquistBin; ++k) {
        gain = std::max(gain, compensated[k]);
    }
    report.outOfBandGain_dB = 20.0 * std::log10(std::max(gain, ResponseFloor));
    const double bin = layout.converterRate_Hz / static_cast<double>(CompensationDesignBins);
    const auto count = std::min(CompensationDesignBins, static_cast<std::size_t>(std::ceil(passband_Hz / bin)));
    double low = 1e300;
    double high = -1e300;
    for (std::size_t k = 0; k < count; ++k) {
        const double level = 20.0 * std::log10(std::max(compensated[k], ResponseFloor));
        low = std::min(low, level);
        high = std::max(high, level);
    }
    report.ripple_dB = count > 0 ? high - low : 0.0;
    report.status = MagCompSuccess;
    return true;
}

double RxCorner(const RxFilterRequest& request, bool lowRate)
{
    const bool tia = request.tiaFilter != 0;
    const double analog = static_cast<double>(request.analogBandwidth_Hz);
    const double corner = tia ? analog / 2.0 : analog;
    const double cap = lowRate ? (tia ? 20000000.0 : 28284271.247461904) : (tia ? 50000000.0 : 70710678.11865476);
    return std::min(corner, cap);
}

void PassThrough(std::array<double, 21>& taps)
{
    taps.fill(0.0);
    taps[10] = 1.0;
}

}  // namespace

CompensationDesign RxCompensation_Design(const RxFilterRequest& request)
{
    CompensationDesign result;
    PassThrough(result.taps21);
    if (request.stages == nullptr) {
        return result;
    }
    if (request.mode4 == 2) {
        const double lowRate = static_cast<double>(request.converterRate_Hz) / StageBytes_Product(request.stages, 5);
        if (static_cast<double>(request.analogBandwidth_Hz) > 0.87 * lowRate) {
            result.report.status = MagCompAnalogAboveLowRate;
            return result;
        }
        if (request.tiaFilter == 0) {
            result.report.status = MagCompBiquadLowRate;
            return result;
        }
    }
    if (request.mode4 != 1 && request.mode4 != 2) {
        return result;  // no compensation position: outputs keep their initial values
    }
    const bool lowRate = request.mode4 == 2;
    const double passband = ChannelPassband_Hz(request.channelBandwidth_Hz);
    // The 13-tap filter compensates at the low-rate position in any mode.
    CompensationReport lowRateReport;
    const PathLayout low = RxPath_Layout(request, 5);
    result.lowRate13 = DesignAtPosition<13>(low, RxCorner(request, true), passband, result.taps13, lowRateReport);
    if (!result.lowRate13) {
        result.taps13.fill(0.0);
    }
    const PathLayout layout = RxPath_Layout(request, lowRate ? 5 : 2);
    std::array<double, 21> taps{};
    const bool designed = DesignAtPosition<21>(layout, RxCorner(request, lowRate), passband, taps, result.report);
    if (designed) {
        if (result.report.outOfBandGain_dB > AnalogFilter_OutOfBandLimit_dB(layout.analog)) {
            result.report.status = MagCompOutOfBandGain;
        }
        if (result.report.ripple_dB > static_cast<double>(request.rippleTarget_dB)) {
            result.report.status = MagCompRippleMissed;
        }
    }
    if (designed && result.report.status == MagCompSuccess) {
        result.taps21 = taps;
        result.compensated = true;
    }
    return result;
}

CompensationDesign TxCompensation_Design(const TxFilterRequest& request)
{
    CompensationDesign result;
    PassThrough(result.taps21);
    if (request.stages == nullptr) {
        return result;
    }
    const double passband = ChannelPassband_Hz(request.channelBandwidth_Hz);
    const double analog = static_cast<double>(request.analogBandwidth_Hz);
    const PathLayout layout = TxPath_Layout(request, 2);
    std::array<double, 21> taps{};
    const bool designed =
        DesignAtPosition<21>(layout, std::min(analog, 70710678.11865476), passband, taps, result.report);
    result.taps21 = taps;  // the Tx entry writes its 21 taps whatever the outcome
    result.compensated = designed;
    double ripple = designed ? result.report.ripple_dB : 1e9;
    if (request.narrowband != 0) {
        // The narrowband path adds the 13-tap filter at the low-rate position;
        // its ripple decides.
        CompensationReport lowRateReport;
        PathLayout low = TxPath_Layout(request, 5);
        if (designed) {
            const auto at = static_cast<std::ptrdiff_t>(std::min(layout.front.size(), low.front.size()));
            low.front.insert(low.front.begin() + at, ResponseStage_FromTaps(taps, 1));
        }
        result.lowRate13 =
            DesignAtPosition<13>(low, std::min(analog, 28284271.247461904), passband, result.taps13, lowRateReport);
        ripple = result.lowRate13 ? lowRateReport.ripple_dB : 1e9;
        if (!result.lowRate13) {
            result.taps13.fill(0.0);
        }
    }
    result.report.status = ripple > static_cast<double>(request.rippleTarget_dB) ? MagCompRippleMissed
                                                                                   : MagCompSuccess;
    return result;
}

void Engine_RxMagComp(const RxFilterRequest& request, std::int32_t* taps21, std::int32_t* taps13,
                      std::uint8_t& status)
{
    const CompensationDesign design = RxCompensation_Design(request);
    status = design.report.status;
    const bool preChecked = status == MagCompAnalogAboveLowRate || status == MagCompBiquadLowRate;
    for (std::size_t i = 0; i < 21; ++i) {
        taps21[i] = i == 10 ? CompensationUnity : 0;
    }
    for (std::size_t i = 0; i < 13; ++i) {
        taps13[i] = preChecked ? 0 : Coefficient_ToInt32(design.taps13[i] * CompensationUnity);
    }
    if (status == MagCompSuccess) {
        for (std::size_t i = 0; i < 21; ++i) {
            taps21[i] = Coefficient_ToInt32(design.taps21[i] * CompensationUnity);
        }
    }
}

void Engine_TxMagComp(const TxFilterRequest& request, std::int32_t* taps21, std::int32_t* taps13,
                      std::int32_t& status)
{
    const CompensationDesign design = TxCompensation_Design(request);
    status = design.report.status;
    for (std::size_t i = 0; i < 21; ++i) {
        taps21[i] = Coefficient_ToInt32(design.taps21[i] * CompensationUnity);
    }
    for (std::size_t i = 0; i < 13; ++i) {
        taps13[i] = request.narrowband != 0 ? Coefficient_ToInt32(design.taps13[i] * CompensationUnity) : 0;
    }
}

}  // namespace Veltrix::Marlin::Native
