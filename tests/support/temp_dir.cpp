#include "tests/support/temp_dir.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace kestrune::test {

TempDir::TempDir() {
  std::random_device random;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("kestrune-test-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(path_))
      break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Folder() const {
  std::string folder = path_.string();
  folder += static_cast<char>(std::filesystem::path::preferred_separator);
  return folder;
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const auto file = path_ / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return Folder() + name;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kestrune::test
