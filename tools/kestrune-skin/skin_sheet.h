#pragma once
// kestrune-skin sheet: every image entry of a skin as the program loads it at one pixel density,
// laid out on one PNG picture and labelled, for skin authors and reviewers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_archive.h"
#include "skin/paint/bitmap.h"

namespace kestrune::skin_tool {

struct ContactSheet {
  skin::Bytes png;                    // The sheet as a PNG file.
  int entries = 0;                    // Image entries drawn.
  std::vector<std::string> problems;  // What the manager would have shown the user.
};

// Loads the packed skin `archive` at `ppi` and draws each entry: a label "SECTION KEY", a line
// "DRAWN>USED WxH xFRAMES", then the entry's whole picture (all frames and the mask row) at its
// own size over a checkerboard that shows its transparency. Throws kestrune::Error for an archive
// that cannot be read or a skin that loads no sections.
[[nodiscard]] ContactSheet MakeContactSheet(const skin::Bytes& archive, int ppi);

// Labels in the sheets' 5 x 7 capitals: 6 pixels per character, 7 high.
[[nodiscard]] int LabelWidth(std::string_view text);
void DrawLabel(const skin::Bitmap& bmp, int x, int y, std::string_view text, std::uint32_t color);

// A PNG file (8-bit RGBA, zlib-compressed) of a 32-bit bitmap with straight alpha.
[[nodiscard]] skin::Bytes EncodePng(const skin::Bitmap& bmp);

}  // namespace kestrune::skin_tool
