#pragma once
// The process's resident memory as the system counts it, for benchmarks that show what a step
// keeps: on Linux VmRSS and VmHWM of /proc/self/status; on Windows the working set and its peak
// (which Wine takes from the same two lines of its process's status).

#include <cstddef>

namespace kestrune::bench {

struct ProcessMemory {
  std::size_t resident = 0;  // bytes in memory now
  std::size_t peak = 0;      // the most bytes in memory at once since the process started
};

[[nodiscard]] ProcessMemory CurrentProcessMemory();

}  // namespace kestrune::bench
