#include "skin/data/parent_chain.h"

#include <cstddef>

namespace kestrune::skin {

std::vector<int> FirstOnChain(std::span<const int> parent, std::span<const char> has) {
  const std::size_t n = parent.size();
  const auto at = [](int node) { return static_cast<std::size_t>(node); };
  enum : char { kNew, kOnPath, kDone };
  std::vector<char> state(n, kNew);
  std::vector<int> result(n, -1);
  std::vector<int> path;
  for (std::size_t start = 0; start < n; ++start) {
    if (state[start] != kNew)
      continue;
    path.clear();
    int node = static_cast<int>(start);
    while (node >= 0 && at(node) < n && state[at(node)] == kNew) {
      state[at(node)] = kOnPath;
      path.push_back(node);
      node = parent[at(node)];
    }
    if (node >= 0 && at(node) >= n)
      node = -1;
    std::size_t tree_end = path.size();  // Path entries before this index are not on a loop.
    int tail = -1;
    if (node >= 0 && state[at(node)] == kDone) {
      tail = result[at(node)];
    } else if (node >= 0) {
      // The walk closed a loop: path[loop_start..] is the loop, in walking order.
      std::size_t loop_start = 0;
      while (path[loop_start] != node)
        ++loop_start;
      const std::size_t length = path.size() - loop_start;
      std::size_t first = length;
      for (std::size_t i = 0; i < length; ++i) {
        if (has[at(path[loop_start + i])] != 0) {
          first = i;
          break;
        }
      }
      if (first < length) {
        // Going backwards round the loop from a member that has it.
        int next = path[loop_start + first];
        result[at(next)] = next;
        for (std::size_t step = 1; step < length; ++step) {
          const int member = path[loop_start + (first + length - step) % length];
          result[at(member)] = has[at(member)] != 0 ? member : result[at(next)];
          next = member;
        }
      }
      for (std::size_t i = loop_start; i < path.size(); ++i)
        state[at(path[i])] = kDone;
      tree_end = loop_start;
      tail = result[at(node)];
    }
    for (std::size_t i = tree_end; i-- > 0;) {
      const std::size_t member = at(path[i]);
      result[member] = has[member] != 0 ? path[i] : tail;
      tail = result[member];
      state[member] = kDone;
    }
  }
  return result;
}

}  // namespace kestrune::skin
