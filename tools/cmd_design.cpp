// plover design: develops the profile of a blueprint, writes it and prints
// a summary of the clocks and of every channel in use.

#include <nlohmann/json.hpp>

#include <iostream>
#include <cmath>
#include <sstream>

#include "Cli.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;

// The profile file beside the blueprint: x.json -> x.profile.json.
std::string DefaultProfilePath(const std::string& blueprintPath)
{
    const std::string suffix = ".json";
    if (blueprintPath.size() > suffix.size() &&
        blueprintPath.compare(blueprintPath.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return blueprintPath.substr(0, blueprintPath.size() - suffix.size()) + ".profile.json";
    }
    return blueprintPath + ".profile.json";
}

// Clocks, rates and waits are whole numbers; JSON and text show them so.
std::uint64_t Whole(double value) { return static_cast<std::uint64_t>(std::llround(value)); }

json Stages(const ChannelChain& chain)
{
    json stages = json::array();
    for (const ChainStage& stage : chain.stages) {
        stages.push_back(
            {{"name", stage.name}, {"factor", stage.factor}, {"rate_Hz", Whole(stage.rate_Hz)}, {"hostRate_Hz", Whole(stage.hostRate_Hz)}});
    }
    return stages;
}

json SummaryOf(const DesignOverview& overview, const std::string& output)
{
    json channels = json::array();
    for (const ChannelChain& chain : overview.channels) {
        json channel = {{"channel", chain.channel},
                        {"rate_Hz", Whole(chain.rate_Hz)},
                        {"bandwidth_Hz", Whole(chain.bandwidth_Hz)},
                        {chain.converter == "ADC" ? "adcClock_Hz" : "dacClock_Hz", Whole(chain.converterClock_Hz)}};
        if (chain.ssiClock_Hz) {
            channel["ssiClock_Hz"] = Whole(*chain.ssiClock_Hz);
        }
        channel["chain"] = chain.Text();
        channel["stages"] = Stages(chain);
        channel["ratio"] = chain.ratio == std::floor(chain.ratio) ? json(Whole(chain.ratio)) : json(chain.ratio);
        channel["filters"] = chain.filters;
        channels.push_back(channel);
    }
    return {{"status", 0},
            {"systemClockFrequency_Hz", Whole(overview.systemClock_Hz)},
            {"processorClockFrequency_Hz", Whole(overview.processorClock_Hz)},
            {"pllLockWait_us", Whole(overview.pllLockWait_us)},
            {"pllPhaseSyncWait_us", Whole(overview.pllPhaseSyncWait_us)},
            {"profile", output},
            {"channels", channels},
            {"reports", overview.reports}};
}

}  // namespace

json DesignSummaryJson(const Profile& profile, const std::string& output)
{
    return SummaryOf(Analysis::Overview_Get(profile), output);
}

namespace {

std::string Readable(const DesignOverview& overview, const std::string& output)
{
    std::ostringstream out;
    out << "profile:          " << output << '\n'
        << "system clock:     " << Whole(overview.systemClock_Hz) << " Hz\n"
        << "processor clock:  " << Whole(overview.processorClock_Hz) << " Hz\n"
        << "PLL lock wait:    " << Whole(overview.pllLockWait_us) << " us\n"
        << "PLL phase sync:   " << Whole(overview.pllPhaseSyncWait_us) << " us\n";
    for (const ChannelChain& chain : overview.channels) {
        out << chain.channel << ": rate " << Whole(chain.rate_Hz) << " Hz, bandwidth " << Whole(chain.bandwidth_Hz)
            << " Hz, " << chain.converter << " clock " << Whole(chain.converterClock_Hz) << " Hz";
        if (chain.ssiClock_Hz) {
            out << ", SSI clock " << Whole(*chain.ssiClock_Hz) << " Hz";
        }
        out << "\n    " << chain.Text() << " (ratio " << chain.ratio << "; filters";
        for (const std::string& filter : chain.filters) {
            out << ' ' << filter;
        }
        out << ")\n";
    }
    return out.str();
}

}  // namespace

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
                        "profile file to write, - for standard output (default: the blueprint's path ending in "
                        ".profile.json)");
    command->add_flag("--redesign", options->redesign, "design again even when the blueprint is designed");
    command->add_flag("--json", options->json, "print the summary as one JSON object");
    return {command, [options] {
                const std::string output =
                    options->output.empty() ? DefaultProfilePath(options->blueprint.path) : options->output;
                RefuseOutputOverInput(output, options->blueprint.path);
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                Profile profile;
                DesignOverview overview;
                const MarlinBlueprint before = blueprint;
                const std::int8_t status = Analysis::Design(profile, overview, blueprint, options->redesign);
                if (status != 0) {
                    if (options->json) {
                        std::cout << json{{"status", status}, {"profile", nullptr}, {"reports", overview.reports}}.dump()
                                  << '\n';
                    }
                    throw OperationFailed("", DesignHint(before, options->redesign, overview.reports));
                }
                if (profile.Save(LibraryOutputPath(output)) != 0) {
                    throw OutputError("cannot write the profile to '" + Escaped(output) + "'");
                }
                // With the profile on standard output, the summary goes beside the reports.
                std::ostream& out = output == "-" ? std::cerr : std::cout;
                out << (options->json ? SummaryOf(overview, output).dump() + "\n" : Readable(overview, output));
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
