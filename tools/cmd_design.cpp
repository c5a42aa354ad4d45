// plover design: develops the profile of a blueprint, writes it and prints
// a summary of the clocks and channels.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

Command AddDesignCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string output;
        bool redesign = false;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("design", "develop the profile of a blueprint and write it");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("-o,--output", options->output,
                        "profile file to write (default: the blueprint's path ending in .profile.json)");
    command->add_flag("--redesign", options->redesign, "design again even when the blueprint is designed");
    command->add_flag("--json", options->json, "print the summary as one JSON object");
    return {command, [] () -> int { throw OperationFailed("design is not available in this build"); }};
}

}  // namespace Veltrix::Marlin::Cli
