// plover stream-settings and stream-image: what the stream processors are
// built with, and the image built from the stream resources.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

namespace {

// The library reports a file it cannot write with its own line; that file is
// the caller's path, so a usage error after that line.
void Written(std::int8_t status, const std::string& path)
{
    if (status != 0) {
        throw OutputError("cannot write '" + Escaped(path) + "'");
    }
}

}  // namespace

Command AddStreamSettingsCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string output;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("stream-settings", "write the stream settings of the designed profile");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("-o,--output", options->output, "stream settings file to write (- for standard output)")
        ->required();
    return {command, [options] {
                RefuseOutputOverInput(options->output, options->blueprint.path);
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                const Profile profile = DevelopProfile(blueprint);
                Written(profile.StreamSettings_Save(LibraryOutputPath(options->output)), options->output);
                return ExitSuccess;
            }};
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
    command->add_option("-o,--output", options->output, "stream image file to write (- for standard output)")->required();
    command->add_option("--resources", options->resources,
                        "stream top-level folder (default: the bundled resources)");
    command->add_option("--si-version", options->siVersion, "silicon version")
        ->check(CLI::IsMember({"c0", "b0"}));
    return {command, [options] {
                const std::string topLevel = TopLevelPath(options->resources, options->siVersion);
                RefuseOutputOverInput(options->output, options->blueprint.path);
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                const Profile profile = DevelopProfile(blueprint);
                Written(profile.StreamImage_Save(LibraryOutputPath(options->output), topLevel, options->siVersion),
                        options->output);
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
