#include "platform/file_bytes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
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

// A free name beside `path` for a file of the moment.
std::string TemporaryName(const std::string& path) {
  std::random_device random;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
  return path + suffix;
}

// Renames `from` to `to` for the write of `path`, which a failure names.
void Rename(const std::string& from, const std::string& to, const std::string& path) {
  std::error_code error;
  std::filesystem::rename(Utf8Path(from), Utf8Path(to), error);
  if (error)
    throw Error("Cannot write file \"" + path + "\". " + error.message());
}

void RenameQuietly(const std::string& from, const std::string& to) noexcept {
  std::error_code ignored;
  std::filesystem::rename(Utf8Path(from), Utf8Path(to), ignored);
}

// Writes `bytes` into a new temporary file beside `path` and returns its name; throws, leaving no
// file, when it cannot be written whole.
std::string WriteBeside(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::string temp = TemporaryName(path);
  const auto file = OpenFile(temp, OpenMode::kCreateNew);
  try {
    file->Write(bytes.data(), bytes.size());
    file->Close();
  } catch (...) {
    try {
      file->Close();
    } catch (const Error&) {
      // The first error is the one to report.
    }
    DeleteFileQuietly(temp);
    throw;
  }
  return temp;
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
  const FileToWrite file{path, bytes};
  WriteFilesTogether({&file, 1});
}

void WriteFilesTogether(std::span<const FileToWrite> files) {
  for (const FileToWrite& file : files)
    CheckWritableTarget(file.path);
  std::vector<std::string> temps;
  try {
    for (const FileToWrite& file : files)
      temps.push_back(WriteBeside(file.path, file.bytes));
  } catch (...) {
    for (const std::string& temp : temps)
      DeleteFileQuietly(temp);
    throw;
  }
  struct Taken {
    std::string path;
    std::optional<std::string> aside;  // The old file, kept until all have taken their names.
  };
  std::vector<Taken> taken;
  try {
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::string& path = files[i].path;
      std::optional<std::string> aside;
      std::error_code error;
      // The last file replaces its old one in one step: nothing after it can fail.
      const bool last = i + 1 == files.size();
      if (!last &&
          std::filesystem::exists(std::filesystem::symlink_status(Utf8Path(path), error))) {
        aside = TemporaryName(path);
        Rename(path, *aside, path);
      }
      try {
        Rename(temps[i], path, path);
      } catch (...) {
        if (aside)
          RenameQuietly(*aside, path);
        throw;
      }
      temps[i].clear();  // It has become the file.
      taken.push_back(Taken{path, std::move(aside)});
    }
  } catch (...) {
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
      if (it->aside)
        RenameQuietly(*it->aside, it->path);
      else
        DeleteFileQuietly(it->path);
    }
    for (const std::string& temp : temps) {
      if (!temp.empty())
        DeleteFileQuietly(temp);
    }
    throw;
  }
  for (const Taken& file : taken) {
    if (file.aside)
      DeleteFileQuietly(*file.aside);
  }
}

}  // namespace kestrune::platform
