#include "platform/win_util.h"

#include <io.h>
#include <shellapi.h>

#include "platform/console.h"

namespace kestrune::platform {

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i)
    arguments.push_back(Narrow(words[i]));
  if (words != nullptr)
    ::LocalFree(words);
  return arguments;
}

bool IsTerminal(std::FILE* stream) {
  // Only a console: the C runtime's test also says yes for NUL and other character devices.
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

void UseUtf8Console() {
  ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace kestrune::platform
