// The tool's engineer-facing outputs end to end: response spans against the
// whole grid, filter coefficients against the response, chains pinned into a
// blueprint and designed again, and the feature listing.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numeric>
#include <sstream>

#include "ToolRunner.h"
#include "host/ProfileArchitect.h"

namespace {

using json = nlohmann::json;

struct Figures {
    double ripple_dB;
    double rejection_dB;
};

// The figures as the whole grid gives them, from the full-grid operation.
Figures WholeGridFigures(const std::string& example, std::int32_t port)
{
    using namespace Veltrix::Marlin;
    MarlinBlueprint blueprint;
    blueprint.Load(Example(example));
    Profile profile;
    DesignSummary summary;
    EXPECT_EQ(ProfileArchitect::Profile_Develop(profile, summary, blueprint), 0);
    std::vector<double> magnitudes;
    double f0 = 0.0;
    double df = 0.0;
    EXPECT_EQ(profile.FrequencyResponse_Get(magnitudes, f0, df, port, 1), 0);
    const auto& channel = profile.GetInstance();
    const double rate = port == PortRx ? channel->rxChannels[0].rxOutputRate_Hz : channel->txChannels[0].txInputRate_Hz;
    const double bandwidth =
        port == PortRx ? channel->rxChannels[0].primarySigBandwidth_Hz : channel->txChannels[0].primarySigBandwidth_Hz;
    double passMin = 1e300, passMax = -1e300, stopMax = -1e300;
    for (std::size_t i = 0; i < magnitudes.size(); ++i) {
        const double f = f0 + df * static_cast<double>(i);
        if (f <= bandwidth / 2.0) {
            passMin = std::min(passMin, magnitudes[i]);
            passMax = std::max(passMax, magnitudes[i]);
        } else if (f >= rate - bandwidth / 2.0) {
            stopMax = std::max(stopMax, magnitudes[i]);
        }
    }
    return {passMax - passMin, passMin - stopMax};
}

std::vector<std::vector<double>> CsvRows(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) {
            row.push_back(std::strtod(cell.c_str(), nullptr));  // a name reads as 0
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(ToolAnalysis, DefaultSpanShowsThePassbandAtGridResolutionWithWholeGridFigures)
{
    TempFolder folder;
    for (const auto& [example, port] : {std::pair{"dmr-12p5khz-24ksps.json", "rx"},
                                        std::pair{"lte-20mhz-2t2r-tdd.json", "rx"},
                                        std::pair{"lte-20mhz-2t2r-tdd.json", "tx"}}) {
        const bool rx = std::string(port) == "rx";
        const ToolResult r = RunTool(folder, {"response", Example(example), "--port", port, "--channel", "1", "--json",
                                              "-o", folder.File("span.csv")});
        ASSERT_EQ(r.status, 0) << example << r.err;
        const json out = json::parse(r.out);
        const Figures whole = WholeGridFigures(example, rx ? 0 : 1);
        EXPECT_EQ(out["ripple_dB"].get<double>(), whole.ripple_dB) << example << port;
        EXPECT_EQ(out[rx ? "aliasRejection_dB" : "imageRejection_dB"].get<double>(), whole.rejection_dB) << example;

        // Every grid point from 0 past the first alias band, one step apart.
        const auto rows = CsvRows(ReadText(folder.File("span.csv")));
        const double step = out["step_Hz"], rate = out["rate_Hz"], bandwidth = out["bandwidth_Hz"];
        ASSERT_EQ(rows.size(), out["points"].get<std::size_t>());
        EXPECT_EQ(rows.front()[0], 0.0);
        EXPECT_GE(rows.back()[0], rate + bandwidth / 2.0 - step);
        EXPECT_DOUBLE_EQ(rows[1][0] - rows[0][0], step);
        const auto inPassband = std::count_if(rows.begin(), rows.end(), [&](const auto& row) { return row[0] <= bandwidth / 2.0; });
        EXPECT_GE(inPassband, 10) << example;
    }
}

TEST(ToolAnalysis, RangesAndNamedSpansAgreeWithEachOther)
{
    TempFolder folder;
    const std::string lte = Example("lte-20mhz-2t2r-tdd.json");
    ASSERT_EQ(RunTool(folder, {"response", lte, "--port", "rx", "--channel", "1", "--span", "output", "-o",
                               folder.File("output.csv")}).status, 0);
    ASSERT_EQ(RunTool(folder, {"response", lte, "--port", "rx", "--channel", "1", "--from", "5000000", "--to",
                               "6000000", "-o", folder.File("range.csv")}).status, 0);
    const auto output = CsvRows(ReadText(folder.File("output.csv")));
    const auto range = CsvRows(ReadText(folder.File("range.csv")));
    ASSERT_FALSE(range.empty());
    EXPECT_GE(range.front()[0], 5000000.0);
    EXPECT_LE(range.back()[0], 6000000.0);
    // The same grid point gives the same value whatever span holds it.
    const auto same = std::find_if(output.begin(), output.end(), [&](const auto& row) { return row[0] == range.front()[0]; });
    ASSERT_NE(same, output.end());
    EXPECT_EQ((*same)[1], range.front()[1]);
}

// The listed filters, each normalised to unity at 0 Hz, upsampled to the
// converter clock and convolved into one impulse response, evaluated where
// the response was, plus the analog front's own column: the tool's response
// within 1e-6 dB wherever it stands above -120 dB.
TEST(ToolAnalysis, CoefficientsConvolvedAndEvaluatedGiveTheResponse)
{
    TempFolder folder;
    const std::string lte = Example("lte-20mhz-2t2r-tdd.json");
    for (const char* port : {"rx", "tx"}) {
        const ToolResult coefficients =
            RunTool(folder, {"coefficients", lte, "--port", port, "--channel", "1", "--format", "json"});
        ASSERT_EQ(coefficients.status, 0) << coefficients.err;
        const ToolResult response = RunTool(folder, {"response", lte, "--port", port, "--channel", "1", "--stages",
                                                     "--span", "output", "--max-points", "300", "-o", folder.File("r.csv")});
        ASSERT_EQ(response.status, 0) << response.err;
        const json filters = json::parse(coefficients.out)["filters"];
        const double converter = filters.front()["rate_Hz"];

        std::vector<double> impulse = {1.0};
        int behind = 1;
        for (const auto& filter : filters) {
            const auto taps = filter["taps"].get<std::vector<double>>();
            const double sum = std::accumulate(taps.begin(), taps.end(), 0.0);
            EXPECT_DOUBLE_EQ(filter["rate_Hz"].get<double>(), converter / behind) << filter["name"];
            std::vector<double> next(impulse.size() + (taps.size() - 1) * static_cast<std::size_t>(behind), 0.0);
            for (std::size_t i = 0; i < impulse.size(); ++i) {
                for (std::size_t t = 0; t < taps.size(); ++t) {
                    next[i + t * static_cast<std::size_t>(behind)] += impulse[i] * taps[t] / sum;
                }
            }
            impulse = std::move(next);
            behind *= filter["factor"].get<int>();
        }

        std::size_t compared = 0;
        for (const auto& row : CsvRows(ReadText(folder.File("r.csv")))) {
            if (row[1] < -120.0) continue;
            std::complex<double> sum = 0.0;
            for (std::size_t n = 0; n < impulse.size(); ++n) {
                sum += impulse[n] * std::polar(1.0, -2.0 * M_PI * row[0] * static_cast<double>(n) / converter);
            }
            EXPECT_NEAR(20.0 * std::log10(std::abs(sum)) + row[2], row[1], 1e-3) << port << " at " << row[0] << " Hz";
            ++compared;
        }
        EXPECT_GT(compared, 100u) << port;
    }
}

TEST(ToolAnalysis, CoefficientFormatsCarryTheSameTaps)
{
    TempFolder folder;
    const std::string dmr = Example("dmr-12p5khz-24ksps.json");
    const auto run = [&](const std::string& format, const std::string& file) {
        const ToolResult r = RunTool(folder, {"coefficients", dmr, "--port", "rx", "--channel", "1", "--format", format,
                                              "-o", folder.File(file)});
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadText(folder.File(file));
    };
    const json filters = json::parse(run("json", "c.json"))["filters"];
    const auto rows = CsvRows(run("csv", "c.csv"));
    const std::string npy = run("npy", "c.npy");
    std::size_t taps = 0;
    for (const auto& filter : filters) taps += filter["taps"].size();
    ASSERT_EQ(rows.size(), taps);
    // The array format: magic, version 1.0, header padded to 64 bytes, then rows of six doubles.
    ASSERT_EQ(npy.compare(0, 8, std::string("\x93NUMPY\x01\x00", 8)), 0);
    const std::size_t headerLength = static_cast<unsigned char>(npy[8]) | (static_cast<unsigned char>(npy[9]) << 8);
    EXPECT_EQ((10 + headerLength) % 64, 0u);
    EXPECT_NE(npy.find("'shape': (" + std::to_string(taps) + ", 6)"), std::string::npos);
    ASSERT_EQ(npy.size(), 10 + headerLength + taps * 6 * sizeof(double));
    const auto* data = reinterpret_cast<const double*>(npy.data() + 10 + headerLength);
    const std::size_t last = taps - 1;
    EXPECT_EQ(data[last * 6 + 4], filters.back()["taps"].back().get<double>());
    EXPECT_EQ(rows[last][5], filters.back()["taps"].back().get<double>());
    EXPECT_EQ(rows[last][6], filters.back()["fixedTaps"].back().get<double>());
}

// Rates no lookup table serves: design alone fails, the pinned blueprint
// designs to the chains and the clock the search found.
TEST(ToolAnalysis, ChainsBlueprintDesignsToTheSameChainsAndClock)
{
    TempFolder folder;
    for (const char* rate : {"250000", "3300000", "1000000"}) {
        const std::string bandwidth = std::to_string(std::stoul(rate) * 4 / 5);
        const std::string out = folder.File(std::string("chains-") + rate + ".json");
        const ToolResult chains = RunTool(folder, {"chains", "--rx-rate", rate, "--rx-bandwidth", bandwidth, "--tx-rate",
                                                   rate, "--tx-bandwidth", bandwidth, "--blueprint-out", out});
        ASSERT_EQ(chains.status, 0) << rate << chains.err;
        const json found = json::parse(chains.out);
        const ToolResult design = RunTool(folder, {"design", out, "--json", "-o", folder.File("p.json")});
        ASSERT_EQ(design.status, 0) << rate << design.err;
        const json designed = json::parse(design.out);
        EXPECT_EQ(designed["systemClockFrequency_Hz"].get<double>(), found["systemClockFrequency_Hz"].get<double>());
        for (const auto& channel : designed["channels"]) {
            const bool tx = channel["channel"] == "TX1";
            if (!tx && channel["channel"] != "RX1") continue;
            // The search's chain covers the stages behind the two converter-side heads.
            std::vector<int> expected;
            for (int factor : found[tx ? "txChain" : "rxChain"]) if (factor > 1) expected.push_back(factor);
            std::vector<int> factors;
            for (const auto& stage : channel["stages"]) factors.push_back(stage["factor"]);
            ASSERT_GE(factors.size(), expected.size());
            EXPECT_EQ(std::vector<int>(factors.end() - static_cast<std::ptrdiff_t>(expected.size()), factors.end()), expected)
                << rate << ' ' << channel["chain"];
        }
    }
}

}  // namespace
