// The blueprint file: the caller's settings and each channel's pinned data
// path stages as JSON text (indent 4; nlohmann's object keeps keys sorted).
// Features, the LO-mapping override and expandedSearchEnable are not part of it.
//
// The fields are those of BlueprintFields.h's lists. Reading builds a
// complete blueprint first and only then copies it into the target, so
// malformed text or a mistyped value (the JSON library's own exceptions,
// passed through) leaves the target exactly as it was.

#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "plover/blueprint/Blueprint.h"
#include "plover/blueprint/BlueprintFields.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/FileIo.h"
#include "plover/base/SourceUnit.h"
#include "streams/InputFile.h"
#include "streams/JsonInput.h"

namespace Veltrix::Marlin::Native {

namespace {

using json = nlohmann::json;

constexpr std::size_t ChannelFilterTaps = 128;
constexpr int BlueprintIndent = 4;


// --- writing -----------------------------------------------------------------

json ToJsonValue(const LoExternalBlueprint& r);
json ToJsonValue(const RxChannelBlueprint& r);
json ToJsonValue(const TxChannelBlueprint& r);

template <typename T>
    requires std::is_arithmetic_v<T>
json ToJsonValue(T value)
{
    return value;
}

template <typename E>
    requires std::is_enum_v<E>
json ToJsonValue(E value)
{
    return ToInt(value);
}

json ToJsonValue(const std::array<std::int32_t, ChannelFilterTaps>& taps)
{
    return taps;
}

// Stages as unsigned numbers, never as the characters they are stored in.
template <typename T, std::size_t N>
json ToJsonValue(const DataPath<T, N>& path)
{
    json stages = json::array();
    for (T stage : path.stages) {
        stages.push_back(static_cast<unsigned>(stage));
    }
    return stages;
}

#define PLOVER_WRITE_VALUE(name, shape) j[#name] = ToJsonValue(r.name);
#define PLOVER_WRITE_PROPERTY(name, shape) j[#name] = ToJsonValue(r.name());
#define PLOVER_WRITE_RECORD(name) j[#name] = ToJsonValue(r.name);

json ToJsonValue(const LoExternalBlueprint& r)
{
    json j = json::object();
    PLOVER_LO_EXTERNAL_FIELDS(PLOVER_WRITE_VALUE, PLOVER_WRITE_PROPERTY, PLOVER_WRITE_RECORD)
    return j;
}

json ToJsonValue(const RxChannelBlueprint& r)
{
    json j = json::object();
    PLOVER_RX_CHANNEL_FIELDS(PLOVER_WRITE_VALUE, PLOVER_WRITE_PROPERTY, PLOVER_WRITE_RECORD)
    return j;
}

json ToJsonValue(const TxChannelBlueprint& r)
{
    json j = json::object();
    PLOVER_TX_CHANNEL_FIELDS(PLOVER_WRITE_VALUE, PLOVER_WRITE_PROPERTY, PLOVER_WRITE_RECORD)
    return j;
}

json BlueprintToJson(const MarlinBlueprint& r)
{
    json j = json::object();
    PLOVER_BLUEPRINT_FIELDS(PLOVER_WRITE_VALUE, PLOVER_WRITE_PROPERTY, PLOVER_WRITE_RECORD)
    return j;
}

// --- reading -----------------------------------------------------------------
// Every read goes through the library's conversions, so a wrong type raises
// its own type_error and a short array its own out_of_range. Nothing is
// copied to learn a type: a deeply nested value costs no stack.

void Require(const json& j, bool ok, const char* type)
{
    if (!ok) {
        throw json::type_error::create(302, std::string("type must be ") + type + ", but is " + j.type_name(), &j);
    }
}

void ReadValue(const json& j, LoExternalBlueprint& r);
void ReadValue(const json& j, RxChannelBlueprint& r);
void ReadValue(const json& j, TxChannelBlueprint& r);

template <typename T>
    requires std::is_arithmetic_v<T>
void ReadValue(const json& j, T& field)
{
    field = j.get<T>();
}

template <typename E>
    requires std::is_enum_v<E>
void ReadValue(const json& j, E& field)
{
    field = static_cast<E>(j.get<std::int32_t>());
}

// The first `count` entries of an array; longer arrays are accepted.
template <typename T, typename Store>
void ReadArray(const json& array, std::size_t count, Store store)
{
    Require(array, array.is_array(), "array");
    for (std::size_t i = 0; i < count; ++i) {
        store(i, array.at(i).get<T>());
    }
}

void ReadValue(const json& j, std::array<std::int32_t, ChannelFilterTaps>& taps)
{
    ReadArray<std::int32_t>(j, ChannelFilterTaps, [&](std::size_t i, std::int32_t v) { taps[i] = v; });
}

template <typename T, std::size_t N>
void ReadValue(const json& j, DataPath<T, N>& path)
{
    ReadArray<unsigned>(j, N, [&](std::size_t i, unsigned v) { path.stages[i] = static_cast<T>(v); });
}

#define PLOVER_READ_VALUE(name, shape)                       \
    if (const auto it = j.find(#name); it != j.end()) {     \
        ReadValue(*it, r.name);                             \
    }
#define PLOVER_READ_PROPERTY(name, shape)                    \
    if (const auto it = j.find(#name); it != j.end()) {     \
        std::remove_cvref_t<decltype(r.name())> value{};    \
        ReadValue(*it, value);                              \
        r.name(value);                                      \
    }
#define PLOVER_READ_RECORD(name) PLOVER_READ_VALUE(name, )

void ReadValue(const json& j, LoExternalBlueprint& r)
{
    Require(j, j.is_object(), "object");
    PLOVER_LO_EXTERNAL_FIELDS(PLOVER_READ_VALUE, PLOVER_READ_PROPERTY, PLOVER_READ_RECORD)
}

void ReadValue(const json& j, RxChannelBlueprint& r)
{
    Require(j, j.is_object(), "object");
    PLOVER_RX_CHANNEL_FIELDS(PLOVER_READ_VALUE, PLOVER_READ_PROPERTY, PLOVER_READ_RECORD)
}

void ReadValue(const json& j, TxChannelBlueprint& r)
{
    Require(j, j.is_object(), "object");
    PLOVER_TX_CHANNEL_FIELDS(PLOVER_READ_VALUE, PLOVER_READ_PROPERTY, PLOVER_READ_RECORD)
}

// Reads the whole text into a fresh blueprint; throws before touching target.
void BlueprintFromJson(const json& j, MarlinBlueprint& target)
{
    Require(j, j.is_object(), "object");
    MarlinBlueprint r;
    PLOVER_BLUEPRINT_FIELDS(PLOVER_READ_VALUE, PLOVER_READ_PROPERTY, PLOVER_READ_RECORD)
    // Nothing below can throw: the target changes all at once or not at all.
    BlueprintSettings_Copy(r, target);
}

}  // namespace

std::string MarlinBlueprint::SaveToString() const
{
    return BlueprintToJson(*this).dump(BlueprintIndent);
}

void MarlinBlueprint::Save(const std::string& path) const
{
    if (!WriteFileAtomically(path, SaveToString())) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to write the blueprint file \"" + path + "\".",
                              SourceUnit::Blueprint, 402);
    }
}

void MarlinBlueprint::LoadFromString(const std::string& text)
{
    BlueprintFromJson(Runnel::Json_Parse(text), *this);
}

void MarlinBlueprint::Load(const std::string& path)
{
    std::string text;
    std::string problem;
    switch (Runnel::InputFile_Read(path, text, &problem)) {
    case Runnel::InputFileStatus::Read:
        break;
    case Runnel::InputFileStatus::CannotOpen:
        ErrorHandler::Error("Error: File not found.", SourceUnit::Blueprint, 438);
        break;
    default:
        ErrorHandler::Error(problem, SourceUnit::Blueprint, 438);
    }
    LoadFromString(text);
}

}  // namespace Veltrix::Marlin::Native
