#pragma once
// Small Windows helpers shared by the Win32 side: text conversion, system error texts and an
// owning handle. Include only from Windows sources.

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace kestrune::platform {

[[nodiscard]] std::wstring Widen(std::string_view utf8);
// Text in the given code page (CP_ACP, CP_UTF8, ...) as UTF-16.
[[nodiscard]] std::wstring WidenFrom(std::string_view bytes, UINT code_page);
[[nodiscard]] std::string Narrow(std::wstring_view utf16);

// The system's text for an error code, without the trailing line break.
[[nodiscard]] std::string SystemErrorText(DWORD code);

// Owns a kernel handle that CloseHandle releases; move-only.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
      Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  [[nodiscard]] HANDLE Get() const { return handle_; }
  [[nodiscard]] bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  [[nodiscard]] HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr) {
    if (Valid())
      ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace kestrune::platform
