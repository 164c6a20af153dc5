#pragma once
// kestrune-skin check, second half: the skin loaded through the skin manager at each pixel
// density the program supports, as the program itself would load it.

#include <string>
#include <vector>

#include "skin/data/skin_archive.h"

namespace kestrune::skin_tool {

// The densities reported, in pixels per inch.
inline constexpr int kReportedDensities[] = {96, 120, 144, 192};

struct DensityReport {
  // Per density, one line: "96 ppi: N sections, M image entries; " and the main metrics.
  std::vector<std::string> lines;
  // What the manager would have shown the user, as "96 ppi: text"; empty for a sound skin.
  std::vector<std::string> problems;
};

[[nodiscard]] DensityReport ReportDensities(const skin::Bytes& archive);

}  // namespace kestrune::skin_tool
