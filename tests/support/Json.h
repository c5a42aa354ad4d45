#pragma once
// Comparing saved JSON documents: the first difference by key path, key order
// included (parsed order-preserving, since a plain nlohmann::json re-sorts keys).

#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

namespace PloverTest {

// "" when the documents are equal; otherwise the path of the first difference in
// document order, such as "/rxChannels/0/filter/coefficients/12", and both values.
inline std::string FirstDifference(const nlohmann::ordered_json& a, const nlohmann::ordered_json& b,
                                   const std::string& path = "")
{
    const auto where = [&](const std::string& what) { return (path.empty() ? "/" : path) + ": " + what; };
    if (a.type() != b.type() && !(a.is_number() && b.is_number())) {
        return where(a.dump() + " vs " + b.dump());
    }
    if (a.is_object()) {
        auto ia = a.begin();
        auto ib = b.begin();
        for (; ia != a.end() && ib != b.end(); ++ia, ++ib) {
            if (ia.key() != ib.key()) return where("key \"" + ia.key() + "\" vs \"" + ib.key() + "\"");
            const std::string inner = FirstDifference(ia.value(), ib.value(), path + "/" + ia.key());
            if (!inner.empty()) return inner;
        }
        if (ia != a.end()) return where("extra key \"" + ia.key() + "\" in the first");
        if (ib != b.end()) return where("extra key \"" + ib.key() + "\" in the second");
        return "";
    }
    if (a.is_array()) {
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            const std::string inner = FirstDifference(a[i], b[i], path + "/" + std::to_string(i));
            if (!inner.empty()) return inner;
        }
        if (a.size() != b.size()) return where(std::to_string(a.size()) + " vs " + std::to_string(b.size()) + " elements");
        return "";
    }
    return a == b ? "" : where(a.dump() + " vs " + b.dump());
}

// "" when the texts are byte-identical; otherwise the first differing key path
// when both parse as JSON and differ as documents, else the first differing byte.
inline std::string FirstDifference(const std::string& a, const std::string& b)
{
    if (a == b) return "";
    const auto first = nlohmann::ordered_json::parse(a, nullptr, false);
    const auto second = nlohmann::ordered_json::parse(b, nullptr, false);
    if (!first.is_discarded() && !second.is_discarded()) {
        const std::string path = FirstDifference(first, second);
        if (!path.empty()) return path;
    }
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return "byte " + std::to_string(mismatch.first - a.begin()) + " (same JSON, different text)";
}

// "" when every key of `expected` is in `actual` with the same value (objects
// compared key by key, the rest whole); otherwise the path of the first miss.
// Lets a test name the fields it is about as one JSON literal.
inline std::string MissingFrom(const nlohmann::json& expected, const nlohmann::json& actual, const std::string& path = "")
{
    if (!expected.is_object() || !actual.is_object()) {
        return expected == actual ? "" : (path.empty() ? "/" : path) + ": " + expected.dump() + " vs " + actual.dump();
    }
    for (const auto& [key, value] : expected.items()) {
        if (!actual.contains(key)) return path + "/" + key + ": missing";
        const std::string inner = MissingFrom(value, actual.at(key), path + "/" + key);
        if (!inner.empty()) return inner;
    }
    return "";
}

}  // namespace PloverTest
