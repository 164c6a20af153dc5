#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"

namespace kestrune::platform {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

class PosixFile final : public Stream {
 public:
  PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;
  ~PosixFile() override {
    if (fd_ >= 0)
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
      if (put <= 0) {
        throw Error("Cannot write to file \"" + path_ + "\". " + Reason(put < 0 ? errno : ENOSPC));
      }
      bytes += put;
      size -= static_cast<std::size_t>(put);
    }
  }

  void SeekToEnd() override {
    if (::lseek(fd_, 0, SEEK_END) < 0) {
      throw Error("Cannot seek in file \"" + path_ + "\". " + Reason(errno));
    }
  }

  void Close() override {
    if (fd_ < 0)
      return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
      throw Error("Cannot close file \"" + path_ + "\". " + Reason(errno));
    }
  }

 private:
  int fd_;
  std::string path_;
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
    case OpenMode::kCreateNew:
      flags |= O_WRONLY | O_CREAT | O_EXCL;
      verb = "create";
      break;
    case OpenMode::kCreateIfMissing:
      flags |= O_WRONLY | O_CREAT;
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
