#pragma once
// The system colours the options loader resolves: a value whose high byte is 0xFF names the
// system colour of its low byte. The portable build uses the standard light scheme below; the
// Windows side fills Values from the platform before a load.

#include <array>
#include <cstdint>

#include "skin/pixels/colors.h"

namespace kestrune::skin {

enum TsSystemColorIndex : std::uint8_t {
  kSysWindow = 5,
  kSysWindowText = 8,
  kSysInactiveBorder = 11,
  kSysHighlight = 13,
  kSysHighlightText = 14,
  kSysBtnFace = 15,
  kSysInfoText = 23,
  kSysInfoBk = 24,
};

struct TsSystemColors {
  std::array<TColor, 31> Values = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
  };

  // The real colour of a system colour value; other values come back unchanged, unknown
  // system colours as black.
  [[nodiscard]] TColor Resolve(TColor color) const {
    const auto u = static_cast<std::uint32_t>(color);
    if ((u & 0xFF000000u) != 0xFF000000u) {
      return color;
    }
    const std::uint32_t index = u & 0xFFFFFFu;
    return index < Values.size() ? Values[index] : clBlack;
  }
  [[nodiscard]] TColor operator[](TsSystemColorIndex index) const { return Values[index]; }
};

// The Windows build fills the table with the platform's colours; elsewhere the defaults stand.
[[nodiscard]] TsSystemColors CurrentSystemColors();

}  // namespace kestrune::skin
