#pragma once
// The one table of report texts, tests/data/report_texts.tsv, read from the
// source folder: tests/plover/base/ReportTextsTest.cpp checks each row against
// the place that emits it, and behaviour tests name a report by unit and line
// instead of repeating its text.

#include <algorithm>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Files.h"

namespace PloverTest {

struct ReportText {
    std::string unit;  // the file name the report carries, below src\plover
    int line;
    std::string level;  // "ERROR", "WARNING" or "THROWN"
    std::string text;
};

// A malformed row is the table's mistake, so it throws rather than going missing.
inline const std::vector<ReportText>& ReportTexts()
{
    static const std::vector<ReportText> table = [] {
        const std::string path = SourcePath("tests/data/report_texts.tsv");
        std::ifstream in(path);
        if (!in) throw std::runtime_error("cannot read " + path);
        std::vector<ReportText> rows;
        for (std::string row; std::getline(in, row);) {
            if (row.empty() || row[0] == '#') continue;
            std::smatch m;
            if (!std::regex_match(row, m, std::regex("([^\t]+)\t([0-9]+)\t(ERROR|WARNING|THROWN)\t([^\t]+)"))) {
                throw std::runtime_error("malformed row in " + path + ": " + row);
            }
            rows.push_back({m[1], std::stoi(m[2]), m[3], m[4]});
        }
        return rows;
    }();
    return table;
}

inline std::string UnitPath(const std::string& unit) { return "..\\..\\..\\src\\plover\\" + unit; }

// The table's row for a unit and line; throws when there is none, so a test
// naming a report the table lacks fails.
inline const ReportText& ReportRow(const std::string& unit, int line)
{
    const auto& table = ReportTexts();
    const auto row = std::find_if(table.begin(), table.end(), [&](const ReportText& r) { return r.unit == unit && r.line == line; });
    if (row == table.end()) {
        throw std::invalid_argument("no report " + unit + " line " + std::to_string(line) + " in tests/data/report_texts.tsv");
    }
    return *row;
}

// The full line the report emits, with its "{}" still in.
inline std::string ReportPattern(const std::string& unit, int line)
{
    const ReportText& row = ReportRow(unit, line);
    const std::string prefix = row.level == "THROWN" ? "" : row.level + ": ";
    return prefix + "In " + UnitPath(unit) + " on line " + std::to_string(line) + ": " + row.text;
}

// The full line the report emits, its "{}" filled from `parts` in order; a
// part too few or too many is the test's mistake and throws.
inline std::string ReportLine(const std::string& unit, int line, const std::vector<std::string>& parts = {})
{
    std::string text = ReportPattern(unit, line);
    std::size_t from = text.find(": ") + 2;
    for (const std::string& part : parts) {
        const auto at = text.find("{}", from);
        if (at == std::string::npos) throw std::invalid_argument("more parts than the report of line " + std::to_string(line) + " takes");
        text.replace(at, 2, part);
        from = at + part.size();
    }
    if (text.find("{}", from) != std::string::npos) {
        throw std::invalid_argument("the report of line " + std::to_string(line) + " takes more parts");
    }
    return text;
}

// Whether `text` is the report of that unit and line: the prefix and the
// table's text, each "{}" matching any run of characters.
inline bool IsReport(const std::string& text, const std::string& unit, int line)
{
    const std::string literal = std::regex_replace(ReportPattern(unit, line), std::regex(R"([.^$|()\[\]*+?\\])"), "\\$&");
    return std::regex_match(text, std::regex(std::regex_replace(literal, std::regex(R"(\{\})"), ".*")));
}

}  // namespace PloverTest
