#pragma once
// A task-bar button that writes down what it is told: "none", "normal", "error", or "DONE/TOTAL".

#include <string>
#include <vector>

#include "app/taskbar_progress.h"

namespace kestrune::test {

using TaskbarCalls = std::vector<std::string>;

class RecordingTaskbarButton final : public TaskbarButton {
 public:
  explicit RecordingTaskbarButton(TaskbarCalls& calls) : calls_(calls) {}
  void SetState(TaskbarState state) override {
    const char* names[] = {"none", "normal", "error"};
    calls_.push_back(names[static_cast<int>(state)]);
  }
  void SetValue(int done, int total) override {
    calls_.push_back(std::to_string(done) + "/" + std::to_string(total));
  }

 private:
  TaskbarCalls& calls_;
};

}  // namespace kestrune::test
