// Sends one skin command to a window of another process, as any program on the desktop could:
//   alpha_sender <window> <command> <lparam>   (numbers in decimal)
// Prints "<delivered> <answer>".

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: alpha_sender <window> <command> <lparam>\n");
    return 2;
  }
  auto* window =
      reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(argv[1], nullptr, 10)));
  const auto command = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10));
  const auto lparam = static_cast<LPARAM>(std::strtoull(argv[3], nullptr, 10));
  DWORD_PTR answer = 0;
  const LRESULT delivered =
      ::SendMessageTimeoutW(window, 0xA100, command << 16, lparam, SMTO_NORMAL, 10000, &answer);
  std::printf("%d %llu\n", delivered != 0 ? 1 : 0, static_cast<unsigned long long>(answer));
  return 0;
}
