#include "host/Analysis.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "host/ErrorHandler.h"
#include "host/ProfileArchitect.h"
#include "plover/analysis/ChannelResponse.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin {

namespace {

std::size_t ChannelIndex(std::int32_t port, std::int32_t channelNumber)
{
    if (port != PortRx && port != PortTx) {
        throw std::invalid_argument("Port not recognized.");
    }
    if (channelNumber != 1 && channelNumber != 2) {
        throw std::invalid_argument("Channel number not recognized.");
    }
    return static_cast<std::size_t>(channelNumber - 1);
}

const Native::Profile& Designed(const Profile& profile)
{
    if (profile.GetInstance() == nullptr) {
        throw std::logic_error("The handle has been disposed.");
    }
    return *profile.GetInstance();
}

// The same refusal FrequencyResponse_Get reports for a disabled channel.
bool InUse(const Native::Profile& profile, std::int32_t port, std::size_t index)
{
    const bool rx = port == PortRx;
    if (rx ? profile.rxChannels[index].inUse : profile.txChannels[index].inUse) {
        return true;
    }
    Native::ErrorHandler::Message(Native::LogLevel::ERROR,
                                  std::string(rx ? "Rx" : "Tx") + std::to_string(index + 1) + " is disabled.",
                                  Native::SourceUnit::Profile, rx ? 417 : 429);
    return false;
}

struct ChannelFacts {
    double rate_Hz = 0.0;
    double bandwidth_Hz = 0.0;
    double converterClock_Hz = 0.0;
};

ChannelFacts Facts(const Native::RxChannel& channel)
{
    return {static_cast<double>(channel.rxOutputRate_Hz), static_cast<double>(channel.primarySigBandwidth_Hz),
            1000.0 * channel.adcClk_kHz};
}

ChannelFacts Facts(const Native::TxChannel& channel)
{
    return {static_cast<double>(channel.txInputRate_Hz), static_cast<double>(channel.primarySigBandwidth_Hz),
            1000.0 * channel.dacClk_kHz};
}

// Grid points k (frequency k * step) with k * step <= limit: the count of
// them, found with the very product the figures compare.
std::size_t PointsUpTo(double limit, double step)
{
    if (!(limit >= 0.0)) {
        return 0;
    }
    double estimate = std::floor(limit / step);
    if (estimate >= static_cast<double>(Native::ResponseGridPoints)) {
        return Native::ResponseGridPoints;
    }
    auto k = static_cast<std::size_t>(estimate);
    while (k + 1 < Native::ResponseGridPoints && step * static_cast<double>(k + 1) <= limit) {
        ++k;
    }
    while (k > 0 && step * static_cast<double>(k) > limit) {
        --k;
    }
    return k + 1;
}

// The first grid point at or above limit.
std::size_t FirstAtOrAbove(double limit, double step)
{
    if (limit <= 0.0) {
        return 0;
    }
    return PointsUpTo(std::nextafter(limit, 0.0), step);
}

struct SpanRange {
    double start_Hz;
    double stop_Hz;
};

SpanRange Resolve(const ResponseSpan& span, const ChannelFacts& facts)
{
    switch (span.preset) {
    case ResponseSpan::Preset::Passband: return {0.0, facts.bandwidth_Hz / 2.0};
    case ResponseSpan::Preset::Output: return {0.0, facts.rate_Hz / 2.0};
    case ResponseSpan::Preset::Full: return {0.0, facts.converterClock_Hz};
    case ResponseSpan::Preset::Range: return {span.start_Hz, span.stop_Hz};
    case ResponseSpan::Preset::Default:
    default: return {0.0, facts.rate_Hz + facts.bandwidth_Hz / 2.0};
    }
}

template <typename Channel>
std::int8_t ChannelResponse_Fill(ChannelResponse& response, const Channel& channel, const ResponseSpan& span,
                                 bool parts, double systemClock_Hz)
{
    const ChannelFacts facts = Facts(channel);
    const SpanRange range = Resolve(span, facts);
    if (!std::isfinite(range.start_Hz) || !std::isfinite(range.stop_Hz) || range.start_Hz > range.stop_Hz) {
        throw std::invalid_argument("The span needs finite frequencies with its start at or below its stop.");
    }
    const double step = facts.converterClock_Hz / static_cast<double>(Native::ResponseGridPoints);
    const double lastFrequency = step * static_cast<double>(Native::ResponseGridPoints - 1);
    if (range.stop_Hz < 0.0 || range.start_Hz > lastFrequency || step <= 0.0) {
        throw std::invalid_argument("The span lies outside the response grid (0 Hz up to the converter clock).");
    }
    Native::GridBands bands;
    bands.first = FirstAtOrAbove(range.start_Hz, step);
    const std::size_t end = PointsUpTo(range.stop_Hz, step);
    if (end <= bands.first) {
        throw std::invalid_argument("The span holds no grid point; widen it to at least the grid step.");
    }
    bands.count = end - bands.first;
    bands.passbandPoints = PointsUpTo(facts.bandwidth_Hz / 2.0, step);
    bands.stopbandFirst = std::max(bands.passbandPoints, FirstAtOrAbove(facts.rate_Hz - facts.bandwidth_Hz / 2.0, step));

    Native::ResponseWindowResult result;
    const std::int8_t status = Native::ChannelResponseWindow_Get(channel, bands, parts, result);
    if (!result.evaluated) {
        return status == 0 ? std::int8_t{-1} : status;
    }
    ChannelResponse out;
    out.step_Hz = result.step_Hz;
    out.gridPoints = Native::ResponseGridPoints;
    out.start_Hz = step * static_cast<double>(bands.first);
    out.stop_Hz = step * static_cast<double>(end - 1);
    out.rate_Hz = facts.rate_Hz;
    out.bandwidth_Hz = facts.bandwidth_Hz;
    out.converterClock_Hz = facts.converterClock_Hz;
    out.systemClock_Hz = systemClock_Hz;
    out.magnitude_dB = std::move(result.figures.window_dB);
    out.frequency_Hz.resize(bands.count);
    for (std::size_t i = 0; i < bands.count; ++i) {
        out.frequency_Hz[i] = step * static_cast<double>(bands.first + i);
    }
    const auto& passband = result.figures.passband_dB;
    if (!passband.empty()) {
        const auto [low, high] = std::minmax_element(passband.begin(), passband.end());
        out.ripple_dB = *high - *low;
        const double stopMax = result.figures.stopbandMax_dB;
        out.rejection_dB = std::isfinite(stopMax) ? *low - stopMax : 0.0;
    }
    for (std::size_t p = 0; p < result.parts.size(); ++p) {
        out.parts.push_back({result.partNames[p], std::move(result.parts[p])});
    }
    response = std::move(out);
    return status;
}

std::vector<PathFilterCoefficients> Coefficients(const Native::PathModel& model)
{
    std::vector<PathFilterCoefficients> filters;
    for (const Native::PathFilter& filter : model.filters) {
        filters.push_back({filter.name, filter.rate_Hz, filter.factor, filter.taps, filter.fixedTaps, filter.unity});
    }
    return filters;
}

// "2211.84 MHz", "24 kHz": the unit that keeps the figure readable.
std::string Readable(double frequency_Hz)
{
    char text[48];
    if (frequency_Hz >= 1e6) {
        std::snprintf(text, sizeof text, "%.9g MHz", frequency_Hz / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.9g kHz", frequency_Hz / 1e3);
    }
    return text;
}

template <typename Channel, typename BlueprintChannel>
ChannelChain Chain(const std::string& name, bool rx, const Channel& channel, const BlueprintChannel* blueprint)
{
    const ChannelFacts facts = Facts(channel);
    ChannelChain chain;
    chain.channel = name;
    chain.converter = rx ? "ADC" : "DAC";
    chain.converterClock_Hz = facts.converterClock_Hz;
    chain.rate_Hz = facts.rate_Hz;
    chain.bandwidth_Hz = facts.bandwidth_Hz;
    chain.ratio = facts.rate_Hz > 0.0 ? facts.converterClock_Hz / facts.rate_Hz : 0.0;
    if (blueprint != nullptr) {
        try {
            chain.ssiClock_Hz = static_cast<double>(blueprint->SsiClock_Get());
        } catch (const std::exception&) {  // a format the SSI rules refuse has no clock to show
        }
    }
    const Native::PathModel model = Native::ChannelPath_Model(channel, false);
    for (const Native::PathFilter& filter : model.filters) {
        chain.filters.push_back(filter.name);
        if (filter.factor > 1) {
            chain.stages.push_back({filter.name, filter.factor, filter.rate_Hz, filter.rate_Hz / filter.factor});
        }
    }
    return chain;
}

}  // namespace

ResponseSpan ResponseSpan::Named(const std::string& name)
{
    if (name == "default") {
        return {Preset::Default, 0.0, 0.0};
    }
    if (name == "passband") {
        return {Preset::Passband, 0.0, 0.0};
    }
    if (name == "output") {
        return {Preset::Output, 0.0, 0.0};
    }
    if (name == "full") {
        return {Preset::Full, 0.0, 0.0};
    }
    throw std::invalid_argument("Unknown span '" + name + "' (default, passband, output or full).");
}

std::string ChannelChain::Text() const
{
    std::string text = converter + " " + Readable(converterClock_Hz);
    for (const ChainStage& stage : stages) {
        text += " \u2192 " + stage.name + " \u00d7" + std::to_string(stage.factor);
    }
    return text + " \u2192 " + Readable(rate_Hz);
}

std::int8_t Analysis::Response_Get(ChannelResponse& response, const Profile& profile, std::int32_t port,
                                   std::int32_t channelNumber, const ResponseSpan& span, bool parts)
{
    const std::size_t index = ChannelIndex(port, channelNumber);
    const Native::Profile& designed = Designed(profile);
    if (!InUse(designed, port, index)) {
        return -1;
    }
    const double systemClock = designed.systemClockFrequency_Hz;
    return port == PortRx ? ChannelResponse_Fill(response, designed.rxChannels[index], span, parts, systemClock)
                          : ChannelResponse_Fill(response, designed.txChannels[index], span, parts, systemClock);
}

std::int8_t Analysis::ResponseGrid_Get(ResponseGrid& grid, const Profile& profile, std::int32_t port,
                                       std::int32_t channelNumber)
{
    ChannelIndex(port, channelNumber);
    return profile.FrequencyResponse_Get(grid.magnitude_dB, grid.start_Hz, grid.step_Hz, port, channelNumber);
}

std::int8_t Analysis::Coefficients_Get(std::vector<PathFilterCoefficients>& filters, const Profile& profile,
                                       std::int32_t port, std::int32_t channelNumber)
{
    const std::size_t index = ChannelIndex(port, channelNumber);
    const Native::Profile& designed = Designed(profile);
    if (!InUse(designed, port, index)) {
        return -1;
    }
    const Native::PathModel model = port == PortRx ? Native::ChannelPath_Model(designed.rxChannels[index], true)
                                                   : Native::ChannelPath_Model(designed.txChannels[index], true);
    if (!model.evaluable) {
        Native::ErrorHandler::Message(Native::LogLevel::ERROR,
                                      "The channel carries no designed data path and converter clock, so its "
                                      "filters cannot be listed.",
                                      Native::SourceUnit::FilterDesigner, 760);
        return -1;
    }
    filters = Coefficients(model);
    return 0;
}

DesignOverview Analysis::Overview_Get(const Profile& profile)
{
    static constexpr const char* RxNames[] = {"RX1", "RX2", "ORX1", "ORX2", "ILB1", "ILB2", "ELB1", "ELB2"};
    const Native::Profile& designed = Designed(profile);
    DesignOverview overview;
    overview.systemClock_Hz = designed.systemClockFrequency_Hz;
    overview.processorClock_Hz = designed.processorClockFrequency_Hz;
    overview.pllLockWait_us = designed.pllLockWait_us;
    overview.pllPhaseSyncWait_us = designed.pllPhaseSyncWait_us;
    const Native::MarlinBlueprint& blueprint = designed.marlinBlueprint;
    for (std::size_t i = 0; i < Native::RxSlotCount; ++i) {
        if (designed.rxChannels[i].inUse) {
            overview.channels.push_back(Chain(RxNames[i], true, designed.rxChannels[i],
                                              i < 2 ? &blueprint.rxChannel(i) : nullptr));
        }
    }
    for (std::size_t i = 0; i < Native::TxSlotCount; ++i) {
        if (designed.txChannels[i].inUse) {
            overview.channels.push_back(
                Chain("TX" + std::to_string(i + 1), false, designed.txChannels[i], &blueprint.txChannel(i)));
        }
    }
    return overview;
}

std::int8_t Analysis::Design(Profile& profile, DesignOverview& overview, MarlinBlueprint& blueprint,
                             bool forceRedesign)
{
    const std::size_t before = Native::ErrorHandler::messages().size();
    DesignSummary summary;
    const std::int8_t status = ProfileArchitect::Profile_Develop(profile, summary, blueprint, forceRedesign);
    DesignOverview result;
    if (status == 0) {
        result = Overview_Get(profile);
    }
    const auto& messages = Native::ErrorHandler::messages();
    result.reports.assign(messages.begin() + static_cast<std::ptrdiff_t>(std::min(before, messages.size())),
                          messages.end());
    overview = std::move(result);
    return status;
}

}  // namespace Veltrix::Marlin
