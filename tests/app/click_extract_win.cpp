// Clicks the Extract button of the running Kestrune window, or with --drop FILE drops FILE on
// it, and waits until the run has been handled; for the screenshot script. Exit code 0 when it
// clicked or dropped, 1 when no window was found or the drop failed, 2 for bad usage.

#include <windows.h>

#include <cwchar>
#include <string_view>

#include "tests/support/drop_files_win.h"

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

// As the shell drops a file; the window takes the drop before the next message sent to it.
bool Drop(HWND form, const wchar_t* path) {
  // Off the window: under Wine the results log's glow would show as a black rectangle over it
  // while the cursor rests there.
  ::SetCursorPos(0, 0);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(form, &pid);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr)
    return false;
  const bool dropped = kestrune::test::DropFiles(process, form, {path});
  ::CloseHandle(process);
  ::Sleep(300);
  return dropped;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool drop = argc == 3 && std::wstring_view(argv[1]) == L"--drop";
  if (argc != 1 && !drop)
    return 2;
  HWND form = nullptr;
  for (int tries = 0; tries < 300 && form == nullptr; ++tries) {
    form = ::FindWindowW(L"KestruneForm", nullptr);
    if (form == nullptr)
      ::Sleep(100);
  }
  if (form == nullptr)
    return 1;
  DWORD_PTR ignored = 0;
  if (drop) {
    if (!Drop(form, argv[2]))
      return 1;
  } else {
    ::EnumChildWindows(form, FindButton, 0);
    if (g_button == nullptr)
      return 1;
    // As the keyboard or an accessibility tool would press it; returns once the run has ended.
    ::SendMessageTimeoutW(g_button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored);
  }
  ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
  ::Sleep(300);
  return 0;
}
