// The system menu's built-in glyphs: drawn inside their box in the given colour, each its own
// shape, nothing for other names.

#include "skin/controls/system_menu_glyphs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr TColor kGround = 0x202020;
constexpr TColor kInk = 0xF0F0F0;

// The glyph drawn at a 16-pixel box in the middle of a 24 x 24 ground; "#" full ink, "+" part,
// "." ground, row by row of the box.
std::string Draw(const char* name, int side) {
  Bitmap bmp = CreateBmp32(side + 8, side + 8);
  FillRect32(bmp, Rect(0, 0, bmp.Width(), bmp.Height()), kGround);
  DrawSysMenuGlyph(bmp, Rect(4, 4, 4 + side, 4 + side), name, kInk);
  std::string rows;
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) {
      const std::uint32_t green = (bmp.Row32(y)[x] >> 8) & 0xFF;
      const bool inside_box = x >= 4 && y >= 4 && x < 4 + side && y < 4 + side;
      if (!inside_box && green != 0x20)
        return std::string("ink outside the box at ") + std::to_string(x) + "," + std::to_string(y);
      if (inside_box)
        rows += green >= 0xF0 ? '#' : green > 0x20 ? '+' : '.';
    }
    if (y >= 4 && y < 4 + side)
      rows += '\n';
  }
  return rows;
}

TEST(SystemMenuGlyphs, EachStandardItemHasItsOwnShapeInsideItsBox) {
  const std::string minimize = Draw("acIN", 16);
  // One crisp line across the middle at 96 dots per inch, its ends rounded.
  EXPECT_EQ(minimize.substr(8 * 17, 17), "...+########+...\n") << minimize;
  EXPECT_EQ(minimize.find('#', 9 * 17), std::string::npos) << minimize;
  const std::string maximize = Draw("acIX", 16);
  EXPECT_EQ(maximize.substr(3 * 17, 17), "...+########+...\n") << maximize;  // round corners
  EXPECT_EQ(maximize.substr(8 * 17, 17), "...#........#...\n") << maximize;
  std::set<std::string> shapes;
  for (const char* name : {"acIN", "acIX", "acIR", "acIC", "acIM"}) {
    SCOPED_TRACE(name);
    for (int side : {16, 24}) {
      const std::string shape = Draw(name, side);
      EXPECT_NE(shape.find('#'), std::string::npos) << shape;
      if (side == 16)
        shapes.insert(shape);
    }
  }
  EXPECT_EQ(shapes.size(), 5u) << "every glyph differs";
  EXPECT_EQ(Draw("acIS", 16).find_first_not_of(".\n"), std::string::npos) << "Size has none";
}

}  // namespace
}  // namespace kestrune::skin
