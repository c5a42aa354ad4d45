#pragma once
// Expected values kept as data under tests/data/streams (their origin: the README there).

#include <string>

#include <nlohmann/json.hpp>

#include "support/Files.h"

inline nlohmann::json StreamData(const std::string& name)
{
    return nlohmann::json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/streams/" + name)));
}
