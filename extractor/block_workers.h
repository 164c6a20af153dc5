#pragma once
// One block of consecutive addresses cut into near-equal slices, one worker task per logical
// processor, each writing its slice as address list text into a temp file of its own.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/run_state.h"
#include "platform/byte_buffer.h"
#include "platform/process_services.h"
#include "platform/task_group.h"

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

// A temp file created by a task and not written yet.
struct TReservedTempFile {
  std::string Name;
  std::unique_ptr<platform::Stream> File;  // open, empty; null when there is none
  // Closes and deletes the file, if there is one.
  void Delete() noexcept;
};

// Temp files that the tasks of earlier blocks created and did not need, index = task index: the
// tasks of the next block take them rather than create their own. Deleted when it goes.
struct TSpareTempFiles {
  TSpareTempFiles() = default;
  TSpareTempFiles(const TSpareTempFiles&) = delete;
  TSpareTempFiles& operator=(const TSpareTempFiles&) = delete;
  ~TSpareTempFiles();
  // Deletes them now; throws when one cannot be deleted.
  void DeleteAll();

  std::vector<TReservedTempFile> Files;
};

// One slice of a block formed in memory (see StartFormingBlock).
struct TSliceInMemory {
  int TaskID = 0;
  // Where the slice goes should the output refuse the block; none once deleted or handed on.
  TReservedTempFile Temp;
  std::uint64_t Count = 0;
  std::string_view Text;  // the slice's address list text, once formed
  bool Formed = false;    // the task finished; else its error is in state.Exceptions
};

// How far a slice's task has gone, as the writer of the block sees it while the task runs.
struct TSliceProgress {
  enum class Stage { kWaiting, kForming, kFormed, kFailed };
  Stage Reached = Stage::kWaiting;
  std::size_t Bytes = 0;  // the first Bytes of the slice's text are final
};

struct TSliceProgressBoard;

// The slices of a block formed in memory, index = task index, while their tasks run and after.
// Slices (their Temp and Formed) may be read once WaitForTasks has returned; before, only
// WaitForProgress. When it goes it waits for its tasks, then deletes the temp files still held,
// so that a block the run gives up leaves none behind.
class TFormedBlock {
 public:
  TFormedBlock();
  TFormedBlock(TFormedBlock&&) noexcept;
  TFormedBlock& operator=(TFormedBlock&&) noexcept;
  ~TFormedBlock();

  // Blocks until the slice's task has formed more than `seen` bytes of its text, or has ended.
  [[nodiscard]] TSliceProgress WaitForProgress(std::size_t slice, std::size_t seen) const;
  // Blocks until every task has ended.
  void WaitForTasks();

  std::vector<TSliceInMemory> Slices;

 private:
  friend TFormedBlock StartFormingBlock(TExtractRunState&, platform::ByteBuffer&, TSpareTempFiles&,
                                        std::uint32_t, std::uint64_t,
                                        const platform::ProcessServices&, int);
  std::unique_ptr<TSliceProgressBoard> progress_;
  std::unique_ptr<platform::TaskGroup> tasks_;
};

// Starts the block's tasks as RunBlockTasks does, with the same errors in state.Exceptions (and
// the same errors rethrown by WaitForTasks), and returns while they run: each task, once it has
// its temp file (a spare one, or one it creates as a worker does), forms its slice's text in
// `text` instead of writing the file, so that the caller can write what is formed while the rest
// is being formed. The views of the result point into `text`.
[[nodiscard]] TFormedBlock StartFormingBlock(TExtractRunState& state, platform::ByteBuffer& text,
                                             TSpareTempFiles& spares, std::uint32_t start,
                                             std::uint64_t count,
                                             const platform::ProcessServices& services,
                                             int jobs = 0);

// StartFormingBlock, then WaitForTasks.
[[nodiscard]] TFormedBlock FormBlockInMemory(TExtractRunState& state, platform::ByteBuffer& text,
                                             TSpareTempFiles& spares, std::uint32_t start,
                                             std::uint64_t count,
                                             const platform::ProcessServices& services,
                                             int jobs = 0);

// Writes every formed slice into its temp file and lists the file in state.GlobalTempFiles, as
// the workers of RunBlockTasks would have; a slice that cannot be written adds its
// "Task %d error: %s" text to state.Exceptions instead, and its file is deleted.
void MoveSlicesToTempFiles(TExtractRunState& state, TFormedBlock& block);

// Keeps the block's unwritten temp files for the tasks of the next block (those of its first 64
// tasks; the block deletes the others when it goes).
void KeepSpareTempFiles(TFormedBlock& block, TSpareTempFiles& spares);

// Appends to `text` the address list text of the `count` addresses from `start` (which must not
// run past 255.255.255.255), as a worker writes them.
void AppendBlockText(std::string& text, std::uint32_t start, std::uint64_t count);

// Characters a worker gathers before it writes them out in one piece.
inline constexpr std::size_t kWorkerBufferLimit = 65536;

}  // namespace kestrune
