#pragma once
// Real keys and mouse for tests that drive a window as a user would (SendInput: they go to
// whatever window is in front, so such tests hold the real-input lock).

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <thread>
#include <utility>

namespace kestrune::test {

// Each (key, down) in turn, a little apart.
inline void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
  for (const auto& [key, down] : strokes) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
  }
}

inline void Press(WORD key) {
  Keys({{key, true}, {key, false}});
}

// Moves the cursor to `p` (screen coordinates) with the MOUSEEVENTF_ button events `buttons`.
inline void MouseTo(POINT p, DWORD buttons = 0) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((p.x * 65535LL + (width - 1) / 2) / (width - 1));
  input.mi.dy = static_cast<LONG>((p.y * 65535LL + (height - 1) / 2) / (height - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  ::SendInput(1, &input, sizeof input);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace kestrune::test
