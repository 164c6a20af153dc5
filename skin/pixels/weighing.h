#pragma once
// The weighted sum every blend of the pixel layer is made of. Two channels share one multiply
// (red with blue, alpha with green): with weights adding up to 256 at most, each 16-bit lane
// stays below 65536, so the paired sum equals the per-channel formula to the last bit.

#include <cstdint>

namespace kestrune::skin {

// The bytes a weighted sum covers; the other bytes come out 0.
enum class Lanes { Color, All };

// Each covered byte becomes (s * ws + d * wd) shr 8. Needs ws + wd <= 256.
template <Lanes lanes>
[[nodiscard]] constexpr std::uint32_t Weigh(std::uint32_t s, std::uint32_t ws, std::uint32_t d,
                                            std::uint32_t wd) {
  constexpr std::uint32_t kPair = 0x00FF00FFu;
  const std::uint32_t low = (((s & kPair) * ws + (d & kPair) * wd) >> 8) & kPair;
  if constexpr (lanes == Lanes::All) {
    return low | ((((s >> 8) & kPair) * ws + ((d >> 8) & kPair) * wd) & ~kPair);
  } else {
    return low | ((((s & 0xFF00u) * ws + (d & 0xFF00u) * wd) >> 8) & 0xFF00u);
  }
}

// s over d with weight m of 256: (s * m + d * (256 - m)) shr 8, which is
// ((s - d) * m + d * 256) shr 8 without negative intermediates. MixColor leaves alpha 0.
[[nodiscard]] constexpr std::uint32_t MixColor(std::uint32_t s, std::uint32_t d, std::uint32_t m) {
  return Weigh<Lanes::Color>(s, m, d, 256 - m);
}
[[nodiscard]] constexpr std::uint32_t MixAll(std::uint32_t s, std::uint32_t d, std::uint32_t m) {
  return Weigh<Lanes::All>(s, m, d, 256 - m);
}

}  // namespace kestrune::skin
