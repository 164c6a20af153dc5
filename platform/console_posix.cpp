#include <unistd.h>

#include "platform/console.h"

namespace kestrune::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool IsTerminal(std::FILE* stream) {
  return ::isatty(::fileno(stream)) != 0;
}

void UseUtf8Console() {}

}  // namespace kestrune::platform
