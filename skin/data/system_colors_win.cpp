#include <windows.h>

#include "skin/data/system_colors.h"

namespace kestrune::skin {

TsSystemColors CurrentSystemColors() {
  // Straight from the system library: while the skin substitutes system colours, our own
  // imports answer with skin colours, and a load must not read those back as the desktop's.
  using GetSysColorProc = DWORD(WINAPI*)(int);
  static const auto platform_get_sys_color = reinterpret_cast<GetSysColorProc>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSysColor")));
  TsSystemColors colors;
  for (std::size_t i = 0; i < colors.Values.size(); ++i) {
    colors.Values[i] = static_cast<TColor>(platform_get_sys_color(static_cast<int>(i)));
  }
  return colors;
}

}  // namespace kestrune::skin
