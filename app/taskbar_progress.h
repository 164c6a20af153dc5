#pragma once
// A run's progress on the window's task-bar button: the blocks done out of the list's lines, the
// error state from the first incomplete block on, and no progress once the run has ended. The
// button exists only once the system has announced it, which it may never do: until then, and
// without it, nothing is shown and the run goes on unchanged.

#include <memory>

namespace kestrune {

enum class TaskbarState { kNoProgress, kNormal, kError };

// The system's task-bar button of one window.
class TaskbarButton {
 public:
  virtual ~TaskbarButton() = default;
  virtual void SetState(TaskbarState state) = 0;
  virtual void SetValue(int done, int total) = 0;
};

class TaskbarProgress {
 public:
  // The button the system announced; what the run has shown so far goes to it at once.
  void Attach(std::unique_ptr<TaskbarButton> button);
  [[nodiscard]] bool Attached() const { return button_ != nullptr; }

  void RunStarted();
  void SetMaximum(int maximum);
  void SetPosition(int position);
  void BlockIncomplete();
  void RunEnded();

 private:
  void ShowState();
  void ShowValue();

  std::unique_ptr<TaskbarButton> button_;
  bool running_ = false;
  bool incomplete_ = false;
  int maximum_ = 0;
  int position_ = 0;
};

}  // namespace kestrune
