#include "app/dropped_list.h"

namespace kestrune {

DroppedList JudgeDrop(const std::vector<std::string>& paths,
                      const std::function<bool(const std::string&)>& is_folder) {
  if (paths.empty())
    return {};
  if (paths.size() > 1)
    return {{},
            "Drop one list file at a time: " + std::to_string(paths.size()) +
                " files were dropped, and nothing was run."};
  if (is_folder(paths.front()))
    return {{}, paths.front() + " is a folder: drop one list file, and nothing was run."};
  return {paths.front(), {}};
}

}  // namespace kestrune
