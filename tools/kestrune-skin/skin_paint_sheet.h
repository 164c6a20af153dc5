#pragma once
// kestrune-skin paint: every section of a skin painted in each of its states by the program's
// own item painting, over the skin's FORM colour, so a skin author sees frames, corners,
// borders and outer effects as controls will show them.

#include <string>
#include <vector>

#include "skin/data/skin_archive.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin_tool {

// A skin archive loaded at `ppi` by a manager of its own, as the program would load it. Throws
// kestrune::Error with the first message the manager would have shown when it gives no sections.
struct LoadedSkin {
  LoadedSkin(const skin::Bytes& archive, int ppi);
  skin::HeadlessSkinPlatform platform;
  skin::TsSkinManager manager;
};

// The sheet's pixels before they are encoded.
struct PaintedSections {
  skin::Bitmap sheet;
  int sections = 0;
  std::vector<std::string> problems;
};

struct PaintSheet {
  skin::Bytes png;                    // The sheet as a PNG file.
  int sections = 0;                   // Sections painted.
  std::vector<std::string> problems;  // What the manager would have shown the user.
};

// Loads the packed skin `archive` at `ppi` and paints each section in states 0 to
// min(STATES, 3) - 1 into a cell the size of a button (larger when its frame needs it), with its
// outer effect around the cell, on a sheet filled with the FORM section's colour. Each row is
// labelled with the section's name and each cell with its state. Throws kestrune::Error for an
// archive that cannot be read or a skin that loads no sections.
[[nodiscard]] PaintSheet MakePaintSheet(const skin::Bytes& archive, int ppi);
// The same painting without the PNG.
[[nodiscard]] PaintedSections PaintSections(const skin::Bytes& archive, int ppi);
// The same calls of the painter without the sheet: each section in each state over a parent of
// its cell's size and margin, which the paint fuzzer runs for every input. Returns the cells
// painted; throws as MakePaintSheet.
int PaintSectionCells(const skin::Bytes& archive, int ppi);

// The cell a section is painted in: a button's size at the density, grown to twice its frame.
[[nodiscard]] skin::TSize SectionCellSize(const skin::TacSkinData& sd,
                                          const skin::TsGeneralData& gd);

// Paints state `state` of section `index` into `r` of `out` as a parent shows its control: the
// section's outer effect around r first, then the section over what lies behind it.
void PaintSectionCell(skin::Bitmap& out, skin::TRect r, int index, int state,
                      const skin::TacSkinData& sd);

}  // namespace kestrune::skin_tool
