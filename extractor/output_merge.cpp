#include "extractor/output_merge.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace kestrune {

std::string OutputFileName(const platform::WallClock& time) {
  char name[64];
  std::snprintf(name, sizeof name, "%02d%02d%04d%02d%02d%02d_IPs.txt", time.day, time.month,
                time.year, time.hour, time.minute, time.second);
  return name;
}

void PrepareOutputFile(TExtractRunState& state, const std::string& folder,
                       const platform::ProcessServices& services) {
  state.FinalFile = platform::JoinPath(folder, OutputFileName(services.Now()));
  services.Open(state.FinalFile, platform::OpenMode::kCreateIfMissing)->Close();
}

void PrepareNamedOutputFile(TExtractRunState& state, const std::string& path,
                            const platform::ProcessServices& services) {
  state.FinalFile = path;
  state.FSFinal = services.Open(path, platform::OpenMode::kCreateNew);
}

void PrepareStandardOutput(TExtractRunState& state) {
  state.FinalFile = "standard output";
  state.FSFinal = platform::StandardOutput();
}

void MergeTempFiles(TExtractRunState& state, const platform::ProcessServices& services) {
  std::vector<TFinishedTempFile> Snapshot;
  {
    std::lock_guard lock(state.CS);
    Snapshot.swap(state.GlobalTempFiles);
  }
  if (Snapshot.empty())
    return;
  // Slices go in address order, whatever order their tasks finished in, so that the same list
  // always gives the same file.
  std::stable_sort(Snapshot.begin(), Snapshot.end(),
                   [](const auto& a, const auto& b) { return a.TaskID < b.TaskID; });

  std::size_t next = 0;
  try {
    platform::Stream& FSFinal = OutputStream(state, services);
    std::vector<char> Buffer;
    for (; next < Snapshot.size(); ++next) {
      const std::string& TmpName = Snapshot[next].Path;
      if (!platform::FileExists(TmpName))
        continue;
      {
        const auto FSrc = services.Open(TmpName, platform::OpenMode::kReadShared);
        if (!FSFinal.CopyRestFrom(*FSrc)) {
          Buffer.resize(kMergeBufferSize);
          for (;;) {
            // A failed read throws rather than passing for the end of the file: the temp file is
            // then kept, not deleted half copied.
            const std::size_t ReadCount = FSrc->Read(Buffer.data(), Buffer.size());
            if (ReadCount == 0)
              break;
            FSFinal.Write(Buffer.data(), ReadCount);
          }
        }
        FSrc->Close();
      }
      platform::DeleteFileOrThrow(TmpName);
    }
  } catch (...) {
    // The files not yet appended stay listed, so that whoever ends the run knows of them.
    std::lock_guard lock(state.CS);
    state.GlobalTempFiles.insert(state.GlobalTempFiles.begin(),
                                 Snapshot.begin() + static_cast<std::ptrdiff_t>(next),
                                 Snapshot.end());
    throw;
  }
}

platform::Stream& OutputStream(TExtractRunState& state, const platform::ProcessServices& services) {
  if (!state.FSFinal) {
    auto stream = services.Open(state.FinalFile, platform::OpenMode::kReadWriteShared);
    stream->SeekToEnd();
    state.FSFinal = std::move(stream);
  }
  return *state.FSFinal;
}

void CloseOutput(TExtractRunState& state) {
  if (const auto stream = std::move(state.FSFinal))
    stream->Close();
}

}  // namespace kestrune
