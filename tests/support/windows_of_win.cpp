#include "tests/support/windows_of_win.h"

namespace kestrune::test {

std::vector<HWND> VisibleTopLevelWindows(DWORD process_id, const wchar_t* class_name) {
  struct Search {
    DWORD process_id;
    const wchar_t* class_name;
    std::vector<HWND> found;
  } search{process_id, class_name, {}};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[256] = {};
        ::GetClassNameW(window, name, 256);
        if (owner == s->process_id && ::IsWindowVisible(window) != FALSE &&
            ::lstrcmpiW(name, s->class_name) == 0)
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace kestrune::test
