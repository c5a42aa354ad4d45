// Feature texts of the command line: the feature's ID, then optionally ":"
// and comma-separated field=value pairs with the feature's field names.

#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string_view>

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

namespace {

std::uint32_t ParseUnsigned(const std::string& field, const std::string& text,
                            std::uint32_t max = std::numeric_limits<std::uint32_t>::max())
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value > max) {
        throw UsageError("feature field " + field + " needs a whole number up to " + std::to_string(max) +
                         ", not '" + text + "'");
    }
    return static_cast<std::uint32_t>(value);
}

bool ParseBool(const std::string& field, const std::string& text)
{
    if (text == "true" || text == "1") {
        return true;
    }
    if (text == "false" || text == "0") {
        return false;
    }
    throw UsageError("feature field " + field + " needs true or false, not '" + text + "'");
}

using Setter = std::function<void(const std::string& value)>;

template <typename F>
std::map<std::string, Setter> Fields(F& f);

template <>
std::map<std::string, Setter> Fields(FrequencyHoppingFeature& f)
{
    return {
        {"mode", [&f](const std::string& v) { f.mode(static_cast<std::int32_t>(ParseUnsigned("mode", v, 0x7FFFFFFF))); }},
        {"minFrameDuration_us", [&f](const std::string& v) { f.minFrameDuration_us(ParseUnsigned("minFrameDuration_us", v)); }},
        {"minOperatingFrequency_kHz",
         [&f](const std::string& v) { f.minOperatingFrequency_kHz(ParseUnsigned("minOperatingFrequency_kHz", v)); }},
    };
}

template <>
std::map<std::string, Setter> Fields(McsFeature& f)
{
    return {
        {"mode", [&f](const std::string& v) { f.mode(static_cast<std::int32_t>(ParseUnsigned("mode", v, 0x7FFFFFFF))); }},
        {"interfaceType",
         [&f](const std::string& v) { f.interfaceType(static_cast<std::int32_t>(ParseUnsigned("interfaceType", v, 0x7FFFFFFF))); }},
        {"minOperatingFrequency_kHz",
         [&f](const std::string& v) { f.minOperatingFrequency_kHz(ParseUnsigned("minOperatingFrequency_kHz", v)); }},
    };
}

template <>
std::map<std::string, Setter> Fields(MonitorModeSyncFeature& f)
{
    return {
        {"monitorModeSyncOverSamplingRatio",
         [&f](const std::string& v) {
             const std::uint32_t ratio = ParseUnsigned("monitorModeSyncOverSamplingRatio", v, 8);
             if (ratio != 2 && ratio != 4 && ratio != 8) {
                 throw UsageError("feature field monitorModeSyncOverSamplingRatio must be 2, 4 or 8, not '" + v + "'");
             }
             f.monitorModeSyncOverSamplingRatio(static_cast<MonitorModeSyncOverSamplingRatio>(ratio));
         }},
    };
}

template <>
std::map<std::string, Setter> Fields(DynamicProfileFeature& f)
{
    return {
        {"numDynamicProfiles",
         [&f](const std::string& v) {
             f.numDynamicProfiles(static_cast<std::int32_t>(ParseUnsigned("numDynamicProfiles", v, 0x7FFFFFFF)));
         }},
    };
}

template <>
std::map<std::string, Setter> Fields(RxPortImpedanceControlFeature& f)
{
    const Setter rx1 = [&f](const std::string& v) { f.rx1PortImpedanceControl(ParseBool("rx1", v)); };
    const Setter rx2 = [&f](const std::string& v) { f.rx2PortImpedanceControl(ParseBool("rx2", v)); };
    return {{"rx1", rx1}, {"rx2", rx2}, {"rx1PortImpedanceControl", rx1}, {"rx2PortImpedanceControl", rx2}};
}

// The LNA configurations are records, not scalars: the command line enables
// the feature with its defaults only.
template <>
std::map<std::string, Setter> Fields(ExternalLnaFeature& /*f*/)
{
    return {};
}

template <typename F>
std::unique_ptr<Feature> Build(const std::string& id, std::string_view pairs)
{
    auto feature = std::make_unique<F>();
    const auto fields = Fields(*feature);
    while (!pairs.empty()) {
        const auto comma = pairs.find(',');
        const std::string_view pair = pairs.substr(0, comma);
        pairs = comma == std::string_view::npos ? std::string_view() : pairs.substr(comma + 1);
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos) {
            throw UsageError("feature " + id + ": expected field=value, not '" + std::string(pair) + "'");
        }
        const std::string name(pair.substr(0, equals));
        const auto it = fields.find(name);
        if (it == fields.end()) {
            std::string known;
            for (const auto& [key, setter] : fields) {
                known += (known.empty() ? "" : ", ") + key;
            }
            throw UsageError("feature " + id + " has no field '" + name + "'" +
                             (known.empty() ? " (it takes none)" : " (fields: " + known + ")"));
        }
        it->second(std::string(pair.substr(equals + 1)));
    }
    return feature;
}

}  // namespace

std::unique_ptr<Feature> ParseFeatureSpec(const std::string& featureText)
{
    const auto colon = featureText.find(':');
    const std::string id = featureText.substr(0, colon);
    const std::string_view pairs =
        colon == std::string::npos ? std::string_view() : std::string_view(featureText).substr(colon + 1);
    if (id == "FH") {
        return Build<FrequencyHoppingFeature>(id, pairs);
    }
    if (id == "MCS") {
        return Build<McsFeature>(id, pairs);
    }
    if (id == "MMSync") {
        return Build<MonitorModeSyncFeature>(id, pairs);
    }
    if (id == "DynamicProfile") {
        return Build<DynamicProfileFeature>(id, pairs);
    }
    if (id == "RxPortImpedanceControl") {
        return Build<RxPortImpedanceControlFeature>(id, pairs);
    }
    if (id == "ExternalLna") {
        return Build<ExternalLnaFeature>(id, pairs);
    }
    throw UsageError("unknown feature '" + id +
                     "' (known: FH, MCS, MMSync, DynamicProfile, RxPortImpedanceControl, ExternalLna)");
}

}  // namespace Veltrix::Marlin::Cli
