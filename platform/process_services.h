#pragma once
// What the extraction engine asks of the operating system, behind one seam so that tests can
// inject a clock, regional separators, a processor count, a temp folder or failing files.
// SystemServices answers from the real system; its answers change only with the system.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace kestrune::platform {

// One reading of the local wall clock.
struct WallClock {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The reading as a date-time value: days since 30 December 1899, the time of day as fraction.
[[nodiscard]] double ToDateTime(const WallClock& clock);

// The user's regional separators, as UTF-8 text.
struct RegionalFormats {
  std::string thousand_separator = ",";
  std::string decimal_separator = ".";
  std::string time_separator = ":";
};

class ProcessServices {
 public:
  virtual ~ProcessServices() = default;

  // The user's temporary folder; the result ends with a path separator.
  [[nodiscard]] virtual std::string TempFolder() const = 0;
  // A fresh random GUID as 36 upper-case hexadecimal digits and dashes, without braces.
  [[nodiscard]] virtual std::string NewGuidText() const = 0;
  // The folder of the running executable; the result ends with a path separator.
  [[nodiscard]] virtual std::string ExecutableFolder() const = 0;
  [[nodiscard]] virtual WallClock Now() const = 0;
  [[nodiscard]] virtual RegionalFormats Formats() const = 0;
  // The number of logical processors the system reports (may be 0 when it cannot tell).
  [[nodiscard]] virtual int LogicalProcessorCount() const = 0;
  // Text in the system's ANSI code page converted to UTF-8.
  [[nodiscard]] virtual std::string AnsiToUtf8(std::string_view bytes) const = 0;
  [[nodiscard]] virtual std::unique_ptr<Stream> Open(const std::string& path, OpenMode mode) const {
    return OpenFile(path, mode);
  }
};

class SystemServices : public ProcessServices {
 public:
  [[nodiscard]] std::string TempFolder() const override;
  [[nodiscard]] std::string NewGuidText() const override;
  [[nodiscard]] std::string ExecutableFolder() const override;
  [[nodiscard]] WallClock Now() const override;
  [[nodiscard]] RegionalFormats Formats() const override;
  [[nodiscard]] int LogicalProcessorCount() const override;
  [[nodiscard]] std::string AnsiToUtf8(std::string_view bytes) const override;
};

}  // namespace kestrune::platform
