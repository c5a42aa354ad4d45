#include "engine/DirectionDesign.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/PrintSink.h"

namespace Veltrix::Marlin::Native {
namespace {

struct Scored {
    bool improved = false;
    StageCodes chain{};
    double best = UnscoredRipple_dB;
    std::size_t position = 0;
    std::size_t winner = 0;  // index into the candidates given
};

StageVector FullVector(const EngineContext& context, ChainDirection direction, const StageCodes& codes)
{
    StageVector v{};
    v[0] = direction == ChainDirection::Rx ? context.rxHead0 : context.txHead0Stage;
    v[1] = direction == ChainDirection::Rx ? context.rxHeadFixed : context.txHead1Stage;
    for (std::size_t p = 0; p < 16; ++p) v[p + 2] = codes[p];
    return v;
}

Scored Score(const EngineContext& context, const DirectionRequest& request, std::span<const std::size_t> candidates,
             CandidateScorer& scorer, std::size_t& scoredCount)
{
    Scored s;
    const bool target = Goal_Is(context.goal, "TargetChannelRipple");
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const StageCodes codes = request.list->Row(candidates[i]);
        const StageVector vector = FullVector(context, request.direction, codes);
        const double ripple = scorer.Ripple_dB(vector, Direction_Variants(context, request.direction, codes));
        ++scoredCount;
        if (context.isDebug) {
            std::string line = Formatted("Results %f [", ripple);
            for (double v : vector) line += Formatted(" %2.0f", v);
            Print(line + "]\n");
        }
        if (ripple < s.best && ripple > FailedDesignRipple_dB) {
            s.improved = true;
            s.best = ripple;
            s.chain = codes;
            s.position = i + 1;
            s.winner = i;
            if (target && context.targetRipple_dB > ripple) break;
        }
    }
    return s;
}

}  // namespace

bool Goal_Is(const std::string& goal, const char* text)
{
    if (goal.size() != std::strlen(text)) return false;
    for (std::size_t i = 0; i < goal.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(goal[i])) != std::tolower(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

StageVariants Direction_Variants(const EngineContext& context, ChainDirection direction, const StageCodes& codes)
{
    StageVariants v;
    const bool rx = direction == ChainDirection::Rx;
    if (rx) {
        // Variant 4 (HB4) and 6 (HB6) are the low-IF half-bands.
        v.lowIfFirst = codes[1] == 3.0 || (codes[1] == 2.0 && context.lifSelect == 1);
        v.lowIfSecond = codes[2] == 3.0 || (codes[2] == 2.0 && context.lifSelect == 1);
    }
    const std::uint8_t selector = rx ? context.rxHb22WblpfSelect : context.txHb22WblpfSelect;
    v.wblpf = selector == 1 || (selector == 2 && codes[7] != 2.0);
    return v;
}

DirectionResult Direction_Design(const EngineContext& context, const DirectionRequest& request,
                                 CandidateScorer& scorer)
{
    DirectionResult result;
    const bool ripple = context.goal == "MinimizeChannelRipple" || context.goal == "TargetChannelRipple";
    const bool bandwidth = context.goal == "MaximizeChannelBandwidth";
    if (!ripple && !bandwidth) return result;

    std::vector<std::size_t> admitted;
    for (std::size_t row : request.rows) {
        if (request.clock_Hz / request.list->converterRatio[row] <= MaxConverterSideOutput_Hz) admitted.push_back(row);
    }
    if (admitted.empty()) return result;

    if (bandwidth) {
        std::size_t kept = admitted.front();
        double keptFigure = request.list->BandwidthFactorProduct(kept) * request.ratio * request.sampleRate_Hz;
        for (std::size_t i = 1; i < admitted.size(); ++i) {
            const double figure =
                request.list->BandwidthFactorProduct(admitted[i]) * request.ratio * request.sampleRate_Hz;
            if (figure > keptFigure) kept = admitted[i], keptFigure = figure;
        }
        admitted.assign(1, kept);
        if (context.isDebug) {
            const double r = std::round(request.ratio);
            const double held = r > 2147483647.0 ? 2147483647.0 : (r < -2147483648.0 ? -2147483648.0 : r);
            PrintFormatted("Dec %d\n", static_cast<int>(held));
        }
    }

    Scored scored;
    // Runs of consecutive candidates sharing the sinc/CIC code (position 8).
    std::vector<std::size_t> runStarts;
    if (ripple && context.isRscicSearchFirst) {
        for (std::size_t i = 0; i < admitted.size(); ++i) {
            if (i == 0 || request.list->codes[8][admitted[i]] != request.list->codes[8][admitted[i - 1]])
                runStarts.push_back(i);
        }
    }
    if (runStarts.size() > 1) {
        std::vector<std::size_t> firsts;
        for (std::size_t start : runStarts) firsts.push_back(admitted[start]);
        const Scored pass1 = Score(context, request, firsts, scorer, result.scored);
        const std::size_t k = pass1.winner;  // run 0 when nothing improved
        const std::size_t from = runStarts[k];
        const std::size_t to = k + 1 < runStarts.size() ? runStarts[k + 1] : admitted.size() - 1;
        scored = Score(context, request, std::span(admitted).subspan(from, to - from + 1), scorer, result.scored);
        scored.position += from;  // position within the whole candidate list
    } else {
        scored = Score(context, request, admitted, scorer, result.scored);
    }
    result.designed = true;
    result.improved = scored.improved;
    result.ripple_dB = scored.best;
    if (scored.improved) {
        result.chain = scored.chain;
        result.position = scored.position;
    }
    return result;
}

}  // namespace Veltrix::Marlin::Native
