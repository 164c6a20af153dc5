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

// Sets state.FinalFile to `path` and creates that file, which must not exist yet: an existing file
// is never touched. The file stays open as state.FSFinal. Throws on failure.
void PrepareNamedOutputFile(TExtractRunState& state, const std::string& path,
                            const platform::ProcessServices& services);

// Makes the process's standard output the run's output; state.FinalFile names it for the log.
void PrepareStandardOutput(TExtractRunState& state);

// The output to append to: state.FSFinal, which this opens (shared, at the end of
// state.FinalFile) when it is not open yet. It stays open until CloseOutput.
platform::Stream& OutputStream(TExtractRunState& state, const platform::ProcessServices& services);

// Closes state.FSFinal if it is open, reporting what the system only tells at closing.
void CloseOutput(TExtractRunState& state);

// Appends the temp files of state.GlobalTempFiles to the output, in the order of the tasks'
// slices, deleting each after it has been appended; a listed file that no longer exists is
// skipped. Empties the list. Does not open the output when there is nothing to append. The copy
// happens in the kernel where the system offers it, else through one 64 KiB buffer. Throws when
// the output cannot be opened or written or a temp file cannot be read or deleted; the file being
// appended and those after it then stay where they are, and stay listed in state.GlobalTempFiles.
void MergeTempFiles(TExtractRunState& state, const platform::ProcessServices& services);

inline constexpr std::size_t kMergeBufferSize = 65536;

}  // namespace kestrune
