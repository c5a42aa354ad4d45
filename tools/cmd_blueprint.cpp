// plover blueprint: a complete, normalised blueprint file to edit, from an
// existing one or from the defaults.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

Command AddBlueprintCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        std::string output;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("blueprint", "write a blueprint in the blueprint file format "
                                                    "(from IN, or the default blueprint when IN is absent)");
    AddBlueprintOptions(*command, options->blueprint, false);
    command->add_option("-o,--output", options->output, "blueprint file to write")->required();
    return {command, [options] {
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                WriteOutput(options->output, blueprint.ToNative().SaveToString());
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
