#include "cli/console_ui.h"

namespace kestrune::cli {
namespace {

void WriteLine(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void ConsoleUi::AppendLog(std::string_view line) {
  ClearStatus();
  WriteLine(log_, line);
  DrawStatus();
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
  WriteLine(status_, text);
}

void ConsoleUi::ShowErrorBox(std::string_view text) {
  ClearStatus();
  WriteLine(status_, "Error: " + std::string(text));
}

void ConsoleUi::Finish() {
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

void ConsoleUi::ClearStatus() {
  if (!status_shown_)
    return;
  std::fputs("\r\x1b[K", status_);
  std::fflush(status_);
  status_shown_ = false;
}

void ConsoleUi::DrawStatus() {
  if (!live_)
    return;
  const std::string line = "\r\x1b[K" + StatusLine();
  std::fwrite(line.data(), 1, line.size(), status_);
  std::fflush(status_);
  status_shown_ = true;
}

}  // namespace kestrune::cli
