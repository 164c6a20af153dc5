#include "extractor/output_merge.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "platform/files.h"

namespace kestrune {
namespace {

// " The addresses of the block are kept in the temp files ..." for those of `files` that exist.
std::string KeptTempFilesNote(const std::vector<TFinishedTempFile>& files) {
  std::string kept;
  for (const auto& finished : files) {
    if (platform::FileExists(finished.Path))
      kept += (kept.empty() ? "" : ", ") + ("\"" + finished.Path + "\"");
  }
  if (kept.empty())
    return "";
  return " The addresses of the block are kept in the temp files " + kept + ".";
}

}  // namespace

std::string OutputFileName(const platform::WallClock& time) {
  char name[64];
  std::snprintf(name, sizeof name, "%02d%02d%04d%02d%02d%02d_IPs.txt", time.day, time.month,
                time.year, time.hour, time.minute, time.second);
  return name;
}

void PrepareOutputFile(TExtractRunState& state, const std::string& folder,
                       const platform::ProcessServices& services) {
  const std::string dated = OutputFileName(services.Now());
  const std::string stem = dated.substr(0, dated.size() - std::string_view("_IPs.txt").size());
  std::string first_error;
  for (int counter = 1;; ++counter) {
    const std::string name =
        counter == 1 ? dated : stem + "-" + std::to_string(counter) + "_IPs.txt";
    state.FinalFile = platform::JoinPath(folder, name);
    try {
      state.FSFinal = services.Open(state.FinalFile, platform::OpenMode::kCreateNew);
      return;
    } catch (const Error& error) {
      // Only a taken name moves on to the next; any other failure is the run's. A name the system
      // cannot even look at (a folder name it refuses) passes for taken, so the error the run
      // ends with is that of the dated name, not of the last counter tried.
      if (counter == 1)
        first_error = error.what();
      if (platform::KindOfPath(state.FinalFile, false) == platform::PathKind::kNone)
        throw;
      if (counter >= kMaxOutputNameCounter)
        throw Error(first_error);
    }
  }
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

std::uint64_t MergeTempFiles(TExtractRunState& state, const platform::ProcessServices& services) {
  std::vector<TFinishedTempFile> Snapshot;
  {
    std::lock_guard lock(state.CS);
    Snapshot.swap(state.GlobalTempFiles);
  }
  if (Snapshot.empty())
    return 0;
  // Slices go in address order, whatever order their tasks finished in, so that the same list
  // always gives the same file.
  std::stable_sort(Snapshot.begin(), Snapshot.end(),
                   [](const auto& a, const auto& b) { return a.TaskID < b.TaskID; });

  std::uint64_t merged = 0;
  std::optional<std::uint64_t> block_start;
  platform::Stream* FSFinal = nullptr;
  try {
    FSFinal = &OutputStream(state, services);
    block_start = platform::FileSize(state.FinalFile);
    std::vector<char> Buffer;
    for (const auto& finished : Snapshot) {
      const std::string& TmpName = finished.Path;
      // Opened first and asked after: a cleaner may delete the file between a look and the open.
      std::unique_ptr<platform::Stream> FSrc;
      try {
        FSrc = services.Open(TmpName, platform::OpenMode::kReadShared);
      } catch (const Error&) {
        if (platform::KindOfPath(TmpName, false) != platform::PathKind::kNone)
          throw;
        std::lock_guard lock(state.CS);
        state.Exceptions.push_back(
            "Task " + std::to_string(finished.TaskID) + " error: The temp file \"" + TmpName +
            "\" was gone before the merge; its " + std::to_string(finished.Count) +
            " addresses are missing from the output.");
        continue;
      }
      if (!FSFinal->CopyRestFrom(*FSrc)) {
        Buffer.resize(kMergeBufferSize);
        for (;;) {
          // A failed read throws rather than passing for the end of the file: the temp file is
          // then kept, not deleted half copied.
          const std::size_t ReadCount = FSrc->Read(Buffer.data(), Buffer.size());
          if (ReadCount == 0)
            break;
          FSFinal->Write(Buffer.data(), ReadCount);
        }
      }
      FSrc->Close();
      merged += finished.Count;
    }
  } catch (const platform::ClosedPipeError&) {
    // Nobody reads the output any more: the block's temp files are of no use to anyone.
    std::lock_guard lock(state.CS);
    state.GlobalTempFiles.insert(state.GlobalTempFiles.begin(), Snapshot.begin(), Snapshot.end());
    throw;
  } catch (const std::exception& error) {
    // No partial block stays in the output; its addresses are all still in the temp files.
    std::string message = error.what();
    if (FSFinal != nullptr && block_start) {
      try {
        FSFinal->CutBack(*block_start);
        message += " The output was cut back to the end of its last complete block.";
      } catch (const std::exception& cut) {
        message += std::string(" ") + cut.what();
      }
    }
    throw Error(message + KeptTempFilesNote(Snapshot));
  }
  for (const auto& finished : Snapshot)
    platform::DeleteFileOrThrow(finished.Path);
  return merged;
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

std::uint64_t AppendFormedBlock(TExtractRunState& state, TFormedBlock& block,
                                TSpareTempFiles& spares,
                                const platform::ProcessServices& services) {
  std::uint64_t appended = 0;
  std::optional<std::uint64_t> block_start;
  platform::Stream* FSFinal = nullptr;
  const auto take_block_back = [&] {
    if (FSFinal != nullptr && block_start)
      FSFinal->CutBack(*block_start);
  };
  // A slice that failed after part of it went out (the run was stopped) takes the block back out.
  bool cut_off = false;
  std::optional<std::string> refused;  // the output's error
  try {
    for (std::size_t i = 0; i < block.Slices.size() && !cut_off; ++i) {
      // What the task has formed goes out while it forms the rest.
      std::size_t written = 0;
      for (;;) {
        const TSliceProgress progress = block.WaitForProgress(i, written);
        if (progress.Bytes > written) {
          if (FSFinal == nullptr) {
            FSFinal = &OutputStream(state, services);
            block_start = platform::FileSize(state.FinalFile);
          }
          FSFinal->Write(block.Slices[i].Text.data() + written, progress.Bytes - written);
          written = progress.Bytes;
          continue;
        }
        if (progress.Reached == TSliceProgress::Stage::kFormed)
          appended += block.Slices[i].Count;
        else
          cut_off = written > 0;
        break;
      }
    }
  } catch (const platform::ClosedPipeError&) {
    throw;
  } catch (const std::exception& error) {
    refused = error.what();
  }
  try {
    block.WaitForTasks();
  } catch (const std::exception& error) {
    // A task that could not even name its temp file ends the run, the block left out.
    if (!refused) {
      try {
        take_block_back();
      } catch (const std::exception& cut) {
        throw Error(std::string(error.what()) + " " + cut.what());
      }
    }
    throw;
  }
  if (refused) {
    // The temp files take the block, and the merge tries the output once more from them: what it
    // then does on a full disk (cut back, keep and name the files) is what it always does.
    std::string message = *refused;
    bool cut_back = false;
    try {
      take_block_back();
      cut_back = FSFinal != nullptr && block_start;
    } catch (const std::exception& cut) {
      message += std::string(" ") + cut.what();
    }
    MoveSlicesToTempFiles(state, block);
    if (cut_back)
      return 0;
    // Nothing may follow a block cut off: the files are kept, no longer listed.
    std::vector<TFinishedTempFile> kept;
    {
      std::lock_guard lock(state.CS);
      kept.swap(state.GlobalTempFiles);
    }
    throw Error(message + KeptTempFilesNote(kept));
  }
  if (cut_off || (state.StopRequested && state.StopRequested())) {
    // As though the block had not been started: a stopped run keeps whole blocks only.
    take_block_back();
    return 0;
  }
  KeepSpareTempFiles(block, spares);
  return appended;
}

}  // namespace kestrune
