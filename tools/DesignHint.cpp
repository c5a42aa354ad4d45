// After a failed design, one line on the likely cause: which channel, at what
// rate and bandwidth, and what to try. The library's report lines say what
// failed but seldom for which channel, and a person wants the next step.

#include <thread>

#include "Cli.h"
#include "host/Analysis.h"
#include "host/ProfileArchitect.h"

namespace Veltrix::Marlin::Cli {

namespace {

struct ChannelInUse {
    std::string name;  // "RX1", "TX2"
    bool transmit = false;
    std::uint32_t rate_Hz = 0;
    std::uint32_t bandwidth_Hz = 0;

    std::string Text() const
    {
        return name + " at " + std::to_string(rate_Hz) + " Hz, bandwidth " + std::to_string(bandwidth_Hz) + " Hz";
    }
};

std::vector<ChannelInUse> ChannelsInUse(MarlinBlueprint& blueprint)
{
    std::vector<ChannelInUse> channels;
    const auto add = [&channels](const std::string& name, bool transmit, const auto& channel) {
        if (channel.enabled()) {
            channels.push_back({name, transmit, static_cast<std::uint32_t>(channel.samplingRate_Hz()),
                                static_cast<std::uint32_t>(channel.rfChannelBandwidth_Hz())});
        }
    };
    add("RX1", false, blueprint.rxChannel1());
    add("RX2", false, blueprint.rxChannel2());
    add("TX1", true, blueprint.txChannel1());
    add("TX2", true, blueprint.txChannel2());
    return channels;
}

// The chains command for the first receiver and the first transmitter in use
// (a transmitter alone stands in for the receiver the command requires).
std::string ChainsCommand(const std::vector<ChannelInUse>& channels)
{
    const ChannelInUse* rx = nullptr;
    const ChannelInUse* tx = nullptr;
    for (const ChannelInUse& channel : channels) {
        const ChannelInUse*& first = channel.transmit ? tx : rx;
        first = first != nullptr ? first : &channel;
    }
    const auto pair = [](const char* direction, const ChannelInUse& channel) {
        return std::string(" --") + direction + "-rate " + std::to_string(channel.rate_Hz) + " --" + direction +
               "-bandwidth " + std::to_string(channel.bandwidth_Hz);
    };
    return "plover chains" + pair("rx", rx != nullptr ? *rx : *tx) + (tx != nullptr ? pair("tx", *tx) : "");
}

// The designer's lines for rates that no chain pair or clock serves; other
// failures (SSI, clocks, features) say in their own line what to change.
bool ChainsFailed(const std::vector<std::string>& reports)
{
    for (const std::string& line : reports) {
        if (line.find("Sampling rate not possible") != std::string::npos ||
            line.find("Target ripple not met") != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string Diagnose(const MarlinBlueprint& original, bool redesign, bool chainsFailed)
{
    MarlinBlueprint blueprint = original;
    const std::vector<ChannelInUse> channels = ChannelsInUse(blueprint);
    if (channels.empty()) {
        return {};
    }
    // A channel no chain can serve, whatever the search: the cause is in its own numbers.
    for (const ChannelInUse& channel : channels) {
        ChainsRequest request;
        request.rxRate_Hz = channel.rate_Hz;
        request.rxBandwidth_Hz = channel.bandwidth_Hz;
        if (channel.rate_Hz == 0 || channel.bandwidth_Hz == 0) {
            return channel.Text() + ": the rate and the bandwidth must be above 0 Hz";
        }
        const ChainsOutcome outcome = Analysis::Chains_Find(request);
        if (!outcome.cause.empty()) {
            std::string cause = outcome.cause;
            if (channel.transmit && cause.rfind("the receive ", 0) == 0) {
                cause.replace(4, 7, "transmit");
            }
            return channel.Text() + ": " + cause;
        }
        if (!outcome.found) {
            return channel.Text() + ": no chain serves this rate and bandwidth; " + ChainsCommand({channel}) +
                   " shows the search";
        }
    }

    std::string names;
    for (const ChannelInUse& channel : channels) {
        names += (names.empty() ? "" : "; ") + channel.Text();
    }
    const std::string chains =
        chainsFailed ? "; " + ChainsCommand(channels) + " shows which chains the rates allow"
                     : "; the lines above say what to change";
    if (blueprint.expandedSearchEnable()) {
        return names + ": the design fails even with --expanded-search" + chains;
    }
    blueprint.expandedSearchEnable(true);
    Profile profile;
    DesignSummary summary;
    if (ProfileArchitect::Profile_Develop(profile, summary, blueprint, redesign) == 0) {
        return names + ": the design succeeds with --expanded-search (a wider system-clock search)";
    }
    return names + ": --expanded-search does not help" + chains;
}

}  // namespace

std::string DesignHint(const MarlinBlueprint& blueprint, bool redesign, const std::vector<std::string>& reports)
{
    const bool chainsFailed = ChainsFailed(reports);
    // On a thread of its own: the probes' report lines stay out of this
    // thread's report scope, which prints only what the failed run reported.
    std::string hint;
    std::thread probe([&] {
        try {
            hint = Diagnose(blueprint, redesign, chainsFailed);
        } catch (const std::exception&) {
            hint.clear();  // a hint that cannot be worked out is left out
        }
    });
    probe.join();
    return hint;
}

}  // namespace Veltrix::Marlin::Cli
