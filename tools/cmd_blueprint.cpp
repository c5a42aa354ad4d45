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
    command->add_option("blueprint", options->blueprint.path, "blueprint file to read (JSON)");
    command->add_option("-o,--output", options->output, "blueprint file to write (- for standard output)")
        ->required();
    // The blueprint file format stores neither features nor the search
    // switch: accepting them here would drop them without a word.
    command->add_option("--feature", options->blueprint.features, "not stored in blueprint files: refused");
    command->add_flag("--expanded-search", options->blueprint.expandedSearch, "not stored in blueprint files: refused");
    command->add_flag("--lenient", options->blueprint.lenient,
                      "report unknown blueprint keys as warnings (files from other versions), not errors");
    return {command, [options] {
                if (!options->blueprint.features.empty() || options->blueprint.expandedSearch) {
                    throw UsageError(std::string(options->blueprint.features.empty() ? "--expanded-search" : "--feature") +
                                     " is not stored in blueprint files; give it to the command that reads the "
                                     "blueprint (design, inspect, response, ...)");
                }
                RefuseOutputOverInput(options->output, options->blueprint.path);
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                WriteOutput(options->output, blueprint.ToNative().SaveToString());
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
