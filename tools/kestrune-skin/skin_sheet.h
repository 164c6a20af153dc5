#pragma once
// kestrune-skin sheet: every image entry of a skin as the program loads it at one pixel density,
// laid out on one PNG picture and labelled, for skin authors and reviewers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_archive.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin_tool {

struct ContactSheet {
  skin::Bytes png;                    // The sheet as a PNG file.
  int entries = 0;                    // Image entries drawn.
  std::vector<std::string> problems;  // What the manager would have shown the user.
};

// The most pixels a sheet may have (64 MiB of bitmap).
inline constexpr std::int64_t kMaxSheetPixels = std::int64_t{1} << 24;

// The skin manager's colour adjustment to load the skin with.
struct SheetAdjustment {
  int hue = 0;         // degrees
  int saturation = 0;  // percent
  int brightness = 0;  // -100 ... 100
};

// Loads the packed skin `archive` at `ppi` with `adjust` and draws each entry: a label "SECTION
// KEY", a line "DRAWN>USED WxH xFRAMES", then the entry's whole picture (all frames and the mask
// row) at its own size over a checkerboard that shows its transparency. Throws kestrune::Error
// for an archive that cannot be read, a skin that loads no sections, or a sheet larger than
// kMaxSheetPixels.
[[nodiscard]] ContactSheet MakeContactSheet(const skin::Bytes& archive, int ppi,
                                            const SheetAdjustment& adjust = {});

// Labels in the sheets' 5 x 7 capitals: 6 pixels per character, 7 high.
[[nodiscard]] int LabelWidth(std::string_view text);
void DrawLabel(skin::Bitmap& bmp, int x, int y, std::string_view text, std::uint32_t color);

}  // namespace kestrune::skin_tool
