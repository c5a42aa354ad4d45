// Fuzz target: the tool's command lines (one argument a line), parsed by the
// tool's own subcommands and option checks without running them.

#include <string>
#include <vector>

#include "../tools/Cli.h"
#include "FuzzSupport.h"

using namespace Veltrix::Marlin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args{"plover"};
    std::string current;
    for (const char c : Veltrix::Runnel::Fuzz::Text(data, size)) {
        if (c == '\n') {
            args.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    args.push_back(current);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }

    CLI::App app{"plover"};
    app.require_subcommand(1);
    // The commands own the values their options write: they live as long as the parse.
    const std::vector<Cli::Command> commands = {
        Cli::AddBlueprintCommand(app),     Cli::AddDesignCommand(app),         Cli::AddInspectCommand(app),
        Cli::AddResponseCommand(app),      Cli::AddDynamicProfilesCommand(app), Cli::AddStreamSettingsCommand(app),
        Cli::AddStreamImageCommand(app),   Cli::AddDisasmCommand(app),         Cli::AddChainsCommand(app),
    };
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::Error&) {
    }
    return 0;
}
