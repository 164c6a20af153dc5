#pragma once
// Tasks started together on the process's shared thread pool and waited for together. On Windows
// the pool is the system's default thread pool; elsewhere a pool of ours with the same promise:
// every task of a group can run at the same time when the group is no larger than the processor
// count.

#include <exception>
#include <functional>
#include <memory>

namespace kestrune::platform {

class TaskGroup {
 public:
  TaskGroup();
  TaskGroup(const TaskGroup&) = delete;
  TaskGroup& operator=(const TaskGroup&) = delete;
  // Waits for tasks still running; a task never outlives the values its group was given.
  ~TaskGroup();

  // Starts `task` at once on the shared pool.
  void Start(std::function<void()> task);

  // Blocks, without a time limit, until every started task has ended; then rethrows the first
  // error that a task let escape. The group can be reused afterwards.
  void WaitAll();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kestrune::platform
