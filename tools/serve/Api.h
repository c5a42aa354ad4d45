#pragma once
// The server's JSON API: each route is a plain function from the parsed
// request to a reply, so it can be read and tested apart from the HTTP
// plumbing. No route keeps state between requests.

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace Veltrix::Marlin::Serve {

using json = nlohmann::json;

struct Reply {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    // A file name offered for download; empty for none.
    std::string attachment;
};

Reply JsonReply(const json& document, int status = 200);
// {"error": message} and, when there are any, the report lines of the call.
Reply ErrorReply(int status, const std::string& message, const std::vector<std::string>& reports = {});

// What a client sent wrong, answered with its 4xx status.
class RequestError : public std::runtime_error {
public:
    RequestError(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// A call the library refused (a configuration that cannot work): 422 with
// the report lines that say why.
class OperationFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the server hands out besides computed answers, read once at start.
struct Bundle {
    std::map<std::string, std::string> examples;  // name without ".json" -> file text
    std::string topLevelPath;                     // stream resources
};

// The report lines of the library calls one request makes.
class ReportCapture;

struct Route {
    const char* method;  // "GET" or "POST"
    const char* path;    // exact, or ending in "/" to take one more path segment
    std::function<json(const json& request, const std::string& segment, const Bundle& bundle,
                       ReportCapture& reports)>
        answer;
    // Binary answers (the stream image) build their reply themselves.
    std::function<Reply(const json& request, const Bundle& bundle, ReportCapture& reports)> binary;
};

const std::vector<Route>& Routes();

// Runs a route with its reports captured; every exception becomes a JSON
// error reply.
Reply Answer(const Route& route, const json& request, const std::string& segment, const Bundle& bundle);

}  // namespace Veltrix::Marlin::Serve
