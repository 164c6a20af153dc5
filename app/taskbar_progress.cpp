#include "app/taskbar_progress.h"

#include <algorithm>

namespace kestrune {

void TaskbarProgress::Attach(std::unique_ptr<TaskbarButton> button) {
  button_ = std::move(button);
  ShowState();
  ShowValue();
}

void TaskbarProgress::RunStarted() {
  running_ = true;
  incomplete_ = false;
  maximum_ = 0;
  position_ = 0;
  ShowState();
}

void TaskbarProgress::SetMaximum(int maximum) {
  maximum_ = maximum;
  position_ = 0;
  ShowValue();
}

void TaskbarProgress::SetPosition(int position) {
  position_ = position;
  ShowValue();
}

void TaskbarProgress::BlockIncomplete() {
  if (!running_ || incomplete_)
    return;
  incomplete_ = true;
  ShowState();
}

void TaskbarProgress::RunEnded() {
  running_ = false;
  ShowState();
}

void TaskbarProgress::ShowState() {
  if (button_ == nullptr)
    return;
  button_->SetState(!running_     ? TaskbarState::kNoProgress
                    : incomplete_ ? TaskbarState::kError
                                  : TaskbarState::kNormal);
}

void TaskbarProgress::ShowValue() {
  // An empty list has nothing to count; the button keeps its state alone.
  if (button_ == nullptr || !running_ || maximum_ <= 0)
    return;
  button_->SetValue(std::clamp(position_, 0, maximum_), maximum_);
}

}  // namespace kestrune
