#include "cli/console_ui.h"

#include <chrono>

namespace kestrune::cli {
namespace {

void WriteLine(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
}

// The live status line is redrawn at most this often; a terminal is slow to write to.
constexpr auto kStatusInterval = std::chrono::milliseconds(100);

// Log text gathered before one write; a long list logs two lines per block.
constexpr std::size_t kGatheredLogSize = std::size_t{1} << 16;

// True when a line of `lines` (each ended by "\n") starts with "ERROR: ". Looks for the text
// itself, which is rare, rather than at every line start.
bool HasErrorLine(std::string_view lines) {
  constexpr std::string_view kError = "ERROR: ";
  for (std::size_t at = lines.find(kError); at != std::string_view::npos;
       at = lines.find(kError, at + 1)) {
    if (at == 0 || lines[at - 1] == '\n')
      return true;
  }
  return false;
}

}  // namespace

void ConsoleUi::AppendLog(std::string_view line) {
  ClearStatus();
  WriteLog(line);
  WriteLog("\n");
  // A failure must not pass unseen when the log goes to a file or a pipe.
  if (log_ != status_ && line.starts_with("ERROR: ")) {
    FlushLog();
    WriteLine(status_, line);
    std::fflush(status_);
  }
  DrawStatus();
}

void ConsoleUi::AppendLogLines(std::string_view lines) {
  // Failures are repeated on the status stream, line by line.
  if (log_ != status_ && HasErrorLine(lines)) {
    RunUi::AppendLogLines(lines);
    return;
  }
  ClearStatus();
  WriteLog(lines);
  DrawStatus();
}

void ConsoleUi::WriteLog(std::string_view text) {
  // The log is flushed before anything goes to the other stream and at the end, not per line.
  if (!gather_log_) {
    std::fwrite(text.data(), 1, text.size(), log_);
    return;
  }
  if (gathered_.size() + text.size() < kGatheredLogSize) {
    gathered_ += text;
    return;
  }
  // Large pieces go on without a copy into the gathered text.
  std::fwrite(gathered_.data(), 1, gathered_.size(), log_);
  gathered_.clear();
  if (text.size() < kGatheredLogSize)
    gathered_ += text;
  else
    std::fwrite(text.data(), 1, text.size(), log_);
}

void ConsoleUi::SetLabel(RunLabel label, std::string_view text) {
  switch (label) {
    case RunLabel::kTotalEstimated:
      total_ = text;
      break;
    case RunLabel::kRemaining:
      remaining_ = text;
      break;
    case RunLabel::kSpeed:
      speed_ = text;
      break;
    case RunLabel::kETA:
      eta_ = text;
      break;
  }
  DrawStatus();
}

void ConsoleUi::SetProgressMaximum(int maximum) {
  maximum_ = maximum;
  DrawStatus();
}

void ConsoleUi::SetProgressPosition(int position) {
  position_ = position;
  DrawStatus();
}

void ConsoleUi::ShowMessage(std::string_view text) {
  ClearStatus();
  FlushLog();
  WriteLine(status_, text);
  std::fflush(status_);
}

void ConsoleUi::ShowErrorBox(std::string_view text) {
  ShowMessage("Error: " + std::string(text));
}

void ConsoleUi::Finish() {
  FlushLog();
  if (live_ && last_draw_ != std::chrono::steady_clock::time_point{})
    DrawStatus(true);
  if (status_shown_) {
    std::fputc('\n', status_);
    std::fflush(status_);
    status_shown_ = false;
  }
}

std::string ConsoleUi::StatusLine() const {
  constexpr int kWidth = 20;
  const int filled =
      maximum_ > 0 ? static_cast<int>(static_cast<long long>(position_) * kWidth / maximum_) : 0;
  std::string bar = "[";
  for (int i = 0; i < kWidth; ++i)
    bar += i < filled ? '#' : '.';
  bar += "] " + std::to_string(position_) + "/" + std::to_string(maximum_);
  return bar + "  " + total_ + "  " + remaining_ + "  " + speed_ + "  " + eta_;
}

void ConsoleUi::FlushLog() {
  std::fwrite(gathered_.data(), 1, gathered_.size(), log_);
  gathered_.clear();
  std::fflush(log_);
}

void ConsoleUi::ClearStatus() {
  if (!status_shown_)
    return;
  std::fputs("\r\x1b[K", status_);
  std::fflush(status_);
  status_shown_ = false;
}

void ConsoleUi::DrawStatus(bool now) {
  if (!live_)
    return;
  const auto time = std::chrono::steady_clock::now();
  if (!now && time - last_draw_ < kStatusInterval)
    return;
  last_draw_ = time;
  FlushLog();
  const std::string line = "\r\x1b[K" + StatusLine();
  std::fwrite(line.data(), 1, line.size(), status_);
  std::fflush(status_);
  status_shown_ = true;
}

}  // namespace kestrune::cli
