// plover stream-settings and stream-image: what the stream processors are
// built with, and the image built from the stream resources.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

Command AddStreamSettingsCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string output;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("stream-settings", "write the stream settings of the designed profile");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("-o,--output", options->output, "stream settings file to write")->required();
    return {command, [] () -> int { throw OperationFailed("stream-settings is not available in this build"); }};
}

Command AddStreamImageCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string output;
        std::string resources;
        std::string siVersion = "c0";
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("stream-image", "build the stream image of the designed profile");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("-o,--output", options->output, "stream image file to write")->required();
    command->add_option("--resources", options->resources,
                        "stream top-level folder (default: the bundled resources)");
    command->add_option("--si-version", options->siVersion, "silicon version")
        ->check(CLI::IsMember({"c0", "b0"}));
    return {command, [] () -> int { throw OperationFailed("stream-image is not available in this build"); }};
}

}  // namespace Veltrix::Marlin::Cli
