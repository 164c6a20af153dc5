#pragma once
// The values shared by the run driver, its UI steps and its worker tasks during one run.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files.h"

namespace kestrune {

// A temp file that a worker task finished, with the task that wrote it.
struct TFinishedTempFile {
  int TaskID = 0;
  std::string Path;
  std::uint64_t Count = 0;  // addresses in the file
};

struct TExtractRunState {
  std::string FinalFile;
  // The output while the run appends to it: open from the first append to the end of the run.
  std::unique_ptr<platform::Stream> FSFinal;
  double ETASec = 0;
  double Speed = 0;
  std::int32_t j = 0;
  // Texts of the task failures of the current block, in the order they were recorded. Under CS.
  std::vector<std::string> Exceptions;
  // Temp files the tasks of the current block finished, in the order they finished. Under CS.
  std::vector<TFinishedTempFile> GlobalTempFiles;
  std::mutex CS;
  std::string E;  // message of the error StrToIP raised for the current line
  std::string BaseIP;
  std::int32_t Prefix = 0;
  std::string LineTrimmed;
  std::uint64_t RemainingIPs = 0;
  std::uint64_t TotalEstimatedIPs = 0;
  // Asked by the workers between their writes: true when the run is to stop (Ctrl+C, a
  // termination request). May be empty.
  std::function<bool()> StopRequested;
};

}  // namespace kestrune
