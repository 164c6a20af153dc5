#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sendfile.h>
#endif

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/error.h"
#include "platform/files.h"

namespace kestrune::platform {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

[[noreturn]] void FailWrite(const std::string& path, int error) {
  const std::string message = "Cannot write to file \"" + path + "\". " + Reason(error);
  if (error == EPIPE)
    throw ClosedPipeError(message);
  throw Error(message);
}

class PosixFile final : public Stream {
 public:
  PosixFile(int fd, std::string path, bool owned = true)
      : fd_(fd), path_(std::move(path)), owned_(owned) {}
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;
  ~PosixFile() override {
    if (fd_ >= 0 && owned_)
      ::close(fd_);
  }

  std::size_t Read(void* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0)
        return static_cast<std::size_t>(got);
      if (errno != EINTR)
        throw Error("Cannot read file \"" + path_ + "\". " + Reason(errno));
    }
  }

  void Write(const void* buffer, std::size_t size) override {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
      const ssize_t put = ::write(fd_, bytes, size);
      if (put < 0 && errno == EINTR)
        continue;
      if (put <= 0)
        FailWrite(path_, put < 0 ? errno : ENOSPC);
      bytes += put;
      size -= static_cast<std::size_t>(put);
    }
  }

  void SeekToEnd() override {
    if (::lseek(fd_, 0, SEEK_END) < 0) {
      throw Error("Cannot seek in file \"" + path_ + "\". " + Reason(errno));
    }
  }

  void CutBack(std::uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      throw Error("Cannot cut back file \"" + path_ + "\". " + Reason(errno));
    SeekToEnd();
  }

  void Close() override {
    if (fd_ < 0)
      return;
    const int fd = std::exchange(fd_, -1);
    if (owned_ && ::close(fd) != 0 && errno != EINTR) {
      throw Error("Cannot close file \"" + path_ + "\". " + Reason(errno));
    }
  }

  bool CopyRestFrom(Stream& source) override {
#ifdef __linux__
    auto* from = dynamic_cast<PosixFile*>(&source);
    if (from == nullptr || from->fd_ < 0 || fd_ < 0)
      return false;
    // Between two files the kernel copies (or shares) the extents; towards a pipe or a terminal
    // it still saves the round trip through a buffer of ours.
    if (CopyWith(*from, [](int in, int out) {
          return ::copy_file_range(in, nullptr, out, nullptr, kKernelCopyPiece, 0);
        }))
      return true;
    return CopyWith(*from,
                    [](int in, int out) { return ::sendfile(out, in, nullptr, kKernelCopyPiece); });
#else
    static_cast<void>(source);
    return false;
#endif
  }

 private:
#ifdef __linux__
  static constexpr std::size_t kKernelCopyPiece = std::size_t{1} << 30;

  // Copies with `copy` until the source's end. False when the first call says this pair of files
  // is not for it; an error after that is an error of the copy.
  template <typename Copy>
  bool CopyWith(PosixFile& from, Copy copy) {
    for (bool first = true;; first = false) {
      const ssize_t done = copy(from.fd_, fd_);
      if (done > 0)
        continue;
      if (done == 0)
        return true;
      const int error = errno;
      if (error == EINTR)
        continue;
      if (first && (error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
                    error == EBADF || error == ETXTBSY))
        return false;
      if (error == EIO)
        throw Error("Cannot read file \"" + from.path_ + "\". " + Reason(error));
      FailWrite(path_, error);
    }
  }
#endif

  int fd_;
  std::string path_;
  bool owned_;
};

}  // namespace

std::unique_ptr<Stream> OpenFile(const std::string& path, OpenMode mode) {
  // POSIX has no share modes; the flags keep what can be kept (exclusive use is by convention).
  int flags = O_CLOEXEC;
  const char* verb = "open";
  switch (mode) {
    case OpenMode::kCreateExclusive:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      verb = "create";
      break;
    case OpenMode::kCreateIfMissing:
      flags |= O_WRONLY | O_CREAT;
      verb = "create";
      break;
    case OpenMode::kCreateNew:
      flags |= O_WRONLY | O_CREAT | O_EXCL;
      verb = "create";
      break;
    case OpenMode::kReadWriteShared:
      flags |= O_RDWR;
      break;
    case OpenMode::kReadShared:
    case OpenMode::kReadDenyWrite:
      flags |= O_RDONLY;
      break;
  }
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    throw Error(std::string("Cannot ") + verb + " file \"" + path + "\". " + Reason(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw Error(std::string("Cannot ") + verb + " file \"" + path + "\". " + Reason(EISDIR));
  }
  return std::make_unique<PosixFile>(fd, path);
}

std::unique_ptr<Stream> StandardInput() {
  return std::make_unique<PosixFile>(STDIN_FILENO, "standard input", false);
}

std::unique_ptr<Stream> StandardOutput() {
  return std::make_unique<PosixFile>(STDOUT_FILENO, "standard output", false);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

PathKind KindOfPath(const std::string& path, bool follow_links) {
  struct stat info {};
  if ((follow_links ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0)
    return errno == ENOENT || errno == ENOTDIR ? PathKind::kNone : PathKind::kOther;
  if (S_ISREG(info.st_mode))
    return PathKind::kFile;
  if (S_ISDIR(info.st_mode))
    return PathKind::kFolder;
  if (S_ISFIFO(info.st_mode))
    return PathKind::kPipe;
  if (S_ISLNK(info.st_mode))
    return PathKind::kLink;
  return PathKind::kOther;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void DeleteFileOrThrow(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    throw Error("Cannot delete file \"" + path + "\". " + Reason(errno));
  }
}

void DeleteFileQuietly(const std::string& path) noexcept {
  ::unlink(path.c_str());
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/')
    path += '/';
  path += name;
  return path;
}

}  // namespace kestrune::platform
