// The --feature option: the feature's ID, then optionally ":" and
// comma-separated FIELD=VALUE pairs with the feature's field names. Every
// field has a documented range (shown by `plover <command> --help`); a value
// outside it, a field given twice or a field the feature does not have is a
// usage error.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

namespace {

// One settable field: its name, the whole numbers it takes (or true/false),
// and what it sets on the feature.
struct FieldOption {
    FieldOption(std::string name_, std::int64_t min_, std::int64_t max_, std::vector<std::int64_t> values_,
                bool boolean_, std::function<void(Feature&, std::int64_t)> set_, std::string alias_ = {})
        : name(std::move(name_)), min(min_), max(max_), values(std::move(values_)), boolean(boolean_),
          set(std::move(set_)), alias(std::move(alias_))
    {
    }
    std::string name;
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::vector<std::int64_t> values;  // when not empty, the only values allowed
    bool boolean = false;
    std::function<void(Feature&, std::int64_t)> set;
    std::string alias;  // a second name for the same field
};

struct FeatureOptionShape {
    std::string id;
    std::function<std::unique_ptr<Feature>()> make;
    std::vector<FieldOption> fields;
};

constexpr std::int64_t U32Max = 0xFFFFFFFF;

template <typename F, typename Setter>
std::function<void(Feature&, std::int64_t)> On(Setter setter)
{
    return [setter](Feature& feature, std::int64_t value) { setter(static_cast<F&>(feature), value); };
}

const std::vector<FeatureOptionShape>& Catalogue()
{
    static const std::vector<FeatureOptionShape> catalogue = {
        {"FH",
         [] { return std::make_unique<FrequencyHoppingFeature>(); },
         {
             {"mode", 0, 4, {}, false,
              On<FrequencyHoppingFeature>([](auto& f, std::int64_t v) { f.mode(static_cast<std::int32_t>(v)); })},
             {"minFrameDuration_us", 0, U32Max, {}, false,
              On<FrequencyHoppingFeature>(
                  [](auto& f, std::int64_t v) { f.minFrameDuration_us(static_cast<std::uint32_t>(v)); })},
             {"minOperatingFrequency_kHz", 0, U32Max, {}, false,
              On<FrequencyHoppingFeature>(
                  [](auto& f, std::int64_t v) { f.minOperatingFrequency_kHz(static_cast<std::uint32_t>(v)); })},
         }},
        {"MCS",
         [] { return std::make_unique<McsFeature>(); },
         {
             {"mode", 0, 2, {}, false,
              On<McsFeature>([](auto& f, std::int64_t v) { f.mode(static_cast<std::int32_t>(v)); })},
             {"interfaceType", 0, 2, {}, false,
              On<McsFeature>([](auto& f, std::int64_t v) { f.interfaceType(static_cast<std::int32_t>(v)); })},
             {"minOperatingFrequency_kHz", 0, U32Max, {}, false,
              On<McsFeature>(
                  [](auto& f, std::int64_t v) { f.minOperatingFrequency_kHz(static_cast<std::uint32_t>(v)); })},
         }},
        {"MMSync",
         [] { return std::make_unique<MonitorModeSyncFeature>(); },
         {
             {"monitorModeSyncOverSamplingRatio", 0, 0, {2, 4, 8}, false,
              On<MonitorModeSyncFeature>([](auto& f, std::int64_t v) {
                  f.monitorModeSyncOverSamplingRatio(static_cast<MonitorModeSyncOverSamplingRatio>(v));
              })},
         }},
        {"DynamicProfile",
         [] { return std::make_unique<DynamicProfileFeature>(); },
         {
             {"numDynamicProfiles", 1, 6, {}, false,
              On<DynamicProfileFeature>(
                  [](auto& f, std::int64_t v) { f.numDynamicProfiles(static_cast<std::int32_t>(v)); })},
         }},
        {"RxPortImpedanceControl",
         [] { return std::make_unique<RxPortImpedanceControlFeature>(); },
         {
             {"rx1", 0, 1, {}, true,
              On<RxPortImpedanceControlFeature>([](auto& f, std::int64_t v) { f.rx1PortImpedanceControl(v != 0); }),
              "rx1PortImpedanceControl"},
             {"rx2", 0, 1, {}, true,
              On<RxPortImpedanceControlFeature>([](auto& f, std::int64_t v) { f.rx2PortImpedanceControl(v != 0); }),
              "rx2PortImpedanceControl"},
         }},
        // The LNA configurations are records, not scalars: the command line
        // enables the feature with its defaults only.
        {"ExternalLna", [] { return std::make_unique<ExternalLnaFeature>(); }, {}},
    };
    return catalogue;
}

std::string Allowed(const FieldOption& field)
{
    if (field.boolean) {
        return "true or false";
    }
    if (!field.values.empty()) {
        std::string list;
        for (std::size_t i = 0; i < field.values.size(); ++i) {
            list += (i == 0 ? "" : i + 1 == field.values.size() ? " or " : ", ") + std::to_string(field.values[i]);
        }
        return list;
    }
    return "a whole number in " + std::to_string(field.min) + ".." + std::to_string(field.max);
}

std::int64_t FieldValue(const std::string& id, const FieldOption& field, const std::string& text)
{
    if (field.boolean) {
        if (text == "true" || text == "1") {
            return 1;
        }
        if (text == "false" || text == "0") {
            return 0;
        }
    } else {
        std::int64_t value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        const bool allowed = field.values.empty()
                                 ? value >= field.min && value <= field.max
                                 : std::find(field.values.begin(), field.values.end(), value) != field.values.end();
        if (!text.empty() && ec == std::errc() && ptr == end && allowed) {
            return value;
        }
    }
    throw UsageError("feature " + id + " field " + field.name + " takes " + Allowed(field) + ", not '" + text + "'");
}

}  // namespace

std::unique_ptr<Feature> ParseFeatureOption(const std::string& optionText)
{
    const auto colon = optionText.find(':');
    const std::string id = optionText.substr(0, colon);
    std::string_view pairs =
        colon == std::string::npos ? std::string_view() : std::string_view(optionText).substr(colon + 1);
    const FeatureOptionShape* shape = nullptr;
    std::string known;
    for (const FeatureOptionShape& candidate : Catalogue()) {
        known += (known.empty() ? "" : ", ") + candidate.id;
        if (candidate.id == id) {
            shape = &candidate;
        }
    }
    if (shape == nullptr) {
        throw UsageError("unknown feature '" + id + "' (known: " + known + ")");
    }
    auto feature = shape->make();
    std::set<std::string> given;
    while (colon != std::string::npos) {
        const auto comma = pairs.find(',');
        const std::string_view pair = pairs.substr(0, comma);
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos) {
            throw UsageError("feature " + id + ": expected FIELD=VALUE, not '" + std::string(pair) + "'");
        }
        const std::string name(pair.substr(0, equals));
        const auto field = std::find_if(shape->fields.begin(), shape->fields.end(),
                                        [&](const FieldOption& f) { return f.name == name || f.alias == name; });
        if (field == shape->fields.end()) {
            std::string names;
            for (const FieldOption& f : shape->fields) {
                names += (names.empty() ? "" : ", ") + f.name;
            }
            throw UsageError("feature " + id + " has no field '" + name + "'" +
                             (names.empty() ? " (it takes none)" : " (fields: " + names + ")"));
        }
        if (!given.insert(field->name).second) {
            throw UsageError("feature " + id + " field " + field->name + " is given twice");
        }
        field->set(*feature, FieldValue(id, *field, std::string(pair.substr(equals + 1))));
        if (comma == std::string_view::npos) {
            break;
        }
        pairs = pairs.substr(comma + 1);
    }
    return feature;
}

std::string FeatureOptionHelp()
{
    std::string help;
    for (const FeatureOptionShape& shape : Catalogue()) {
        help += "\n  " + shape.id;
        for (const FieldOption& field : shape.fields) {
            help += (&field == &shape.fields.front() ? ": " : ", ") + field.name + " (" + Allowed(field) + ")";
        }
    }
    return help;
}

}  // namespace Veltrix::Marlin::Cli
