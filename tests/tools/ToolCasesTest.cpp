// Every case of tests/data/tools/cases.json run through the built tool: the
// command lines a user types, with what they must print, exit with and leave
// behind (the file's format is in the README beside it). Regenerate the
// golden outputs the cases name with PLOVER_REGENERATE_GOLDEN=1.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

struct Places {
    std::string tmp, shared;

    std::string Expand(const std::string& text) const
    {
        return Replaced(Replaced(Replaced(text, "{tmp}", tmp), "{shared}", shared), "{source}", PLOVER_SOURCE_DIR);
    }
    // The tool's output with the run's own folders named as the cases name them.
    std::string Fold(const std::string& text) const
    {
        return Replaced(Replaced(Replaced(text, tmp, "{tmp}"), shared, "{shared}"), PLOVER_SOURCE_DIR, "{source}");
    }
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each pattern starts its line; "..." stands for any run of lines.
bool Matches(const std::vector<std::string>& lines, std::size_t line, const json& patterns, std::size_t p = 0)
{
    if (p == patterns.size()) return line == lines.size();
    const std::string pattern = patterns[p];
    if (pattern == "...") {
        for (std::size_t next = line; next <= lines.size(); ++next) {
            if (Matches(lines, next, patterns, p + 1)) return true;
        }
        return false;
    }
    return line < lines.size() && lines[line].rfind(pattern, 0) == 0 && Matches(lines, line + 1, patterns, p + 1);
}

void Make(const fs::path& file, const json& recipe, const Places& places)
{
    if (recipe.contains("copy")) {
        const fs::path from = places.Expand(recipe["copy"]);
        fs::copy(from.is_absolute() ? from : fs::path(PloverTest::SourcePath(from.string())), file,
                 fs::copy_options::recursive);
    }
    if (recipe.contains("text")) WriteText(file.string(), places.Expand(recipe["text"]));
    if (recipe.contains("repeat")) {
        std::string text;
        for (const auto& piece : recipe["repeat"]) text.append(piece[1].get<std::size_t>(), piece[0].get<std::string>()[0]);
        WriteText(file.string(), text);
    }
    if (recipe.contains("edit") || recipe.contains("flip")) {
        std::string text = ReadText(file);
        for (const auto& edit : recipe.value("edit", json::array())) {
            const auto at = text.find(edit[0].get<std::string>());
            ASSERT_NE(at, std::string::npos) << file << ": " << edit[0];
            text.replace(at, edit[0].get<std::string>().size(), places.Expand(edit[1]));
        }
        if (recipe.contains("flip")) {
            text.at(recipe["flip"][0].get<std::size_t>()) ^= static_cast<char>(recipe["flip"][1].get<int>());
        }
        WriteText(file, text);
    }
    if (recipe.contains("size")) fs::resize_file(file, recipe["size"].get<std::uintmax_t>());
}

// The output against its golden file, or the golden file written anew.
void ExpectGolden(const std::string& output, const std::string& relative)
{
    const std::string path = PloverTest::SourcePath(relative);
    const char* regenerate = std::getenv("PLOVER_REGENERATE_GOLDEN");
    if (regenerate != nullptr && std::string(regenerate) == "1" && relative.rfind("tests/data/", 0) == 0) {
        WriteText(path, output);
    }
    EXPECT_EQ(PloverTest::FirstDifference(output, ReadText(path)), "") << relative;
}

void RunCase(const json& c, const TempFolder& shared, std::set<std::string>& setUp, const std::string& each = "")
{
    TempFolder folder;
    const Places places{folder.path().string(), shared.path().string()};
    const auto expand = [&](const std::string& text) { return Replaced(places.Expand(text), "{each}", each); };
    for (const auto& setup : c.value("setup", json::array())) {
        std::vector<std::string> args;
        for (const auto& arg : setup) args.push_back(expand(arg));
        if (setUp.insert(setup.dump()).second) {
            ASSERT_EQ(RunTool(shared, args).status, 0) << setup.dump();
        }
    }
    const json files = c.value("files", json::object());
    for (const auto& [name, recipe] : files.items()) Make(folder.path() / name, recipe, places);

    std::vector<std::string> args;
    for (const auto& arg : c["args"]) args.push_back(expand(arg));
    const ToolResult r = RunTool(folder, args, c.contains("stdoutTo") ? c["stdoutTo"].get<std::string>() : "");
    const std::string out = places.Fold(r.out);
    const std::string err = places.Fold(r.err);
    const int status = c.value("status", 0);
    EXPECT_EQ(r.status, status) << err;
    if (c.contains("stderr")) {
        EXPECT_TRUE(Matches(Lines(err), 0, c["stderr"])) << err;
    }
    if (c.contains("stdout") || status != 0) {
        EXPECT_TRUE(Matches(Lines(out), 0, c.value("stdout", json::array()))) << out.substr(0, 2000);
    }
    for (const auto& text : c.value("stdoutHas", json::array())) {
        EXPECT_NE(out.find(text.get<std::string>()), std::string::npos) << text << " in\n" << out.substr(0, 2000);
    }
    if (c.contains("stdoutGolden")) ExpectGolden(out, c["stdoutGolden"]);
    const json after = c.value("after", json::object());
    for (const auto& [name, expected] : after.items()) {
        const fs::path file = folder.path() / name;
        if (expected.is_null()) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << name;
        } else if (expected.is_string()) {
            ExpectGolden(ReadText(file), expected);
        } else {
            EXPECT_TRUE(Matches(Lines(ReadText(file)), 0, expected)) << name;
        }
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "left behind: " << entry.path();
    }
}

TEST(ToolCases, EveryCaseOfTheTable)
{
    const json cases = json::parse(ReadText(PloverTest::SourcePath("tests/data/tools/cases.json")));
    const TempFolder shared;
    std::set<std::string> setUp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c["name"].get<std::string>());
        if (!c.contains("each")) {
            RunCase(c, shared, setUp);
            continue;
        }
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(PloverTest::SourcePath(c["each"]))) {
            SCOPED_TRACE(entry.path().filename().string());
            RunCase(c, shared, setUp, entry.path().string());
            ++count;
        }
        EXPECT_GT(count, 0u) << c["each"];
    }
}

}  // namespace
