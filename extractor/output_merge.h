#pragma once
// The run's output file: its dated name, its creation, and the merge that appends the temp files
// of each block to it.

#include <string>

#include "extractor/run_state.h"
#include "platform/process_services.h"

namespace kestrune {

// "ddmmyyyyhhnnss_IPs.txt" for the given local time.
[[nodiscard]] std::string OutputFileName(const platform::WallClock& time);

// Sets state.FinalFile to `folder` joined with the name for the current local time and creates the
// file empty unless it exists (a run started in the same second appends to it). Throws on failure.
void PrepareOutputFile(TExtractRunState& state, const std::string& folder,
                       const platform::ProcessServices& services);

// Appends the temp files of state.GlobalTempFiles to state.FinalFile, in the order of the tasks'
// slices, with one 64 KiB buffer, deleting each after it has been appended; a listed file that no
// longer exists is skipped. Empties the list. Does not open the output when there is nothing to
// append. Throws when the output cannot be opened or written or a temp file cannot be read or
// deleted; the file being appended and those after it then stay where they are.
void MergeTempFiles(TExtractRunState& state, const platform::ProcessServices& services);

inline constexpr std::size_t kMergeBufferSize = 65536;

}  // namespace kestrune
