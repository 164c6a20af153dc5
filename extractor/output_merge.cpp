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

  const auto FSFinal = services.Open(state.FinalFile, platform::OpenMode::kReadWriteShared);
  FSFinal->SeekToEnd();
  std::vector<char> Buffer(kMergeBufferSize);
  for (const auto& finished : Snapshot) {
    const std::string& TmpName = finished.Path;
    if (!platform::FileExists(TmpName))
      continue;
    {
      const auto FSrc = services.Open(TmpName, platform::OpenMode::kReadShared);
      for (;;) {
        // A failed read throws rather than passing for the end of the file: the temp file is then
        // kept, not deleted half copied.
        const std::size_t ReadCount = FSrc->Read(Buffer.data(), Buffer.size());
        if (ReadCount == 0)
          break;
        FSFinal->Write(Buffer.data(), ReadCount);
      }
      FSrc->Close();
    }
    platform::DeleteFileOrThrow(TmpName);
  }
  FSFinal->Close();
}

}  // namespace kestrune
