#pragma once
// The run's output file: its dated name, its creation, and the merge that appends the temp files
// of each block to it.

#include <cstdint>
#include <string>

#include "extractor/block_workers.h"
#include "extractor/run_state.h"
#include "platform/process_services.h"

namespace kestrune {

// "ddmmyyyyhhnnss_IPs.txt" for the given local time.
[[nodiscard]] std::string OutputFileName(const platform::WallClock& time);

// Sets state.FinalFile to `folder` joined with the name for the current local time and creates
// that file as a new one, open as state.FSFinal. Whatever has the name already (the output of a
// run started in the same second, a link) is left alone: the run then takes the first free name
// with a counter before "_IPs.txt", "ddmmyyyyhhnnss-2_IPs.txt", "-3" and so on. Throws on failure.
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
// slices, and deletes them once all are appended. Empties the list and returns the number of
// addresses appended. A listed file that no longer exists adds a "Task %d error: %s" text to
// state.Exceptions. Does not open the output when there is nothing to append. The copy happens in
// the kernel where the system offers it, else through one 64 KiB buffer. Throws when the output
// cannot be opened or written or a temp file cannot be read or deleted; the output is then cut
// back to where the block began, and the error names the block's temp files, which are kept (and
// no longer listed).
std::uint64_t MergeTempFiles(TExtractRunState& state, const platform::ProcessServices& services);

// Appends a block formed in memory to the output, its slices in order, each as its task forms it
// (see StartFormingBlock), and keeps their temp files, still empty, as spares; returns the number
// of addresses appended, once every task has ended. Does not open the output when no slice was
// formed. When the output refuses the block (a full disk), cuts it back to where the block began,
// moves the slices into their temp files and lists those for MergeTempFiles, which then tries
// once more and, failing alike, keeps and names them; returns 0 then. Throws when the output
// cannot be cut back, naming the temp files that keep the block. When the run is to stop
// (state.StopRequested), or a slice failed after part of it was written, takes the block back
// out and returns 0. An error a task lets escape (see RunBlockTasks) is rethrown, the block
// taken back out.
std::uint64_t AppendFormedBlock(TExtractRunState& state, TFormedBlock& block,
                                TSpareTempFiles& spares, const platform::ProcessServices& services);

inline constexpr std::size_t kMergeBufferSize = 65536;

// The highest counter PrepareOutputFile tries before it gives up on a dated name.
inline constexpr int kMaxOutputNameCounter = 1000;

}  // namespace kestrune
