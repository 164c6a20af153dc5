#pragma once
// The run's figures: the counting pass that estimates the total before the first block, the
// arithmetic after each block and the texts of the four labels.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/prefix_list.h"
#include "platform/process_services.h"

namespace kestrune {

inline constexpr std::string_view kEtaCalculating = "ETA: calculating...";
inline constexpr std::string_view kSpeedCalculating = "Speed: calculating...";

// The line without leading and trailing characters of code 32 or less.
[[nodiscard]] std::string_view TrimLine(std::string_view line);

// Where the first "/" of a line stands, or npos. A plain loop: lines are short and come by the
// hundred thousand, too short to gain from a library search.
[[nodiscard]] inline std::size_t FirstSlash(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '/')
      return i;
  }
  return std::string_view::npos;
}

// The sum of 2^(32 - prefix) over the lines whose text after the first "/" is a prefix length of
// 16..32; the address before the slash is not examined.
[[nodiscard]] std::uint64_t CountEstimatedIPs(const PrefixList& list);

// "#,##0": whole number, regional thousands separator between groups of three digits.
[[nodiscard]] std::string FormatWholeNumber(double value, const platform::RegionalFormats& formats);
// "#,##0.00": as above with two decimals after the regional decimal separator.
[[nodiscard]] std::string FormatTwoDecimals(double value, const platform::RegionalFormats& formats);
// Seconds as hours, minutes and seconds, two digits each at least, joined by the regional time
// separator. Hours go past 23 rather than wrapping, so a long estimate is not shown as short.
[[nodiscard]] std::string FormatDuration(double seconds, const platform::RegionalFormats& formats);

[[nodiscard]] std::string TotalLabelText(std::uint64_t total, const platform::RegionalFormats& f);
[[nodiscard]] std::string RemainingLabelText(std::uint64_t remaining,
                                             const platform::RegionalFormats& f);
[[nodiscard]] std::string SpeedLabelText(double speed, const platform::RegionalFormats& f);
// The remaining-figure label after a run whose blocks lack addresses:
// "Missing: 10,922 IPs in 1 incomplete block".
[[nodiscard]] std::string MissingLabelText(std::uint64_t missing, std::uint64_t blocks,
                                           const platform::RegionalFormats& f);
[[nodiscard]] std::string EtaLabelText(double eta_seconds, const platform::RegionalFormats& f);

// Figures after a processed block.
struct BlockFigures {
  double ElapsedSec = 0;
  double Speed = 0;
  double DoneFraction = 0;
  double ETASec = 0;
};

// `elapsed_sec` since the start, `processed` addresses so far, `lines_judged` of `line_count`.
[[nodiscard]] BlockFigures ComputeBlockFigures(double elapsed_sec, std::uint64_t processed,
                                               int lines_judged, int line_count);

}  // namespace kestrune
