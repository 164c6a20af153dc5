#include <array>

#include "platform/error.h"
#include "platform/gdi_win.h"
#include "platform/guid_text.h"
#include "platform/process_services.h"
#include "platform/win_util.h"

namespace kestrune::platform {
namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
  wchar_t buffer[16] = {};
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16);
  if (length <= 1)
    return fallback;
  return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

std::string SystemServices::TempFolder() const {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH + 1) {
    throw Error("Cannot find the temporary folder. " + SystemErrorText(::GetLastError()));
  }
  return Narrow(std::wstring_view(buffer, length));
}

std::string SystemServices::NewGuidText() const {
  // A random (version 4) GUID from the system's random source, loaded on first use so that
  // starting the program loads no COM library.
  using GenRandom = BOOLEAN(WINAPI*)(void*, ULONG);
  static const auto gen_random = BindProc<GenRandom>(L"advapi32.dll", "SystemFunction036");
  std::array<unsigned char, 16> bytes{};
  if (gen_random == nullptr || !gen_random(bytes.data(), static_cast<ULONG>(bytes.size())))
    throw Error("Cannot create a GUID");
  return GuidText(bytes);
}

std::string SystemServices::ExecutableFolder() const {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0)
    throw Error("Cannot find the program's folder. " + SystemErrorText(::GetLastError()));
  path.resize(length);
  return Narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

WallClock SystemServices::Now() const {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  return WallClock{local.wYear,   local.wMonth,  local.wDay,         local.wHour,
                   local.wMinute, local.wSecond, local.wMilliseconds};
}

RegionalFormats SystemServices::Formats() const {
  RegionalFormats formats;
  formats.thousand_separator = LocaleText(LOCALE_STHOUSAND, ",");
  formats.decimal_separator = LocaleText(LOCALE_SDECIMAL, ".");
  formats.time_separator = LocaleText(LOCALE_STIME, ":");
  return formats;
}

int SystemServices::LogicalProcessorCount() const {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return static_cast<int>(info.dwNumberOfProcessors);
}

std::string SystemServices::AnsiToUtf8(std::string_view bytes) const {
  return Narrow(WidenFrom(bytes, CP_ACP));
}

}  // namespace kestrune::platform
