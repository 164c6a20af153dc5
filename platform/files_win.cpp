#include "platform/error.h"
#include "platform/files.h"
#include "platform/win_util.h"

namespace kestrune::platform {
namespace {

[[noreturn]] void Fail(const char* verb, const std::string& path, DWORD code) {
  throw Error(std::string("Cannot ") + verb + " file \"" + path + "\". " + SystemErrorText(code));
}

class WinFile final : public Stream {
 public:
  WinFile(UniqueHandle handle, std::string path, bool owned = true)
      : handle_(std::move(handle)), path_(std::move(path)), owned_(owned) {}
  WinFile(const WinFile&) = delete;
  WinFile& operator=(const WinFile&) = delete;
  ~WinFile() override {
    if (!owned_)
      static_cast<void>(handle_.Release());
  }

  std::size_t Read(void* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!::ReadFile(handle_.Get(), buffer, ask, &got, nullptr)) {
      const DWORD code = ::GetLastError();
      if (code == ERROR_BROKEN_PIPE)  // the writing end of a pipe has closed: its end of file
        return 0;
      Fail("read", path_, code);
    }
    return got;
  }

  void Write(const void* buffer, std::size_t size) override {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
      const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD put = 0;
      if (!::WriteFile(handle_.Get(), bytes, ask, &put, nullptr)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_NO_DATA || code == ERROR_BROKEN_PIPE) {
          throw ClosedPipeError("Cannot write to file \"" + path_ + "\". " + SystemErrorText(code));
        }
        Fail("write to", path_, code);
      }
      if (put == 0)
        Fail("write to", path_, ERROR_DISK_FULL);
      bytes += put;
      size -= put;
    }
  }

  void CutBack(std::uint64_t size) override {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(handle_.Get(), at, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(handle_.Get())) {
      Fail("cut back", path_, ::GetLastError());
    }
  }

  void SeekToEnd() override {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle_.Get(), zero, nullptr, FILE_END)) {
      Fail("seek in", path_, ::GetLastError());
    }
  }

  void Close() override {
    if (!handle_.Valid())
      return;
    const HANDLE handle = handle_.Release();
    if (owned_ && !::CloseHandle(handle))
      Fail("close", path_, ::GetLastError());
  }

 private:
  UniqueHandle handle_;
  std::string path_;
  bool owned_;
};

std::unique_ptr<Stream> StandardStream(DWORD which, const char* name) {
  return std::make_unique<WinFile>(UniqueHandle(::GetStdHandle(which)), name, false);
}

}  // namespace

std::unique_ptr<Stream> OpenFile(const std::string& path, OpenMode mode) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disposition = OPEN_EXISTING;
  const char* verb = "open";
  switch (mode) {
    case OpenMode::kCreateExclusive:
      access = GENERIC_WRITE;
      share = 0;
      disposition = CREATE_ALWAYS;
      verb = "create";
      break;
    case OpenMode::kCreateIfMissing:
      access = GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      verb = "create";
      break;
    case OpenMode::kCreateNew:
      access = GENERIC_WRITE;
      disposition = CREATE_NEW;
      verb = "create";
      break;
    case OpenMode::kReadWriteShared:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    case OpenMode::kReadShared:
      break;
    case OpenMode::kReadDenyWrite:
      share = FILE_SHARE_READ;
      break;
  }
  UniqueHandle handle(::CreateFileW(Widen(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid())
    Fail(verb, path, ::GetLastError());
  return std::make_unique<WinFile>(std::move(handle), path);
}

std::unique_ptr<Stream> StandardInput() {
  return StandardStream(STD_INPUT_HANDLE, "standard input");
}

std::unique_ptr<Stream> StandardOutput() {
  return StandardStream(STD_OUTPUT_HANDLE, "standard output");
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

PathKind KindOfPath(const std::string& path, bool follow_links) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? PathKind::kNone
                                                                        : PathKind::kOther;
  }
  if (!follow_links && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return PathKind::kLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kFolder : PathKind::kFile;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void DeleteFileOrThrow(const std::string& path) {
  if (!::DeleteFileW(Widen(path).c_str())) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_FILE_NOT_FOUND)
      Fail("delete", path, code);
  }
}

void DeleteFileQuietly(const std::string& path) noexcept {
  try {
    ::DeleteFileW(Widen(path).c_str());
  } catch (...) {
  }
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/')
    path += '\\';
  path += name;
  return path;
}

}  // namespace kestrune::platform
