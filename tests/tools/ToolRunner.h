#pragma once
// Runs the built plover binary in a scratch folder, its outputs captured in files.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/Json.h"

using PloverTest::ReadText;
using PloverTest::TempFolder;
using PloverTest::WriteText;

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Arguments are quoted for the shell; none of ours holds a single quote.
// Standard output goes to stdoutPath when one is given (out is then empty).
inline ToolResult RunTool(const TempFolder& folder, const std::vector<std::string>& args,
                          const std::string& stdoutPath = "")
{
    const auto quoted = [](const std::string& text) { return " '" + text + "'"; };
    const std::string out = stdoutPath.empty() ? folder.File("stdout.txt") : stdoutPath;
    std::string command = "cd" + quoted(folder.path().string()) + " &&" + quoted(PLOVER_TOOL);
    for (const auto& arg : args) command.append(quoted(arg));
    command.append(" >").append(quoted(out)).append(" 2>").append(quoted(folder.File("stderr.txt")));
    const int raw = std::system(command.c_str());
    ToolResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = stdoutPath.empty() ? ReadText(out) : std::string();
    result.err = ReadText(folder.File("stderr.txt"));
    return result;
}

inline std::string Example(const std::string& name) { return PloverTest::ExamplePath(name); }
