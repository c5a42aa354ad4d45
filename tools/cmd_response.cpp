// plover response: the magnitude response of one designed channel as CSV.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

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
    command->add_option("--channel", options->channel, "channel number")->required()->check(CLI::IsMember({1, 2}));
    command->add_option("-o,--output", options->output, "CSV file to write (default: standard output)");
    command->add_option("--max-points", options->maxPoints,
                        "points kept, evenly spaced, the first included (0 keeps all)");
    return {command, [] () -> int { throw OperationFailed("response is not available in this build"); }};
}

}  // namespace Veltrix::Marlin::Cli
