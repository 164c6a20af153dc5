#pragma once
// A folder on a file system of its own that holds only a few kilobytes, for tests of a full disk.
// Mounting needs privileges that a build machine may not grant; tests then skip.

#include <cstddef>
#include <filesystem>
#include <string>

namespace kestrune::test {

class SmallDisk {
 public:
  explicit SmallDisk(std::size_t bytes);
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  ~SmallDisk();

  // False when the file system could not be mounted; `why` then says why.
  [[nodiscard]] bool Mounted() const { return mounted_; }
  [[nodiscard]] const std::string& why() const { return why_; }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  // The folder as text with a trailing separator.
  [[nodiscard]] std::string Folder() const;

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace kestrune::test
