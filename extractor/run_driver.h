#pragma once
// One extraction run: read "prefix_list.txt", judge every line, have every accepted block written
// and merged, and report it all through a RunUi.

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
};

struct RunSettings {
  std::string list_path = "prefix_list.txt";
  std::string output_folder;  // empty: the executable's folder
};

enum class RunOutcome {
  kListMissing,   // the message box was shown; nothing else happened
  kCompleted,     // the log ends with "ALL DONE. Output file: "
  kEndedByError,  // an error ended the run and was shown in the error box
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
