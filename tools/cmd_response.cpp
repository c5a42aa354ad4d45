// plover response: the magnitude response of one designed channel over a
// span of the analysis grid as CSV, with its passband ripple and its alias
// (receive) or image (transmit) rejection, or all of it as JSON.

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>
#include <sstream>

#include "Cli.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;

constexpr const char* ResponseDescription =
    "write the frequency response of a channel as CSV.\n"
    "The axis is the analysis grid: 4,194,304 points from 0 Hz up to the converter clock (ADC for rx, DAC "
    "for tx), one step = converter clock / 4,194,304; only the points inside the span are evaluated and "
    "written. Magnitudes are in dB relative to unity gain, the whole path (analog filter, converter, every "
    "stage, compensation); levels below -300 dB are written as -300 dB (the floor). Values are written in "
    "their shortest round-trip form.\n"
    "The figures always come from the whole grid: passband ripple is the spread of the magnitude over 0 .. "
    "bandwidth/2; alias (rx) or image (tx) rejection is the lowest passband level minus the highest level "
    "from rate - bandwidth/2 up to the converter clock, i.e. everything that folds onto the passband at the "
    "channel's rate.";

// CSV of the response, formatted with to_chars a chunk at a time and handed
// to the sink, so the whole text never exists at once.
void WriteCsv(const ChannelResponse& response, std::size_t maxPoints, const std::function<void(std::string_view)>& sink)
{
    std::string chunk = "frequency_Hz,magnitude_dB";
    std::vector<std::string> names;
    for (const ResponsePart& part : response.parts) {
        // Stages may share a name (two NBDEC2 blocks); the columns may not.
        std::string name = part.name;
        int seen = 0;
        for (const std::string& earlier : names) {
            seen += earlier == part.name ? 1 : 0;
        }
        names.push_back(part.name);
        chunk += "," + name + (seen > 0 ? "_" + std::to_string(seen + 1) : "") + "_dB";
    }
    chunk += '\n';
    constexpr std::size_t ChunkBytes = 1 << 20;
    chunk.reserve(ChunkBytes + 4096);
    const std::size_t size = response.magnitude_dB.size();
    const std::size_t points = maxPoints == 0 || maxPoints >= size ? size : maxPoints;
    char field[64];
    const auto append = [&chunk, &field](double value) {
        const auto result = std::to_chars(field, field + sizeof field, value);
        chunk.append(field, result.ptr);
    };
    for (std::size_t k = 0; k < points; ++k) {
        // Evenly spread indices, the first point always included.
        const std::size_t i = static_cast<std::size_t>(static_cast<unsigned long long>(k) * size / points);
        append(response.frequency_Hz[i]);
        chunk += ',';
        append(response.magnitude_dB[i]);
        for (const ResponsePart& part : response.parts) {
            chunk += ',';
            append(part.magnitude_dB[i]);
        }
        chunk += '\n';
        if (chunk.size() >= ChunkBytes) {
            sink(chunk);
            chunk.clear();
        }
    }
    sink(chunk);
}

json Summary(const ChannelResponse& response, bool rx, std::int32_t channel, const std::string& output)
{
    json out = {{"port", rx ? "rx" : "tx"},
                {"channel", channel},
                {"ripple_dB", response.ripple_dB},
                {rx ? "aliasRejection_dB" : "imageRejection_dB", response.rejection_dB},
                {"start_Hz", response.start_Hz},
                {"stop_Hz", response.stop_Hz},
                {"step_Hz", response.step_Hz},
                {"points", response.magnitude_dB.size()},
                {"gridPoints", response.gridPoints},
                {"rate_Hz", response.rate_Hz},
                {"bandwidth_Hz", response.bandwidth_Hz},
                {rx ? "adcClock_Hz" : "dacClock_Hz", response.converterClock_Hz},
                {"systemClock_Hz", response.systemClock_Hz}};
    out["csv"] = output.empty() ? json(nullptr) : json(output);
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
        std::size_t maxPoints = 0;
        std::string span;
        double from_Hz = std::numeric_limits<double>::quiet_NaN();
        double to_Hz = std::numeric_limits<double>::quiet_NaN();
        bool json = false;
        bool stages = false;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("response", ResponseDescription);
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("--port", options->port, "rx or tx")->required()->check(CLI::IsMember({"rx", "tx"}));
    AddNumberOption(*command, "--channel", options->channel, "channel number", 1, 2)->required();
    command->add_option("-o,--output", options->output,
                        "CSV file to write, - for standard output (default: standard output, or none with --json)");
    auto* span = command->add_option("--span", options->span,
                                     "named span: default (passband, transition and first alias/image band, 0 .. "
                                     "rate + bandwidth/2), passband (0 .. bandwidth/2), output (0 .. rate/2), full "
                                     "(the whole grid)")
                     ->check(CLI::IsMember({"default", "passband", "output", "full"}));
    auto* from = AddNumberOption(*command, "--from", options->from_Hz, "lowest frequency of the span (Hz, default 0)",
                                 0.0, 1e12);
    auto* to = AddNumberOption(*command, "--to", options->to_Hz,
                               "highest frequency of the span (Hz, default the converter clock)", 0.0, 1e12);
    span->excludes(from)->excludes(to);
    AddNumberOption(*command, "--max-points", options->maxPoints,
                    "points kept, evenly spaced, the first included (default 0: every grid point of the span)", 0,
                    0xFFFFFFFF);
    command->add_flag("--json", options->json,
                      "print ripple, rejection, span, rates and clocks as one JSON object (the CSV goes to -o only)");
    command->add_flag("--stages", options->stages,
                      "add one column per part of the path: the analog front (filter and converter), then every "
                      "filter on its own, on the same axis");
    return {command, [options] {
                RefuseOutputOverInput(options->output, options->blueprint.path);
                ResponseSpan wanted = ResponseSpan::Named(options->span.empty() ? "default" : options->span);
                if (!std::isnan(options->from_Hz) || !std::isnan(options->to_Hz)) {
                    wanted = ResponseSpan::Range(std::isnan(options->from_Hz) ? 0.0 : options->from_Hz,
                                                 std::isnan(options->to_Hz) ? std::numeric_limits<double>::max()
                                                                            : options->to_Hz);
                    if (!std::isfinite(wanted.start_Hz) || !std::isfinite(wanted.stop_Hz)) {
                        throw UsageError("--from and --to need finite frequencies in Hz");
                    }
                    if (wanted.start_Hz > wanted.stop_Hz) {
                        throw UsageError("--from is above --to");
                    }
                }
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                Profile profile = DevelopProfile(blueprint);
                const bool rx = options->port == "rx";
                ChannelResponse response;
                std::int8_t status = 0;
                try {
                    status = Analysis::Response_Get(response, profile, rx ? PortRx : PortTx, options->channel,
                                                    wanted, options->stages);
                } catch (const std::invalid_argument& e) {
                    throw UsageError(e.what());
                }
                if (status != 0) {
                    throw OperationFailed("");
                }
                const auto write = [&](std::ostream* stream) {
                    if (stream != nullptr) {
                        WriteCsv(response, options->maxPoints, [stream](std::string_view bytes) { stream->write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
                        return;
                    }
                    WriteOutputInChunks(options->output, [&](const std::function<void(std::string_view)>& sink) {
                        WriteCsv(response, options->maxPoints, sink);
                    });
                };
                if (options->json) {
                    if (!options->output.empty()) {
                        write(nullptr);
                    }
                    std::cout << Summary(response, rx, options->channel, options->output).dump() << '\n';
                    return ExitSuccess;
                }
                std::ostringstream text;
                text.precision(4);
                text << std::fixed << "passband ripple: " << response.ripple_dB << " dB\n"
                     << (rx ? "alias rejection: " : "image rejection: ") << response.rejection_dB << " dB\n";
                if (options->output.empty() || options->output == "-") {
                    write(&std::cout);
                    std::cerr << text.str();
                } else {
                    write(nullptr);
                    std::cout << text.str();
                }
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
