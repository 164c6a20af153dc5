#pragma once
// Files dropped on the window: one file is a list to run as Extract runs the working folder's
// list; anything else runs nothing and tells the user why.

#include <functional>
#include <string>
#include <vector>

namespace kestrune {

struct DroppedList {
  std::string list_path;  // the list to run; empty when nothing runs
  std::string message;    // why nothing runs, for a message box; empty when there is nothing to say
};

// Judges the dropped `paths`; `is_folder` answers whether a path names a folder.
[[nodiscard]] DroppedList JudgeDrop(const std::vector<std::string>& paths,
                                    const std::function<bool(const std::string&)>& is_folder);

}  // namespace kestrune
