#pragma once
// One extraction run: read "prefix_list.txt", judge every line, have every accepted block written
// and merged, and report it all through a RunUi.

#include <cstdint>
#include <functional>
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
  // Appends several lines in one piece: `lines` holds each line followed by "\n". The same as one
  // AppendLog per line, which is what it does unless the UI takes them faster at once.
  virtual void AppendLogLines(std::string_view lines);
  virtual void SetLabel(RunLabel label, std::string_view text) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // A block whose addresses are not all in the output (its "ERROR: " lines say why); told before
  // its "Done: " line.
  virtual void BlockIncomplete() {}
  // A message box with one OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // The standard error box for an error that ended the run; `text` has its period already.
  virtual void ShowErrorBox(std::string_view text) = 0;
  // False when the speed, remaining and ETA figures and the progress position of each block are
  // shown nowhere, which spares working them out and passing them on for every block.
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
  // The tasks of a large block form their slices in memory, and the block goes to the output in
  // one piece. Each task creates its temp file all the same and fails as it would otherwise; the
  // file stays empty unless the output refuses the block, whose slices it then takes for the
  // merge. Not for standard output, which cannot be cut back. False: the tasks write their temp
  // files, which the merge appends.
  bool large_blocks_in_memory = false;
  // See kInlineBlockLimit; 0 sends every block through the worker tasks.
  std::uint64_t inline_block_limit = kInlineBlockLimit;
  // When an error ends the run, delete the temp files it did not merge (the window keeps them).
  // Temp files that an error names as holding addresses missing from the output are kept always.
  bool remove_temp_files_on_error = false;
  // Asked before each line and by the workers between their writes; when it answers true the run
  // stops at the end of the last complete block and deletes its temp files. May be empty.
  std::function<bool()> stop_requested;
};

// What a run has put into its output, also when it ended early.
struct RunReport {
  std::uint64_t complete_blocks = 0;    // accepted blocks whose every address is in the output
  std::uint64_t incomplete_blocks = 0;  // accepted blocks some of whose addresses are missing
  std::uint64_t missing_addresses = 0;  // the addresses those blocks lack
};

enum class RunOutcome {
  kListMissing,   // the message box was shown; nothing else happened
  kCompleted,     // the log ends with "ALL DONE. Output file: "
  kIncomplete,    // as kCompleted, but some blocks lack addresses (their "ERROR: " lines say why);
                  // the remaining-figure label then says how many addresses are missing
  kEndedByError,  // an error ended the run and was shown in the error box
  kOutputClosed,  // the output is a pipe whose reader went away; nothing was shown
  kStopped,       // stop_requested answered true; the output ends with a complete block
};

// Runs one whole extraction. Errors that end the run early leave as Error exceptions; the output
// file keeps every block merged before.
[[nodiscard]] RunOutcome RunExtraction(const RunSettings& settings, RunUi& ui,
                                       const platform::ProcessServices& services,
                                       RunReport* report = nullptr);

// The Extract button's handler: RunExtraction with an error that leaves it shown in the error box.
RunOutcome ButtonExtractClick(const RunSettings& settings, RunUi& ui,
                              const platform::ProcessServices& services,
                              RunReport* report = nullptr);

// The message box text for a list file that does not exist.
[[nodiscard]] std::string MissingListMessage(std::string_view list_name);

}  // namespace kestrune
