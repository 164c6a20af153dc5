#pragma once
// Lets the windows a test made on its own thread handle what was sent or posted to them.

#include <windows.h>

#include <chrono>

namespace kestrune::test {

// Dispatches every message waiting in this thread's queue, then returns.
inline void PumpMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// Dispatches this thread's messages until `done()` holds; false when it has not within `limit`.
template <typename Condition>
bool PumpUntil(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end)
      return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

// Dispatches this thread's messages until `window` shows as a user sees it: it is the foreground
// window and no longer layered, so its show animation has ended. Until then a click can land on
// the animation's picture instead. False when that has not happened within `limit`.
inline bool PumpUntilShown(HWND window,
                           std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  return PumpUntil(
      [window] {
        return ::IsWindowVisible(window) != FALSE && ::GetForegroundWindow() == window &&
               (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
      },
      limit);
}

}  // namespace kestrune::test
