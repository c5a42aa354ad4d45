#pragma once
// Parsing untrusted JSON text. The JSON library parses without recursion, but
// copying, comparing or printing a value recurses once per nesting level, so
// a file nested a hundred thousand levels deep would overflow the stack long
// after it was read. Every JSON input of the library and its clients (blueprints,
// profiles, stream settings, request bodies) is parsed here, with a depth
// limit far above what any of those formats uses (they nest at most six
// levels), and duplicate keys can be collected for the callers that refuse them.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Veltrix::Runnel {

// host/Inputs.h repeats it for clients.
inline constexpr std::size_t MaxJsonDepth = 64;

struct JsonParseOptions {
    std::size_t maxDepth = MaxJsonDepth;
    // False: one value is read and whatever follows it is ignored, as a
    // stream extraction reads it; true: anything but whitespace after it
    // is a parse error.
    bool strict = true;
    // When given, receives the key path of every key that repeats a key of
    // the same object ("rxChannel1.enabled", "list[2].name"); the value
    // parsed keeps the last one, as the JSON library does.
    std::vector<std::string>* duplicateKeys = nullptr;
};

// As nlohmann::json::parse(text) without comments: the same values and the
// same parse_error exceptions, plus a parse_error for a value nested deeper
// than maxDepth arrays and objects.
nlohmann::json Json_Parse(std::string_view text, const JsonParseOptions& options = {});

// The key path of a member or an element, as Json_Parse and the blueprint
// checks write it: "a.b", "a[3]"; a key of the top-level object is its own path.
std::string JsonPath_Member(const std::string& parent, const std::string& key);
std::string JsonPath_Element(const std::string& parent, std::size_t index);

}  // namespace Veltrix::Runnel
