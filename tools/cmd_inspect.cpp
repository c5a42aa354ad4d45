// plover inspect: what the library answers about a blueprint without
// designing it, as one JSON object.

#include <nlohmann/json.hpp>

#include <iostream>

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

using json = nlohmann::json;

json InspectJson(MarlinBlueprint& blueprint)
{
    std::int32_t status = 0;
    const auto note = [&status](std::int8_t result) {
        if (status == 0 && result != 0) {
            status = result;
        }
        return result == 0;
    };

    json out = json::object();
    out["viable"] = blueprint.isViable();
    out["designed"] = blueprint.isDesigned();

    LoMapping mapping;
    if (note(blueprint.LoMapping_Get(mapping))) {
        out["loMapping"] = {{"rxLoSelect", mapping.rxLoSelect},
                            {"txLoSelect", mapping.txLoSelect},
                            {"loIsExternal", mapping.loIsExternal}};
    } else {
        out["loMapping"] = nullptr;
    }

    InitCalMask init;
    if (note(blueprint.SupportedInitCalMask_Get(init))) {
        out["initCalMask"] = {
            {"systemMask", init.systemMask}, {"channelMask", init.channelMask}, {"twoStage", init.twoStage}};
    } else {
        out["initCalMask"] = nullptr;
    }

    TrackingCalMask tracking;
    if (note(blueprint.SupportedTrackingCalMask_Get(tracking))) {
        out["trackingCalMask"] = {{"channelMask", tracking.channelMask}};
    } else {
        out["trackingCalMask"] = nullptr;
    }

    bool twoStage = false;
    if (note(blueprint.RequiresTwoStageInitCal_Get(twoStage))) {
        out["twoStageInitCal"] = twoStage;
    } else {
        out["twoStageInitCal"] = nullptr;
    }
    out["status"] = status;
    return out;
}

Command AddInspectCommand(CLI::App& app)
{
    struct Options {
        BlueprintOptions blueprint;
        bool viable = true;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("inspect", "print the LO mapping, calibration masks and viability of a "
                                                  "blueprint as one JSON object");
    AddBlueprintOptions(*command, options->blueprint, true);
    return {command,
            [options] {
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                const json out = InspectJson(blueprint);
                options->viable = out["viable"].get<bool>();
                std::cout << out.dump(2) << '\n';
                return out["status"].get<int>() == 0 ? ExitSuccess : ExitFailed;
            },
            // A blueprint that is not viable is an answer, not a failure of
            // inspect; its ERROR lines say why.
            [options] {
                return options->viable ? std::string()
                                       : std::string("the ERROR lines above explain \"viable\": false; "
                                                     "inspect itself succeeded");
            }};
}

}  // namespace Veltrix::Marlin::Cli
