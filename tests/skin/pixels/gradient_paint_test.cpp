#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "skin/pixels/gradient.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::kOrders;
using test::Pixels;

constexpr std::uint32_t kBack = 0x11223344u;

TsGradArray Grad(std::int32_t first_mode, std::initializer_list<std::pair<TColor, int>> points,
                 std::int32_t mode = 0) {
  TsGradArray data;
  for (const auto& [color, percent] : points)
    data.push_back({static_cast<std::uint16_t>(data.size()), data.empty() ? first_mode : mode,
                    color, static_cast<std::uint8_t>(percent)});
  return data;
}

// The pixels of one column (direction 0) or one row (direction 1) of the bitmap.
std::vector<std::uint32_t> Column(const Bitmap& bmp, int x) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < bmp.Height(); ++y)
    out.push_back(bmp.Row32(y)[x]);
  return out;
}
std::vector<std::uint32_t> Row(const Bitmap& bmp, int y) {
  return {bmp.Row32(y), bmp.Row32(y) + bmp.Width()};
}

struct GradCase {
  const char* name;
  TsGradArray data;
  int width;
  int height;
  TRect rect;
  int offset_y;
  // Direction 0: the expected column 1; direction 1: the expected row 1. Every other line
  // of the rectangle must equal it.
  std::vector<std::uint32_t> line;
};

TEST(PaintGrad, RowsAndColumnsStepByHand) {
  const GradCase cases[] = {
      // Ten rows step nine times: R by 25.5 (rounded half to even), G by 10, B by 1; the
      // bottom row is first + 9 * (second - first) / 10, not the second colour.
      {"rows, two points",
       Grad(0, {{0x000000, 0}, {0x0A64FF, 100}}),
       3,
       12,
       Rect(1, 1, 3, 11),
       0,
       {kBack, 0xFF000000, 0xFF1A0A01, 0xFF331402, 0xFF4C1E03, 0xFF662804, 0xFF803205, 0xFF993C06,
        0xFFB24607, 0xFFCC5008, 0xFFE65A09, kBack}},
      // 30 % of 7 rows is 2 rows (truncated); the last segment takes the rest.
      {"rows, three points",
       Grad(0, {{0x000000, 0}, {0x000064, 30}, {0xC80000, 100}}),
       2,
       7,
       Rect(0, 0, 2, 7),
       0,
       {0xFF000000, 0xFF320000, 0xFF640000, 0xFF500028, 0xFF3C0050, 0xFF280078, 0xFF1400A0}},
      // Equal colours fill with alpha 255, whatever the colour's high byte.
      {"rows, one colour",
       Grad(0, {{0x00123456, 0}, {0x00123456, 100}}),
       2,
       3,
       Rect(0, 0, 2, 3),
       0,
       {0xFF563412, 0xFF563412, 0xFF563412}},
      // Offset 2: the gradient starts two rows down and is 2 + 4 rows tall; the first segment
      // (half of 6 rows) is cut at the rectangle's bottom and nothing is left for the second.
      {"rows, offset",
       Grad(0, {{0x000000, 0}, {0x000064, 50}, {0xFFFFFF, 100}}),
       2,
       5,
       Rect(0, 0, 2, 4),
       2,
       {kBack, kBack, 0xFF000000, 0xFF320000, kBack}},
      // A rectangle beyond the bitmap is clipped to it.
      {"rows, clipped",
       Grad(0, {{0x000000, 0}, {0x000064, 100}}),
       2,
       2,
       Rect(-5, -1, 9, 9),
       0,
       {0xFF000000, 0xFF320000}},
      // Columns: 5 columns, the last one holds the second colour exactly.
      {"columns, two points",
       Grad(PM_VERTICAL, {{0x000000, 0}, {0x0000C8, 100}}),
       5,
       3,
       Rect(0, 0, 5, 3),
       0,
       {0xFF000000, 0xFF320000, 0xFF640000, 0xFF960000, 0xFFC80000}},
      // 50 % of 5 columns: Round(2.5) = 2 (half to even), so the middle column is point 1.
      {"columns, three points",
       Grad(PM_VERTICAL, {{0x000000, 0}, {0x000064, 50}, {0x000000, 100}}),
       5,
       3,
       Rect(0, 0, 5, 3),
       0,
       {0xFF000000, 0xFF320000, 0xFF640000, 0xFF320000, 0xFF000000}},
      // From column 1: Round(1 + 2.5) = 4; steps of 30 to column 4, then one step of -60.
      {"columns, from column 1",
       Grad(PM_VERTICAL, {{0x000000, 0}, {0x00005A, 50}, {0x00001E, 100}}),
       7,
       3,
       Rect(1, 1, 6, 3),
       0,
       {kBack, 0xFF000000, 0xFF1E0000, 0xFF3C0000, 0xFF5A0000, 0xFF1E0000, kBack}},
  };
  for (const auto& c : cases) {
    for (const RowOrder order : kOrders) {
      SCOPED_TRACE(c.name);
      SCOPED_TRACE(test::Name(order));
      Bitmap bmp = Filled(c.width, c.height, kBack, order);
      PaintGrad(bmp, c.rect, c.data, 0, c.offset_y);
      const bool rows = (c.data.front().Mode & MASK_DIRECTION) == 0;
      const TRect r{std::max(c.rect.Left, 0), std::max(c.rect.Top, 0),
                    std::min(c.rect.Right, c.width), std::min(c.rect.Bottom, c.height)};
      ASSERT_EQ(Hex(rows ? Column(bmp, r.Left) : Row(bmp, r.Top)), Hex(c.line));
      // Every pixel outside the rectangle is untouched; every line inside repeats the first.
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
          const std::uint32_t got = bmp.Row32(y)[x];
          const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
          const std::uint32_t want = !inside ? kBack
                                     : rows  ? c.line[static_cast<std::size_t>(y)]
                                             : c.line[static_cast<std::size_t>(x)];
          EXPECT_EQ(Hex(got), Hex(want)) << "at " << x << ", " << y;
        }
    }
  }
}

TEST(PaintGrad, DrawsNothingWithoutASegment) {
  const TsGradArray cases[] = {
      {},
      Grad(0, {{0x0000FF, 100}}),
      Grad(PM_VERTICAL, {{0x0000FF, 100}}),
      Grad(3, {{0x0000FF, 0}, {0x00FF00, 100}}),
      // Corners need five points.
      Grad(PM_DIAGONAL, {{0x0000FF, 0}, {0x00FF00, 50}, {0xFF0000, 100}}),
      // One column has no room for a step (Right - 1 is Left).
      Grad(PM_VERTICAL, {{0x0000FF, 0}, {0x00FF00, 100}}),
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    Bitmap bmp = Filled(3, 3, kBack);
    PaintGrad(bmp, i + 1 == std::size(cases) ? Rect(1, 0, 2, 3) : Rect(0, 0, 3, 3), cases[i]);
    EXPECT_EQ(Hex(Pixels(bmp)), Hex(std::vector<std::uint32_t>(9, kBack)));
  }
  // Empty rectangles and bitmaps.
  const TsGradArray two = Grad(0, {{0x0000FF, 0}, {0x00FF00, 100}});
  Bitmap bmp = Filled(3, 3, kBack);
  for (const TRect r : {Rect(0, 0, 0, 3), Rect(2, 2, 1, 1), Rect(3, 0, 9, 3), Rect(0, -4, 3, 0)})
    PaintGrad(bmp, r, two);
  EXPECT_EQ(Hex(Pixels(bmp)), Hex(std::vector<std::uint32_t>(9, kBack)));
  Bitmap empty;
  PaintGrad(empty, Rect(0, 0, 3, 3), two);
  Bitmap grey = Bitmap::OnHeap(3, 3, TPixelFormat::pf8bit, RowOrder::TopDown);
  PaintGrad(grey, Rect(0, 0, 3, 3), two);
}

TEST(PaintGrad, HostileOffsetsAndPercentsStayInside) {
  // Percentages going back and forth, and offsets at the ends of the int range: every write
  // stays in the rectangle and the call returns at once.
  const TsGradArray data[] = {
      Grad(0, {{0x0000FF, 0}, {0x00FF00, 90}, {0xFF0000, 10}, {0x00FF00, 100}}),
      Grad(PM_VERTICAL, {{0x0000FF, 0}, {0x00FF00, 90}, {0xFF0000, 10}, {0x00FF00, 100}}),
      Grad(0, {{0x0000FF, 0}, {0x00FF00, 100}}, PM_TRANSPARENT),
  };
  for (const int offset : {INT_MIN, -1000000, -3, 3, 1000000, INT_MAX}) {
    for (const auto& d : data) {
      SCOPED_TRACE(offset);
      Bitmap bmp = Filled(6, 6, kBack);
      PaintGrad(bmp, Rect(1, 1, 5, 5), d, offset, offset);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
          if (x == 0 || y == 0 || x == 5 || y == 5) {
            EXPECT_EQ(bmp.Row32(y)[x], kBack);
          }
    }
  }
}

TEST(PaintGrad, AlphaSegmentsBlendOverTheBackground) {
  // From transparent black to opaque red over three rows: the linear gradient runs from the
  // row above the segment to the row below it, each row taken at its centre (3/8, 5/8, 7/8),
  // and lies over opaque blue.
  for (const bool columns : {false, true}) {
    SCOPED_TRACE(columns ? "columns" : "rows");
    const std::int32_t dir = columns ? PM_VERTICAL : 0;
    const TsGradArray data =
        Grad(dir, {{0x00000000, 0}, {static_cast<TColor>(0xFF0000FFu), 100}}, PM_TRANSPARENT);
    Bitmap bmp = Filled(3, 3, 0xFF0000FFu);
    PaintGrad(bmp, Rect(0, 0, 3, 3), data);
    const std::vector<std::uint32_t> want = {0xFF24009Fu, 0xFF630060u, 0xFFC30020u};
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(Hex(columns ? Column(bmp, i) : Row(bmp, i)),
                Hex(std::vector<std::uint32_t>(3, want[static_cast<std::size_t>(i)])));
  }
}

TEST(PaintGrad, OverlayCornersKeepTheirAlpha) {
  // On a 2 x 2 rectangle each pixel centre lies halfway between the centre point and its
  // corner, so it takes the mean of their colours and alphas (halves rounded up), laid over
  // opaque blue. Points: top-left, centre, top-right, bottom-right, bottom-left.
  const TsGradArray data = {
      {0, PM_DIAGONAL | PM_OVERLAY, static_cast<TColor>(0xFF0000FFu), 0},
      {1, 0, static_cast<TColor>(0xFF000000u), 0},
      {2, 0, 0x00000000, 0},
      {3, 0, static_cast<TColor>(0xFFFF0000u), 0},
      {4, 0, static_cast<TColor>(0x8000FF00u), 100},
  };
  for (const RowOrder order : kOrders) {
    SCOPED_TRACE(test::Name(order));
    Bitmap bmp = Filled(4, 3, 0xFF0000FFu, order);
    PaintGrad(bmp, Rect(1, 1, 3, 3), data);
    EXPECT_EQ(Hex(Pixels(bmp)), Hex({0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu,  //
                                     0xFF0000FFu, 0xFF800000u, 0xFF00007Fu, 0xFF0000FFu,  //
                                     0xFF0000FFu, 0xFF00603Fu, 0xFF000080u, 0xFF0000FFu}));
  }
  // A larger rectangle: the corners take their own colours, the middle the centre's.
  Bitmap bmp = Filled(9, 9, 0xFF000000u);
  TsGradArray opaque = data;
  for (auto& p : opaque)
    p.Color |= static_cast<TColor>(0xFF000000u);
  opaque[1].Color = static_cast<TColor>(0xFF00FF00u);
  PaintGrad(bmp, Rect(0, 0, 9, 9), opaque);
  EXPECT_EQ(Hex(bmp.Row32(4)[4]), Hex(0xFF00FF00u));
}

TEST(PaintGradTxt, MixesTheTiledTexture) {
  // A 2 x 1 texture cut from (1, 1) of a 3 x 2 picture: red 255, then blue 128. Tiling is
  // anchored at the bitmap's origin, so column 1 of the bitmap takes the blue texel.
  const Bitmap texture = test::MakeBmp(3, 2, {0, 0, 0, 0, 0x00FF0000u, 0x00000080u});
  const TRect tr = Rect(1, 1, 3, 2);
  struct Case {
    const char* name;
    TsGradArray data;
    std::vector<std::uint32_t> pixels;
  };
  // Gradient row 0 (or column 1) is black and row 1 (column 2) has R = 100; with b = 128 a
  // channel becomes (128 * (t - g) + g * 256) shr 8.
  const Case cases[] = {
      {"rows",
       Grad(0, {{0x000000, 0}, {0x0000C8, 100}}),
       {kBack, 0xAA000040u, 0xAA7F0000u, kBack,  //
        kBack, 0xAA320040u, 0xAAB10000u, kBack}},
      {"columns",
       Grad(PM_VERTICAL, {{0x000000, 0}, {0x000064, 100}}),
       {kBack, 0xAA000040u, 0xAAB10000u, kBack,  //
        kBack, 0xAA000040u, 0xAAB10000u, kBack}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap bmp = Filled(4, 2, kBack);
    PaintGradTxt(bmp, Rect(1, 0, 3, 2), c.data, texture, tr, 0xAA, 128);
    EXPECT_EQ(Hex(Pixels(bmp)), Hex(c.pixels));
  }
  // A texture rectangle outside the texture, or a corner gradient, draws nothing.
  Bitmap bmp = Filled(4, 2, kBack);
  PaintGradTxt(bmp, Rect(0, 0, 4, 2), cases[0].data, texture, Rect(1, 1, 4, 2), 255, 128);
  PaintGradTxt(bmp, Rect(0, 0, 4, 2), cases[0].data, texture, Rect(-1, 0, 1, 1), 255, 128);
  PaintGradTxt(bmp, Rect(0, 0, 4, 2), cases[0].data, Bitmap(), tr, 255, 128);
  PaintGradTxt(bmp, Rect(0, 0, 4, 2), Grad(PM_DIAGONAL, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 100}}),
               texture, tr, 255, 128);
  EXPECT_EQ(Hex(Pixels(bmp)), Hex(std::vector<std::uint32_t>(8, kBack)));
}

}  // namespace
}  // namespace kestrune::skin
