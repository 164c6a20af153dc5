#pragma once
// What the Windows benchmarks that drive a program's window from outside share: reading a window's
// class and text, listing its children, and the median of the rounds.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrune::bench {

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// The window's text, asked of its own thread (a minute at most).
inline std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 60000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 60000, &copied);
  text.resize(copied);
  return text;
}

inline std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace kestrune::bench
