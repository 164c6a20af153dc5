#include "tools/kestrune-skin/skin_paint_sheet.h"

#include <algorithm>

#include "platform/error.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/pixels/image_codecs.h"
#include "skin/pixels/pixel_ops.h"
#include "tools/kestrune-skin/skin_sheet.h"

namespace kestrune::skin_tool {
namespace {

using skin::Bitmap;
using skin::TRect;

constexpr int kMargin = 16;  // Around the sheet, between cells and rows; room for shadows.
constexpr int kLineHeight = 10;
constexpr int kNameWidth = 19 * 6;   // The section names' column.
constexpr int kColumnHeight = 2000;  // Rows wrap into a new column below this.
constexpr const char* kStateNames[] = {"NORMAL", "HOT", "PRESSED"};

constexpr int kMaxCellSide = 1024;

std::uint32_t Opaque(skin::TColor color) {
  return 0xFF000000u | (skin::SwapRedBlue(skin::ColorToRGB(color)) & 0x00FFFFFFu);
}

// A light or dark label colour, whichever stands out on the background.
std::uint32_t LabelOn(std::uint32_t background) {
  const std::uint32_t grey =
      ((background >> 16) & 0xFF) + ((background >> 8) & 0xFF) + (background & 0xFF);
  return grey > 3 * 128 ? 0xFF202020u : 0xFFE8E8E8u;
}

int StatesOf(const skin::TsGeneralData& gd) {
  return std::clamp(gd.States, 1, 3);
}

}  // namespace

LoadedSkin::LoadedSkin(const skin::Bytes& archive, int ppi) : platform(ppi), manager(platform) {
  skin::TsStoredSkin item;
  item.Name = "sheet";
  item.PackedData = archive;
  manager.InternalSkins.Items.push_back(std::move(item));
  manager.SetSkinName("sheet");
  if (!manager.IsActive())
    throw Error(platform.messages.empty() ? "The skin has no sections" : platform.messages.front());
}

skin::TSize SectionCellSize(const skin::TacSkinData& sd, const skin::TsGeneralData& gd) {
  skin::TSize size{sd.PPI * 96 / 96, sd.PPI * 28 / 96};
  if (gd.BorderIndex >= 0 && static_cast<std::size_t>(gd.BorderIndex) < sd.ma.size()) {
    const skin::TsMaskData& md = sd.ma[static_cast<std::size_t>(gd.BorderIndex)];
    // Grown only for a frame with a picture, and to at most kMaxCellSide: the frame sizes of a
    // hostile skin are not bounded by its pictures when it has none.
    if (skin::EntryPicture(md, sd.MasterBmp) != nullptr) {
      size.cx = std::clamp(2 * md.Width, size.cx, std::max(size.cx, kMaxCellSide));
      size.cy = std::clamp(2 * md.Height, size.cy, std::max(size.cy, kMaxCellSide));
    }
  }
  return size;
}

void PaintSectionCell(Bitmap& out, TRect r, int index, int state, const skin::TacSkinData& sd) {
  skin::PaintOuterEffect(out, r, index, sd, false);
  Bitmap cell = skin::CreateBmp32(r.Width(), r.Height());
  if (cell.Empty())
    return;
  const TRect whole = skin::Rect(0, 0, r.Width(), r.Height());
  const skin::TCacheInfo ci = skin::MakeCacheInfo(out, r.Left, r.Top);
  skin::PaintItem(index, ci, state, whole, {}, cell, sd);
  skin::FillTransPixels32(cell, whole, ci);
  skin::CopyRect32(out, r.Left, r.Top, cell, whole);
}

int PaintSectionCells(const skin::Bytes& archive, int ppi) {
  LoadedSkin skin(archive, ppi);
  const skin::TacSkinData& sd = skin.manager.CommonSkinData(ppi);
  const int form = sd.GetSkinIndex("FORM");
  const skin::TColor form_color = form >= 0 ? sd.gd[static_cast<std::size_t>(form)].Props[0].Color
                                            : skin.manager.GetGlobalColor();
  int cells = 0;
  for (std::size_t i = 0; i < sd.gd.size(); ++i) {
    const skin::TSize size = SectionCellSize(sd, sd.gd[i]);
    Bitmap parent = skin::CreateBmp32(size.cx + 2 * kMargin, size.cy + 2 * kMargin);
    if (parent.Empty())
      continue;
    for (int state = 0; state < StatesOf(sd.gd[i]); ++state, ++cells) {
      skin::FillRect32(parent, skin::Rect(0, 0, parent.Width(), parent.Height()), form_color, 255);
      PaintSectionCell(parent, skin::Rect(kMargin, kMargin, kMargin + size.cx, kMargin + size.cy),
                       static_cast<int>(i), state, sd);
    }
  }
  return cells;
}

PaintSheet MakePaintSheet(const skin::Bytes& archive, int ppi) {
  PaintedSections painted = PaintSections(archive, ppi);
  PaintSheet sheet;
  sheet.png = EncodePng32(painted.sheet);
  sheet.sections = painted.sections;
  sheet.problems = std::move(painted.problems);
  return sheet;
}

PaintedSections PaintSections(const skin::Bytes& archive, int ppi) {
  PaintedSections sheet;
  LoadedSkin skin(archive, ppi);
  sheet.problems = skin.platform.messages;
  const skin::TacSkinData& sd = skin.manager.CommonSkinData(ppi);

  const int form = sd.GetSkinIndex("FORM");
  const skin::TColor form_color = form >= 0 ? sd.gd[static_cast<std::size_t>(form)].Props[0].Color
                                            : skin.manager.GetGlobalColor();
  const std::uint32_t background = Opaque(form_color);
  const std::uint32_t label = LabelOn(background);

  // Rows: one per section, its states side by side; columns of rows side by side.
  struct Row {
    int index;
    int states;
    skin::TSize cell;
    int x;
    int y;
  };
  int column_width = 0;
  for (const skin::TsGeneralData& gd : sd.gd)
    column_width =
        std::max(column_width, kNameWidth + 3 * (SectionCellSize(sd, gd).cx + 2 * kMargin));
  std::vector<Row> rows;
  const int top = kMargin + 2 * kLineHeight;
  int x = kMargin, y = top, height = top;
  for (std::size_t i = 0; i < sd.gd.size(); ++i) {
    const skin::TsGeneralData& gd = sd.gd[i];
    const skin::TSize cell = SectionCellSize(sd, gd);
    if (y > top && y + kLineHeight + cell.cy > kColumnHeight) {
      x += column_width + kMargin;
      y = top;
    }
    const Row row{static_cast<int>(i), StatesOf(gd), cell, x, y + kLineHeight};
    rows.push_back(row);
    y = row.y + row.cell.cy + kMargin;
    height = std::max(height, y);
  }
  const std::string title = "SECTIONS AT " + std::to_string(ppi) + " PPI OVER THE FORM COLOUR";
  const int width = std::max(x + column_width + kMargin, 2 * kMargin + LabelWidth(title));
  y = height;
  if (std::int64_t{width} * y > kMaxSheetPixels)
    throw Error("The paint sheet would have " + std::to_string(std::int64_t{width} * y) +
                " pixels, more than " + std::to_string(kMaxSheetPixels));
  Bitmap out = skin::CreateBmp32(width, y);
  if (out.Empty())
    throw Error("Not enough memory for the paint sheet");
  skin::FillRect32(out, skin::Rect(0, 0, width, y), form_color, 255);
  DrawLabel(out, kMargin, kMargin, title, label);

  for (const Row& row : rows) {
    const skin::TsGeneralData& gd = sd.gd[static_cast<std::size_t>(row.index)];
    DrawLabel(out, row.x, row.y + row.cell.cy / 2 - 3, gd.ClassName, label);
    for (int state = 0; state < row.states; ++state) {
      const int left = row.x + kNameWidth + state * (row.cell.cx + 2 * kMargin) + kMargin;
      DrawLabel(out, left, row.y - kLineHeight, kStateNames[state], label);
      const TRect r = skin::Rect(left, row.y, left + row.cell.cx, row.y + row.cell.cy);
      PaintSectionCell(out, r, row.index, state, sd);
    }
  }
  sheet.sections = static_cast<int>(rows.size());
  sheet.sheet = std::move(out);
  return sheet;
}

}  // namespace kestrune::skin_tool
