#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "platform/task_group.h"

namespace kestrune::platform {

// One work object per task on the system's default pool; the group waits on each in turn.
struct TaskGroup::State {
  struct Task {
    State* group = nullptr;
    std::function<void()> body;
  };
  std::vector<std::pair<PTP_WORK, std::unique_ptr<Task>>> works;
  std::mutex mutex;
  std::exception_ptr first_error;

  static void CALLBACK Run(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK) {
    auto* task = static_cast<Task*>(context);
    try {
      task->body();
    } catch (...) {
      std::lock_guard lock(task->group->mutex);
      if (!task->group->first_error)
        task->group->first_error = std::current_exception();
    }
  }

  void WaitAndClose() {
    for (auto& [work, task] : works) {
      ::WaitForThreadpoolWorkCallbacks(work, FALSE);
      ::CloseThreadpoolWork(work);
    }
    works.clear();
  }
};

TaskGroup::TaskGroup() : state_(std::make_unique<State>()) {}

TaskGroup::~TaskGroup() {
  state_->WaitAndClose();
}

void TaskGroup::Start(std::function<void()> task) {
  auto owned = std::make_unique<State::Task>(State::Task{state_.get(), std::move(task)});
  PTP_WORK work = ::CreateThreadpoolWork(&State::Run, owned.get(), nullptr);
  if (work == nullptr) {
    // Without a pool work object the task still has to run: run it here, as a waiting pool would.
    State::Run(nullptr, owned.get(), nullptr);
    return;
  }
  state_->works.emplace_back(work, std::move(owned));
  ::SubmitThreadpoolWork(work);
}

void TaskGroup::WaitAll() {
  state_->WaitAndClose();
  std::lock_guard lock(state_->mutex);
  if (auto error = std::exchange(state_->first_error, nullptr))
    std::rethrow_exception(error);
}

}  // namespace kestrune::platform
