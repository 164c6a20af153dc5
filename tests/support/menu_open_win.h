#pragma once
// Looks at a drop-down menu that this thread opens: the system tracks a menu in a loop of its
// own, so the look happens from a timer inside that loop.

#include <windows.h>

#include <functional>

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

}  // namespace kestrune::test
