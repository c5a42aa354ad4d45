#pragma once
// Number texts of the stream tool chain: templates, sources and listings write
// numbers in upper-case hexadecimal without prefix, and read them back with an
// optional "0x". Reading is strict (every character a digit) so that a typo in a
// template never becomes a silently different value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Veltrix::Runnel {

// Upper-case hexadecimal without prefix, at least minDigits digits (15 -> "F").
std::string Hex(std::uint32_t value, int minDigits = 1);

// Hexadecimal with an optional "0x"/"0X" prefix, modulo 2^32 (callers truncate
// further to their field width); empty when a character is not a hex digit.
std::optional<std::uint32_t> ParseHex(std::string_view text);

// Decimal digits only, without overflow past 64 bits; empty otherwise.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);

std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);

// Trims spaces, tabs, line feeds, carriage returns, vertical tabs and form feeds.
std::string_view Trim(std::string_view text);

bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace Veltrix::Runnel
