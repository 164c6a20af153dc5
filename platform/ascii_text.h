#pragma once
// ASCII text rules shared by the readers of skin files, stored descriptions and address lists.
// Only the 26 ASCII letters change case and only 0-9, A-F and a-f are hexadecimal digits,
// whatever the C locale says: names and numbers in these files are ASCII, and a byte of a
// multi-byte UTF-8 character must never be taken for a letter or a digit.

#include <string>
#include <string_view>

namespace kestrune {

[[nodiscard]] constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The text with its ASCII letters in upper case; other bytes unchanged.
[[nodiscard]] inline std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = AsciiUpper(c);
  return result;
}

// Equal when the texts differ at most in the case of ASCII letters.
[[nodiscard]] constexpr bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
      return false;
  }
  return true;
}

// The value of a hexadecimal digit, -1 for any other character.
[[nodiscard]] constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace kestrune
