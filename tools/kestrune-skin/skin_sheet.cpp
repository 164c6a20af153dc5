#include "tools/kestrune-skin/skin_sheet.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/error.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/image_codecs.h"

namespace kestrune::skin_tool {
namespace {

using skin::Bitmap;
using skin::TRect;

constexpr int kMargin = 12;        // Around the sheet and between cells.
constexpr int kSheetWidth = 1200;  // Cells wrap to a new row beyond this.
constexpr int kGlyphAdvance = 6;
constexpr int kLineHeight = 10;
constexpr std::uint32_t kBackground = 0xFF1C1C1Cu;
constexpr std::uint32_t kLabel = 0xFFE8E8E8u;
constexpr std::uint32_t kDetail = 0xFF9AA8B8u;
constexpr std::uint32_t kFrameLine = 0xFF4A78C0u;
constexpr std::array<std::uint32_t, 2> kChecks = {0xFF303030u, 0xFF484848u};

// A 5 x 7 font: seven rows of five bits per character.
struct Glyph {
  char c;
  std::array<std::uint8_t, 7> rows;
};
constexpr Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'*', {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
};

const Glyph* FindGlyph(char c) {
  if (c >= 'a' && c <= 'z' && c != 'x') {
    c = static_cast<char>(c - 'a' + 'A');
  }
  for (const Glyph& glyph : kFont) {
    if (glyph.c == c) {
      return &glyph;
    }
  }
  return c == ' ' ? nullptr : FindGlyph('?');
}

int TextWidth(std::string_view text) {
  return static_cast<int>(text.size()) * kGlyphAdvance;
}

void Put(Bitmap& bmp, int x, int y, std::uint32_t color) {
  if (x >= 0 && y >= 0 && x < bmp.Width() && y < bmp.Height()) {
    bmp.Row32(y)[x] = color;
  }
}

void DrawText(Bitmap& bmp, int x, int y, std::string_view text, std::uint32_t color) {
  for (const char c : text) {
    if (const Glyph* glyph = FindGlyph(c)) {
      for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
          if ((glyph->rows[static_cast<std::size_t>(row)] >> (4 - col)) & 1) {
            Put(bmp, x + col, y + row, color);
          }
        }
      }
    }
    x += kGlyphAdvance;
  }
}

std::uint8_t Mix(std::uint32_t s, std::uint32_t d, int shift, std::uint32_t a) {
  const std::uint32_t sc = (s >> shift) & 0xFF;
  const std::uint32_t dc = (d >> shift) & 0xFF;
  return static_cast<std::uint8_t>((sc * a + dc * (255 - a)) / 255);
}

// The picture r of src over a checkerboard at (x, y), with a line around it and ticks between
// the frames.
void DrawPicture(Bitmap& sheet, int x, int y, const Bitmap& src, TRect r, int frames) {
  for (int row = 0; row < r.Height(); ++row) {
    const std::uint32_t* in = src.Row32(r.Top + row) + r.Left;
    for (int col = 0; col < r.Width(); ++col) {
      const std::uint32_t d = kChecks[static_cast<std::size_t>(((col / 6) + (row / 6)) % 2)];
      const std::uint32_t s = in[col];
      const std::uint32_t a = s >> 24;
      const std::uint32_t out = 0xFF000000u | (std::uint32_t{Mix(s, d, 16, a)} << 16) |
                                (std::uint32_t{Mix(s, d, 8, a)} << 8) | Mix(s, d, 0, a);
      Put(sheet, x + col, y + row, out);
    }
  }
  for (int col = -1; col <= r.Width(); ++col) {
    Put(sheet, x + col, y - 1, kFrameLine);
    Put(sheet, x + col, y + r.Height(), kFrameLine);
  }
  for (int row = -1; row <= r.Height(); ++row) {
    Put(sheet, x - 1, y + row, kFrameLine);
    Put(sheet, x + r.Width(), y + row, kFrameLine);
  }
  const int frame_w = frames > 0 ? r.Width() / frames : 0;
  for (int f = 1; f < frames && frame_w > 0; ++f) {
    for (int t = 1; t <= 3; ++t) {
      Put(sheet, x + f * frame_w, y - 1 - t, kFrameLine);
    }
  }
}

struct Cell {
  std::string label;
  std::string detail;
  const Bitmap* picture = nullptr;
  TRect r;
  int frames = 1;
  int x = 0;
  int y = 0;
  [[nodiscard]] int Width() const {
    return std::max({TextWidth(label), TextWidth(detail), r.Width() + 2});
  }
  [[nodiscard]] int Height() const { return 2 * kLineHeight + 4 + r.Height() + 2; }
};

}  // namespace

int LabelWidth(std::string_view text) {
  return TextWidth(text);
}

void DrawLabel(Bitmap& bmp, int x, int y, std::string_view text, std::uint32_t color) {
  DrawText(bmp, x, y, text, color);
}

ContactSheet MakeContactSheet(const skin::Bytes& archive, int ppi, const SheetAdjustment& adjust) {
  ContactSheet sheet;
  skin::HeadlessSkinPlatform platform(ppi);
  skin::TsSkinManager manager(platform);
  manager.SetHueOffset(adjust.hue);  // Without a skin name yet these only store the values.
  manager.SetSaturation(adjust.saturation);
  manager.SetBrightness(adjust.brightness);
  skin::TsStoredSkin item;
  item.Name = "sheet";
  item.PackedData = archive;
  manager.InternalSkins.Items.push_back(std::move(item));
  manager.SetSkinName("sheet");
  sheet.problems = platform.messages;
  if (!manager.IsActive()) {
    throw Error(sheet.problems.empty() ? "The skin has no sections" : sheet.problems.front());
  }
  const skin::TacSkinData& data = manager.CommonSkinData(ppi);

  std::vector<Cell> cells;
  for (const skin::TsMaskData& md : data.ma) {
    Cell cell;
    cell.label = md.ClassName + " " + md.PropertyName;
    cell.picture = md.Bmp ? md.Bmp.get() : &manager.MasterBitmap;
    cell.r = skin::ClipToPicture(md.R, *cell.picture);
    cell.frames = std::max(1, md.ImageCount);
    cell.detail = std::to_string(md.DivPPI) + ">" + std::to_string(md.MulPPi) + " " +
                  std::to_string(md.Width) + "x" + std::to_string(md.Height) + " x" +
                  std::to_string(cell.frames) + (md.Bmp ? "" : " MASTER");
    cells.push_back(std::move(cell));
  }

  std::string title =
      "SKIN AT " + std::to_string(ppi) + " PPI: " + std::to_string(cells.size()) + " IMAGE ENTRIES";
  const auto add = [&title](std::string_view name, int value) {
    if (value != 0) {
      title += std::string(" ") + std::string(name) + " " + std::to_string(value);
    }
  };
  add("HUE", manager.HueOffset());
  add("SATURATION", manager.Saturation());
  add("BRIGHTNESS", manager.Brightness());
  int x = kMargin;
  int y = kMargin + 2 * kLineHeight;
  int row_height = 0;
  int width = kMargin + TextWidth(title) + kMargin;
  // Entries are only as large as their pictures, which a hostile skin declares at will: the
  // sheet is refused before it grows past its bound.
  const auto refuse_beyond_bound = [&](std::int64_t w, std::int64_t h) {
    if (w * h > kMaxSheetPixels) {
      throw Error("The contact sheet would be at least " + std::to_string(w) + " x " +
                  std::to_string(h) + " pixels, more than the " + std::to_string(kMaxSheetPixels) +
                  " pixels a sheet may have: the skin's image entries are too large to draw");
    }
  };
  for (Cell& cell : cells) {
    if (x > kMargin && x + cell.Width() > kSheetWidth) {
      x = kMargin;
      y += row_height + kMargin;
      row_height = 0;
    }
    cell.x = x;
    cell.y = y;
    x += cell.Width() + kMargin;
    row_height = std::max(row_height, cell.Height());
    width = std::max(width, x);
    refuse_beyond_bound(width, std::int64_t{y} + row_height + kMargin);
  }
  const int height = y + row_height + kMargin;

  Bitmap out = skin::CreateBmp32(width, height);
  if (out.Empty()) {
    throw Error("Not enough memory for the contact sheet");
  }
  for (int row = 0; row < height; ++row) {
    std::fill_n(out.Row32(row), width, kBackground);
  }
  DrawText(out, kMargin, kMargin, title, kLabel);
  for (const Cell& cell : cells) {
    DrawText(out, cell.x, cell.y, cell.label, kLabel);
    DrawText(out, cell.x, cell.y + kLineHeight, cell.detail, kDetail);
    if (!cell.r.IsEmpty()) {
      DrawPicture(out, cell.x + 1, cell.y + 2 * kLineHeight + 5, *cell.picture, cell.r,
                  cell.frames);
    }
  }
  sheet.entries = static_cast<int>(cells.size());
  sheet.png = EncodePng32(out);
  return sheet;
}

}  // namespace kestrune::skin_tool
