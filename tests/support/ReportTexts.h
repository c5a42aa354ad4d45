#pragma once
// The one table of report texts, tests/data/report_texts.tsv, read from the
// source folder: tests/plover/base/ReportTextsTest.cpp checks each row against
// the place that emits it, and behaviour tests name a report by unit and line
// instead of repeating its text.

#include <algorithm>
#include <fstream>
#include <sstream>
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
            std::istringstream fields(row);
            ReportText r;
            std::string line;
            if (!std::getline(fields, r.unit, '\t') || !std::getline(fields, line, '\t') ||
                !std::getline(fields, r.level, '\t') || !std::getline(fields, r.text) ||
                line.find_first_not_of("0123456789") != std::string::npos || line.empty()) {
                throw std::runtime_error("malformed row in " + path + ": " + row);
            }
            r.line = std::stoi(line);
            rows.push_back(r);
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
    const std::string full = ReportPattern(unit, line);
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (std::size_t at; (at = full.find("{}", from)) != std::string::npos; from = at + 2) {
        pieces.push_back(full.substr(from, at - from));
    }
    pieces.push_back(full.substr(from));
    if (text.compare(0, pieces.front().size(), pieces.front()) != 0) return false;
    std::size_t position = pieces.front().size();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const bool last = i + 1 == pieces.size();
        const std::size_t found = last ? text.size() - std::min(text.size(), pieces[i].size()) : text.find(pieces[i], position);
        if (found == std::string::npos || found < position || text.compare(found, pieces[i].size(), pieces[i]) != 0) {
            return false;
        }
        position = found + pieces[i].size();
    }
    return pieces.size() > 1 || text.size() == full.size();
}

}  // namespace PloverTest
