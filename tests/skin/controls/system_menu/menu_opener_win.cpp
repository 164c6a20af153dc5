// Opens the system menu of the running Kestrune window with Alt+Space, as a user would, and
// returns once the drop-down shows (exit code 0) or after 30 seconds (1). For screenshots: run
// it on the window's desktop.

#include <windows.h>

#include <vector>

#include "tests/support/windows_of_win.h"

int main() {
  HWND form = ::FindWindowW(L"KestruneForm", nullptr);
  if (form == nullptr)
    return 1;
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(form, &process_id);
  ::SetForegroundWindow(form);
  for (int i = 0; i < 100 && ::GetForegroundWindow() != form; ++i)
    ::Sleep(50);
  for (const auto& [key, up] : {std::pair<WORD, bool>{VK_MENU, false},
                                {VK_SPACE, false},
                                {VK_SPACE, true},
                                {VK_MENU, true}}) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(40);
  }
  for (int i = 0; i < 600; ++i) {
    if (!kestrune::test::VisibleTopLevelWindows(process_id, L"#32768").empty())
      return 0;
    ::Sleep(50);
  }
  return 1;
}
