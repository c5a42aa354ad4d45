// plover features: every feature a blueprint can enable, with its fields,
// their types, accepted values and defaults, and what the feature changes.

#include <nlohmann/json.hpp>

#include <iostream>

#include "Cli.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Cli {

Command AddFeaturesCommand(CLI::App& app)
{
    auto json = std::make_shared<bool>(false);
    auto* command = app.add_subcommand("features", "list every feature ID for --feature, with its fields, their "
                                                   "types, accepted values and defaults, and what it changes");
    command->add_flag("--json", *json, "print the list as a JSON array");
    return {command, [json] {
                const auto& features = Analysis::Features_List();
                if (*json) {
                    nlohmann::json list = nlohmann::json::array();
                    for (const FeatureDescription& feature : features) {
                        nlohmann::json fields = nlohmann::json::array();
                        for (const FeatureField& field : feature.fields) {
                            nlohmann::json entry = {{"name", field.name},
                                                    {"type", field.Type()},
                                                    {"default", feature.DefaultText(field)},
                                                    {"accepts", field.AcceptedText()},
                                                    {"description", field.description}};
                            if (!field.boolean) {
                                entry["min"] = field.min;
                                entry["max"] = field.max;
                                if (!field.allowed.empty()) {
                                    entry["allowed"] = field.allowed;
                                }
                            }
                            if (!field.alias.empty()) {
                                entry["alias"] = field.alias;
                            }
                            fields.push_back(entry);
                        }
                        list.push_back({{"id", feature.id}, {"description", feature.description}, {"fields", fields}});
                    }
                    std::cout << list.dump(2) << '\n';
                    return ExitSuccess;
                }
                for (const FeatureDescription& feature : features) {
                    std::cout << feature.id << "\n    " << feature.description << '\n';
                    for (const FeatureField& field : feature.fields) {
                        std::cout << "    " << field.name << (field.alias.empty() ? "" : " (or " + field.alias + ")")
                                  << ": " << field.Type() << ", " << field.AcceptedText() << ", default "
                                  << feature.DefaultText(field) << "\n        " << field.description << '\n';
                    }
                    if (feature.fields.empty()) {
                        std::cout << "    (no fields)\n";
                    }
                }
                std::cout << "\nEnable with --feature ID[:field=value,...], for example --feature "
                             "DynamicProfile:numDynamicProfiles=3\n";
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
