#pragma once
// Lets the windows a test made on its own thread handle what was sent or posted to them.

#include <windows.h>

namespace kestrune::test {

// Dispatches every message waiting in this thread's queue, then returns.
inline void PumpMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace kestrune::test
