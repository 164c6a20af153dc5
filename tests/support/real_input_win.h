#pragma once
// The real mouse, moved and pressed as a user would, for tests that drive a window from outside.

#include <windows.h>

#include <chrono>
#include <thread>

namespace kestrune::test {

// Moves the cursor to screen point `p` with `buttons` (MOUSEEVENTF_LEFTDOWN, ...) and gives the
// window system a moment to deliver it.
inline void MouseTo(POINT p, DWORD buttons = 0) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = p.x * 65535 / (width - 1);
  input.mi.dy = p.y * 65535 / (height - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  ::SendInput(1, &input, sizeof input);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace kestrune::test
