#pragma once
// Dotted-quad text and 32-bit IPv4 addresses (first octet in the most significant byte).
// Pure functions: no state and no locale, safe from any number of threads.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

// Reads an address of exactly four "."-separated parts, each an integer 0..255 by the integer
// text rule below. Throws Error with "Invalid IP format: " + text when there are not four parts,
// or "Invalid IP octet: " + the first bad part, exactly as it stood.
[[nodiscard]] std::uint32_t StrToIP(std::string_view text);

// "o1.o2.o3.o4" in decimal without leading zeros; 7 to 15 characters.
[[nodiscard]] std::string IPToStr(std::uint32_t address);

// The longest text IPToStr gives.
inline constexpr std::size_t kMaxIPTextLength = 15;

// Writes IPToStr(address) at `out` (room for kMaxIPTextLength characters) and returns the end.
char* WriteIPText(std::uint32_t address, char* out) noexcept;

// Writes the address list text of the `count` addresses from `start` (which must not run past
// 255.255.255.255) at `out`, each address as IPToStr writes it followed by CR LF, and returns the
// end. It may write up to kListTextSlack bytes beyond that end: the room must include them.
char* WriteAddressListText(std::uint32_t start, std::uint64_t count, char* out) noexcept;
inline constexpr std::size_t kListTextSlack = 16;

// The bytes of the address list text of the `count` addresses from `start` (which must not run
// past 255.255.255.255): each address as IPToStr writes it, followed by CR LF.
[[nodiscard]] std::uint64_t AddressListTextSize(std::uint32_t start, std::uint64_t count) noexcept;

// The integer text rule: leading blanks (U+0020 only) skipped, an optional "+" or "-", then
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X"; at least one digit and
// nothing after the digits. No octal: "010" is ten. Empty when the text breaks the rule or the
// value falls outside the range. Skin options read theirs with ParseInteger
// (skin/data/option_readers.h), which skips tabs too and knows only "$": each reader keeps the
// rule its own files were written with.
//
// Unsigned 32-bit: the value after the sign must lie in 0..4294967295, so "-0" is zero and "-1"
// fails.
[[nodiscard]] std::optional<std::uint32_t> ParseUInt32(std::string_view text);
// Signed 32-bit: decimal values in -2147483648..2147483647; hexadecimal up to 32 bits is read as
// a two's-complement value, so "$FFFFFFFF" is -1.
[[nodiscard]] std::optional<std::int32_t> ParseInt32(std::string_view text);

// ParseInt32 for a prefix length: one or two plain digits, what nearly every line holds, are read
// here, where the caller's code keeps the result out of memory.
[[nodiscard]] inline std::optional<std::int32_t> ParsePrefixLength(std::string_view text) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (text.size() == 2 && digit(text[0]) && digit(text[1]))
    return (text[0] - '0') * 10 + (text[1] - '0');
  if (text.size() == 1 && digit(text[0]))
    return text[0] - '0';
  return ParseInt32(text);
}

}  // namespace kestrune
