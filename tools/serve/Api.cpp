#include "serve/Api.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <set>

#include "Cli.h"
#include "host/Analysis.h"
#include "host/BlueprintCheck.h"
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

// Blueprint features from the catalogue: {"id": "FH", "mode": 2}.
std::unique_ptr<Feature> FeatureOf(const json& given)
{
    if (!given.is_object() || !given.contains("id") || !given["id"].is_string()) {
        throw RequestError(400, "each feature must be an object with a string \"id\"");
    }
    const std::string id = given["id"].get<std::string>();
    const FeatureDescription* description = FeatureCatalogue::Find(id);
    if (description == nullptr) {
        std::string known;
        for (const auto& d : FeatureCatalogue::All()) {
            known += (known.empty() ? "" : ", ") + d.id;
        }
        throw RequestError(400, "unknown feature '" + id + "' (known: " + known + ")");
    }
    std::unique_ptr<Feature> feature = description->make();
    for (const auto& [key, value] : given.items()) {
        if (key == "id") {
            continue;
        }
        const FeatureField* field = description->Field(key);
        if (field == nullptr) {
            throw RequestError(400, "feature " + id + " has no field '" + key + "'");
        }
        std::int64_t number = 0;
        if (field->boolean && value.is_boolean()) {
            number = value.get<bool>() ? 1 : 0;
        } else if (!field->boolean && value.is_number_integer()) {
            number = value.get<std::int64_t>();
        } else {
            throw RequestError(400, "feature field " + id + "." + key + " needs " + field->AcceptedText());
        }
        if (!field->Accepts(number)) {
            throw RequestError(400, "feature field " + id + "." + key + " needs " + field->AcceptedText());
        }
        field->set(*feature, number);
    }
    return feature;
}

MarlinBlueprint BlueprintOf(const json& request)
{
    const json features = request.value("features", json::array());
    if (!features.is_array()) {
        throw RequestError(400, "\"features\" must be an array");
    }
    std::vector<std::unique_ptr<Feature>> handles;
    for (const auto& feature : features) {
        handles.push_back(FeatureOf(feature));
    }

    MarlinBlueprint blueprint;
    if (request.contains("blueprint")) {
        const json& given = request["blueprint"];
        if (!given.is_object()) {
            throw RequestError(400, "\"blueprint\" must be a JSON object");
        }
        const std::string text = given.dump();
        const std::vector<BlueprintProblem> problems = Blueprint_CheckKeys(text);
        if (!problems.empty()) {
            std::string message = "blueprint: " + problems.front().text;
            if (problems.size() > 1) {
                message += " (and " + std::to_string(problems.size() - 1) + " more)";
            }
            throw RequestError(400, message);
        }
        try {
            blueprint.LoadFromString(text);
        } catch (const std::exception& e) {  // the JSON library's type and range errors
            throw RequestError(400, std::string("not a valid blueprint: ") + e.what());
        }
    }
    blueprint.expandedSearchEnable(Field<bool>(request, "expandedSearch", false));
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (blueprint.Feature_Enable(*handles[i]) != 0) {
            throw OperationFailed("enabling feature '" + handles[i]->ID() + "' failed");
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

json Features(const json&, const std::string&, const Bundle&, ReportCapture&)
{
    json features = json::array();
    for (const FeatureDescription& d : Analysis::Features_List()) {
        const std::unique_ptr<Feature> defaults = d.make();
        json fields = json::array();
        for (const FeatureField& f : d.fields) {
            json field = {{"name", f.name}, {"type", f.Type()}, {"description", f.description}};
            if (f.boolean) {
                field["default"] = f.get(*defaults) != 0;
            } else {
                field["default"] = f.get(*defaults);
                field["min"] = f.min;
                field["max"] = f.max;
                if (!f.allowed.empty()) {
                    field["allowed"] = f.allowed;
                }
            }
            fields.push_back(field);
        }
        features.push_back({{"id", d.id}, {"description", d.description}, {"fields", fields}});
    }
    return {{"features", features}};
}

std::int32_t PortOf(const json& request)
{
    const std::string port = Field<std::string>(request, "port", "rx");
    if (port != "rx" && port != "tx") {
        throw RequestError(400, "\"port\" must be \"rx\" or \"tx\"");
    }
    return port == "rx" ? PortRx : PortTx;
}

ResponseSpan SpanOf(const json& request)
{
    if (!request.contains("span")) {
        return ResponseSpan::Named("default");
    }
    const json& span = request["span"];
    if (span.is_string()) {
        try {
            return ResponseSpan::Named(span.get<std::string>());
        } catch (const std::invalid_argument&) {
            throw RequestError(400, "\"span\" must be \"default\", \"passband\", \"output\", \"full\" or {\"start_Hz\", \"stop_Hz\"}");
        }
    }
    if (span.is_object() && span.size() == 2 && span.contains("start_Hz") && span.contains("stop_Hz") &&
        span["start_Hz"].is_number() && span["stop_Hz"].is_number()) {
        const double start = span["start_Hz"].get<double>();
        const double stop = span["stop_Hz"].get<double>();
        if (std::isfinite(start) && std::isfinite(stop) && start <= stop) {
            return ResponseSpan::Range(start, stop);
        }
    }
    throw RequestError(400, "\"span\" must be \"default\", \"passband\", \"output\", \"full\" or {\"start_Hz\", \"stop_Hz\"} in order");
}

// The channel's response over the span asked (by default passband,
// transition and first alias or image band), at most maxPoints of the
// grid's own points, evenly spread with the first kept, as the tool keeps
// them; the figures are always the whole grid's.
json Response(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {"port", "channel", "span", "maxPoints", "stages"});
    const std::int32_t port = PortOf(request);
    const auto channel = static_cast<std::int32_t>(Integer(request, "channel", 1, 1, 2));
    const auto maxPoints = static_cast<std::size_t>(Integer(request, "maxPoints", 4096, 2, 1 << 20));
    const ResponseSpan span = SpanOf(request);
    const bool stages = Field<bool>(request, "stages", false);
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    ChannelResponse response;
    Analysis::Response_Get(response, profile, port, channel, span, stages);
    if (response.magnitude_dB.empty()) {
        throw OperationFailed("no response for this channel");
    }
    const std::size_t size = response.magnitude_dB.size();
    const std::size_t points = std::min(size, maxPoints);
    std::vector<std::size_t> picked(points);
    for (std::size_t k = 0; k < points; ++k) {
        picked[k] = static_cast<std::size_t>(static_cast<unsigned long long>(k) * size / points);
    }
    const auto pick = [&picked](const std::vector<double>& values) {
        json out = json::array();
        for (const std::size_t i : picked) {
            out.push_back(values[i]);
        }
        return out;
    };
    json parts = json::array();
    for (const ResponsePart& part : response.parts) {
        parts.push_back({{"name", part.name}, {"magnitude_dB", pick(part.magnitude_dB)}});
    }
    json answer = {{"frequency_Hz", pick(response.frequency_Hz)},
                   {"magnitude_dB", pick(response.magnitude_dB)},
                   {"ripple_dB", response.ripple_dB},
                   {"rejection_dB", response.rejection_dB},
                   {"rate_Hz", response.rate_Hz},
                   {"bandwidth_Hz", response.bandwidth_Hz},
                   {"converterClock_Hz", response.converterClock_Hz},
                   {"systemClock_Hz", response.systemClock_Hz},
                   {"start_Hz", response.start_Hz},
                   {"stop_Hz", response.stop_Hz},
                   {"step_Hz", response.step_Hz}};
    if (stages) {
        answer["stages"] = parts;
    }
    return WithReports(answer, reports);
}

json Coefficients(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    AllowOnly(request, {"port", "channel"});
    const std::int32_t port = PortOf(request);
    const auto channel = static_cast<std::int32_t>(Integer(request, "channel", 1, 1, 2));
    MarlinBlueprint blueprint = BlueprintOf(request);
    const Profile profile = Develop(blueprint);
    std::vector<PathFilterCoefficients> filters;
    if (Analysis::Coefficients_Get(filters, profile, port, channel) != 0) {
        throw OperationFailed("no filters for this channel");
    }
    json out = json::array();
    for (const PathFilterCoefficients& f : filters) {
        out.push_back({{"name", f.name},
                       {"rate_Hz", f.rate_Hz},
                       {"factor", f.factor},
                       {"taps", f.taps},
                       {"fixedTaps", f.fixedTaps},
                       {"unity", f.unity}});
    }
    return WithReports({{"filters", out}}, reports);
}

ChainsRequest::Goal GoalOf(const json& request)
{
    const auto goal = Field<std::string>(request, "goal", "maximize-bandwidth");
    if (goal == "maximize-bandwidth") {
        return ChainsRequest::Goal::MaximizeBandwidth;
    }
    if (goal == "target-ripple") {
        return ChainsRequest::Goal::TargetRipple;
    }
    if (goal == "minimize-ripple") {
        return ChainsRequest::Goal::MinimizeRipple;
    }
    throw RequestError(400, "\"goal\" must be \"maximize-bandwidth\", \"target-ripple\" or \"minimize-ripple\"");
}

json Chains(const json& request, const std::string&, const Bundle&, ReportCapture& reports)
{
    const std::set<std::string> keys{"rxRate_Hz", "rxBandwidth_Hz", "txRate_Hz", "txBandwidth_Hz", "goal",
                                      "targetRipple_dB", "minClock_Hz", "maxClock_Hz"};
    for (const auto& [key, value] : request.items()) {
        if (keys.count(key) == 0) {
            throw RequestError(400, "unknown request key '" + key + "'");
        }
    }
    constexpr std::int64_t U32 = 0xFFFFFFFF;
    ChainsRequest query;
    query.rxRate_Hz = static_cast<std::uint32_t>(Integer(request, "rxRate_Hz", 0, 1, U32));
    query.rxBandwidth_Hz = static_cast<std::uint32_t>(Integer(request, "rxBandwidth_Hz", 0, 1, U32));
    query.txRate_Hz = static_cast<std::uint32_t>(Integer(request, "txRate_Hz", 0, 0, U32));
    query.txBandwidth_Hz = static_cast<std::uint32_t>(Integer(request, "txBandwidth_Hz", 0, 0, U32));
    query.goal = GoalOf(request);
    if (request.contains("targetRipple_dB")) {
        const json& ripple = request["targetRipple_dB"];
        if (!ripple.is_number() || !(ripple.get<double>() >= 0.0 && ripple.get<double>() <= 100.0)) {
            throw RequestError(400, "\"targetRipple_dB\" must be a number from 0 to 100");
        }
        query.targetRipple_dB = ripple.get<double>();
    }
    query.minClock_Hz = static_cast<std::uint32_t>(Integer(request, "minClock_Hz", query.minClock_Hz, 1, U32));
    query.maxClock_Hz = static_cast<std::uint32_t>(Integer(request, "maxClock_Hz", query.maxClock_Hz, 1, U32));
    if (!request.contains("rxRate_Hz") || !request.contains("rxBandwidth_Hz")) {
        throw RequestError(400, "\"rxRate_Hz\" and \"rxBandwidth_Hz\" are required");
    }
    if ((query.txRate_Hz == 0) != (query.txBandwidth_Hz == 0)) {
        throw RequestError(400, "\"txRate_Hz\" and \"txBandwidth_Hz\" go together");
    }
    ChainsOutcome outcome;
    try {
        outcome = Analysis::Chains_Find(query, {}, true);
    } catch (const std::invalid_argument& e) {
        throw RequestError(400, e.what());
    }
    if (!outcome.found) {
        throw OperationFailed(outcome.cause.empty() ? "no chains found" : outcome.cause);
    }
    json answer = {{"status", outcome.status},
                   {"systemClockFrequency_Hz", outcome.systemClock_Hz},
                   {"rxChain", outcome.rxChain},
                   {"rxRipple_dB", outcome.rxRipple_dB}};
    if (query.txRate_Hz != 0) {
        answer["txChain"] = outcome.txChain;
        answer["txRipple_dB"] = outcome.txRipple_dB;
    }
    if (outcome.blueprint) {
        answer["blueprint"] = json::parse(outcome.blueprint->SaveToString());
    }
    return WithReports(answer, reports);
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
        {"GET", "/api/features", Features, nullptr},
        {"POST", "/api/response", Response, nullptr},
        {"POST", "/api/coefficients", Coefficients, nullptr},
        {"POST", "/api/chains", Chains, nullptr},
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
