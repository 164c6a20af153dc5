#include "platform/file_bytes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>

#include "platform/error.h"
#include "platform/files.h"

namespace kestrune::platform {

namespace {

// Up to `limit` bytes from the start of `path`.
std::vector<std::uint8_t> ReadUpTo(const std::string& path, std::size_t limit) {
  const auto file = OpenFile(path, OpenMode::kReadShared);
  std::vector<std::uint8_t> bytes;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  while (bytes.size() < limit) {
    const std::size_t have = bytes.size();
    bytes.resize(have + std::min(kChunk, limit - have));
    const std::size_t got = file->Read(bytes.data() + have, bytes.size() - have);
    bytes.resize(have + got);
    if (got == 0)
      break;
  }
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t max_size) {
  // Reading one byte past the limit tells a file of exactly max_size from a larger one.
  std::vector<std::uint8_t> bytes = ReadUpTo(path, max_size == SIZE_MAX ? max_size : max_size + 1);
  if (bytes.size() > max_size)
    throw Error("The file \"" + path + "\" is larger than " + std::to_string(max_size) + " bytes.");
  return bytes;
}

std::vector<std::uint8_t> ReadFileStart(const std::string& path, std::size_t count) {
  return ReadUpTo(path, count);
}

std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void CheckWritableTarget(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(Utf8Path(path), error);
  if (std::filesystem::is_symlink(status)) {
    throw Error("Cannot write file \"" + path +
                "\": it is a symbolic link, which is not written through.");
  }
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw Error("Cannot write file \"" + path + "\": something other than a file has that name.");
}

void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  CheckWritableTarget(path);
  std::random_device random;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
  const std::string temp = path + suffix;
  const auto file = OpenFile(temp, OpenMode::kCreateNew);
  try {
    file->Write(bytes.data(), bytes.size());
    file->Close();
    std::error_code error;
    std::filesystem::rename(Utf8Path(temp), Utf8Path(path), error);
    if (error)
      throw Error("Cannot write file \"" + path + "\". " + error.message());
  } catch (...) {
    try {
      file->Close();
    } catch (const Error&) {
      // The first error is the one to report.
    }
    DeleteFileQuietly(temp);
    throw;
  }
}

}  // namespace kestrune::platform
