#pragma once
// Notifications the window framework sends to its own controls, in a range of its own beside
// the system's messages. Portable, so that skin code can handle them without <windows.h>.

#include <cstdint>

namespace kestrune::platform {

inline constexpr std::uint32_t CM_BASE = 0xB000;
inline constexpr std::uint32_t CM_VISIBLECHANGED = CM_BASE + 7;  // wParam 1 shown, 0 hidden
inline constexpr std::uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr std::uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
// The mouse entered / left the control; lParam names the control (0 for a window).
inline constexpr std::uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr std::uint32_t CM_MOUSELEAVE = CM_BASE + 20;

}  // namespace kestrune::platform
