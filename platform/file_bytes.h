#pragma once
// Whole files as bytes, for archives, pictures and the files packed into archives. Paths are
// UTF-8 text.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kestrune::platform {

// The whole content of `path`; throws when it cannot be read or is larger than `max_size` bytes.
[[nodiscard]] std::vector<std::uint8_t> ReadFileBytes(const std::string& path,
                                                      std::size_t max_size);
// The first `count` bytes of `path`, fewer when the file is shorter; throws when it cannot be
// read.
[[nodiscard]] std::vector<std::uint8_t> ReadFileStart(const std::string& path, std::size_t count);

// Writes `bytes` as the whole content of `path`: into a new temporary file beside it, which then
// takes the name. Throws on any failure, and then `path` keeps what it held and the temporary
// file is gone. A symbolic link or a folder at `path` is refused, never written through.
void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// One file of WriteFilesTogether; the bytes are borrowed for the call.
struct FileToWrite {
  std::string path;
  std::span<const std::uint8_t> bytes;
};

// Writes several files as one, each as WriteFileBytes does: every file is first written whole
// into its temporary file, and only then do they all take their names. Throws on any failure, and
// then every path keeps what it held and no temporary file is left. (Should taking a name fail,
// the files that had taken theirs are put back: an old file steps aside before it is replaced,
// except the last, which takes its name in one step as WriteFileBytes does.)
void WriteFilesTogether(std::span<const FileToWrite> files);

// Throws unless `path` is free or names a regular file that WriteFileBytes may replace.
void CheckWritableTarget(const std::string& path);

// A path from UTF-8 text and back, the same on every system.
[[nodiscard]] std::filesystem::path Utf8Path(const std::string& text);
[[nodiscard]] std::string PathText(const std::filesystem::path& path);

}  // namespace kestrune::platform
