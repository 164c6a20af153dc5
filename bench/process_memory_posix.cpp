#include <fstream>
#include <string>

#include "bench/process_memory.h"

namespace kestrune::bench {

ProcessMemory CurrentProcessMemory() {
  ProcessMemory memory;
  std::ifstream status("/proc/self/status");
  std::string line;
  const auto kilobytes = [&line](std::size_t skip) {
    return static_cast<std::size_t>(std::stoull(line.substr(skip))) * 1024;
  };
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:"))
      memory.resident = kilobytes(6);
    else if (line.starts_with("VmHWM:"))
      memory.peak = kilobytes(6);
  }
  return memory;
}

}  // namespace kestrune::bench
