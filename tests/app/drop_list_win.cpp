// Drops one file on the running Kestrune window and waits until the run it starts has been
// handled; for the screenshot script. Exit code 0 when it dropped, 1 when no window was found
// or the drop failed, 2 for bad usage.

#include <windows.h>

#include "tests/support/drop_files_win.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2)
    return 2;
  HWND form = nullptr;
  for (int tries = 0; tries < 300 && form == nullptr; ++tries) {
    form = ::FindWindowW(L"KestruneForm", nullptr);
    if (form == nullptr)
      ::Sleep(100);
  }
  if (form == nullptr)
    return 1;
  // Off the window: under Wine the results log's glow would show as a black rectangle over it
  // while the cursor rests there.
  ::SetCursorPos(0, 0);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(form, &pid);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr)
    return 1;
  const bool dropped = kestrune::test::DropFiles(process, form, {argv[1]});
  ::CloseHandle(process);
  if (!dropped)
    return 1;
  // The window takes the drop before this message; the answer comes once the run has ended.
  ::Sleep(300);
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
  ::Sleep(300);
  return 0;
}
