#pragma once
// The text of a random (version 4) GUID, as the temp file names carry it on every system.

#include <array>
#include <string>

namespace kestrune::platform {

// "XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX" in upper-case hexadecimal from 16 random bytes, with the
// version and variant bits set.
[[nodiscard]] inline std::string GuidText(std::array<unsigned char, 16> bytes) {
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4: random
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10)
      text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace kestrune::platform
