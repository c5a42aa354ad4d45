// plover: the command-line face of the library. Each subcommand lives in its
// own cmd_*.cpp unit; this one parses, dispatches and turns every outcome into
// an exit status: 0 success, 1 the design or operation failed (the collected
// report lines say why), 2 bad usage or unreadable input (one line).

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "Cli.h"
#include "host/ErrorHandler.h"
#include "host/Plover.h"

namespace {

using namespace Veltrix::Marlin::Cli;

// Parser messages may span lines; the tool's errors are one line each.
std::string OneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

void PrintError(const std::string& text)
{
    std::cerr << "plover: error: " << Escaped(OneLine(text)) << '\n';
}

int Run(const Command& command)
{
    const ReportWatch reports;
    try {
        const int status = command.run();
        const std::string note = status == ExitSuccess && command.errorsAnswer ? command.errorsAnswer() : "";
        reports.PrintNew(status == ExitSuccess, !note.empty());
        if (!note.empty() && reports.HasNewErrors()) {
            std::cerr << "plover: note: " << note << '\n';
        }
        return status;
    } catch (const OutputError& e) {
        reports.PrintNew();
        PrintError(e.what());
        return ExitUsage;
    } catch (const UsageError& e) {
        PrintError(e.what());
        if (!e.detail.empty()) {
            std::cerr << "plover: note: " << Escaped(OneLine(e.detail)) << '\n';
        }
        return ExitUsage;
    } catch (const nlohmann::json::exception& e) {
        PrintError(e.what());
        return ExitUsage;
    } catch (const OperationFailed& e) {
        reports.PrintNew();
        if (*e.what() != '\0') {
            PrintError(e.what());
        }
        if (!e.hint.empty()) {
            std::cerr << "plover: hint: " << Escaped(OneLine(e.hint)) << '\n';
        }
        return ExitFailed;
    } catch (const std::bad_alloc&) {
        reports.PrintNew();
        PrintError("out of memory");
        return ExitFailed;
    } catch (const std::exception& e) {
        reports.PrintNew();
        if (!reports.IsRecordedError(e.what())) {
            PrintError(e.what());
        }
        return ExitFailed;
    } catch (...) {
        reports.PrintNew();
        PrintError("unexpected failure");
        return ExitFailed;
    }
}

// Everything written to standard output reached it: a full disk or a closed
// reader must not pass for success.
int CheckedStandardOutput(int status)
{
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (failed) {
        const int error = errno;
        PrintError(std::string("cannot write to standard output") +
                   (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
        return ExitUsage;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace Veltrix::Marlin;
    // Standard output carries the JSON and CSV results; the engine's own
    // progress and diagnostic lines join the reports on standard error.
    ErrorHandler::PrintSink_Set([](const std::string& text) {
        std::cerr << text << std::flush;
    });
    CLI::App app{"plover: designs device profiles for the Marlin RF transceiver"};
    app.set_version_flag("--version", "plover " + Plover::VersionText_Get() + " (streams " +
                                          Plover::RunnelVersionText_Get() + ")");
    app.require_subcommand(1);
    // Inherited by every subcommand created below: --help shows each default.
    app.option_defaults()->always_capture_default();
    Plover::File_RemoveTemporariesOnSignals();

    const std::vector<Command> commands = {
        AddBlueprintCommand(app),        AddDesignCommand(app),         AddInspectCommand(app),
        AddResponseCommand(app),         AddDynamicProfilesCommand(app), AddStreamSettingsCommand(app),
        AddStreamImageCommand(app),      AddDisasmCommand(app),         AddChainsCommand(app),
        AddServeCommand(app),            AddCoefficientsCommand(app),   AddFeaturesCommand(app),
    };

    // A first word that is neither an option nor a command is a misspelt command.
    std::string names;
    bool known = false;
    for (const auto& command : commands) {
        names += (names.empty() ? "" : ", ") + command.app->get_name();
        known = known || (argc > 1 && command.app->get_name() == argv[1]);
    }
    if (argc > 1 && argv[1][0] != '-' && !known) {
        PrintError("unknown subcommand '" + std::string(argv[1]) + "' (commands: " + names + ")");
        return ExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        PrintError(std::string(e.what()) + " (see plover --help)");
        return ExitUsage;
    }

    for (const auto& command : commands) {
        if (command.app->parsed()) {
            return CheckedStandardOutput(Run(command));
        }
    }
    return ExitUsage;
}
