#include "extractor/block_workers.h"

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

void WriteSlice(platform::Stream& file, const WorkerValues& task,
                const std::function<bool()>& stop_requested) {
  // Room for one more line past the limit, so the buffer never reallocates.
  std::string buffer(kWorkerBufferLimit + kMaxIPTextLength + 2, '\0');
  std::size_t used = 0;
  for (std::uint64_t offset = task.LocalTaskRange.Key; offset <= task.LocalTaskRange.Value;
       ++offset) {
    const auto address = static_cast<std::uint32_t>(task.LocalStartIP + offset);
    char* end = WriteIPText(address, buffer.data() + used);
    *end++ = '\r';
    *end++ = '\n';
    used = static_cast<std::size_t>(end - buffer.data());
    if (used > kWorkerBufferLimit) {
      file.Write(buffer.data(), used);
      used = 0;
      if (stop_requested && stop_requested())
        throw Error("The run was stopped.");
    }
  }
  if (used > 0)
    file.Write(buffer.data(), used);
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

}  // namespace

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
  std::size_t used = text.size();
  text.resize(used + count * (kMaxIPTextLength + 2));
  char* out = text.data() + used;
  for (std::uint64_t offset = 0; offset < count; ++offset) {
    out = WriteIPText(static_cast<std::uint32_t>(start + offset), out);
    *out++ = '\r';
    *out++ = '\n';
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
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
