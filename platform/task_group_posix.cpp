#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/task_group.h"

namespace kestrune::platform {
namespace {

// The process-wide pool: enough threads for one task per processor, started on first use.
class SharedPool {
 public:
  static SharedPool& Instance() {
    static SharedPool pool;
    return pool;
  }

  void Post(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

 private:
  SharedPool() {
    const unsigned count = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i)
      threads_.emplace_back([this] { Work(); });
  }
  ~SharedPool() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (auto& thread : threads_)
      thread.join();
  }

  void Work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty())
          return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace

struct TaskGroup::State {
  std::mutex mutex;
  std::condition_variable done;
  int running = 0;
  std::exception_ptr first_error;
};

TaskGroup::TaskGroup() : state_(std::make_unique<State>()) {}

TaskGroup::~TaskGroup() {
  std::unique_lock lock(state_->mutex);
  state_->done.wait(lock, [this] { return state_->running == 0; });
}

void TaskGroup::Start(std::function<void()> task) {
  {
    std::lock_guard lock(state_->mutex);
    ++state_->running;
  }
  State* state = state_.get();
  SharedPool::Instance().Post([state, task = std::move(task)] {
    std::exception_ptr error;
    try {
      task();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(state->mutex);
    if (error && !state->first_error)
      state->first_error = error;
    if (--state->running == 0)
      state->done.notify_all();
  });
}

void TaskGroup::WaitAll() {
  std::unique_lock lock(state_->mutex);
  state_->done.wait(lock, [this] { return state_->running == 0; });
  if (auto error = std::exchange(state_->first_error, nullptr))
    std::rethrow_exception(error);
}

}  // namespace kestrune::platform
