#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "bench/process_memory.h"

namespace kestrune::bench {

ProcessMemory CurrentProcessMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
    return {};
  return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

}  // namespace kestrune::bench
