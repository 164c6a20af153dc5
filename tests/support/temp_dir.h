#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.

#include <filesystem>
#include <string>
#include <vector>

namespace kestrune::test {

class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  // The folder as UTF-8 text with a trailing separator.
  [[nodiscard]] std::string Folder() const;
  // Writes `bytes` to the file `name` in the folder and returns its path as UTF-8 text.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
[[nodiscard]] std::string ReadFileBytes(const std::filesystem::path& path);

// The names of the files in `folder`, sorted.
[[nodiscard]] std::vector<std::string> FileNames(const std::filesystem::path& folder);

}  // namespace kestrune::test
