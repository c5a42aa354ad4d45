#include "host/BlueprintCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

#include "plover/blueprint/BlueprintFields.h"
#include "streams/JsonInput.h"

namespace Veltrix::Marlin {

namespace {

using json = nlohmann::json;
using Native::FieldKind;
using Native::FieldShape;
using Native::RecordShape;
using Kind = BlueprintProblem::Kind;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Edit distance, ignoring case: "Duplex" is one step from nothing, a
// transposition two.
std::size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known key nearest to an unknown one, when it is near enough to be a slip.
std::string Closest(const RecordShape& record, const std::string& key)
{
    const std::string lower = Lower(key);
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, key.size() / 3) + 1;
    for (const FieldShape& field : record.fields) {
        const std::size_t d = Distance(lower, Lower(field.key));
        if (d < bestDistance) {
            bestDistance = d;
            best = field.key;
        }
    }
    return best;
}

// A JSON value as the message shows it; long values are cut.
std::string Shown(const json& value)
{
    std::string text = value.is_structured() ? std::string(value.type_name()) : value.dump();
    if (text.size() > 40) {
        text = text.substr(0, 37) + "...";
    }
    return text;
}

std::string Where(const std::string& path)
{
    return path.empty() ? "the blueprint" : path;
}

class Checker {
public:
    std::vector<BlueprintProblem> problems;

    void Record(const json& value, const RecordShape& record, const std::string& path)
    {
        if (!value.is_object()) {
            Add(Kind::Type, path, "expected an object, not " + Shown(value));
            return;
        }
        for (const auto& [key, member] : value.items()) {
            const std::string memberPath = Runnel::JsonPath_Member(path, key);
            const FieldShape* field = record.Find(key);
            if (field == nullptr) {
                const std::string near = Closest(record, key);
                Add(Kind::UnknownKey, memberPath, near.empty() ? "unknown key" : "unknown key (did you mean " + near + "?)");
                continue;
            }
            Field(member, *field, memberPath);
        }
    }

private:
    void Add(Kind kind, const std::string& path, const std::string& what)
    {
        problems.push_back({kind, path, Where(path) + ": " + what});
    }

    void Field(const json& value, const FieldShape& field, const std::string& path)
    {
        switch (field.kind) {
        case FieldKind::Boolean:
            if (!value.is_boolean()) {
                Add(Kind::Type, path, "expected true or false, not " + Shown(value));
            }
            return;
        case FieldKind::Integer:
            Integer(value, field, path);
            return;
        case FieldKind::IntegerArray:
            if (!value.is_array()) {
                Add(Kind::Type, path, "expected an array of " + std::to_string(field.length) + " integers, not " +
                                          Shown(value));
                return;
            }
            if (value.size() != field.length) {
                Add(Kind::Range, path, "has " + std::to_string(value.size()) + " entries, expected " +
                                           std::to_string(field.length));
            }
            for (std::size_t i = 0; i < value.size() && i < field.length; ++i) {
                Integer(value[i], field, Runnel::JsonPath_Element(path, i));
            }
            return;
        case FieldKind::Record:
            Record(value, *field.record, path);
            return;
        }
    }

    std::string Allowed(const FieldShape& field) const
    {
        if (field.values.empty()) {
            return "out of range " + std::to_string(field.min) + ".." + std::to_string(field.max);
        }
        std::string list;
        for (std::size_t i = 0; i < field.values.size(); ++i) {
            list += (i == 0 ? "" : i + 1 == field.values.size() ? " or " : ", ") + std::to_string(field.values[i]);
        }
        return "not one of " + list;
    }

    bool Allows(const FieldShape& field, std::int64_t v) const
    {
        if (!field.values.empty()) {
            return std::find(field.values.begin(), field.values.end(), v) != field.values.end();
        }
        return v >= field.min && v <= field.max;
    }

    void Integer(const json& value, const FieldShape& field, const std::string& path)
    {
        if (!value.is_number()) {
            Add(Kind::Type, path, "expected an integer, not " + Shown(value));
            return;
        }
        if (value.is_number_unsigned()) {
            const auto v = value.get<std::uint64_t>();
            if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
                !Allows(field, static_cast<std::int64_t>(v))) {
                Add(Kind::Range, path, value.dump() + " is " + Allowed(field));
            }
            return;
        }
        if (value.is_number_integer()) {
            if (!Allows(field, value.get<std::int64_t>())) {
                Add(Kind::Range, path, value.dump() + " is " + Allowed(field));
            }
            return;
        }
        // A float is taken only when it is a whole number (another tool may
        // write 30720000.0); a fraction would be cut off.
        const double v = value.get<double>();
        if (!std::isfinite(v) || v != std::trunc(v)) {
            Add(Kind::Range, path, value.dump() + " is not a whole number");
            return;
        }
        if (v < -9.2e18 || v > 9.2e18 || !Allows(field, static_cast<std::int64_t>(v))) {
            Add(Kind::Range, path, value.dump() + " is " + Allowed(field));
        }
    }
};

}  // namespace

std::vector<BlueprintProblem> Blueprint_CheckKeys(const std::string& jsonText)
{
    std::vector<std::string> duplicates;
    json document;
    try {
        document = Runnel::Json_Parse(jsonText, {.duplicateKeys = &duplicates});
    } catch (const json::exception& e) {
        return {{Kind::Syntax, "", e.what()}};
    }
    Checker checker;
    for (const std::string& path : duplicates) {
        checker.problems.push_back({Kind::DuplicateKey, path, path + ": duplicate key"});
    }
    checker.Record(document, Native::BlueprintFileShape(), "");
    return checker.problems;
}

}  // namespace Veltrix::Marlin
