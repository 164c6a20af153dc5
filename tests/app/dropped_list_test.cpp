#include "app/dropped_list.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrune {
namespace {

TEST(JudgeDrop, RunsOneFileAndRefusesAnythingElse) {
  const std::set<std::string> folders = {"C:\\lists", "C:\\lists\\old"};
  const auto is_folder = [&](const std::string& path) { return folders.count(path) > 0; };
  struct Case {
    std::vector<std::string> paths;
    std::string list_path;
    std::string message;
  };
  const Case cases[] = {
      {{"C:\\lists\\blocks.txt"}, "C:\\lists\\blocks.txt", ""},
      // Any one file is a list: the run judges its lines, whatever its name or extension.
      {{"C:\\lists\\prefix_list.csv"}, "C:\\lists\\prefix_list.csv", ""},
      {{"C:\\lists\\a.txt", "C:\\lists\\b.txt"},
       "",
       "Drop one list file at a time: 2 files were dropped, and nothing was run."},
      // A folder among several is refused for the count, not looked into.
      {{"C:\\lists", "C:\\lists\\a.txt", "C:\\lists\\old"},
       "",
       "Drop one list file at a time: 3 files were dropped, and nothing was run."},
      {{"C:\\lists\\old"},
       "",
       "C:\\lists\\old is a folder: drop one list file, and nothing was run."},
      {{}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.paths.empty() ? std::string("(none)") : c.paths.front());
    const DroppedList judged = JudgeDrop(c.paths, is_folder);
    EXPECT_EQ(judged.list_path, c.list_path);
    EXPECT_EQ(judged.message, c.message);
  }
}

}  // namespace
}  // namespace kestrune
