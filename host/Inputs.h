#pragma once
/// @file
/// Limits on untrusted input, for every client that reads files or request
/// bodies: the same JSON depth limit and file size limit the library applies
/// to its own reads.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Veltrix::Marlin {

/// Arrays and objects nested deeper than this are refused: no format of the
/// library nests more than six levels, and deeper values cost stack to copy.
inline constexpr std::size_t MaxJsonDepth = 64;
/// Input files larger than this (16 MiB) are refused before they are read.
inline constexpr std::uintmax_t MaxInputFileBytes = 16u * 1024u * 1024u;

/// As nlohmann::json::parse(text) without comments, plus a parse_error for a
/// value nested deeper than maxDepth. strict false reads one value and ignores
/// what follows it. duplicateKeys, when given, receives the key path of every
/// repeated key ("rxChannel1.enabled"); the value keeps the last one.
nlohmann::json Json_Parse(std::string_view text, std::size_t maxDepth = MaxJsonDepth, bool strict = true,
                          std::vector<std::string>* duplicateKeys = nullptr);

/// The whole file, refusing before reading anything that cannot be opened,
/// is not a regular file (folder, device, FIFO) or is larger than
/// MaxInputFileBytes: false, with a one-line problem naming the file (and the
/// limit, for a file too large).
bool InputFile_Read(const std::string& path, std::string& out, std::string& problem);

}  // namespace Veltrix::Marlin
