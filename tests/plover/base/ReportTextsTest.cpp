// The table of report texts against the sources that emit them: each row's
// text, line and unit are found in one source file that reports at that level,
// and every unit-and-line pair a source passes to the collector has a row.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/ReportTexts.h"

using namespace PloverTest;

namespace {

struct Source {
    std::string name;
    std::string text;  // adjacent string literals joined, as the compiler sees them
};

const std::vector<Source>& Sources()
{
    static const std::vector<Source> sources = [] {
        std::vector<Source> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(SourcePath("src/plover"))) {
            if (entry.path().extension() != ".cpp") continue;
            all.push_back({entry.path().filename().string(),
                           std::regex_replace(ReadText(entry.path()), std::regex("\"\\s+\""), "")});
        }
        return all;
    }();
    return sources;
}

// "RxChannel.h" is SourceUnit::RxChannelHeader.
std::string UnitConstant(const std::string& unit)
{
    const auto dot = unit.find('.');
    return "SourceUnit::" + (dot == std::string::npos ? unit : unit.substr(0, dot) + "Header");
}

// The literal pieces of a text between its "{}", quotes escaped as the source writes them.
std::vector<std::string> Pieces(const std::string& text)
{
    const std::string escaped = std::regex_replace(text, std::regex("\""), "\\\"");
    const std::regex hole("\\{\\}");
    return {std::sregex_token_iterator(escaped.begin(), escaped.end(), hole, -1), std::sregex_token_iterator()};
}

// A piece ending in the direction may take it from a shared rule's "Rx" or "Tx".
bool Contains(const std::string& source, const std::string& piece)
{
    if (source.find(piece) != std::string::npos) return true;
    const std::string direction = piece.size() >= 2 ? piece.substr(piece.size() - 2) : "";
    return (direction == "Rx" || direction == "Tx") &&
           source.find(piece.substr(0, piece.size() - 2)) != std::string::npos &&
           source.find('"' + direction + '"') != std::string::npos;
}

}  // namespace

TEST(ReportTexts, EveryRowIsEmittedWhereItSays)
{
    for (const ReportText& row : ReportTexts()) {
        const std::string level = row.level == std::string("THROWN") ? "ErrorHandler::Error(" : std::string("LogLevel::") + row.level;
        const std::regex line("\\b" + std::to_string(row.line) + "\\b");
        bool found = false;
        for (const Source& source : Sources()) {
            bool all = source.text.find(UnitConstant(row.unit)) != std::string::npos &&
                       source.text.find(level) != std::string::npos && std::regex_search(source.text, line);
            for (const std::string& piece : Pieces(row.text)) {
                all = all && Contains(source.text, piece);
            }
            found = found || all;
        }
        EXPECT_TRUE(found) << row.unit << " line " << row.line << ": " << row.text;
    }
}

TEST(ReportTexts, EveryDirectReportSiteHasARow)
{
    std::set<std::pair<std::string, int>> rows;
    for (const ReportText& row : ReportTexts()) rows.insert({UnitConstant(row.unit), row.line});
    const std::regex site("(SourceUnit::\\w+),\\s*(\\d+)\\)");
    for (const Source& source : Sources()) {
        for (std::sregex_iterator it(source.text.begin(), source.text.end(), site), end; it != end; ++it) {
            EXPECT_TRUE(rows.count({(*it)[1], std::stoi((*it)[2])})) << source.name << ": " << it->str();
        }
    }
}

// The helpers every behaviour test names reports with.
TEST(ReportTexts, IdentityMatchesFilledTextsOnly)
{
    EXPECT_TRUE(IsReport(ReportLine("Profile", 417, {"2"}), "Profile", 417));
    EXPECT_FALSE(IsReport(ReportLine("FilterDesigner", 400), "FilterDesigner", 405));
    EXPECT_FALSE(IsReport("WARNING" + ReportLine("FilterDesigner", 387).substr(5), "FilterDesigner", 387));
    EXPECT_THROW(ReportLine("FilterDesigner", 1), std::invalid_argument);
    EXPECT_THROW(ReportLine("Profile", 417), std::invalid_argument);
}
