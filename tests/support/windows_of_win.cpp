#include "tests/support/windows_of_win.h"

namespace kestrune::test {

std::vector<HWND> VisibleTopLevelWindows(DWORD process_id, const wchar_t* class_name) {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows(process_id)) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    if (::lstrcmpiW(name, class_name) == 0)
      found.push_back(window);
  }
  return found;
}

std::vector<HWND> TopLevelWindows(DWORD process_id, bool hidden_too) {
  struct Search {
    DWORD process_id;
    bool hidden_too;
    std::vector<HWND> found;
  } search{process_id, hidden_too, {}};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if ((s->process_id == 0 || owner == s->process_id) &&
            (s->hidden_too || ::IsWindowVisible(window) != FALSE))
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
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

}  // namespace kestrune::test
