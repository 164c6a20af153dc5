#include "tests/support/windows_of_win.h"

#include <cstdio>

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

std::string DescribeWindow(HWND window) {
  wchar_t class_name[128] = {};
  ::GetClassNameW(window, class_name, 128);
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  DWORD pid = 0;
  const DWORD thread = ::GetWindowThreadProcessId(window, &pid);
  RECT r{};
  ::GetWindowRect(window, &r);
  char line[512];
  std::snprintf(
      line, sizeof line,
      "%p pid %lu tid %lu class \"%s\" text \"%s\" style %08lx ex %08lx (%ld,%ld)-(%ld,%ld)%s",
      static_cast<void*>(window), pid, thread, Narrow(class_name).c_str(), Narrow(caption).c_str(),
      static_cast<unsigned long>(::GetWindowLongPtrW(window, GWL_STYLE)),
      static_cast<unsigned long>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), r.left, r.top, r.right,
      r.bottom,
      ::IsWindow(window) == FALSE          ? " gone"
      : ::IsWindowVisible(window) != FALSE ? ""
                                           : " hidden");
  return line;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text)
    narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
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

std::string ControlText(HWND form, const wchar_t* name) {
  const ATOM query = ::GlobalAddAtomW(name);
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(form, ::RegisterWindowMessageW(L"Kestrune.ControlText"), query, 0,
                        SMTO_ABORTIFHUNG, 10000, &answer);
  ::GlobalDeleteAtom(query);
  if (answer == 0)
    return "<no label>";
  wchar_t text[256] = {};
  ::GlobalGetAtomNameW(static_cast<ATOM>(answer), text, 256);
  ::GlobalDeleteAtom(static_cast<ATOM>(answer));
  return Narrow(text);
}

}  // namespace kestrune::test
