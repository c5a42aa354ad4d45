#pragma once
// Runs the built plover binary with its outputs captured in files.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Files.h"

using PloverTest::TempFolder;

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> ErrLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Arguments are quoted for the shell; none of ours holds a single quote.
// Standard output goes to stdoutPath when one is given (out is then empty).
inline ToolResult RunTool(const TempFolder& folder, const std::vector<std::string>& args,
                          const std::string& stdoutPath = "")
{
    const auto quoted = [](const std::string& text) {
        std::string q;
        q.reserve(text.size() + 3);
        q.append(" '").append(text).append("'");
        return q;
    };
    const std::string out = stdoutPath.empty() ? folder.File("stdout.txt") : stdoutPath;
    const std::string err = folder.File("stderr.txt");
    std::string command = quoted(PLOVER_TOOL);
    for (const auto& arg : args) {
        command.append(quoted(arg));
    }
    command.append(" >").append(quoted(out)).append(" 2>").append(quoted(err));
    const int raw = std::system(command.c_str());
    ToolResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = stdoutPath.empty() ? ReadText(out) : std::string();
    result.err = ReadText(err);
    return result;
}

inline std::string Example(const std::string& name)
{
    return std::string(PLOVER_SOURCE_DIR) + "/examples/" + name;
}
