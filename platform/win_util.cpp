#include "platform/win_util.h"

namespace kestrune::platform {

std::wstring Widen(std::string_view utf8) {
  return WidenFrom(utf8, CP_UTF8);
}

std::wstring WidenFrom(std::string_view bytes, UINT code_page) {
  if (bytes.empty())
    return {};
  const int size = static_cast<int>(bytes.size());
  const int needed = ::MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  ::MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), needed);
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty())
    return {};
  const int size = static_cast<int>(utf16.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message =
      length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr)
    ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty())
    return "System error code " + std::to_string(code);
  return Narrow(message);
}

}  // namespace kestrune::platform
