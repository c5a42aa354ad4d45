#pragma once
// The HTTP side of plover serve: limits, routing, static assets, the time
// budget of each request.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace Veltrix::Marlin::Serve {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080;  // 0: any free port
    std::string webFolder;
    std::string examplesFolder;
    std::string topLevelPath;
    std::chrono::milliseconds budget{30000};
    std::size_t maxBody = 1 << 20;
};

// Binds, calls ready with the URL, serves until the process ends. False with
// a message when it cannot bind or its assets are missing.
bool Serve(const ServerOptions& options, const std::function<void(const std::string& url)>& ready,
           std::string& problem);

}  // namespace Veltrix::Marlin::Serve
