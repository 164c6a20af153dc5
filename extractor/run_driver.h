#pragma once
// One extraction run: read "prefix_list.txt", judge every line, have every accepted block written
// and merged, and report it all through a RunUi.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/process_services.h"

namespace kestrune {

enum class RunLabel { kTotalEstimated, kRemaining, kSpeed, kETA };

// What a run shows its user. The driver calls these on its own thread, one step at a time, and
// goes on only when a step has returned.
class RunUi {
 public:
  virtual ~RunUi() = default;
  virtual void ClearLog() = 0;
  virtual void AppendLog(std::string_view line) = 0;
  virtual void SetLabel(RunLabel label, std::string_view text) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // A message box with one OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // The standard error box for an error that ended the run; `text` has its period already.
  virtual void ShowErrorBox(std::string_view text) = 0;
  // False when the speed, remaining and ETA figures of each block are shown nowhere, which spares
  // working them out for every block.
  [[nodiscard]] virtual bool ShowsFigures() const { return true; }
};

// As a list path or output file: the process's standard input or output.
inline constexpr std::string_view kStandardStream = "-";

// Blocks of up to this many addresses are written on the run's thread straight into the output:
// below it, starting tasks and creating, copying and deleting temp files costs more than the
// parallel writing saves (bench/kestrune_bench, BM_BlockPath).
inline constexpr std::uint64_t kInlineBlockLimit = 16384;

struct RunSettings {
  std::string list_path = "prefix_list.txt";
  std::string output_folder;  // empty: the executable's folder
  // The output's path instead of a dated name in output_folder; it must not exist yet.
  std::string output_file;
  // Worker tasks per block; 0: one per logical processor.
  int jobs = 0;
  // See kInlineBlockLimit; 0 sends every block through the worker tasks.
  std::uint64_t inline_block_limit = kInlineBlockLimit;
  // When an error ends the run, delete the temp files it did not merge (the window keeps them).
  bool remove_temp_files_on_error = false;
};

enum class RunOutcome {
  kListMissing,   // the message box was shown; nothing else happened
  kCompleted,     // the log ends with "ALL DONE. Output file: "
  kEndedByError,  // an error ended the run and was shown in the error box
  kOutputClosed,  // the output is a pipe whose reader went away; nothing was shown
};

// Runs one whole extraction. Errors that end the run early leave as Error exceptions; the output
// file keeps every block merged before.
[[nodiscard]] RunOutcome RunExtraction(const RunSettings& settings, RunUi& ui,
                                       const platform::ProcessServices& services);

// The Extract button's handler: RunExtraction with an error that leaves it shown in the error box.
RunOutcome ButtonExtractClick(const RunSettings& settings, RunUi& ui,
                              const platform::ProcessServices& services);

// The message box text for a list file that does not exist.
[[nodiscard]] std::string MissingListMessage(std::string_view list_name);

}  // namespace kestrune
