#include "platform/win_util.h"

#include <io.h>

#include <atomic>

#include "platform/console.h"

// The C runtime's own wide split of the command line; asking for it keeps shell32 (slow to load
// under Wine) out of the process.
extern "C" {
struct RuntimeStartupInfo {
  int new_mode;
};
int __wgetmainargs(int* count, wchar_t*** words, wchar_t*** environment, int expand_wildcards,
                   RuntimeStartupInfo* startup);
}

namespace kestrune::platform {

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** words = nullptr;
  wchar_t** environment = nullptr;
  RuntimeStartupInfo startup{0};
  std::vector<std::string> arguments;
  if (__wgetmainargs(&count, &words, &environment, 0, &startup) < 0 || words == nullptr)
    return arguments;
  for (int i = 1; i < count; ++i)
    arguments.push_back(Narrow(words[i]));
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

namespace {

std::atomic<int> g_stop_status{0};
std::atomic<bool> g_stop_handled{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  g_stop_status.store(event == CTRL_C_EVENT ? 130 : 143);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
    return TRUE;
  // The system ends the process once this returns (or after a few seconds): give the run the
  // time to cut back its output and delete its temp files.
  for (int waited = 0; waited < 4500 && !g_stop_handled.load(); waited += 20)
    ::Sleep(20);
  return TRUE;
}

}  // namespace

void CatchStopRequests() {
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

int StopRequestStatus() {
  return g_stop_status.load();
}

void StopRequestHandled() {
  g_stop_handled.store(true);
}

}  // namespace kestrune::platform
