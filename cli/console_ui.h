#pragma once
// The run's window, as lines on a console: the results log on one stream, and on the other the
// messages, errors and (when it is a terminal) a live status line with the progress bar and the
// four figures.

#include <chrono>
#include <cstdio>
#include <string>

#include "extractor/run_driver.h"

namespace kestrune::cli {

class ConsoleUi final : public RunUi {
 public:
  // `log` and `status` are not owned; `live_status` turns the status line on. `gather_log` keeps
  // log lines back until 64 KiB have come (or the status stream or the end needs them): for a log
  // nobody watches line by line, a file or a pipe.
  ConsoleUi(std::FILE* log, std::FILE* status, bool live_status, bool gather_log = false)
      : log_(log), status_(status), live_(live_status), gather_log_(gather_log) {}

  void ClearLog() override {}
  void AppendLog(std::string_view line) override;
  void AppendLogLines(std::string_view lines) override;
  void SetLabel(RunLabel label, std::string_view text) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  void ShowMessage(std::string_view text) override;
  void ShowErrorBox(std::string_view text) override;
  [[nodiscard]] bool ShowsFigures() const override { return live_; }

  // Flushes the log and shows the last status line for good, if one is shown.
  void Finish();

  // The status line for the current figures, without line control characters.
  [[nodiscard]] std::string StatusLine() const;

 private:
  void ClearStatus();
  // Writes the gathered log lines and flushes the log stream.
  void FlushLog();
  // Writes log text (whole lines) to the log stream, gathered or at once.
  void WriteLog(std::string_view text);
  // Draws the status line unless it was drawn less than 100 ms ago (`now`: in any case).
  void DrawStatus(bool now = false);

  std::FILE* log_;
  std::FILE* status_;
  bool live_;
  bool gather_log_;
  std::string gathered_;  // log lines not written yet
  bool status_shown_ = false;
  std::chrono::steady_clock::time_point last_draw_{};
  int maximum_ = 0;
  int position_ = 0;
  std::string total_ = "Total IPs: 0";
  std::string remaining_ = "Remaining: 0";
  std::string speed_ = "Speed: 0 IPs/sec";
  std::string eta_ = "ETA: 00:00:00";
};

}  // namespace kestrune::cli
