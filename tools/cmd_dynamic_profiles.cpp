// plover dynamic-profiles: the reduced-rate variants a profile can switch to.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

Command AddDynamicProfilesCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        int count = 0;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("dynamic-profiles", "print the dynamic profiles as a JSON array");
    AddBlueprintOptions(*command, options->blueprint, true);
    command->add_option("--count", options->count, "number of dynamic profiles")->required()->check(CLI::Range(1, 6));
    return {command, [] () -> int { throw OperationFailed("dynamic-profiles is not available in this build"); }};
}

}  // namespace Veltrix::Marlin::Cli
