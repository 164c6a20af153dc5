#include "extractor/run_statistics.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "extractor/ip_text.h"

namespace kestrune {
namespace {

// Inserts the thousands separator into the digits of a "%.Nf" text and the decimal separator in
// place of its point.
std::string Regionalise(const std::string& plain, const platform::RegionalFormats& formats) {
  std::string_view digits = plain;
  std::string text;
  if (!digits.empty() && digits.front() == '-') {
    text += '-';
    digits.remove_prefix(1);
  }
  const std::size_t point = digits.find('.');
  const std::string_view whole = digits.substr(0, point);
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0)
      text += formats.thousand_separator;
    text += whole[i];
  }
  if (point != std::string_view::npos) {
    text += formats.decimal_separator;
    text += digits.substr(point + 1);
  }
  return text;
}

std::string Fixed(double value, int decimals, const platform::RegionalFormats& formats) {
  // A value that rounds to zero is written without a sign.
  if (!std::isfinite(value) || std::fabs(value) * std::pow(10.0, decimals) < 0.5)
    value = 0;
  // Correctly rounded as "%.*f" writes it, without the cost of printf on every block.
  char plain[400];
  const auto result =
      std::to_chars(plain, plain + sizeof plain, value, std::chars_format::fixed, decimals);
  return Regionalise(std::string(plain, result.ptr), formats);
}

std::string TwoDigits(long long value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  std::string digits(text, result.ptr);
  if (digits.size() < 2)
    digits.insert(0, 1, '0');
  return digits;
}

}  // namespace

std::string_view TrimLine(std::string_view line) {
  std::size_t first = 0;
  std::size_t last = line.size();
  while (first < last && static_cast<unsigned char>(line[first]) <= 32)
    ++first;
  while (last > first && static_cast<unsigned char>(line[last - 1]) <= 32)
    --last;
  return line.substr(first, last - first);
}

std::uint64_t CountEstimatedIPs(const PrefixList& list) {
  std::uint64_t total = 0;
  PrefixList::Cursor lines = list.Lines();
  for (std::string_view line; lines.Next(line);) {
    const std::string_view L = TrimLine(line);
    const std::size_t slash = FirstSlash(L);
    if (slash == std::string_view::npos)
      continue;
    const auto P = ParsePrefixLength(L.substr(slash + 1));
    if (!P || *P < 0 || *P > 32 || *P <= 15)
      continue;
    total += std::uint64_t{1} << (32 - *P);
  }
  return total;
}

std::string FormatWholeNumber(double value, const platform::RegionalFormats& formats) {
  return Fixed(value, 0, formats);
}

std::string FormatTwoDecimals(double value, const platform::RegionalFormats& formats) {
  return Fixed(value, 2, formats);
}

std::string FormatDuration(double seconds, const platform::RegionalFormats& formats) {
  // Rounded to the millisecond first and then cut to the second, as a clock reading would be.
  double milliseconds = std::fabs(seconds) * 1000.0;
  if (!std::isfinite(milliseconds) || milliseconds > 1e15)
    milliseconds = 0;
  const long long total_ms = std::llround(milliseconds);
  const long long total_seconds = total_ms / 1000;
  return TwoDigits(total_seconds / 3600) + formats.time_separator +
         TwoDigits(total_seconds / 60 % 60) + formats.time_separator +
         TwoDigits(total_seconds % 60);
}

std::string TotalLabelText(std::uint64_t total, const platform::RegionalFormats& f) {
  return "Total IPs: " + FormatWholeNumber(static_cast<double>(total), f);
}

std::string RemainingLabelText(std::uint64_t remaining, const platform::RegionalFormats& f) {
  return "Remaining: " + FormatWholeNumber(static_cast<double>(remaining), f);
}

std::string SpeedLabelText(double speed, const platform::RegionalFormats& f) {
  return "Speed: " + FormatTwoDecimals(speed, f) + " IPs/sec";
}

std::string EtaLabelText(double eta_seconds, const platform::RegionalFormats& f) {
  return "ETA: " + FormatDuration(eta_seconds, f);
}

BlockFigures ComputeBlockFigures(double elapsed_sec, std::uint64_t processed, int lines_judged,
                                 int line_count) {
  BlockFigures figures;
  figures.ElapsedSec = elapsed_sec;
  figures.Speed = elapsed_sec > 0 ? static_cast<double>(processed) / elapsed_sec : 0;
  figures.DoneFraction =
      line_count > 0 ? static_cast<double>(lines_judged) / static_cast<double>(line_count) : 0;
  figures.ETASec = figures.DoneFraction > 0 ? elapsed_sec / figures.DoneFraction - elapsed_sec : 0;
  return figures;
}

std::string MissingLabelText(std::uint64_t missing, std::uint64_t blocks,
                             const platform::RegionalFormats& f) {
  return "Missing: " + FormatWholeNumber(static_cast<double>(missing), f) + " IPs in " +
         FormatWholeNumber(static_cast<double>(blocks), f) +
         (blocks == 1 ? " incomplete block" : " incomplete blocks");
}

}  // namespace kestrune
