#include "app/open_link_win.h"

#include <shellapi.h>

#include <string>

#include "platform/win_util.h"

namespace kestrune {

INT_PTR SystemShellOpen(const wchar_t* file, const wchar_t* parameters) {
  return reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL));
}

void OpenLink(std::string_view link, const ShellOpen& shell_open) {
  const std::wstring address = platform::Widen(link);
  if (shell_open(L"chrome.exe", address.c_str()) > 32)
    return;
  // Without that browser, any browser the user has chosen will do.
  shell_open(address.c_str(), nullptr);
}

}  // namespace kestrune
