#pragma once
// Colour values. A TColor keeps red in the low byte (0x00BBGGRR); a pixel read from a 32-bit
// bitmap is 0xAARRGGBB. System colours are negative TColor values.

#include <cstdint>

namespace kestrune::skin {

using TColor = std::int32_t;

// "No colour set".
inline constexpr TColor clNone = 0x1FFFFFFF;
// The transparent key colour of pictures without alpha.
inline constexpr TColor clFuchsia = 0x00FF00FF;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clBlack = 0;
inline constexpr std::uint32_t kSystemColorFlag = 0xFF000000u;

// A TColor with an alpha byte on top: R, G, B, A from the low byte up.
struct TsColor {
  std::uint32_t C = 0;

  [[nodiscard]] constexpr std::uint8_t R() const { return static_cast<std::uint8_t>(C); }
  [[nodiscard]] constexpr std::uint8_t G() const { return static_cast<std::uint8_t>(C >> 8); }
  [[nodiscard]] constexpr std::uint8_t B() const { return static_cast<std::uint8_t>(C >> 16); }
  [[nodiscard]] constexpr std::uint8_t A() const { return static_cast<std::uint8_t>(C >> 24); }
  [[nodiscard]] constexpr std::int32_t I() const { return static_cast<std::int32_t>(C); }
  friend bool operator==(const TsColor&, const TsColor&) = default;
};

// Exchanges the low and the third byte, keeping the high byte: TColor <-> pixel order.
[[nodiscard]] constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
  return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}
[[nodiscard]] constexpr std::uint32_t SwapRedBlue(TColor c) {
  return SwapRedBlue(static_cast<std::uint32_t>(c));
}

// Resolves a system colour through the platform; other values come back unchanged. Without a
// platform palette (the portable build) a system colour resolves to black.
[[nodiscard]] TColor ColorToRGB(TColor color);

}  // namespace kestrune::skin
