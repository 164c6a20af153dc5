#pragma once
// The skin command message by which the manager, forms and skinned controls tell each other
// about skin changes: the command in the high 16 bits of wParam, an argument in the low 16 bits.

#include <cstdint>

namespace kestrune::skin {

inline constexpr std::uint32_t SM_ALPHACMD = 0xA100;

inline constexpr std::uint16_t AC_SETNEWSKIN = 1;
inline constexpr std::uint16_t AC_REMOVESKIN = 2;
inline constexpr std::uint16_t AC_REFRESH = 3;
inline constexpr std::uint16_t AC_UPDATESECTION = 13;
inline constexpr std::uint16_t AC_STOPFADING = 16;

// The wParam of a command with its argument.
[[nodiscard]] constexpr std::uint32_t MakeCommandParam(std::uint16_t command,
                                                       std::uint16_t argument = 0) {
  return (static_cast<std::uint32_t>(command) << 16) | argument;
}
[[nodiscard]] constexpr std::uint16_t CommandOf(std::uint32_t wparam) {
  return static_cast<std::uint16_t>(wparam >> 16);
}

}  // namespace kestrune::skin
