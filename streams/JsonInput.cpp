#include "streams/JsonInput.h"

#include <set>

namespace Veltrix::Runnel {

namespace {

using json = nlohmann::json;

// Builds the value as the library's own DOM parser does, one event at a time,
// with a depth count and the key paths the duplicates are reported by.
class Builder {
public:
    Builder(json& root, const JsonParseOptions& options) : root_(root), options_(options) {}

    bool null() { return Value(nullptr); }
    bool boolean(bool v) { return Value(v); }
    bool number_integer(json::number_integer_t v) { return Value(v); }
    bool number_unsigned(json::number_unsigned_t v) { return Value(v); }
    bool number_float(json::number_float_t v, const std::string& /*text*/) { return Value(v); }
    bool string(json::string_t& v) { return Value(std::move(v)); }
    bool binary(json::binary_t& v) { return Value(std::move(v)); }

    bool start_object(std::size_t /*size*/) { return Open(json::value_t::object); }
    bool key(json::string_t& k)
    {
        Frame& frame = stack_.back();
        if (options_.duplicateKeys != nullptr && !frame.keys.insert(k).second) {
            options_.duplicateKeys->push_back(JsonPath_Member(frame.path, k));
        }
        frame.key = k;
        member_ = &(*frame.value)[k];
        return true;
    }
    bool end_object() { return Close(); }
    bool start_array(std::size_t /*size*/) { return Open(json::value_t::array); }
    bool end_array() { return Close(); }

    template <typename Exception>
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const Exception& ex)
    {
        throw ex;
    }

private:
    struct Frame {
        json* value = nullptr;
        std::string path;
        std::string key;  // the member being read, for objects
        std::size_t count = 0;  // elements so far, for arrays
        std::set<std::string> keys;
    };

    // Where the next value goes, and its path.
    json* Slot(std::string& path)
    {
        if (stack_.empty()) {
            return &root_;
        }
        Frame& frame = stack_.back();
        if (frame.value->is_array()) {
            if (options_.duplicateKeys != nullptr) {
                path = JsonPath_Element(frame.path, frame.count);
            }
            ++frame.count;
            frame.value->push_back(nullptr);
            return &frame.value->back();
        }
        if (options_.duplicateKeys != nullptr) {
            path = JsonPath_Member(frame.path, frame.key);
        }
        return member_;
    }

    template <typename V>
    bool Value(V&& v)
    {
        std::string path;
        *Slot(path) = json(std::forward<V>(v));
        return true;
    }

    bool Open(json::value_t type)
    {
        if (stack_.size() >= options_.maxDepth) {
            throw json::parse_error::create(101, 0,
                                            "value nested deeper than " + std::to_string(options_.maxDepth) +
                                                " arrays and objects",
                                            nullptr);
        }
        Frame frame;
        frame.value = Slot(frame.path);
        *frame.value = json(type);
        stack_.push_back(std::move(frame));
        return true;
    }

    bool Close()
    {
        stack_.pop_back();
        return true;
    }

    json& root_;
    const JsonParseOptions& options_;
    std::vector<Frame> stack_;
    json* member_ = nullptr;
};

}  // namespace

json Json_Parse(std::string_view text, const JsonParseOptions& options)
{
    json root;
    Builder builder(root, options);
    json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json, options.strict, false);
    return root;
}

std::string JsonPath_Member(const std::string& parent, const std::string& key)
{
    return parent.empty() ? key : parent + "." + key;
}

std::string JsonPath_Element(const std::string& parent, std::size_t index)
{
    return parent + "[" + std::to_string(index) + "]";
}

}  // namespace Veltrix::Runnel
