#include "engine/PathModel.h"

#include <cmath>

#include "engine/MagnitudeCompensation.h"
#include "engine/PathEvaluation.h"
#include "engine/StageCoefficients.h"

namespace Veltrix::Marlin::Native {

namespace {

// Coefficient-set names as the chain's blocks are called, the same for both
// directions: the sinc/CIC shapes are the SINC blocks, WB and NB the wide-
// and narrow-band by-2 and by-3 blocks.
constexpr const char* SetNames[] = {"HB0", "HB1", "HB2",   "WB3",   "HB3",   "HB4",   "HB5",   "HB6",
                                    "WB2", "HB22", "WBLPF", "NB2",  "NB3",   "NB2L",  "INT3",  "SINC2",
                                    "SINC3", "SINC4", "SINC5", "SINC6", "SINC7", "SINC8", "SINC9", "SINC10"};
static_assert(std::size(SetNames) == static_cast<std::size_t>(StageFilter::Cic10) + 1);

template <std::size_t N>
PathFilter Compensation(const char* name, const std::array<double, N>& taps, bool designed)
{
    PathFilter filter;
    filter.name = name;
    filter.unity = CompensationUnity;
    if (designed) {
        filter.taps.assign(taps.begin(), taps.end());
    } else {
        filter.taps = {1.0};
    }
    for (double tap : filter.taps) {
        filter.fixedTaps.push_back(static_cast<std::int32_t>(std::lround(tap * CompensationUnity)));
    }
    return filter;
}

PathFilter Fixed(const ResponseStage& stage)
{
    const StageCoefficientSet& set = StageCoefficients_Get(static_cast<StageFilter>(stage.fixedSet));
    PathFilter filter;
    filter.name = StageFilter_Name(stage.fixedSet);
    filter.unity = set.scale;
    filter.fixedTaps.assign(set.taps.begin(), set.taps.end());
    for (std::int32_t tap : set.taps) {
        filter.taps.push_back(static_cast<double>(tap) / set.scale);
    }
    return filter;
}

// The filter beside every stage, with the rate each runs at: the converter
// clock over the factors of the stages before it.
void Filters_Fill(PathModel& model, const std::vector<PathFilter>& compensations)
{
    double rate = model.layout.converterRate_Hz;
    std::size_t nextCompensation = 0;
    for (const ResponseStage& stage : model.stages) {
        PathFilter filter = stage.fixedSet >= 0 ? Fixed(stage) : compensations.at(nextCompensation++);
        filter.factor = std::max(1, stage.factor);
        filter.rate_Hz = rate;
        rate /= filter.factor;
        model.filters.push_back(std::move(filter));
    }
}

}  // namespace

std::string StageFilter_Name(int fixedSet)
{
    if (fixedSet < 0 || fixedSet >= static_cast<int>(std::size(SetNames))) {
        return "FIR";
    }
    return SetNames[fixedSet];
}

PathModel RxPath_Model(const RxFilterRequest& request, bool withCompensation)
{
    PathModel model;
    CompensationDesign design;
    if (withCompensation) {
        design = RxCompensation_Design(request);
        if (design.report.status == MagCompAnalogAboveLowRate || design.report.status == MagCompBiquadLowRate) {
            model.status = design.report.status;
            return model;
        }
    }
    if (request.converterRate_Hz == 0 || request.stages == nullptr) {
        return model;
    }
    const bool compensate = request.mode4 == 1 || request.mode4 == 2;
    model.layout = RxPath_Layout(request, request.mode4 == 2 ? 5 : 2);
    const ResponseStage compensation = ResponseStage_FromTaps(design.taps21, 1);
    model.stages = Path_WithCompensation(model.layout, compensate ? &compensation : nullptr, nullptr, nullptr);
    model.evaluable = withCompensation;
    Filters_Fill(model, {Compensation("COMP21", design.taps21, withCompensation)});
    return model;
}

PathModel TxPath_Model(const TxFilterRequest& request, bool withCompensation)
{
    PathModel model;
    if (request.converterRate_Hz == 0 || request.stages == nullptr) {
        return model;
    }
    const CompensationDesign design = withCompensation ? TxCompensation_Design(request) : CompensationDesign{};
    model.layout = TxPath_Layout(request, 2);
    const PathLayout lowRateLayout = TxPath_Layout(request, 5);
    const ResponseStage compensation = ResponseStage_FromTaps(design.taps21, 1);
    // Without the design nobody knows whether the 13-tap filter would be
    // designed; the narrowband request says it is wanted.
    const bool narrowband = request.narrowband != 0 && (withCompensation ? design.lowRate13 : true);
    const ResponseStage lowRate = ResponseStage_FromTaps(design.taps13, 1);
    model.stages = Path_WithCompensation(model.layout, &compensation, narrowband ? &lowRateLayout : nullptr,
                                         narrowband ? &lowRate : nullptr);
    model.evaluable = withCompensation;
    Filters_Fill(model, {Compensation("COMP21", design.taps21, withCompensation),
                         Compensation("COMP13", design.taps13, withCompensation)});
    return model;
}

}  // namespace Veltrix::Marlin::Native
