#pragma once
// Drop-down menus in tests: the one this thread opens (the system tracks a menu in a loop of its
// own, so the look happens from a timer inside that loop), the one another process shows, and
// whether a drop-down is the skin's.

#include <windows.h>

#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

#include "platform/gdi_win.h"
#include "skin/data/skin_commands.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/windows_of_win.h"

namespace kestrune::test {

// The drop-down menu window this thread shows, or nullptr.
inline HWND VisibleDropDown() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        if (::GetClassLongPtrW(window, GCW_ATOM) == 0x8000 && ::IsWindowVisible(window)) {
          *reinterpret_cast<HWND*>(data) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs `inspect` once from a timer while a menu opened by `open` is tracked on this thread,
// then ends the menu; true when the timer ran.
inline bool WhileMenuOpen(const std::function<void()>& open,
                          const std::function<void(HWND)>& inspect) {
  static const std::function<void(HWND)>* current = nullptr;
  static bool ran = false;
  current = &inspect;
  ran = false;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND drop_down = VisibleDropDown();
    if (current != nullptr && !ran) {
      ran = true;
      (*current)(drop_down);
    }
    ::EndMenu();
  });
  // Should the menu never open, the timer still fires once the call returns.
  open();
  MSG message{};
  for (int i = 0; i < 20 && !ran; ++i) {
    ::Sleep(20);
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      ::DispatchMessageW(&message);
  }
  ::KillTimer(nullptr, timer);
  current = nullptr;
  return ran;
}

// The drop-down menu window process `pid` shows, or nullptr.
inline HWND DropDownOf(DWORD pid) {
  const auto menus = VisibleTopLevelWindows(pid, L"#32768");
  return menus.empty() ? nullptr : menus.front();
}

// The skin's wrapper answers for `drop_down` (of any process).
inline bool SkinHandles(HWND drop_down) {
  DWORD_PTR handled = 0;
  return ::SendMessageTimeoutW(drop_down, skin::SM_ALPHACMD,
                               skin::MakeCommandParam(skin::AC_CTRLHANDLED), 0, SMTO_ABORTIFHUNG,
                               10000, &handled) != 0 &&
         handled == 1;
}

// The screen around `window` and this thread's open `drop_down`, with the drop-down's own pixels
// (inside its region) put over it: a screen grab in a Wine desktop shows a layered drop-down
// black. `menu` gets the drop-down's own pixels.
inline ScreenShot ShotWithDropDown(HWND window, HWND drop_down, ScreenShot& menu) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  RECT r{};
  ::GetWindowRect(drop_down, &r);
  RECT all{};
  ::UnionRect(&all, &frame, &r);
  ::InflateRect(&all, 8, 8);
  ScreenShot shot = ShootScreen(all);
  const platform::WindowDc own(drop_down, platform::WindowDc::Area::Whole);
  menu = Grab(own.Get(), 0, 0, r.right - r.left, r.bottom - r.top);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  const bool has_region = ::GetWindowRgn(drop_down, region) != ERROR;
  for (int y = 0; y < menu.height; ++y) {
    for (int x = 0; x < menu.width; ++x) {
      if (!has_region || ::PtInRegion(region, x, y))
        shot.At(x + r.left - all.left, y + r.top - all.top) = menu.At(x, y);
    }
  }
  ::DeleteObject(region);
  return shot;
}

// A drop-down of the built-in skin: its background in the MAINMENU colour (a grey of 0x4A) near
// its right edge, and light text on it, not the system's light menu.
inline ::testing::AssertionResult DrawnByTheSkin(const ScreenShot& menu) {
  if (menu.width <= 10 || menu.height <= 10)
    return ::testing::AssertionFailure() << "no drop-down pixels";
  const std::uint32_t background = menu.At(menu.width - 6, menu.height / 2);
  for (int shift : {0, 8, 16}) {
    const int channel = static_cast<int>((background >> shift) & 0xFF);
    if (channel < 0x4A - 2 || channel > 0x4A + 2)
      return ::testing::AssertionFailure() << "background " << std::hex << background;
  }
  int light = 0;
  for (std::uint32_t pixel : menu.pixels)
    light += ((pixel >> 8) & 0xFF) > 0xC0 ? 1 : 0;
  if (light <= 50)
    return ::testing::AssertionFailure() << "only " << light << " light pixels of text";
  return ::testing::AssertionSuccess();
}

}  // namespace kestrune::test
