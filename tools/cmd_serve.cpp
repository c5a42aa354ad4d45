// plover serve: the page and the JSON API on a local HTTP server.

#include <csignal>

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <iostream>

#include "Cli.h"
#include "serve/Server.h"

extern char** environ;

namespace Veltrix::Marlin::Cli {

namespace {

namespace fs = std::filesystem;

// A bundled folder: beside an installed binary first, then the build or
// source tree the binary came from.
std::string BundledFolder(const std::string& installed, const std::string& built)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path candidate = self.parent_path() / installed;
        if (fs::is_directory(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return built;
}

// The desktop's browser, without a shell between us and the URL.
void OpenInBrowser(const std::string& url)
{
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
        std::cerr << "plover serve: cannot start a browser; open " << url << " yourself\n";
    }
}

}  // namespace

Command AddServeCommand(CLI::App& app)
{
    struct Options {
        Serve::ServerOptions server;
        bool open = false;
        double budget_s = 30.0;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("serve", "serve the configurator page and its JSON API over HTTP");
    command->add_option("--port", options->server.port, "TCP port (0: any free port)")
        ->capture_default_str()
        ->check(CLI::Range(0, 65535));
    command->add_option("--host", options->server.host, "address to listen on")->capture_default_str();
    command->add_flag("--open", options->open, "open the page in the desktop's browser");
    command->add_option("--budget", options->budget_s, "seconds a request may compute before it is abandoned")
        ->capture_default_str()
        ->check(CLI::Range(0.1, 3600.0));
    return {command, [options] {
                Serve::ServerOptions server = options->server;
                server.budget = std::chrono::milliseconds(static_cast<long long>(options->budget_s * 1000));
                server.webFolder = BundledFolder(PLOVER_SHARE_INSTALL_RELATIVE "/web", PLOVER_WEB_BUILD_DIR);
                server.examplesFolder =
                    BundledFolder(PLOVER_SHARE_INSTALL_RELATIVE "/examples", PLOVER_EXAMPLES_SOURCE_DIR);
                server.topLevelPath = DefaultTopLevelPath();
                if (server.host != "127.0.0.1" && server.host != "localhost" && server.host != "::1") {
                    std::cerr << "plover serve: warning: listening on " << server.host
                              << "; the API has no authentication, anyone who can reach this address can use it\n";
                }
                // A client that hangs up mid-answer must not end the server.
                std::signal(SIGPIPE, SIG_IGN);
                std::string problem;
                const bool served = Serve::Serve(
                    server,
                    [&options](const std::string& url) {
                        std::cout << "plover serve: " << url << std::endl;
                        if (options->open) {
                            OpenInBrowser(url);
                        }
                    },
                    problem);
                if (!served) {
                    throw UsageError(problem);
                }
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
