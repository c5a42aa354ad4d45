#pragma once
// Shared machinery of the record conversions. Each record lists its fields
// once, as a function template over a visitor; the Writer visitor builds the
// JSON object and the Reader visitor applies the keys present. Internal to the
// ProfileRecordsJson*.cpp units.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "plover/records/ProfileRecordsJson.h"

namespace Veltrix::Marlin::Native::ProfileJson {

// A value that is not a JSON object cannot hold a record; the library's own
// conversion to an object raises the type error that says so.
inline void RequireObject(const json& j)
{
    if (!j.is_object()) {
        (void)j.get<json::object_t>();
    }
}

// Truncates a floating JSON number toward zero and wraps it to T, as an
// integer would be. A value beyond 64 bits has no defined cast, so it fails.
template <typename T>
T FromFloat(const json& j)
{
    const double value = j.get<double>();
    constexpr double twoPow63 = 9223372036854775808.0;
    if (!std::isfinite(value) || value <= -twoPow63 || value >= 2.0 * twoPow63) {
        throw json::out_of_range::create(406, "number overflow converting " + j.dump() + " to an integer field", &j);
    }
    if (value < 0.0) {
        return static_cast<T>(static_cast<std::int64_t>(value));
    }
    return static_cast<T>(static_cast<std::uint64_t>(value));
}

inline void Read(const json& j, bool& field)
{
    field = j.get<bool>();
}

template <typename T>
    requires std::is_arithmetic_v<T>
void Read(const json& j, T& field)
{
    if (j.is_number_float()) {
        field = FromFloat<T>(j);
    } else {
        j.get_to(field);
    }
}

// An enumeration takes numbers only: the library refuses booleans here.
inline void ReadEnum(const json& j, std::int32_t& field)
{
    if (j.is_number_float()) {
        field = FromFloat<std::int32_t>(j);
    } else {
        field = static_cast<std::int32_t>(j.get<std::int64_t>());
    }
}

template <typename T>
    requires std::is_class_v<T>
void Read(const json& j, T& record)
{
    from_json(j, record);
}

template <typename T, std::size_t N>
void Read(const json& j, std::array<T, N>& field)
{
    for (std::size_t i = 0; i < N; ++i) {
        Read(j.at(i), field[i]);
    }
}

// J is json (sorted keys) or ordered_json (keys in field declaration order).
template <typename J>
class Writer {
public:
    explicit Writer(J& j) : j_(j) { j_ = J::object(); }

    template <typename T>
    Writer& operator()(const char* key, const T& value)
    {
        j_[key] = value;
        return *this;
    }

    Writer& Enum(const char* key, std::int32_t value)
    {
        j_[key] = value;
        return *this;
    }

private:
    J& j_;
};

class Reader {
public:
    explicit Reader(const json& j) : j_(j) { RequireObject(j); }

    template <typename T>
    Reader& operator()(const char* key, T& field)
    {
        if (const auto it = j_.find(key); it != j_.end()) {
            Read(*it, field);
        }
        return *this;
    }

    Reader& Enum(const char* key, std::int32_t& field)
    {
        if (const auto it = j_.find(key); it != j_.end()) {
            ReadEnum(*it, field);
        }
        return *this;
    }

private:
    const json& j_;
};

}  // namespace Veltrix::Marlin::Native::ProfileJson
