// plover dynamic-profiles: the reduced-rate variants a profile can switch to,
// with the dynamic-profile feature enabled for the count asked.

#include <nlohmann/json.hpp>

#include <iostream>

#include "Cli.h"
#include "plover/records/ProfileRecordsJson.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;

json RxJson(const Native::vx_tarpon_RxDynamicProfile& p)
{
    return {{"rxOutputRate_Hz", p.rxOutputRate_Hz}, {"primaryBw_Hz", p.primaryBw_Hz}, {"rxWbDecTop", p.rxWbDecTop}};
}

}  // namespace

json DynamicProfilesJson(const DynamicProfiles& profiles, std::size_t count)
{
    json out = json::array();
    for (std::size_t j = 0; j < count; ++j) {
        json channels = json::array();
        for (const auto& c : profiles[j].dynamicProfileChannels) {
            channels.push_back({{"txDynamicProfile",
                                 {{"txInputRate_Hz", c.txDynamicProfile.txInputRate_Hz},
                                  {"primaryBw_Hz", c.txDynamicProfile.primaryBw_Hz},
                                  {"txWbIntTop", c.txDynamicProfile.txWbIntTop}}},
                                {"rxDynamicProfile", RxJson(c.rxDynamicProfile)},
                                {"orxDynamicProfile", RxJson(c.orxDynamicProfile)},
                                {"ilbDynamicProfile", RxJson(c.ilbDynamicProfile)},
                                {"elbDynamicProfile", RxJson(c.elbDynamicProfile)}});
        }
        out.push_back({{"dynamicProfileIndex", profiles[j].dynamicProfileIndex}, {"dynamicProfileChannels", channels}});
    }
    return out;
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
