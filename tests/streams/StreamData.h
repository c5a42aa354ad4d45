#pragma once
// Expected values kept as data under tests/data/streams (their origin: the
// README there), and bytes written as hex text ("C0 10 02") in them.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "streams/HexText.h"

inline nlohmann::json StreamData(const std::string& name)
{
    return nlohmann::json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/streams/" + name)));
}

inline std::vector<std::uint8_t> Bytes(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3) bytes.push_back(static_cast<std::uint8_t>(*Veltrix::Runnel::ParseHex(hex.substr(i, 2))));
    return bytes;
}

inline std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (std::uint8_t b : bytes) text.append(text.empty() ? "" : " ").append(Veltrix::Runnel::Hex(b, 2));
    return text;
}
