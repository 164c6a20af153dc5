#pragma once
// Waiting for another process or the window system to reach a state, for tests that cannot be
// told when it happens.

#include <chrono>
#include <thread>

namespace kestrune::test {

// Asks `condition` every `step` until it holds or `limit` has passed; true when it held (it is
// asked once more at the end).
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit,
             std::chrono::milliseconds step = std::chrono::milliseconds(50)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition())
      return true;
    std::this_thread::sleep_for(step);
  }
  return condition();
}

}  // namespace kestrune::test
