// Clicks the Extract button of the running Kestrune window and waits until the run has been
// handled; for the screenshot script. Exit code 0 when it clicked, 1 when no
// window was found.

#include <windows.h>

#include <cwchar>
#include <string_view>

namespace {

HWND g_button = nullptr;

BOOL CALLBACK FindButton(HWND window, LPARAM /*lparam*/) {
  wchar_t kind[32] = {};
  wchar_t text[32] = {};
  ::GetClassNameW(window, kind, 32);
  ::GetWindowTextW(window, text, 32);
  if (::lstrcmpiW(kind, L"Button") == 0 && std::wstring_view(text) == L"Extract") {
    g_button = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int wmain() {
  HWND form = nullptr;
  for (int tries = 0; tries < 300 && form == nullptr; ++tries) {
    form = ::FindWindowW(L"KestruneForm", nullptr);
    if (form == nullptr)
      ::Sleep(100);
  }
  if (form == nullptr)
    return 1;
  ::EnumChildWindows(form, FindButton, 0);
  if (g_button == nullptr)
    return 1;
  // As the keyboard or an accessibility tool would press it; returns once the run has ended.
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(g_button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored);
  ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
  ::Sleep(300);
  return 0;
}
