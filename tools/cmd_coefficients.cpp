// plover coefficients: every filter of a designed path, from the converter to
// the host, with the rate it runs at, its factor, its taps as floating-point
// values and the integers the hardware holds; as CSV, JSON or NumPy arrays.

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstring>
#include <iostream>

#include "Cli.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;

std::string Number(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// One row a tap: filter, index, name, rate, factor, tap, fixed-point tap.
std::string Csv(const std::vector<PathFilterCoefficients>& filters)
{
    std::string out = "filter,name,rate_Hz,factor,tap,value,fixed\n";
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const PathFilterCoefficients& filter = filters[f];
        for (std::size_t t = 0; t < filter.taps.size(); ++t) {
            out += std::to_string(f + 1) + ',' + filter.name + ',' + Number(filter.rate_Hz) + ',' +
                   std::to_string(filter.factor) + ',' + std::to_string(t) + ',' + Number(filter.taps[t]) + ',' +
                   std::to_string(filter.fixedTaps[t]) + '\n';
        }
    }
    return out;
}

std::string Json(const std::vector<PathFilterCoefficients>& filters, bool rx, int channel)
{
    json list = json::array();
    for (const PathFilterCoefficients& filter : filters) {
        list.push_back({{"name", filter.name},
                        {"rate_Hz", filter.rate_Hz},
                        {"factor", filter.factor},
                        {"taps", filter.taps},
                        {"fixedTaps", filter.fixedTaps},
                        {"unity", filter.unity}});
    }
    return json{{"port", rx ? "rx" : "tx"}, {"channel", channel}, {"filters", list}}.dump(2) + "\n";
}

// The NumPy array file, version 1.0: the magic "\x93NUMPY", the version, a
// little-endian 16-bit header length, then a Python dict literal padded with
// blanks and a newline so the data start on a 64-byte boundary, then the
// data in C order. One row a tap: filter number, tap index, rate, factor,
// value, fixed-point value, all little-endian doubles ('<f8'), so one array
// holds the whole path.
std::string Npy(const std::vector<PathFilterCoefficients>& filters)
{
    std::size_t rows = 0;
    for (const PathFilterCoefficients& filter : filters) {
        rows += filter.taps.size();
    }
    std::string header =
        "{'descr': '<f8', 'fortran_order': False, 'shape': (" + std::to_string(rows) + ", 6), }";
    const std::size_t unpadded = 10 + header.size() + 1;
    header.append((64 - unpadded % 64) % 64, ' ');
    header += '\n';
    std::string out = "\x93NUMPY";
    out += '\x01';
    out += '\x00';
    out += static_cast<char>(header.size() & 0xFF);
    out += static_cast<char>((header.size() >> 8) & 0xFF);
    out += header;
    static_assert(sizeof(double) == 8 && std::endian::native == std::endian::little,
                  "the array is written as little-endian doubles straight from memory");
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const PathFilterCoefficients& filter = filters[f];
        for (std::size_t t = 0; t < filter.taps.size(); ++t) {
            const double row[6] = {static_cast<double>(f + 1), static_cast<double>(t), filter.rate_Hz,
                                   static_cast<double>(filter.factor), filter.taps[t],
                                   static_cast<double>(filter.fixedTaps[t])};
            out.append(reinterpret_cast<const char*>(row), sizeof row);
        }
    }
    return out;
}

}  // namespace

Command AddCoefficientsCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string port;
        int channel = 1;
        std::string format = "json";
        std::string output;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand(
        "coefficients",
        "write every filter of a channel's designed path, from the converter to the host: name, the rate it runs "
        "at, its decimation (rx) or interpolation (tx) factor, its taps as floating-point values (unity 1.0) and "
        "the integers the hardware holds. npy: one array of rows (filter number, tap index, rate_Hz, factor, "
        "value, fixed) as little-endian doubles");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("--port", options->port, "rx or tx")->required()->check(CLI::IsMember({"rx", "tx"}));
    command->add_option("--channel", options->channel, "channel number")->required()->check(CLI::IsMember({1, 2}));
    command->add_option("--format", options->format, "csv, json or npy (default json)")
        ->check(CLI::IsMember({"csv", "json", "npy"}));
    command->add_option("-o,--output", options->output, "file to write (default: standard output; npy needs -o)");
    return {command, [options] {
                if (options->format == "npy" && options->output.empty()) {
                    throw UsageError("--format npy writes binary data: give the file with -o");
                }
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                Profile profile = DevelopProfile(blueprint);
                const bool rx = options->port == "rx";
                std::vector<PathFilterCoefficients> filters;
                if (Analysis::Coefficients_Get(filters, profile, rx ? PortRx : PortTx, options->channel) != 0) {
                    throw OperationFailed("");
                }
                const std::string bytes = options->format == "csv"  ? Csv(filters)
                                          : options->format == "npy" ? Npy(filters)
                                                                     : Json(filters, rx, options->channel);
                if (options->output.empty()) {
                    std::cout << bytes;
                } else {
                    WriteOutput(options->output, bytes);
                }
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
