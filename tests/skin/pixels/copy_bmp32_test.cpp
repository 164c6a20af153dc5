#include <gtest/gtest.h>

#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

TEST(CopyBmp32, OpacityAndTint) {
  struct Case {
    std::uint32_t s, d;
    int blend;
    TColor tint;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0x80FF0000, 0x400000FF, 0, clNone, 0x807F007F},
      {0x80FF0000, 0x400000FF, 50, clNone, 0x403F00BF},   // b = 128, m = 128 * 128 shr 8
      {0xFFFF0000, 0x400000FF, 50, clNone, 0x407E0080},   // m = 127
      {0xFFFF0000, 0x400000FF, 100, clNone, 0x400000FF},  // b = 0
      // Grey 253 of white, target red 252, drawn at m = 255 over clear black.
      {0xFFFFFFFF, 0x00000000, 0, 0x0000FF, 0xFEFB0000},
      {0xFFFFFFFF, 0x00000000, 50, 0x0000FF, 0x007D0000},
      // Tint lifted to (255, 191, 159); grey 128 gives (127, 95, 79).
      {0xFF808080, 0xFF000000, 0, 0x00204080, 0xFF7E5E4E},
  };
  for (RowOrder order : test::kOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(test::Name(order)) + " " + Hex(c.s) + " blend " +
                   std::to_string(c.blend) + " tint " + Hex(static_cast<std::uint32_t>(c.tint)));
      Bitmap dst = Filled(2, 2, c.d, order);
      Bitmap src = Filled(1, 1, c.s, order);
      CopyBmp32(Rect(1, 1, 2, 2), Rect(0, 0, 1, 1), dst, src, EmptyCI, false, c.tint, c.blend);
      EXPECT_PIXELS(dst, {c.d, c.d, c.d, c.expected});
    }
  }
}

TEST(CopyBmp32, AreaClipping) {
  struct Case {
    TRect r1, r2;
    std::vector<std::uint32_t> expected;
  };
  const std::uint32_t a = 0xFF000010, b = 0xFF000021, c = 0xFF000032;
  const std::vector<Case> cases = {
      {Rect(0, 0, 3, 1), Rect(0, 0, 3, 1), {a, b, c}},
      {Rect(-1, 0, 2, 1), Rect(0, 0, 3, 1), {b, c, 0}},
      {Rect(0, 0, 3, 1), Rect(-2, 0, 1, 1), {0, 0, a}},
      {Rect(2, 0, 5, 1), Rect(0, 0, 3, 1), {0, 0, a}},
      {Rect(0, 0, 3, 1), Rect(1, 0, 9, 1), {b, c, 0}},
      {Rect(0, 0, 0, 1), Rect(0, 0, 3, 1), {0, 0, 0}},
      {Rect(0, -1, 3, 0), Rect(0, 0, 3, 1), {0, 0, 0}},
      {Rect(0, 0, 3, 1), Rect(0, 1, 3, 2), {0, 0, 0}},
      {Rect(3, 0, 4, 1), Rect(0, 0, 3, 1), {0, 0, 0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.r1.Left) + "," + std::to_string(k.r1.Top) + " from " +
                 std::to_string(k.r2.Left) + "," + std::to_string(k.r2.Top));
    Bitmap dst = Filled(3, 1, 0);
    Bitmap src = MakeBmp(3, 1, {0xFF000011, 0xFF000022, 0xFF000033});
    CopyBmp32(k.r1, k.r2, dst, src, EmptyCI, false);
    EXPECT_PIXELS(dst, k.expected);
  }
  Bitmap dst = Filled(3, 1, 0);
  Bitmap empty;
  CopyBmp32(Rect(0, 0, 3, 1), Rect(0, 0, 3, 1), dst, empty, EmptyCI, true);
  EXPECT_PIXELS(dst, {0, 0, 0});
}

// The source holds a key pixel, an alpha-16 pixel (invisible) and an alpha-17 pixel (visible).
TEST(CopyBmp32, ParentBackgroundForInvisiblePixels) {
  const Bitmap parent = MakeBmp(2, 1, {0xAA0000A1, 0xAA0000A2});
  struct Case {
    const char* name;
    TCacheInfo ci;
    bool update_trans;
    std::vector<std::uint32_t> expected;
  };
  const std::uint32_t drawn = 0x11101013;  // white at m = 17 over 0x11000003
  const std::vector<Case> cases = {
      {"no parent: all drawn", EmptyCI, true, {0x11000001, 0x110F0F11, drawn}},
      {"ready, no update", MakeCacheInfo(parent, 0, 0), false, {0x11000001, 0x11000002, drawn}},
      {"ready", MakeCacheInfo(parent, 0, 0), true, {0x110000A1, 0x110000A2, drawn}},
      // Past the parent's right edge the rest of the row stays as it is.
      {"right edge", MakeCacheInfo(parent, 1, 0), true, {0x110000A2, 0x11000002, 0x11000003}},
      {"left edge", MakeCacheInfo(parent, -1, 0), true, {0x11000001, 0x110000A1, drawn}},
      {"below", MakeCacheInfo(parent, 0, 1), true, {0x11000001, 0x11000002, drawn}},
      {"above", MakeCacheInfo(parent, 0, -1), true, {0x11000001, 0x11000002, 0x11000003}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap dst = MakeBmp(3, 1, {0x11000001, 0x11000002, 0x11000003});
    Bitmap src = MakeBmp(3, 1, {0x00FF00FF, 0x10FFFFFF, 0x11FFFFFF});
    CopyBmp32(Rect(0, 0, 3, 1), Rect(0, 0, 3, 1), dst, src, c.ci, c.update_trans);
    EXPECT_PIXELS(dst, c.expected);
  }
}

TEST(CopyBmp32, ReflectionFadesDownwards) {
  // hr = min(10 div 2 - 1, 10 - 4 - 1) = 4; fade 255, 230, 205; row k mirrors source row 3 - k.
  for (RowOrder order : test::kOrders) {
    SCOPED_TRACE(test::Name(order));
    Bitmap dst = Filled(1, 10, 0, order);
    Bitmap src = MakeBmp(1, 10,
                         {0xFF0000C8, 0xFF000064, 0xFF000028, 0xFF00000A, 0xFF000000, 0xFF000000,
                          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000},
                         order);
    CopyBmp32(Rect(0, 0, 1, 4), Rect(0, 0, 1, 4), dst, src, EmptyCI, false, clNone, 0, true);
    EXPECT_PIXELS(dst, {0xFF0000C7, 0xFF000063, 0xFF000027, 0xFF000009, 0, 0x0E, 0x16, 0x13, 0, 0});
  }
}

TEST(CopyBmp32, SwitchesTheSourceTo32Bits) {
  Bitmap dst = Filled(1, 1, 0);
  Bitmap grey(1, 1, TPixelFormat::pf8bit);
  grey.Row8(0)[0] = 0x80;
  CopyBmp32(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), dst, grey, EmptyCI, false);
  EXPECT_EQ(grey.PixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(Hex(GetAPixel(grey, 0, 0).C), "00808080");
}

}  // namespace
}  // namespace kestrune::skin
