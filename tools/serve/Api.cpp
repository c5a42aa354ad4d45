#include "serve/Api.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <set>

#include "Cli.h"
#include "host/Plover.h"
#include "host/ProfileArchitect.h"
#include "serve/ReportCapture.h"

namespace Veltrix::Marlin::Serve {

namespace {

// The keys a blueprint request may carry besides a route's own.
const std::set<std::string> BlueprintKeys{"blueprint", "features", "expandedSearch"};

void AllowOnly(const json& request, const std::set<std::string>& routeKeys)
{
    for (const auto& [key, value] : request.items()) {
        if (BlueprintKeys.count(key) == 0 && routeKeys.count(key) == 0) {
            throw RequestError(400, "unknown request key '" + key + "'");
        }
    }
}

template <typename T>
T Field(const json& request, const char* key, T fallback)
{
    if (!request.contains(key)) {
        return fallback;
    }
    try {
        return request.at(key).get<T>();
    } catch (const json::exception&) {
        throw RequestError(400, std::string("request key '") + key + "' has the wrong type");
    }
}

std::int64_t Integer(const json& request, const char* key, std::int64_t fallback, std::int64_t min, std::int64_t max)
{
    if (!request.contains(key)) {
        return fallback;
    }
    const json& value = request.at(key);
    if (!value.is_number_integer() || value.get<std::int64_t>() < min || value.get<std::int64_t>() > max) {
        throw RequestError(400, std::string("request key '") + key + "' must be a whole number from " +
                                    std::to_string(min) + " to " + std::to_string(max));
    }
    return value.get<std::int64_t>();
}

// {"id": "FH", "mode": 2, ...} into the tool's feature text "FH:mode=2,...",
// so the server and the command line read features by one set of rules.
std::string FeatureText(const json& feature)
{
    if (!feature.is_object() || !feature.contains("id") || !feature["id"].is_string()) {
        throw RequestError(400, "each feature must be an object with a string \"id\"");
    }
    std::string text = feature["id"].get<std::string>();
    std::string fields;
    for (const auto& [key, value] : feature.items()) {
        if (key == "id") {
            continue;
        }
        std::string valueText;
        if (value.is_boolean()) {
            valueText = value.get<bool>() ? "true" : "false";
        } else if (value.is_number_integer()) {
            valueText = value.dump();
        } else {
            throw RequestError(400, "feature field '" + key + "' must be a whole number or true/false");
        }
        if (key.find_first_of(",=:") != std::string::npos) {
            throw RequestError(400, "feature field name '" + key + "' is not valid");
        }
        fields += (fields.empty() ? "" : ",") + key + "=" + valueText;
    }
    return fields.empty() ? text : text + ":" + fields;
}

MarlinBlueprint BlueprintOf(const json& request)
{
    const json features = request.value("features", json::array());
    if (!features.is_array()) {
        throw RequestError(400, "\"features\" must be an array");
    }
    std::vector<std::unique_ptr<Feature>> handles;
    std::vector<std::string> texts;
    for (const auto& feature : features) {
        texts.push_back(FeatureText(feature));
        try {
            handles.push_back(Cli::ParseFeatureOption(texts.back()));
        } catch (const Cli::UsageError& e) {
            throw RequestError(400, e.what());
        }
    }

    MarlinBlueprint blueprint;
    if (request.contains("blueprint")) {
        const json& given = request["blueprint"];
        if (!given.is_object()) {
            throw RequestError(400, "\"blueprint\" must be a JSON object");
        }
        try {
            blueprint.LoadFromString(given.dump());
        } catch (const std::exception& e) {  // the JSON library's type and range errors
            throw RequestError(400, std::string("not a valid blueprint: ") + e.what());
        }
    }
    blueprint.expandedSearchEnable(Field<bool>(request, "expandedSearch", false));
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (blueprint.Feature_Enable(*handles[i]) != 0) {
            throw OperationFailed("enabling feature '" + texts[i] + "' failed");
        }
    }
    return blueprint;
}

Profile Develop(MarlinBlueprint& blueprint)
{
    Profile profile;
    DesignSummary summary;
    if (ProfileArchitect::Profile_Develop(profile, summary, blueprint) != 0) {
        throw OperationFailed("the design failed");
    }
    return profile;
}

std::string VersionText(const PloverVersion& v)
{
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
}

json WithReports(json answer, const ReportCapture& reports)
{
    answer["reports"] = reports.Lines();
    return answer;
}

json Version(const json&, const std::string&, const Bundle& bundle, ReportCapture&)
{
    return {{"plover", VersionText(Plover::Version_Get())},
            {"streams", VersionText(Plover::RunnelVersion_Get())},
            {"streamTemplates", VersionText(Plover::RunnelAsmVersion_Get(bundle.topLevelPath))}};
}

json Examples(const json&, const std::string&, const Bundle& bundle, ReportCapture&)
{
    json names = json::array();
    for (const auto& [name, text] : bundle.examples) {
        names.push_back(name);
    }
    return {{"examples", names}};
}

// Only names the server listed at start are answered, so no client text ever
// becomes part of a path.
json Example(const json&, const std::string& name, const Bundle& bundle, ReportCapture&)
{
    const auto it = bundle.examples.find(name);
    if (it == bundle.examples.end()) {
        throw RequestError(404, "no example named '" + name + "'");
    }
    try {
        return {{"name", name}, {"blueprint", json::parse(it->second)}};
    } catch (const json::exception&) {
        throw std::runtime_error("the bundled example '" + name + "' is not JSON");
    }
}

json Normalise(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {});
    MarlinBlueprint blueprint = BlueprintOf(request);
    const std::string text = blueprint.SaveToString();
    return WithReports({{"blueprint", json::parse(text)}, {"text", text}}, reports);
}

json Inspect(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {});
    MarlinBlueprint blueprint = BlueprintOf(request);
    return WithReports(Cli::InspectJson(blueprint), reports);
}

json Design(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {});
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    json summary = Cli::DesignSummaryJson(profile, "");
    summary.erase("profile");
    return WithReports({{"summary", summary}, {"profile", profile.SaveToString()}}, reports);
}

json DynamicProfilesRoute(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {"count"});
    const auto count = Integer(request, "count", 2, 2, 6);
    json withFeature = request;
    withFeature.erase("count");
    withFeature["features"] = request.value("features", json::array());
    if (!withFeature["features"].is_array()) {
        throw RequestError(400, "\"features\" must be an array");
    }
    withFeature["features"].push_back({{"id", "DynamicProfile"}, {"numDynamicProfiles", count}});
    MarlinBlueprint blueprint = BlueprintOf(withFeature);
    const Profile profile = Develop(blueprint);
    DynamicProfiles profiles{};
    if (profile.DynamicProfiles_Get(profiles) != 0) {
        throw OperationFailed("the dynamic profiles could not be derived");
    }
    return WithReports({{"dynamicProfiles", Cli::DynamicProfilesJson(profiles, static_cast<std::size_t>(count))}},
                       reports);
}

json StreamSettingsRoute(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {});
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    StreamSettings settings;
    profile.StreamSettings_Get(settings);
    const std::string text = settings.SaveToString();
    return WithReports({{"streamSettings", json::parse(text)}, {"text", text}}, reports);
}

// Ripple: the spread over |f| <= bandwidth / 2; rejection: the passband's
// lowest level above the highest at |f| >= rate - bandwidth / 2.
json Response(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {"port", "channel", "maxPoints", "stages"});
    const std::string port = Field<std::string>(request, "port", "rx");
    if (port != "rx" && port != "tx") {
        throw RequestError(400, "\"port\" must be \"rx\" or \"tx\"");
    }
    const auto channel = static_cast<std::int32_t>(Integer(request, "channel", 1, 1, 2));
    const auto maxPoints = static_cast<std::size_t>(Integer(request, "maxPoints", 4096, 2, 1 << 20));
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    std::vector<double> magnitudes;
    double f0 = 0.0;
    double df = 0.0;
    if (profile.FrequencyResponse_Get(magnitudes, f0, df, port == "rx" ? PortRx : PortTx, channel) != 0) {
        throw OperationFailed("no response for this channel");
    }
    const bool rx = port == "rx";
    const double rate = rx ? profile.RxChannels_Get(channel).GetManaged().rxOutputRate_Hz
                           : profile.TxChannels_Get(channel).GetManaged().txInputRate_Hz;
    const double bandwidth = rx ? profile.RxChannels_Get(channel).GetManaged().primarySigBandwidth_Hz
                                : profile.TxChannels_Get(channel).GetManaged().primarySigBandwidth_Hz;
    double passMin = 1e300, passMax = -1e300, stopMax = -1e300;
    json frequency = json::array();
    json magnitude = json::array();
    const std::size_t size = magnitudes.size();
    const std::size_t points = std::min(size, maxPoints);
    for (std::size_t i = 0; i < size; ++i) {
        const double f = std::abs(f0 + df * static_cast<double>(i));
        if (f <= bandwidth / 2.0) {
            passMin = std::min(passMin, magnitudes[i]);
            passMax = std::max(passMax, magnitudes[i]);
        } else if (f >= rate - bandwidth / 2.0) {
            stopMax = std::max(stopMax, magnitudes[i]);
        }
    }
    for (std::size_t k = 0; k < points; ++k) {
        const std::size_t i = static_cast<std::size_t>(static_cast<unsigned long long>(k) * size / points);
        frequency.push_back(f0 + df * static_cast<double>(i));
        magnitude.push_back(magnitudes[i]);
    }
    return WithReports({{"frequency_Hz", frequency},
                        {"magnitude_dB", magnitude},
                        {"ripple_dB", passMin <= passMax ? passMax - passMin : 0.0},
                        {"rejection_dB", passMin <= passMax && stopMax > -1e300 ? passMin - stopMax : 0.0},
                        {"rate_Hz", rate},
                        {"bandwidth_Hz", bandwidth}},
                       reports);
}

std::string SiVersion(const json& request)
{
    const auto version = Field<std::string>(request, "siVersion", "c0");
    if (version != "c0" && version != "b0") {
        throw RequestError(400, "\"siVersion\" must be \"c0\" or \"b0\"");
    }
    return version;
}

Reply StreamImage(const json& request, const Bundle& bundle, ReportCapture&)
{
    AllowOnly(request, {"siVersion"});
    const std::string siVersion = SiVersion(request);
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    const std::vector<std::uint8_t> image = profile.StreamImage_Get(bundle.topLevelPath, siVersion);
    Reply reply;
    reply.contentType = "application/octet-stream";
    reply.body.assign(image.begin(), image.end());
    reply.attachment = "stream-image.bin";
    return reply;
}

}  // namespace

Reply JsonReply(const json& document, int status)
{
    Reply reply;
    reply.status = status;
    // Replacement characters instead of a throw for invalid UTF-8 in report lines.
    reply.body = document.dump(-1, ' ', false, json::error_handler_t::replace);
    return reply;
}

Reply ErrorReply(int status, const std::string& message, const std::vector<std::string>& reports)
{
    json document = {{"error", message}};
    if (!reports.empty()) {
        document["reports"] = reports;
    }
    return JsonReply(document, status);
}

const std::vector<Route>& Routes()
{
    static const std::vector<Route> routes = {
        {"GET", "/api/version", Version, nullptr},
        {"GET", "/api/examples", Examples, nullptr},
        {"GET", "/api/examples/", Example, nullptr},
        {"POST", "/api/blueprint", Normalise, nullptr},
        {"POST", "/api/inspect", Inspect, nullptr},
        {"POST", "/api/design", Design, nullptr},
        {"POST", "/api/dynamic-profiles", DynamicProfilesRoute, nullptr},
        {"POST", "/api/stream-settings", StreamSettingsRoute, nullptr},
        {"POST", "/api/stream-image", nullptr, StreamImage},
        {"POST", "/api/response", Response, nullptr},
    };
    return routes;
}

Reply Answer(const Route& route, const json& request, const std::string& segment, const Bundle& bundle)
{
    ReportCapture reports;
    try {
        if (route.binary) {
            return route.binary(request, bundle, reports);
        }
        return JsonReply(route.answer(request, segment, bundle, reports));
    } catch (const RequestError& e) {
        return ErrorReply(e.status(), e.what(), reports.Lines());
    } catch (const OperationFailed& e) {
        return ErrorReply(422, e.what(), reports.Lines());
    } catch (const json::exception& e) {
        return ErrorReply(400, e.what(), reports.Lines());
    } catch (const std::bad_alloc&) {
        return ErrorReply(503, "out of memory", reports.Lines());
    } catch (const std::invalid_argument& e) {
        return ErrorReply(400, e.what(), reports.Lines());
    } catch (const std::exception& e) {
        // The library throws what it has recorded: a configuration it cannot build.
        return ErrorReply(422, e.what(), reports.Lines());
    }
}

}  // namespace Veltrix::Marlin::Serve
