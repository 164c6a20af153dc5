#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/console.h"

namespace kestrune::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool IsTerminal(std::FILE* stream) {
  return ::isatty(::fileno(stream)) != 0;
}

void UseUtf8Console() {}

namespace {

std::atomic<int> g_stop_status{0};

extern "C" void OnStopSignal(int signal) {
  g_stop_status.store(signal == SIGINT ? 130 : 143);
}

}  // namespace

void CatchStopRequests() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted system calls carry on: the run stops between blocks, not inside a write.
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int StopRequestStatus() {
  return g_stop_status.load();
}

void StopRequestHandled() {}

}  // namespace kestrune::platform
