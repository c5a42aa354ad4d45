#include "serve/Server.h"

#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <thread>

#include "host/Inputs.h"
#include "serve/Api.h"

namespace Veltrix::Marlin::Serve {

namespace {

namespace fs = std::filesystem;

// Compute threads alive at once, those past their budget included: beyond
// this a request is turned away rather than queued behind runaway work.
constexpr int MaxComputing = 16;

struct Asset {
    std::string contentType;
    std::string bytes;
};

std::string ContentType(const fs::path& file)
{
    static const std::map<std::string, std::string> types = {
        {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},   {".json", "application/json"},
        {".png", "image/png"},                 {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
    };
    const auto it = types.find(file.extension().string());
    return it == types.end() ? "application/octet-stream" : it->second;
}

bool ReadWhole(const fs::path& file, std::string& bytes)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

// Every asset is read at start and looked up by its exact path, so a request
// path is never joined to a folder.
std::map<std::string, Asset> ReadAssets(const fs::path& folder)
{
    std::map<std::string, Asset> assets;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) {
            continue;
        }
        Asset asset{ContentType(it->path()), {}};
        if (ReadWhole(it->path(), asset.bytes)) {
            assets["/" + fs::relative(it->path(), folder, ec).generic_string()] = std::move(asset);
        }
    }
    return assets;
}

std::map<std::string, std::string> ReadExamples(const fs::path& folder)
{
    std::map<std::string, std::string> examples;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string text;
        if (it->path().extension() == ".json" && ReadWhole(it->path(), text)) {
            examples[it->path().stem().string()] = std::move(text);
        }
    }
    return examples;
}

void Send(httplib::Response& res, const Reply& reply)
{
    res.status = reply.status;
    res.set_content(reply.body, reply.contentType.c_str());
    if (!reply.attachment.empty()) {
        res.set_header("Content-Disposition", "attachment; filename=\"" + reply.attachment + "\"");
    }
    res.set_header("Cache-Control", "no-store");
}

// The request body as a JSON object; empty bodies read as {}.
json ParseBody(const httplib::Request& req)
{
    if (req.body.empty()) {
        return json::object();
    }
    const std::string type = req.get_header_value("Content-Type");
    if (type.rfind("application/json", 0) != 0) {
        throw RequestError(415, "the request body must be application/json, not '" + type + "'");
    }
    json body;
    std::vector<std::string> duplicates;
    try {
        body = Json_Parse(req.body, MaxJsonDepth, true, &duplicates);
    } catch (const json::exception& e) {
        throw RequestError(400, std::string("the request body is not JSON: ") + e.what());
    }
    if (!duplicates.empty()) {
        throw RequestError(400, "the request body gives a key twice: " + duplicates.front());
    }
    if (!body.is_object()) {
        throw RequestError(400, "the request body must be a JSON object");
    }
    return body;
}

class Computing {
public:
    bool TryEnter()
    {
        if (++count_ > MaxComputing) {
            --count_;
            return false;
        }
        return true;
    }
    void Leave() { --count_; }

private:
    std::atomic<int> count_{0};
};

// Runs the route on its own thread and waits at most the budget. A route
// past its budget is left to finish on its own (the library has no way to
// stop a design midway); its answer is dropped.
Reply WithinBudget(Computing& computing, std::chrono::milliseconds budget, std::function<Reply()> work)
{
    if (!computing.TryEnter()) {
        return ErrorReply(503, "the server is busy; try again");
    }
    auto task = std::make_shared<std::packaged_task<Reply()>>(std::move(work));
    std::future<Reply> answer = task->get_future();
    try {
        std::thread([task, &computing] {
            (*task)();
            computing.Leave();
        }).detach();
    } catch (const std::system_error&) {
        computing.Leave();
        return ErrorReply(503, "the server is busy; try again");
    }
    if (answer.wait_for(budget) != std::future_status::ready) {
        return ErrorReply(503, "the request took longer than its budget of " + std::to_string(budget.count()) +
                                   " ms");
    }
    return answer.get();
}

}  // namespace

bool Serve(const ServerOptions& options, const std::function<void(const std::string& url)>& ready,
           std::string& problem)
{
    const auto assets = std::make_shared<const std::map<std::string, Asset>>(ReadAssets(options.webFolder));
    if (assets->count("/index.html") == 0) {
        problem = "the page is missing: no index.html in '" + options.webFolder + "'";
        return false;
    }
    const auto bundle = std::make_shared<Bundle>();
    bundle->examples = ReadExamples(options.examplesFolder);
    bundle->topLevelPath = options.topLevelPath;
    // Threads past their budget may outlive a handler, never the process.
    static Computing computing;

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(8); };
    server.set_payload_max_length(options.maxBody);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(1000);

    for (const Route& route : Routes()) {
        const std::string path = route.path;
        const bool takesSegment = path.back() == '/';
        // Segments are names: letters, digits, '-', '_' and '.', never '..' alone.
        const std::string pattern = takesSegment ? path + "([A-Za-z0-9_.-]{1,128})" : path;
        const bool post = std::string(route.method) == "POST";
        auto handler = [&route, bundle, takesSegment, post, budget = options.budget](const httplib::Request& req,
                                                                                    httplib::Response& res) {
            try {
                json request = post ? ParseBody(req) : json::object();
                const std::string segment = takesSegment ? req.matches[1].str() : std::string();
                Send(res, WithinBudget(computing, budget, [&route, request = std::move(request), segment, bundle] {
                         return Answer(route, request, segment, *bundle);
                     }));
            } catch (const RequestError& e) {
                Send(res, ErrorReply(e.status(), e.what()));
            }
        };
        const auto wrongMethod = [method = std::string(route.method)](const httplib::Request&, httplib::Response& res) {
            Send(res, ErrorReply(405, "this route takes " + method));
        };
        if (post) {
            server.Post(pattern, handler);
            server.Get(pattern, wrongMethod);
        } else {
            server.Get(pattern, handler);
            server.Post(pattern, wrongMethod);
        }
    }

    server.Get(R"(/(.*))", [assets](const httplib::Request& req, httplib::Response& res) {
        const std::string path = req.path == "/" ? "/index.html" : req.path;
        const auto it = assets->find(path);
        if (it == assets->end()) {
            Send(res, ErrorReply(404, "no such page: " + req.path));
            return;
        }
        res.set_content(it->second.bytes, it->second.contentType.c_str());
    });

    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) {
            return;
        }
        std::string message = "no route " + req.method + " " + req.path;
        if (res.status == 413) {
            message = "the request body is larger than the server accepts";
        } else if (res.status == 400) {
            message = "malformed HTTP request";
        } else if (res.status != 404) {
            message = "request failed with HTTP status " + std::to_string(res.status);
        }
        res.set_content(ErrorReply(res.status, message).body, "application/json");
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Send(res, ErrorReply(500, "internal error"));
    });

    const int port = options.port == 0 ? server.bind_to_any_port(options.host)
                                       : (server.bind_to_port(options.host, options.port) ? options.port : -1);
    if (port < 0) {
        problem = "cannot listen on " + options.host + ":" + std::to_string(options.port);
        return false;
    }
    const std::string shownHost = options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
    ready("http://" + shownHost + ":" + std::to_string(port) + "/");
    if (!server.listen_after_bind()) {
        problem = "the server stopped unexpectedly";
        return false;
    }
    return true;
}

}  // namespace Veltrix::Marlin::Serve
