// plover response: the magnitude response of one designed channel as CSV,
// with its passband ripple and its alias (receive) or image (transmit)
// rejection.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <sstream>

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

namespace {

struct ResponseFigures {
    double ripple_dB = 0.0;
    double rejection_dB = 0.0;
};

// Ripple: the spread of the magnitude over |f| <= bandwidth / 2. Rejection:
// the passband's lowest level above the highest level at |f| >= rate -
// bandwidth / 2, the band that folds onto the passband at the channel's rate.
ResponseFigures Figures(const std::vector<double>& magnitudes, double f0, double df, double rate_Hz,
                        double bandwidth_Hz)
{
    double passMin = std::numeric_limits<double>::infinity();
    double passMax = -std::numeric_limits<double>::infinity();
    double stopMax = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < magnitudes.size(); ++i) {
        const double f = std::abs(f0 + df * static_cast<double>(i));
        if (f <= bandwidth_Hz / 2.0) {
            passMin = std::min(passMin, magnitudes[i]);
            passMax = std::max(passMax, magnitudes[i]);
        } else if (f >= rate_Hz - bandwidth_Hz / 2.0) {
            stopMax = std::max(stopMax, magnitudes[i]);
        }
    }
    ResponseFigures figures;
    if (std::isfinite(passMin)) {
        figures.ripple_dB = passMax - passMin;
        figures.rejection_dB = std::isfinite(stopMax) ? passMin - stopMax : 0.0;
    }
    return figures;
}

std::string Csv(const std::vector<double>& magnitudes, double f0, double df, std::size_t maxPoints)
{
    const std::size_t size = magnitudes.size();
    const std::size_t points = maxPoints == 0 || maxPoints >= size ? size : maxPoints;
    std::string out = "frequency_Hz,magnitude_dB\n";
    out.reserve(points * 32);
    char line[96];
    for (std::size_t k = 0; k < points; ++k) {
        // Evenly spread indices, the first point always included.
        const std::size_t i = static_cast<std::size_t>(static_cast<unsigned long long>(k) * size / points);
        std::snprintf(line, sizeof line, "%.6f,%.6f\n", f0 + df * static_cast<double>(i), magnitudes[i]);
        out += line;
    }
    return out;
}

}  // namespace

Command AddResponseCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string port;
        int channel = 1;
        std::string output;
        std::size_t maxPoints = 65536;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("response", "write the frequency response of a channel as CSV");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("--port", options->port, "rx or tx")->required()->check(CLI::IsMember({"rx", "tx"}));
    AddNumberOption(*command, "--channel", options->channel, "channel number", 1, 2)->required();
    command->add_option("-o,--output", options->output, "CSV file to write (default: standard output)");
    AddNumberOption(*command, "--max-points", options->maxPoints,
                    "points kept, evenly spaced, the first included (0 keeps all)", 0, 0xFFFFFFFF);
    return {command, [options] {
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                Profile profile = DevelopProfile(blueprint);
                const bool rx = options->port == "rx";
                std::vector<double> magnitudes;
                double f0 = 0.0;
                double df = 0.0;
                if (profile.FrequencyResponse_Get(magnitudes, f0, df, rx ? PortRx : PortTx, options->channel) != 0) {
                    throw OperationFailed("");
                }
                const std::size_t index = static_cast<std::size_t>(options->channel - 1);
                const Native::Profile& designed = *profile.GetInstance();
                const double rate = rx ? designed.rxChannels[index].rxOutputRate_Hz : designed.txChannels[index].txInputRate_Hz;
                const double bandwidth = rx ? designed.rxChannels[index].primarySigBandwidth_Hz
                                            : designed.txChannels[index].primarySigBandwidth_Hz;
                const ResponseFigures figures = Figures(magnitudes, f0, df, rate, bandwidth);

                const std::string csv = Csv(magnitudes, f0, df, options->maxPoints);
                std::ostringstream text;
                text.precision(4);
                text << std::fixed << "passband ripple: " << figures.ripple_dB << " dB\n"
                     << (rx ? "alias rejection: " : "image rejection: ") << figures.rejection_dB << " dB\n";
                if (options->output.empty()) {
                    std::cout << csv;
                    std::cerr << text.str();
                } else {
                    WriteOutput(options->output, csv);
                    std::cout << text.str();
                }
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
