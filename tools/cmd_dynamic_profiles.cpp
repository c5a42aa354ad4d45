// plover dynamic-profiles: the reduced-rate variants a profile can switch to,
// with the dynamic-profile feature enabled for the count asked.

#include <iostream>

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

nlohmann::json DynamicProfilesJson(const DynamicProfiles& profiles, std::size_t count)
{
    return nlohmann::json::parse(Profile::DynamicProfiles_ToJson(profiles, count));
}

Command AddDynamicProfilesCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        int count = 0;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("dynamic-profiles", "print the dynamic profiles as a JSON array");
    AddBlueprintOptions(*command, options->blueprint, true);
    AddNumberOption(*command, "--count", options->count, "number of dynamic profiles", 2, 6)->required();
    return {command, [options] {
                BlueprintOptions withFeature = options->blueprint;
                withFeature.features.push_back("DynamicProfile:numDynamicProfiles=" + std::to_string(options->count));
                MarlinBlueprint blueprint = LoadBlueprint(withFeature);
                Profile profile = DevelopProfile(blueprint);
                DynamicProfiles profiles{};
                if (profile.DynamicProfiles_Get(profiles) != 0) {
                    throw OperationFailed("");
                }
                std::cout << DynamicProfilesJson(profiles, static_cast<std::size_t>(options->count)).dump(2) << '\n';
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
