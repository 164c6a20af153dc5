// A user at the mouse and keyboard, in a process of its own: moves the real cursor and presses
// buttons and keys with SendInput, and asks windows what lies under a point.
//   mouse_client STEP...
// Steps: move X Y | down | up | rdown | rup | sleep MS | ctrl_a | hittest WINDOW X Y | menu PID
// (screen coordinates; WINDOW in decimal). The exit code is the answer of the last hittest, or
// for menu 1 when a pop-up menu of process PID showed (it is closed with Escape), 0 otherwise;
// 100 for a bad step.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

void Mouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if ((flags & MOUSEEVENTF_ABSOLUTE) != 0) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height / 2) / height);
  }
  ::SendInput(1, &input, sizeof input);
}

void Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof input);
}

struct MenuSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindMenu(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<MenuSearch*>(context);
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && ::IsWindowVisible(window) && std::wcscmp(name, L"#32768") == 0)
    search->found = window;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  int answer = 0;
  for (int i = 1; i < argc; ++i) {
    const char* step = argv[i];
    const auto number = [&](int at) { return std::atoi(argv[at]); };
    if (std::strcmp(step, "move") == 0 && i + 2 < argc) {
      Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, number(i + 1), number(i + 2));
      i += 2;
    } else if (std::strcmp(step, "down") == 0) {
      Mouse(MOUSEEVENTF_LEFTDOWN);
    } else if (std::strcmp(step, "up") == 0) {
      Mouse(MOUSEEVENTF_LEFTUP);
    } else if (std::strcmp(step, "rdown") == 0) {
      Mouse(MOUSEEVENTF_RIGHTDOWN);
    } else if (std::strcmp(step, "rup") == 0) {
      Mouse(MOUSEEVENTF_RIGHTUP);
    } else if (std::strcmp(step, "sleep") == 0 && i + 1 < argc) {
      ::Sleep(static_cast<DWORD>(number(i + 1)));
      i += 1;
    } else if (std::strcmp(step, "ctrl_a") == 0) {
      Key(VK_CONTROL, false);
      Key('A', false);
      Key('A', true);
      Key(VK_CONTROL, true);
    } else if (std::strcmp(step, "hittest") == 0 && i + 3 < argc) {
      auto* window = reinterpret_cast<HWND>(
          static_cast<std::uintptr_t>(std::strtoull(argv[i + 1], nullptr, 10)));
      const LPARAM point = MAKELPARAM(number(i + 2), number(i + 3));
      DWORD_PTR hit = 0;
      if (!::SendMessageTimeoutW(window, WM_NCHITTEST, 0, point, SMTO_NORMAL, 10000, &hit))
        return 101;
      answer = static_cast<int>(hit);
      i += 3;
    } else if (std::strcmp(step, "menu") == 0 && i + 1 < argc) {
      MenuSearch search{static_cast<DWORD>(number(i + 1)), nullptr};
      ::EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&search));
      answer = search.found != nullptr ? 1 : 0;
      if (search.found != nullptr) {
        Key(VK_ESCAPE, false);
        Key(VK_ESCAPE, true);
      }
      i += 1;
    } else {
      std::fprintf(stderr, "mouse_client: bad step '%s'\n", step);
      return 100;
    }
  }
  return answer;
}
