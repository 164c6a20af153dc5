// Clicks the Extract button of the running Kestrune window with the real mouse and waits until
// the run has been handled; for the screenshot script. Exit code 0 when it clicked, 1 when no
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
  ::SetForegroundWindow(form);
  RECT r{};
  ::GetWindowRect(g_button, &r);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = ((r.left + r.right) / 2) * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = ((r.top + r.bottom) / 2) * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  for (const DWORD flag :
       {DWORD{MOUSEEVENTF_MOVE}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
    input.mi.dwFlags = flag | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(150);
  }
  // The run holds the window thread: the window answers again once it has ended.
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
  // Then the mouse leaves the button, so the picture shows it at rest.
  input.mi.dx = 0;
  input.mi.dy = 0;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof input);
  ::Sleep(300);
  return 0;
}
