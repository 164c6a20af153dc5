#pragma once
// Files with the share rules the extraction run relies on. Paths are UTF-8 text. Every failure is
// an Error whose message names the file and gives the system's reason.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace kestrune::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class OpenMode {
  kCreateExclusive,  // Create or empty the file for writing; nobody else may open it meanwhile.
  kCreateIfMissing,  // Create the file empty unless it exists; an existing file is left unchanged.
  kCreateNew,        // Create the file empty for writing; fails when the name is taken, also by
                     // a symbolic link, which is never followed.
  kReadWriteShared,  // Open an existing file to read and write; others may read and write too.
  kReadShared,       // Open an existing file to read; others may read and write it meanwhile.
  kReadDenyWrite,    // Open an existing file to read; others may read it but not write it.
};

// An open file. Closing happens in the destructor unless Close() reported an error first.
class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to `size` bytes; returns 0 at the end of the file. Throws on a failed read.
  virtual std::size_t Read(void* buffer, std::size_t size) = 0;
  // Writes all `size` bytes or throws; a short write (a full disk) is an error.
  virtual void Write(const void* buffer, std::size_t size) = 0;
  virtual void SeekToEnd() = 0;
  // Closes the file, reporting errors the system only tells at closing.
  virtual void Close() = 0;
  // Appends the rest of `source` at this stream's position without passing the bytes through the
  // program, where the system can do that for these two streams. Returns false, having copied
  // nothing, where it cannot; throws when a copy fails partway.
  virtual bool CopyRestFrom(Stream& /*source*/) { return false; }
  // Cuts the file back to its first `size` bytes and moves to its end, so that a failed write
  // leaves no partial line behind. Throws where that cannot be done (a pipe).
  virtual void CutBack(std::uint64_t /*size*/) { throw Error("This output cannot be cut back."); }
};

// A write to a pipe whose reading end has been closed.
class ClosedPipeError : public Error {
 public:
  using Error::Error;
};

// Opens `path` in `mode` on the real file system.
[[nodiscard]] std::unique_ptr<Stream> OpenFile(const std::string& path, OpenMode mode);

// The process's standard input and output as streams, for a list read from a pipe and addresses
// written to one. Closing them leaves the process's own handles open.
[[nodiscard]] std::unique_ptr<Stream> StandardInput();
[[nodiscard]] std::unique_ptr<Stream> StandardOutput();

// The size in bytes of the file at `path`; empty when it cannot be told.
[[nodiscard]] std::optional<std::uint64_t> FileSize(const std::string& path);

// What stands at a path, for messages that say why it cannot be used.
enum class PathKind { kNone, kFile, kFolder, kPipe, kLink, kOther };

// The kind of `path`; with `follow_links` false a symbolic link is kLink, whatever it points to.
[[nodiscard]] PathKind KindOfPath(const std::string& path, bool follow_links);

// "a folder", "a named pipe", ... for messages.
[[nodiscard]] constexpr std::string_view PathKindText(PathKind kind) {
  switch (kind) {
    case PathKind::kNone:
      return "missing";
    case PathKind::kFile:
      return "a file";
    case PathKind::kFolder:
      return "a folder";
    case PathKind::kPipe:
      return "a named pipe";
    case PathKind::kLink:
      return "a symbolic link";
    case PathKind::kOther:
      break;
  }
  return "not a regular file";
}

// True when `path` names an existing regular file (a folder does not count).
[[nodiscard]] bool FileExists(const std::string& path);

// Deletes `path`; throws when the file exists but cannot be deleted.
void DeleteFileOrThrow(const std::string& path);

// Deletes `path` if it can; for cleaning up after an error that is already being reported.
void DeleteFileQuietly(const std::string& path) noexcept;

// `folder` joined with `name`, with exactly one separator between them.
[[nodiscard]] std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kestrune::platform
