#include "extractor/block_workers.h"

#include <algorithm>
#include <string>

#include "extractor/ip_text.h"
#include "platform/error.h"
#include "platform/task_group.h"

namespace kestrune {
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

// Writes the slice's address list text at `out`, with kListTextSlack bytes of room after it.
void FormSlice(char* out, const WorkerValues& task, const std::function<bool()>& stop_requested) {
  for (std::uint64_t offset = task.LocalTaskRange.Key; offset <= task.LocalTaskRange.Value;) {
    const std::uint64_t count =
        std::min(kAddressesPerPiece, task.LocalTaskRange.Value - offset + 1);
    out = WriteAddressListText(static_cast<std::uint32_t>(task.LocalStartIP + offset), count, out);
    offset += count;
    if (offset <= task.LocalTaskRange.Value && stop_requested && stop_requested())
      throw Error("The run was stopped.");
  }
}

void InMemoryWorkerBody(TExtractRunState& state, const WorkerValues& task,
                        const platform::ProcessServices& services, TSliceInMemory& slice,
                        char* text) {
  const bool spare = slice.Temp.File != nullptr;
  if (!spare) {
    // As in WorkerBody, failures in naming the file end the run through the wait.
    slice.Temp.Name =
        platform::JoinPath(services.TempFolder(), "ip_" + services.NewGuidText() + ".tmp");
  }
  try {
    if (!spare)
      slice.Temp.File = services.Open(slice.Temp.Name, platform::OpenMode::kCreateExclusive);
    FormSlice(text, task, state.StopRequested);
    slice.Formed = true;
  } catch (const std::exception& error) {
    {
      std::lock_guard lock(state.CS);
      state.Exceptions.push_back("Task " + std::to_string(task.LocalTaskID) +
                                 " error: " + error.what());
    }
    slice.Temp.Delete();
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
  for (auto& slice : Slices)
    slice.Temp.Delete();
}

TFormedBlock FormBlockInMemory(TExtractRunState& state, platform::ByteBuffer& text,
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
  text.Resize(room);
  TFormedBlock block;
  block.Slices.resize(TaskRanges.size());
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    TSliceInMemory& slice = block.Slices[i];
    slice.TaskID = static_cast<int>(i);
    slice.Count = TaskRanges[i].Value - TaskRanges[i].Key + 1;
    const std::size_t end = i + 1 < TaskRanges.size() ? places[i + 1] : room;
    slice.Text = std::string_view(text.data() + places[i], end - places[i] - kListTextSlack);
    if (i < spares.Files.size())
      slice.Temp = std::move(spares.Files[i]);
  }
  platform::TaskGroup Tasks;
  for (std::size_t i = 0; i < TaskRanges.size(); ++i) {
    const WorkerValues values{static_cast<int>(i), start, TaskRanges[i]};
    TSliceInMemory* slice = &block.Slices[i];
    char* place = text.data() + places[i];
    Tasks.Start([&state, &services, values, slice, place] {
      InMemoryWorkerBody(state, values, services, *slice, place);
    });
  }
  Tasks.WaitAll();
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
