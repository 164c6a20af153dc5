#include <langinfo.h>
#include <locale.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/error.h"
#include "platform/guid_text.h"
#include "platform/process_services.h"

namespace kestrune::platform {
namespace {

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/')
    folder += '/';
  return folder;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t follow = 0;
    if (lead < 0x80) {
      follow = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      follow = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      follow = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      follow = 3;
    } else {
      return false;
    }
    if (i + follow >= bytes.size())
      return false;
    for (std::size_t k = 1; k <= follow; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
        return false;
    }
    i += follow + 1;
  }
  return true;
}

}  // namespace

std::string SystemServices::TempFolder() const {
  const char* folder = std::getenv("TMPDIR");
  return WithTrailingSlash(folder != nullptr && *folder != '\0' ? folder : "/tmp");
}

std::string SystemServices::NewGuidText() const {
  std::random_device device;
  std::array<unsigned char, 16> bytes{};
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    const unsigned value = device();
    for (std::size_t k = 0; k < 4; ++k)
      bytes[i + k] = static_cast<unsigned char>(value >> (8 * k));
  }
  return GuidText(bytes);
}

std::string SystemServices::ExecutableFolder() const {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0)
    throw Error("Cannot find the program's folder");
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

WallClock SystemServices::Now() const {
  timeval now{};
  ::gettimeofday(&now, nullptr);
  std::tm local{};
  ::localtime_r(&now.tv_sec, &local);
  return WallClock{local.tm_year + 1900,
                   local.tm_mon + 1,
                   local.tm_mday,
                   local.tm_hour,
                   local.tm_min,
                   local.tm_sec,
                   static_cast<int>(now.tv_usec / 1000)};
}

RegionalFormats SystemServices::Formats() const {
  RegionalFormats formats;
  // Only the categories asked about: loading them all costs milliseconds at every start.
  const locale_t user =
      ::newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr))
    return formats;
  const std::string thousands = ::nl_langinfo_l(THOUSEP, user);
  const std::string decimal = ::nl_langinfo_l(RADIXCHAR, user);
  const std::string time_format = ::nl_langinfo_l(T_FMT, user);
  ::freelocale(user);
  if (!thousands.empty())
    formats.thousand_separator = thousands;
  if (!decimal.empty())
    formats.decimal_separator = decimal;
  // The separator is whatever the locale puts between the hour and the minute.
  if (const auto hour = time_format.find("%H"); hour != std::string::npos) {
    const auto minute = time_format.find("%M", hour + 2);
    if (minute != std::string::npos && minute > hour + 2) {
      formats.time_separator = time_format.substr(hour + 2, minute - hour - 2);
    }
  }
  return formats;
}

int SystemServices::LogicalProcessorCount() const {
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<int>(count) : 0;
}

std::string SystemServices::AnsiToUtf8(std::string_view bytes) const {
  // Without a code page of its own, POSIX text is UTF-8 when it is valid UTF-8, else Latin-1.
  if (IsValidUtf8(bytes))
    return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

}  // namespace kestrune::platform
