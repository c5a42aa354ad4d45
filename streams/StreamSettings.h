#pragma once
// What a configuration tells the stream templates: a token table that switches
// template lines and fills in values, and the names that count as defined for
// %ifdef blocks. A chip's settings class says which fields drive which tokens.

#include <memory>
#include <string>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "streams/TokenReplace.h"

namespace Veltrix::Runnel {

class StreamSettings {
public:
    std::shared_ptr<TokenReplace> tokens = std::make_shared<TokenReplace>();
    std::unordered_map<std::string, std::string> defines;

    virtual ~StreamSettings() = default;
    virtual void Load(const std::string& path) = 0;
    virtual void FromJson(const nlohmann::json& json) = 0;
    virtual void ToJson(nlohmann::json& json) const = 0;

    // ToJson with an indent of 4 and a trailing line break: the settings file.
    std::string SaveToString() const;
    // Writes SaveToString atomically.
    void Save(const std::string& path) const;
};

}  // namespace Veltrix::Runnel
