// Changes a window's caption from another process, as any program on the desktop could:
//   caption_setter <window> <text>   (the window as a decimal number, or 0 for the first visible
//                                     Kestrune form)
// Prints "<delivered>".

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: caption_setter <window> <text>\n");
    return 2;
  }
  auto* window =
      reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::wcstoull(argv[1], nullptr, 10)));
  if (window == nullptr)
    window = ::FindWindowW(L"KestruneForm", nullptr);
  DWORD_PTR answer = 0;
  const LRESULT delivered = ::SendMessageTimeoutW(
      window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]), SMTO_NORMAL, 10000, &answer);
  std::printf("%d\n", delivered != 0 && answer != 0 ? 1 : 0);
  return 0;
}
