#pragma once
// One block of consecutive addresses cut into near-equal slices, one worker task per logical
// processor, each writing its slice as address list text into a temp file of its own.

#include <cstdint>
#include <string>
#include <vector>

#include "extractor/run_state.h"
#include "platform/process_services.h"

namespace kestrune {

// A slice of a block: first and last offset from the block's base address, both included.
struct TPair {
  std::uint64_t Key = 0;
  std::uint64_t Value = 0;
  friend bool operator==(const TPair&, const TPair&) = default;
};

// Contiguous slices covering offsets 0..total-1 once each, one per task, sizes differing by at
// most one. There are cpu_count tasks (at least 1) but never more than `total` (which is > 0).
[[nodiscard]] std::vector<TPair> SplitBlock(std::uint64_t total, int cpu_count);

// Writes the block of `count` addresses from `start` (which the caller has checked does not run
// past 255.255.255.255) over parallel tasks and returns when all have ended. Afterwards
// state.GlobalTempFiles lists one file per task that finished and state.Exceptions one
// "Task %d error: %s" text per task that failed. An error before a task could create its file
// (no GUID, no temporary folder) is rethrown here after every task has ended.
// `jobs` tasks at most (0: one per logical processor).
void RunBlockTasks(TExtractRunState& state, std::uint32_t start, std::uint64_t count,
                   const platform::ProcessServices& services, int jobs = 0);

// Appends to `text` the address list text of the `count` addresses from `start` (which must not
// run past 255.255.255.255), as a worker writes them.
void AppendBlockText(std::string& text, std::uint32_t start, std::uint64_t count);

// Characters a worker gathers before it writes them out in one piece.
inline constexpr std::size_t kWorkerBufferLimit = 65536;

}  // namespace kestrune
