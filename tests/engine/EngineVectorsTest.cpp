// Golden vectors of the engine's entry points. Each file under tests/data/engine
// holds cases, their inputs named as the records' own fields, and the outputs
// the engine gave for them (README.md there: origin and regeneration). A
// difference names its first key path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "EngineRequests.h"
#include "support/Json.h"
#include "engine/ChainDesign.h"
#include "engine/MagnitudeCompensation.h"
#include "engine/ModelingSearch.h"
#include "engine/PathEvaluation.h"
#include "engine/ResponseEntries.h"

namespace {

using namespace EngineTest;

// Ten significant digits and nothing below 1e-9: what stays alike on every
// instruction set (the logarithm may differ in its last bits), and enough to
// see any change of design.
std::string Digits(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", std::fabs(value) < 1e6 ? std::round(value * 1e9) / 1e9 + 0.0 : value);
    return text;
}

double Rounded(double value) { return std::strtod(Digits(value).c_str(), nullptr); }

// Arrays travel as space-separated text, so that a case reads on a few lines.
template <typename Values>
std::string Text(const Values& values)
{
    std::string text;
    for (const auto& v : values) text.append(text.empty() ? "" : " ").append(Digits(static_cast<double>(v)));
    return text;
}

#define SET(j, criteria, option) \
    if (j.contains(#option)) criteria.option(j[#option])

DesignCriteria CriteriaOf(const Json& j)
{
    DesignCriteria c;
    SET(j, c, searchMode); SET(j, c, minSystemClock); SET(j, c, maxSystemClock); SET(j, c, targetRipple);
    SET(j, c, isDebug); SET(j, c, isResponseIgnoredMode); SET(j, c, useExtendedLookup); SET(j, c, useModelingSearch);
    return c;
}

ChannelDesignRecord RecordOf(const Json& j)
{
    ChannelDesignRecord r;
    READ(j, r, rxEnabled); READ(j, r, txEnabled); READ(j, r, rxBandwidth_Hz); READ(j, r, txBandwidth_Hz);
    READ(j, r, rxSampleRate_Hz); READ(j, r, txSampleRate_Hz); READ(j, r, rxHead0); READ(j, r, rxHead1);
    READ(j, r, txHead0); READ(j, r, txHead1); READ(j, r, txSpecialMode); READ(j, r, lifSelect);
    READ(j, r, rxHb22WblpfSelect); READ(j, r, txHb22WblpfSelect);
    return r;
}

Json OutputOf(const ChannelDesignOutput& o)
{
    return {{"rxStages", Text(o.rxStages)}, {"txStages", Text(o.txStages)}, {"rxRipple_dB", Rounded(o.rxRipple_dB)},
            {"txRipple_dB", Rounded(o.txRipple_dB)}, {"variants", Text(std::array{o.rxStage21, o.rxStage22, o.rxStage23, o.txStage21})},
            {"status", o.status}};
}

Json ReportOf(const CompensationDesign& d)
{
    const CompensationReport& r = d.report;
    return {{"compensated", d.compensated}, {"lowRate13", d.lowRate13}, {"ripple_dB", Rounded(r.ripple_dB)},
            {"outOfBandGain_dB", Rounded(r.outOfBandGain_dB)}, {"passEdge", Rounded(r.passEdge)},
            {"stopEdge", Rounded(r.stopEdge)}, {"positionRate_Hz", Rounded(r.positionRate_Hz)},
            {"exchange", static_cast<int>(r.exchange)}, {"iterations", r.iterations}, {"error", r.error}};
}

// The response at every 2^17th grid point and its passband ripple; a failed
// pre-check must leave both buffers zero.
template <typename Request, typename Entry>
Json ResponseOf(const Request& request, Entry entry, std::size_t passbandBins)
{
    static std::vector<double> grid(ResponseGridPoints), response(ResponseGridPoints);
    std::fill(grid.begin(), grid.end(), 5.0);
    std::fill(response.begin(), response.end(), 5.0);
    std::uint8_t status = 99;
    entry(request, status, grid.data(), response.data());
    std::vector<double> samples;
    for (std::size_t k = 0; k < ResponseGridPoints; k += 1 << 17) samples.push_back(response[k]);
    return {{"status", status}, {"gridStep_Hz", grid[1] - grid[0]}, {"lastGrid_Hz", grid.back()},
            {"samples_dB", Text(samples)}, {"passbandRipple_dB", Rounded(Passband_Ripple_dB(response.data(), passbandBins))}};
}

Json Outputs(const Json& c)
{
    const std::string entry = c["entry"];
    const std::vector<std::uint8_t> stages = Bytes(c);
    testing::internal::CaptureStdout();
    Json out;
    if (entry == "designChains") {
        ChannelDesignOutput first, second;
        const int status = Engine_DesignChains(CriteriaOf(c.value("criteria", Json::object())), RecordOf(c.value("first", Json::object())),
                                               RecordOf(c.value("second", Json::object())), first, second);
        out = {{"status", status}, {"first", OutputOf(first)}, {"second", OutputOf(second)}};
    } else if (entry == "modelingSearch") {
        std::size_t ratios = 0;
        const ModelingSearchOutcome o = Engine_ModelingSearch(CriteriaOf(c["criteria"]), RecordOf(c["first"]),
                                                              [&](const ModelingSearchProgress& p) { ratios = p.ratiosVisited; });
        out = {{"status", o.status}, {"rxChain", Text(o.rxChain)}, {"txChain", Text(o.txChain)},
               {"rxRipple_dB", Rounded(o.rxRipple_dB)}, {"txRipple_dB", Rounded(o.txRipple_dB)},
               {"systemClock_Hz", Rounded(o.systemClock_Hz)}, {"ratiosVisited", ratios},
               {"pairsDesigned", o.totals.pairsDesigned}, {"candidatesScored", o.totals.candidatesScored}};
    } else if (entry == "rxMagComp" || entry == "txMagComp") {
        std::array<std::int32_t, 21> taps21;
        std::array<std::int32_t, 13> taps13;
        taps21.fill(-5);
        taps13.fill(-5);
        std::int32_t status = -1;
        if (entry == "rxMagComp") {
            std::uint8_t rxStatus = 99;
            Engine_RxMagComp(RxRequestOf(c, stages), taps21.data(), taps13.data(), rxStatus);
            status = rxStatus;
            out["design"] = ReportOf(RxCompensation_Design(RxRequestOf(c, stages)));
        } else {
            Engine_TxMagComp(TxRequestOf(c, stages), taps21.data(), taps13.data(), status);
            out["design"] = ReportOf(TxCompensation_Design(TxRequestOf(c, stages)));
        }
        out.update({{"status", status}, {"taps21", Text(taps21)}, {"taps13", Text(taps13)}});
    } else if (entry == "rxResponse") {
        const RxFilterRequest r = RxRequestOf(c, stages);
        out = ResponseOf(r, Engine_RxResponse, RxPassband_Bins(r.channelBandwidth_Hz, r.converterRate_Hz));
    } else if (entry == "txResponse") {
        const TxFilterRequest r = TxRequestOf(c, stages);
        out = ResponseOf(r, Engine_TxResponse, TxPassband_Bins(r.channelBandwidth_Hz, r.converterRate_Hz));
    } else {
        ADD_FAILURE() << "unknown entry " << entry;
    }
    out["printed"] = testing::internal::GetCapturedStdout();
    return out;
}

class EngineVectors : public testing::TestWithParam<const char*> {};

TEST_P(EngineVectors, OutputsMatchTheGoldenVectors)
{
    Json cases = EngineData(GetParam());
    const bool regenerate = std::getenv("PLOVER_REGENERATE_GOLDEN") != nullptr;
    for (Json& c : cases) {
        SCOPED_TRACE(c.value("what", std::string()));
        const Json actual = Outputs(c);
        if (regenerate) c["expected"] = actual;
        EXPECT_EQ(PloverTest::FirstDifference(c["expected"], actual), "");
    }
    if (regenerate) PloverTest::WriteText(PloverTest::SourcePath(std::string("tests/data/engine/") + GetParam()), cases.dump(2) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Files, EngineVectors,
                         testing::Values("chain-designs.json", "modeling-search.json", "compensation.json", "responses.json"));

}  // namespace
