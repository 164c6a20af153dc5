#include "extractor/block_workers.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>

#include "extractor/ip_text.h"
#include "platform/error.h"
#include "platform/task_group.h"

namespace kestrune {

// What the tasks of a block have formed so far, for the block's writer, which they wake only when
// it waits for them.
struct TSliceProgressBoard {
  explicit TSliceProgressBoard(std::size_t count) : Slices(count) {}

  void Publish(std::size_t slice, TSliceProgress::Stage stage, std::size_t bytes) {
    bool wake = false;
    {
      std::lock_guard lock(Lock);
      Slices[slice] = {stage, bytes};
      wake = WriterWaiting;
    }
    if (wake)
      Changed.notify_one();
  }
  // The slice's task failed; what it formed so far stays as it was.
  void Fail(std::size_t slice) {
    bool wake = false;
    {
      std::lock_guard lock(Lock);
      Slices[slice].Reached = TSliceProgress::Stage::kFailed;
      wake = WriterWaiting;
    }
    if (wake)
      Changed.notify_one();
  }

  std::mutex Lock;
  std::condition_variable Changed;
  std::vector<TSliceProgress> Slices;
  bool WriterWaiting = false;
};

namespace {

struct WorkerValues {
  int LocalTaskID = 0;
  std::uint32_t LocalStartIP = 0;
  TPair LocalTaskRange;
};

// Addresses formed in one piece: a worker's buffer holds their text, and between two pieces a
// task looks whether the run is to stop.
constexpr std::uint64_t kAddressesPerPiece = 4096;

void WriteSlice(platform::Stream& file, const WorkerValues& task,
                const std::function<bool()>& stop_requested) {
  std::string buffer(kAddressesPerPiece * (kMaxIPTextLength + 2) + kListTextSlack, '\0');
  for (std::uint64_t offset = task.LocalTaskRange.Key; offset <= task.LocalTaskRange.Value;) {
    const std::uint64_t count =
        std::min(kAddressesPerPiece, task.LocalTaskRange.Value - offset + 1);
    const char* end = WriteAddressListText(static_cast<std::uint32_t>(task.LocalStartIP + offset),
                                           count, buffer.data());
    file.Write(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    offset += count;
    if (offset <= task.LocalTaskRange.Value && stop_requested && stop_requested())
      throw Error("The run was stopped.");
  }
}

void WorkerBody(TExtractRunState& state, const WorkerValues& task,
                const platform::ProcessServices& services) {
  // Failures up to here are not the worker's to handle: they end the run through the wait.
  const std::string TempName =
      platform::JoinPath(services.TempFolder(), "ip_" + services.NewGuidText() + ".tmp");
  std::unique_ptr<platform::Stream> file;
  try {
    file = services.Open(TempName, platform::OpenMode::kCreateExclusive);
    WriteSlice(*file, task, state.StopRequested);
    file->Close();
    std::lock_guard lock(state.CS);
    state.GlobalTempFiles.push_back(
        {task.LocalTaskID, TempName, task.LocalTaskRange.Value - task.LocalTaskRange.Key + 1});
  } catch (const std::exception& error) {
    {
      std::lock_guard lock(state.CS);
      state.Exceptions.push_back("Task " + std::to_string(task.LocalTaskID) +
                                 " error: " + error.what());
    }
    if (file) {
      file.reset();
      platform::DeleteFileQuietly(TempName);
    }
  }
}

// Writes the slice's address list text at `out`, with kListTextSlack bytes of room after it,
// publishing each piece as it is formed.
void FormSlice(char* out, const WorkerValues& task, const std::function<bool()>& stop_requested,
               TSliceProgressBoard& progress) {
  const auto slice = static_cast<std::size_t>(task.LocalTaskID);
  char* const first = out;
  for (std::uint64_t offset = task.LocalTaskRange.Key; offset <= task.LocalTaskRange.Value;) {
    const std::uint64_t count =
        std::min(kAddressesPerPiece, task.LocalTaskRange.Value - offset + 1);
    out = WriteAddressListText(static_cast<std::uint32_t>(task.LocalStartIP + offset), count, out);
    offset += count;
    if (offset <= task.LocalTaskRange.Value) {
      progress.Publish(slice, TSliceProgress::Stage::kForming,
                       static_cast<std::size_t>(out - first));
      if (stop_requested && stop_requested())
        throw Error("The run was stopped.");
    }
  }
}

void InMemoryWorkerBody(TExtractRunState& state, const WorkerValues& task,
                        const platform::ProcessServices& services, TSliceInMemory& slice,
                        char* text, TSliceProgressBoard& progress) {
  const auto index = static_cast<std::size_t>(task.LocalTaskID);
  const bool spare = slice.Temp.File != nullptr;
  if (!spare) {
    // As in WorkerBody, failures in naming the file end the run through the wait.
    try {
      slice.Temp.Name =
          platform::JoinPath(services.TempFolder(), "ip_" + services.NewGuidText() + ".tmp");
    } catch (...) {
      progress.Fail(index);
      throw;
    }
  }
  try {
    if (!spare)
      slice.Temp.File = services.Open(slice.Temp.Name, platform::OpenMode::kCreateExclusive);
    progress.Publish(index, TSliceProgress::Stage::kForming, 0);
    FormSlice(text, task, state.StopRequested, progress);
    slice.Formed = true;
    progress.Publish(index, TSliceProgress::Stage::kFormed, slice.Text.size());
  } catch (const std::exception& error) {
    {
      std::lock_guard lock(state.CS);
      state.Exceptions.push_back("Task " + std::to_string(task.LocalTaskID) +
                                 " error: " + error.what());
    }
    slice.Temp.Delete();
    progress.Fail(index);
  }
}

}  // namespace

void TReservedTempFile::Delete() noexcept {
  if (File) {
    File.reset();
    platform::DeleteFileQuietly(Name);
  }
}

TSpareTempFiles::~TSpareTempFiles() {
  for (auto& file : Files)
    file.Delete();
}

void TSpareTempFiles::DeleteAll() {
  for (auto& file : Files) {
    if (file.File) {
      file.File.reset();
      platform::DeleteFileOrThrow(file.Name);
    }
  }
  Files.clear();
}

TFormedBlock::~TFormedBlock() {
  tasks_.reset();  // waits for them: they write into the slices
  for (auto& slice : Slices)
    slice.Temp.Delete();
}

TFormedBlock::TFormedBlock() = default;
TFormedBlock::TFormedBlock(TFormedBlock&&) noexcept = default;
TFormedBlock& TFormedBlock::operator=(TFormedBlock&&) noexcept = default;

TSliceProgress TFormedBlock::WaitForProgress(std::size_t slice, std::size_t seen) const {
  std::unique_lock lock(progress_->Lock);
  for (;;) {
    const TSliceProgress now = progress_->Slices[slice];
    if (now.Bytes > seen || now.Reached == TSliceProgress::Stage::kFormed ||
        now.Reached == TSliceProgress::Stage::kFailed)
      return now;
    progress_->WriterWaiting = true;
    progress_->Changed.wait(lock);
    progress_->WriterWaiting = false;
  }
}

void TFormedBlock::WaitForTasks() {
  if (tasks_)
    tasks_->WaitAll();
}

TFormedBlock StartFormingBlock(TExtractRunState& state, platform::ByteBuffer& text,
                               TSpareTempFiles& spares, std::uint32_t start, std::uint64_t count,
                               const platform::ProcessServices& services, int jobs) {
  const std::vector<TPair> TaskRanges =
      SplitBlock(count, jobs > 0 ? jobs : services.LogicalProcessorCount());
  {
    std::lock_guard lock(state.CS);
    state.GlobalTempFiles.clear();
  }
  // The slices lie one after the other, each with the room its writing runs past its end.
  std::vector<std::size_t> places(TaskRanges.size());
  std::size_t room = 0;
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    places[i] = room;
    room += static_cast<std::size_t>(
                AddressListTextSize(static_cast<std::uint32_t>(start + TaskRanges[i].Key),
                                    TaskRanges[i].Value - TaskRanges[i].Key + 1)) +
            kListTextSlack;
  }
  if (room > text.capacity()) {
    // Once for the run, as one large page, without keeping the old text: page faults and the copy
    // cost more than the forming.
    static_assert((std::size_t{1} << 16) * (kMaxIPTextLength + 2) + 256 * kListTextSlack <=
                      platform::kLargePageBytes,
                  "the largest block, a /16 over the most tasks, fits in one large page");
    text.Resize(0);
    text.Reserve(std::max(room, platform::kLargePageBytes));
  }
  text.Resize(room);
  TFormedBlock block;
  block.Slices.resize(TaskRanges.size());
  block.progress_ = std::make_unique<TSliceProgressBoard>(TaskRanges.size());
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    TSliceInMemory& slice = block.Slices[i];
    slice.TaskID = static_cast<int>(i);
    slice.Count = TaskRanges[i].Value - TaskRanges[i].Key + 1;
    const std::size_t end = i + 1 < TaskRanges.size() ? places[i + 1] : room;
    slice.Text = std::string_view(text.data() + places[i], end - places[i] - kListTextSlack);
    if (i < spares.Files.size())
      slice.Temp = std::move(spares.Files[i]);
  }
  block.tasks_ = std::make_unique<platform::TaskGroup>();
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    const WorkerValues values{static_cast<int>(i), start, TaskRanges[i]};
    TSliceInMemory* slice = &block.Slices[i];
    TSliceProgressBoard* progress = block.progress_.get();
    char* place = text.data() + places[i];
    block.tasks_->Start([&state, &services, values, slice, place, progress] {
      InMemoryWorkerBody(state, values, services, *slice, place, *progress);
    });
  }
  return block;
}

TFormedBlock FormBlockInMemory(TExtractRunState& state, platform::ByteBuffer& text,
                               TSpareTempFiles& spares, std::uint32_t start, std::uint64_t count,
                               const platform::ProcessServices& services, int jobs) {
  TFormedBlock block = StartFormingBlock(state, text, spares, start, count, services, jobs);
  block.WaitForTasks();
  return block;
}

void MoveSlicesToTempFiles(TExtractRunState& state, TFormedBlock& block) {
  for (auto& slice : block.Slices) {
    if (!slice.Formed || !slice.Temp.File)
      continue;
    try {
      slice.Temp.File->Write(slice.Text.data(), slice.Text.size());
      slice.Temp.File->Close();
      slice.Temp.File.reset();
      std::lock_guard lock(state.CS);
      state.GlobalTempFiles.push_back({slice.TaskID, slice.Temp.Name, slice.Count});
    } catch (const std::exception& error) {
      {
        std::lock_guard lock(state.CS);
        state.Exceptions.push_back("Task " + std::to_string(slice.TaskID) +
                                   " error: " + error.what());
      }
      slice.Temp.Delete();
    }
  }
}

void KeepSpareTempFiles(TFormedBlock& block, TSpareTempFiles& spares) {
  // Open files are a limited good: beyond this many tasks (--jobs 256) a block's files go with it.
  constexpr std::size_t kMostKept = 64;
  const std::size_t kept = std::min(block.Slices.size(), kMostKept);
  if (spares.Files.size() < kept)
    spares.Files.resize(kept);
  for (auto& slice : block.Slices) {
    const auto task = static_cast<std::size_t>(slice.TaskID);
    if (slice.Temp.File && task < kept)
      spares.Files[task] = std::move(slice.Temp);
  }
}

std::vector<TPair> SplitBlock(std::uint64_t total, int cpu_count) {
  const std::uint64_t cpus = cpu_count < 1 ? 1 : static_cast<std::uint64_t>(cpu_count);
  const std::uint64_t task_count = cpus > total ? total : cpus;
  std::vector<TPair> ranges(task_count);
  for (std::uint64_t i = 0; i < task_count; ++i) {
    ranges[i].Key = total * i / task_count;
    ranges[i].Value = total * (i + 1) / task_count - 1;
  }
  return ranges;
}

void AppendBlockText(std::string& text, std::uint32_t start, std::uint64_t count) {
  const std::size_t used = text.size();
  text.resize(used + count * (kMaxIPTextLength + 2) + kListTextSlack);
  const char* end = WriteAddressListText(start, count, text.data() + used);
  text.resize(static_cast<std::size_t>(end - text.data()));
}

void RunBlockTasks(TExtractRunState& state, std::uint32_t start, std::uint64_t count,
                   const platform::ProcessServices& services, int jobs) {
  const std::vector<TPair> TaskRanges =
      SplitBlock(count, jobs > 0 ? jobs : services.LogicalProcessorCount());
  {
    std::lock_guard lock(state.CS);
    state.GlobalTempFiles.clear();
  }
  platform::TaskGroup Tasks;
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    const WorkerValues values{static_cast<int>(i), start, TaskRanges[i]};
    Tasks.Start([&state, &services, values] { WorkerBody(state, values, services); });
  }
  Tasks.WaitAll();
}

}  // namespace kestrune
