// The copies that draw skin entries, pinned by hand-computed pixels: masked copy, glyph blends
// clipped at every edge, the outer-effect copies, corner refresh and the round masks.

#include "skin/paint/masked_copy.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/paint/round_masks.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

// An entry of one 1 x 1 picture over its 1 x 1 mask.
TsMaskData OnePixelEntry(std::uint32_t picture, std::uint32_t mask) {
  TsMaskData md;
  md.Bmp = std::make_shared<Bitmap>(MakeBmp(1, 2, {picture, mask}));
  md.R = Rect(0, 0, 1, 2);
  md.MaskType = 1;
  md.Width = 1;
  md.Height = 1;
  return md;
}

TEST(CopyByMask, MixesEachChannelByItsMaskChannel) {
  struct Case {
    std::uint32_t s, m, d, expected;
  };
  const Case cases[] = {
      {0x00102030, 0x00000000, 0x80FFFFFF, 0xFF102030},  // black mask: the source, opaque
      {0x00102030, 0x00FFFFFF, 0x00405060, 0xFF3F4F5F},  // white: the destination (almost)
      // ((d - s) * m + s * 256) shr 8 per channel: red m 0x80, green 0x40, blue 0xC0.
      {0x00FF0000, 0x008040C0, 0x000000FF, 0xFF7F00BF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.s) + " " + Hex(c.m) + " " + Hex(c.d));
    const TsMaskData md = OnePixelEntry(c.s, c.m);
    for (int width : {1, 3, 8}) {
      Bitmap dst = Filled(width, 1, c.d);
      for (int x = 0; x < width; ++x)
        CopyByMask(Rect(x, 0, x + 1, 1), Rect(0, 0, 1, 1), dst, *md.Bmp, EmptyCI, false, md);
      EXPECT_PIXELS(dst, std::vector<std::uint32_t>(static_cast<std::size_t>(width), c.expected));
    }
  }
}

TEST(CopyByMask, TransparentSourcePixelsTakeTheBackground) {
  const TsMaskData md = OnePixelEntry(0x00FF00FF, 0x00000000);
  const Bitmap parent = MakeBmp(3, 1, {0xFF010101, 0xFF020202, 0xFF030303});
  Bitmap dst = Filled(2, 1, 0xFF999999);
  // A ready background one column to the right of the control.
  CopyByMask(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), dst, *md.Bmp, MakeCacheInfo(parent, 1, 0), true,
             md);
  TCacheInfo flat;
  flat.FillColor = 0x00332211;
  CopyByMask(Rect(1, 0, 2, 1), Rect(0, 0, 1, 1), dst, *md.Bmp, flat, true, md);
  EXPECT_PIXELS(dst, {0xFF020202, 0xFF112233});
  // Without update_trans the key pixel is mixed like any other.
  CopyByMask(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), dst, *md.Bmp, flat, false, md);
  EXPECT_EQ(Hex(GetAPixel(dst, 0, 0).C), "FFFF00FF");
}

// A 3 x 3 glyph with distinct pixels over a black mask: a masked blend copies it.
TsMaskData NumberedGlyph() {
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 9; ++i)
    pixels.push_back(0x00010000u * static_cast<std::uint32_t>(i + 1));
  for (int i = 0; i < 9; ++i)
    pixels.push_back(0);
  TsMaskData md;
  md.Bmp = std::make_shared<Bitmap>(MakeBmp(3, 6, pixels));
  md.R = Rect(0, 0, 3, 6);
  md.MaskType = 1;
  md.Width = 3;
  md.Height = 3;
  return md;
}

TEST(BlendGlyphByMask, IsClippedAtEveryEdge) {
  const TsMaskData md = NumberedGlyph();
  const TPoint places[] = {{0, 0}, {-1, 0}, {0, -2}, {-2, -2}, {2, 1}, {3, 3}, {-3, 0}, {4, 0}};
  for (int width : {4, 5, 7}) {
    for (const TPoint p : places) {
      SCOPED_TRACE(std::to_string(width) + " at " + std::to_string(p.X) + "," +
                   std::to_string(p.Y));
      Bitmap dst = Filled(width, 4, 0);
      BlendGlyphByMask(dst, p.X, p.Y, *md.Bmp, 0, 0, 3, 3, 3, 1);
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < width; ++x) {
          const int gx = x - p.X, gy = y - p.Y;
          const bool on = gx >= 0 && gx < 3 && gy >= 0 && gy < 3;
          // Black mask: the source colour; the alpha grows by 255 * 255 shr 8.
          const std::uint32_t expected =
              on ? 0xFE000000u | (0x00010000u * static_cast<std::uint32_t>(gy * 3 + gx + 1)) : 0;
          EXPECT_EQ(Hex(GetAPixel(dst, x, y).C), Hex(expected)) << x << "," << y;
        }
      }
    }
  }
}

TEST(BlendGlyphByMask, AddedTransparencyWeakensTheGlyph) {
  // Mask 0x40: weight 0x40 at added transparency 1, 0x40 + 100 otherwise.
  Bitmap src = MakeBmp(1, 2, {0x00FFFFFF, 0x00404040});
  Bitmap dst = Filled(2, 1, 0xFF000000);
  BlendGlyphByMask(dst, 0, 0, src, 0, 0, 1, 1, 1, 1);
  BlendGlyphByMask(dst, 1, 0, src, 0, 0, 1, 1, 1, 0);
  // (255 * (256 - 64)) shr 8 = 191; (255 * (256 - 164)) shr 8 = 91.
  EXPECT_PIXELS(dst, {0xFFBFBFBF, 0xFF5B5B5B});
}

TEST(CopyByMask32Ex, LaysTheEffectByMaskAndOpacity) {
  struct Case {
    const char* name;
    std::uint32_t s, m, d;
    std::uint8_t opacity;
    bool ready;
    std::uint32_t expected;
  };
  const Case cases[] = {
      // o = (255 - 0) * 200 shr 8 = 199; colour (d * 56 + s * 199) shr 8; alpha 0 -> o.
      {"black mask", 0x00000000, 0x00000000, 0x00FFFFFF, 200, false, 0xC7373737},
      {"black mask, ready", 0x00000000, 0x00000000, 0x00FFFFFF, 200, true, 0xFF373737},
      {"white mask", 0x00000000, 0x00FFFFFF, 0x80FFFFFF, 200, false, 0x80FEFEFE},
      // o = 127 * 255 shr 8 = 126; alpha 0x40 is raised to 255 - 128 = 127.
      {"grey mask", 0x00FFFFFF, 0x00808080, 0x40000000, 255, false, 0x7F7D7D7D},
      {"opaque stays", 0x00FFFFFF, 0x00808080, 0xFF000000, 255, false, 0xFF7D7D7D},
      {"key, not ready", 0x00FF00FF, 0x00000000, 0xFF123456, 255, false, 0x00123456},
      {"key, ready", 0x00FF00FF, 0x00000000, 0xFF123456, 255, true, 0xFFABCDEF},
  };
  const Bitmap parent = Filled(4, 1, 0xFFABCDEF);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TsMaskData md = OnePixelEntry(c.s, c.m);
    Bitmap dst = Filled(3, 1, c.d);
    CopyByMask32Ex(Rect(1, 0, 2, 1), Rect(0, 0, 1, 1), dst, *md.Bmp,
                   c.ready ? MakeCacheInfo(parent) : EmptyCI, md, c.opacity);
    EXPECT_PIXELS(dst, {c.d, c.expected, c.d});
  }
}

TEST(StretchBltMask32Ex, OnePixelSourceFillsOrLaysWithoutScaling) {
  struct Case {
    const char* name;
    std::uint32_t m, d, expected;
  };
  const Case cases[] = {
      {"black mask: source colour, opaque", 0x00000000, 0x00FFFFFF, 0xFF204060},
      {"white mask: untouched", 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF},
      // o = 127 * 100 shr 8 = 49; (255 * 206 + s * 49) shr 8: red 0x20 -> 0xD3, green 0x40 ->
      // 0xD9, blue 0x60 -> 0xDF; alpha 0 becomes 255 - 128.
      {"grey mask", 0x00808080, 0x00FFFFFF, 0x7FD3D9DF},
      {"grey mask over opaque", 0x00808080, 0xFFFFFFFF, 0xFFD3D9DF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bitmap src = MakeBmp(1, 2, {0x00204060, c.m});
    for (int width : {2, 5}) {
      Bitmap dst = Filled(width, 3, c.d);
      StretchBltMask32Ex(0, 1, width, 2, 0, 0, 1, 1, dst, src, 1, 100, false);
      for (int x = 0; x < width; ++x) {
        EXPECT_EQ(Hex(GetAPixel(dst, x, 0).C), Hex(c.d));
        EXPECT_EQ(Hex(GetAPixel(dst, x, 1).C), Hex(c.expected));
        EXPECT_EQ(Hex(GetAPixel(dst, x, 2).C), Hex(c.expected));
      }
    }
  }
}

TEST(StretchBltMask32Ex, RefusesPlacesAndSourcesOutsideTheBitmaps) {
  const Bitmap src = MakeBmp(1, 2, {0x00204060, 0});
  Bitmap dst = Filled(4, 4, 0x11111111);
  StretchBltMask32Ex(-1, 0, 2, 2, 0, 0, 1, 1, dst, src, 1, 255, false);
  StretchBltMask32Ex(0, 0, 0, 2, 0, 0, 1, 1, dst, src, 1, 255, false);
  StretchBltMask32Ex(0, 0, 2, 2, 0, 1, 1, 1, dst, src, 1, 255, false);  // mask below the picture
  Bitmap tiny = Filled(1, 1, 0x11111111);
  StretchBltMask32Ex(0, 0, 1, 1, 0, 0, 1, 1, tiny, src, 1, 255, false);
  EXPECT_PIXELS(dst, std::vector<std::uint32_t>(16, 0x11111111));
  EXPECT_EQ(GetAPixel(tiny, 0, 0).C, 0x11111111u);
}

TEST(StretchBltMask32Ex, FiltersAnEdgeThatShrinksOneWay) {
  // A 4 x 2 red piece over an opaque black mask, shrunk to 2 x 2 through the filters: the mask
  // stays black under the Hermite filter, so every pixel takes the full effect.
  Bitmap src = Filled(4, 4, 0xFF000000);
  for (int x = 0; x < 4; ++x) {
    src.Row32(0)[x] = 0xFFFF0000;
    src.Row32(1)[x] = 0xFFFF0000;
  }
  Bitmap dst = Filled(2, 2, 0);
  StretchBltMask32Ex(0, 0, 2, 2, 0, 0, 4, 2, dst, src, 2, 255, false);
  for (const std::uint32_t p : test::Pixels(dst)) {
    EXPECT_EQ(p >> 24, 0xFEu);  // alpha max(0, 255 * 255 shr 8)
    EXPECT_GE((p >> 16) & 0xFF, 0xFCu);
    EXPECT_EQ(p & 0xFFFF, 0u);
  }
}

TEST(FillTransPixels32, LaysCachePixelsOverTheParent) {
  const Bitmap parent = Filled(6, 1, 0xFF204080);
  struct Case {
    std::uint32_t pixel, expected;
  };
  const Case cases[] = {
      {0x00FF00FF, 0xFF204080},  // the key value: the parent's pixel
      {0xFF102030, 0xFF102030},  // opaque: stays
      // a = 0x80: ((p - d) * 127 + d * 256) shr 8: 0x20 over 0x10 -> 0x17, 0x40/0x20 -> 0x2F,
      // 0x80/0x30 -> 0x57.
      {0x80102030, 0xFF172F57},
      {0x00000000, 0xFF1F3F7F},  // alpha 0, not the key: almost the parent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.pixel));
    for (int width : {1, 4}) {
      Bitmap bmp = Filled(width, 1, c.pixel);
      FillTransPixels32(bmp, Rect(0, 0, width, 1), MakeCacheInfo(parent, 2, 0));
      EXPECT_PIXELS(bmp, std::vector<std::uint32_t>(static_cast<std::size_t>(width), c.expected));
    }
  }
  // A flat parent colour serves as well; without any background nothing changes.
  Bitmap bmp = Filled(2, 1, 0x00FF00FF);
  TCacheInfo flat;
  flat.FillColor = 0x000000FF;
  FillTransPixels32(bmp, Rect(1, 0, 5, 1), flat);
  FillTransPixels32(bmp, Rect(0, 0, 1, 1), EmptyCI);
  EXPECT_PIXELS(bmp, {0x00FF00FF, 0xFFFF0000});
}

TEST(StretchRect32, ClipsANegativeDestinationInsteadOfDroppingIt) {
  const Bitmap src = MakeBmp(2, 1, {0xFF000001, 0xFF000002});
  Bitmap dst = Filled(3, 1, 0);
  // Four pixels from -2: source pixels 0, 0, 1, 1, of which the last two land.
  StretchRect32(dst, Rect(-2, 0, 2, 1), src, Rect(0, 0, 2, 1));
  EXPECT_PIXELS(dst, {0xFF000002, 0xFF000002, 0});
  CopyRect32(dst, -1, 0, src, Rect(0, 0, 2, 1));
  EXPECT_PIXELS(dst, {0xFF000002, 0xFF000002, 0});
}

TEST(RoundMask, CoverageMatchesHandComputedAreas) {
  // Radius 1: the disc of radius 1 around the middle of a 3 x 3 square.
  // Middle pixel [-0.5, 0.5]^2 lies wholly inside: 0. Edge pixel: the segment above y = 0.5
  // within |x| <= 0.5 has area (asin(0.5) + 0.5 * sqrt(0.75)) - 0.5 = 0.45661, so
  // 255 - round(116.44) = 139. Corner pixel: pi / 4 - 2 * 0.47830 + 0.25 = 0.07880, so
  // 255 - round(20.09) = 235.
  ClearRoundMasks();
  const auto one = GetRoundMask(1);
  ASSERT_NE(one, nullptr);
  ASSERT_EQ(one->Side, 3);
  const std::vector<std::uint8_t> expected = {235, 139, 235, 139, 0, 139, 235, 139, 235};
  EXPECT_EQ(one->Values, expected);
  EXPECT_NEAR(DiscCoverage(1, -0.5, 0.5, 0.5, 1.5), 0.45661, 1e-5);
  EXPECT_NEAR(DiscCoverage(2, -2, -2, 2, 2), 3.14159265358979 * 4, 1e-9);

  // A larger mask is symmetric, black in the middle, white in the corners, and its total
  // coverage is the disc's area.
  const auto big = GetRoundMask(9);
  ASSERT_EQ(big->Side, 19);
  double total = 0;
  for (int y = 0; y < 19; ++y) {
    for (int x = 0; x < 19; ++x) {
      EXPECT_EQ(big->At(x, y), big->At(18 - x, y));
      EXPECT_EQ(big->At(x, y), big->At(y, x));
      total += (255 - big->At(x, y)) / 255.0;
    }
  }
  EXPECT_EQ(big->At(9, 9), 0);
  EXPECT_EQ(big->At(0, 0), 255);
  // The top middle pixel holds the cap above y = -8.5: 0.5 less the arc's sag, about 0.4953.
  EXPECT_EQ(big->At(9, 0), 129);
  EXPECT_NEAR(total, 3.14159265 * 81, 0.5);
}

TEST(RoundMask, CacheIsBoundedAndRefusesAbsurdRadii) {
  ClearRoundMasks();
  EXPECT_EQ(GetRoundMask(0), nullptr);
  EXPECT_EQ(GetRoundMask(-3), nullptr);
  EXPECT_EQ(GetRoundMask(kMaxRoundMaskRadius + 1), nullptr);
  for (int r = 1; r <= 60; ++r)
    ASSERT_NE(GetRoundMask(r), nullptr);
  EXPECT_EQ(CachedRoundMasks(), kRoundMaskCacheSize);
  EXPECT_EQ(GetRoundMask(3), GetRoundMask(3));  // cached: the same mask
  ClearRoundMasks();
  EXPECT_EQ(CachedRoundMasks(), 0u);
}

TEST(UpdateCorners, RoundsAgainstTheBackgroundAndFitsTheRadius) {
  const Bitmap parent = Filled(20, 20, 0xFF0000FF);
  for (int width : {8, 12}) {
    SCOPED_TRACE(width);
    Bitmap bmp = Filled(width, 6, 0xFFFFFFFF);
    // Radius 50 on a control 6 high is fitted to 3.
    UpdateCorners(bmp, Rect(0, 0, width, 6), MakeCacheInfo(parent, 5, 5), {50, 50, 50, 50}, false);
    const auto mask = GetRoundMask(3);
    for (const TPoint corner :
         {TPoint{0, 0}, TPoint{width - 1, 0}, TPoint{0, 5}, TPoint{width - 1, 5}}) {
      // The outermost corner pixel is white in the mask: the parent's colour, alpha 0.
      EXPECT_EQ(Hex(GetAPixel(bmp, corner.X, corner.Y).C), "000000FF");
    }
    // The pixel next to the corner is grey: white moves towards blue by the mask value.
    const std::uint32_t m = mask->At(1, 0);
    const std::uint32_t moved = (255 * (256 - m)) >> 8;
    const std::uint32_t alpha = (255 * m + 255 * (256 - m)) >> 8;
    EXPECT_EQ(Hex(GetAPixel(bmp, 1, 0).C), Hex((alpha << 24) | (moved << 16) | (moved << 8) |
                                               ((255 * m + 255 * (256 - m)) >> 8)));
    EXPECT_EQ(GetAPixel(bmp, width / 2, 3).C, 0xFFFFFFFFu);
  }
  // Without a background the corners take the key value for a later refresh.
  Bitmap bmp = Filled(6, 6, 0xFFFFFFFF);
  UpdateCorners(bmp, Rect(0, 0, 6, 6), EmptyCI, {2, 0, 0, 0}, false);
  EXPECT_EQ(GetAPixel(bmp, 0, 0).C, 0x00FF00FFu);
  EXPECT_EQ(GetAPixel(bmp, 5, 0).C, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kestrune::skin
