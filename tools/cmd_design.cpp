// plover design: develops the profile of a blueprint, writes it and prints
// a summary of the clocks and of every channel in use.

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

#include "Cli.h"
#include "host/ProfileArchitect.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;

constexpr std::array<const char*, Native::RxSlotCount> RxSlotNames{"RX1",  "RX2",  "ORX1", "ORX2",
                                                                  "ILB1", "ILB2", "ELB1", "ELB2"};
constexpr std::array<const char*, Native::TxSlotCount> TxSlotNames{"TX1", "TX2"};

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

template <typename Path>
json Chain(const Path& path)
{
    json stages = json::array();
    for (unsigned char stage : path.stages) {
        stages.push_back(static_cast<unsigned>(stage));
    }
    return stages;
}

// The SSI clock of a blueprint channel; absent for a format the SSI rules
// would have refused.
void AddSsiClock(json& channel, const Native::ChannelBlueprint& blueprint)
{
    try {
        channel["ssiClock_Hz"] = blueprint.SsiClock_Get();
    } catch (const std::exception&) {
    }
}

}  // namespace

json DesignSummaryJson(const Profile& designed, const std::string& output)
{
    const Native::Profile& profile = *designed.GetInstance();
    json channels = json::array();
    const Native::MarlinBlueprint& blueprint = profile.marlinBlueprint;
    for (std::size_t i = 0; i < Native::RxSlotCount; ++i) {
        const Native::RxChannel& rx = profile.rxChannels[i];
        if (!rx.inUse) {
            continue;
        }
        json channel = {{"channel", RxSlotNames[i]},
                        {"rate_Hz", rx.rxOutputRate_Hz},
                        {"bandwidth_Hz", rx.primarySigBandwidth_Hz},
                        {"adcClock_Hz", std::uint64_t{rx.adcClk_kHz} * 1000}};
        if (i < 2) {
            AddSsiClock(channel, blueprint.rxChannel(i));
            channel["stages"] = Chain(blueprint.rxChannel(i).dataPath);
        }
        channels.push_back(channel);
    }
    for (std::size_t i = 0; i < Native::TxSlotCount; ++i) {
        const Native::TxChannel& tx = profile.txChannels[i];
        if (!tx.inUse) {
            continue;
        }
        json channel = {{"channel", TxSlotNames[i]},
                        {"rate_Hz", tx.txInputRate_Hz},
                        {"bandwidth_Hz", tx.primarySigBandwidth_Hz}};
        AddSsiClock(channel, blueprint.txChannel(i));
        channel["stages"] = Chain(blueprint.txChannel(i).dataPath);
        channels.push_back(channel);
    }
    return {{"status", 0},
            {"systemClockFrequency_Hz", profile.systemClockFrequency_Hz},
            {"processorClockFrequency_Hz", profile.processorClockFrequency_Hz},
            {"pllLockWait_us", profile.pllLockWait_us},
            {"pllPhaseSyncWait_us", profile.pllPhaseSyncWait_us},
            {"profile", output},
            {"channels", channels}};
}

namespace {

std::string Readable(const json& summary)
{
    std::ostringstream out;
    out << "profile:          " << summary["profile"].get<std::string>() << '\n'
        << "system clock:     " << summary["systemClockFrequency_Hz"] << " Hz\n"
        << "processor clock:  " << summary["processorClockFrequency_Hz"] << " Hz\n"
        << "PLL lock wait:    " << summary["pllLockWait_us"] << " us\n"
        << "PLL phase sync:   " << summary["pllPhaseSyncWait_us"] << " us\n";
    for (const auto& channel : summary["channels"]) {
        out << channel["channel"].get<std::string>() << ": rate " << channel["rate_Hz"] << " Hz, bandwidth "
            << channel["bandwidth_Hz"] << " Hz";
        if (channel.contains("adcClock_Hz")) {
            out << ", ADC clock " << channel["adcClock_Hz"] << " Hz";
        }
        if (channel.contains("ssiClock_Hz")) {
            out << ", SSI clock " << channel["ssiClock_Hz"] << " Hz";
        }
        if (channel.contains("stages")) {
            out << ", stages";
            for (const auto& stage : channel["stages"]) {
                out << ' ' << stage;
            }
        }
        out << '\n';
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
                        "profile file to write (default: the blueprint's path ending in .profile.json)");
    command->add_flag("--redesign", options->redesign, "design again even when the blueprint is designed");
    command->add_flag("--json", options->json, "print the summary as one JSON object");
    return {command, [options] {
                const std::string output =
                    options->output.empty() ? DefaultProfilePath(options->blueprint.path) : options->output;
                MarlinBlueprint blueprint = LoadBlueprint(options->blueprint);
                Profile profile;
                DesignSummary designSummary;
                const std::int8_t status =
                    ProfileArchitect::Profile_Develop(profile, designSummary, blueprint, options->redesign);
                if (status != 0) {
                    if (options->json) {
                        std::cout << json{{"status", status}, {"profile", nullptr}}.dump() << '\n';
                    }
                    throw OperationFailed("");
                }
                if (profile.Save(output) != 0) {
                    throw OperationFailed("");
                }
                const json summary = DesignSummaryJson(profile, output);
                std::cout << (options->json ? summary.dump() + "\n" : Readable(summary));
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
