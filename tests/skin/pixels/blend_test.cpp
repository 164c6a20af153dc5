// Fills, blends and image composition, each pinned by hand-computed pixels.

#include <gtest/gtest.h>

#include <functional>

#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

TEST(BlendColors, DividesBy256) {
  struct Case {
    TColor c1, c2;
    std::uint8_t a;
    TColor expected;
  };
  const Case cases[] = {
      {0x808080, 0x808080, 255, 0x7F7F7F},  // both weights sum to 255: darker
      {0x808080, 0x808080, 0, 0x7F7F7F},         {0xFFFFFF, 0x000000, 255, 0xFEFEFE},
      {0x120000FF, 0x0000FF00, 128, 0x12007E7F},  // high byte of C1 kept
      {0x00102030, 0x00FFFFFF, 0, 0x00FEFEFE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(static_cast<std::uint32_t>(c.c1)) + " " + std::to_string(c.a));
    EXPECT_EQ(Hex(static_cast<std::uint32_t>(BlendColors(c.c1, c.c2, c.a))),
              Hex(static_cast<std::uint32_t>(c.expected)));
  }
  static_assert(BlendColors(0xFFFFFF, 0, 255) == 0xFEFEFE);
  // The paired lanes of the weighing keep every byte apart at the largest weights.
  static_assert(Weigh<Lanes::All>(0xFFFFFFFFu, 256, 0xFFFFFFFFu, 0) == 0xFFFFFFFFu);
  static_assert(Weigh<Lanes::Color>(0xFFFFFFFFu, 0, 0xFFFFFFFFu, 256) == 0x00FFFFFFu);
  static_assert(MixAll(0xFF00FF00u, 0x00FF00FFu, 128) == 0x7F7F7F7Fu);
}

TEST(FillRect32, ClipsAtEveryEdge) {
  struct Case {
    TRect r;
    const char* filled;  // rows of a 3 x 2 bitmap
  };
  const Case cases[] = {
      {Rect(0, 0, 3, 2), "xxx/xxx"},     {Rect(1, 0, 3, 1), ".xx/..."},
      {Rect(-5, -5, 100, 1), "xxx/..."}, {Rect(2, 1, 9, 9), ".../..x"},
      {Rect(-4, 0, 1, 9), "x../x.."},    {Rect(3, 0, 5, 2), ".../..."},
      {Rect(0, 2, 3, 4), ".../..."},     {Rect(2, 0, 1, 2), ".../..."},
      {Rect(0, -3, 3, 0), ".../..."},
  };
  for (RowOrder order : test::kOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(test::Name(order)) + " " + c.filled);
      Bitmap bmp = Filled(3, 2, 0, order);
      FillRect32(bmp, c.r, 0x00112233, 0x80);
      std::string seen;
      for (int y = 0; y < 2; ++y) {
        if (y > 0)
          seen += '/';
        for (int x = 0; x < 3; ++x) {
          const std::uint32_t p = GetAPixel(bmp, x, y).C;
          EXPECT_TRUE(p == 0 || p == 0x80332211u) << Hex(p);
          seen += p != 0 ? 'x' : '.';
        }
      }
      EXPECT_EQ(seen, c.filled);
    }
  }
}

TEST(FillRect32, ExcludesAndSetsAlpha) {
  Bitmap bmp = Filled(3, 2, 0);
  FillRect32Excl(bmp, Rect(0, 0, 3, 2), Rect(1, 0, 2, 1), 0x0000FF, 0xFF);
  EXPECT_PIXELS(bmp, {0xFFFF0000, 0, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});

  Bitmap keyed = MakeBmp(3, 1, {0x00FF00FF, 0x12345678, 0x80FF00FF});
  FillAlphaRect(keyed, Rect(0, 0, 3, 1), 255, clFuchsia);
  EXPECT_PIXELS(keyed, {0x00FF00FF, 0xFF345678, 0x00FF00FF});
  FillAlphaRect(keyed, Rect(1, 0, 3, 1), 0x40, clNone);
  EXPECT_PIXELS(keyed, {0x00FF00FF, 0x40345678, 0x40FF00FF});
}

TEST(BlendColorRect, InclusiveRectangleKeepsAlpha) {
  // Channel B: (0x30 * 100) shr 8 = 0x12; G: 0x0C; R: (0x10 * 100 + 255 * 155) shr 8 = 0xA0.
  Bitmap bmp = Filled(2, 2, 0x40102030);
  BlendColorRect(bmp, Rect(0, 0, 0, 0), 100, 0x0000FF);
  EXPECT_PIXELS(bmp, {0x40A00C12, 0x40102030, 0x40102030, 0x40102030});
  Bitmap all = Filled(2, 2, 0x40102030);
  BlendColorRect(all, Rect(-1, -1, 9, 9), 100, 0x0000FF);
  EXPECT_PIXELS(all, {0x40A00C12, 0x40A00C12, 0x40A00C12, 0x40A00C12});
  Bitmap excl = Filled(2, 2, 0x40102030);
  BlendRect32(excl, Rect(1, 1, 2, 2), 0x0000FF, 100, 0xFF);
  EXPECT_PIXELS(excl, {0x40102030, 0x40102030, 0x40102030, 0xFFA00C12});

  Bitmap trans = MakeBmp(2, 1, {0x00FF00FF, 0x40102030});
  BlendTransBitmap(trans, 100, 0x0000FF);
  EXPECT_PIXELS(trans, {0x00FF00FF, 0x40A00C12});
}

TEST(SumBmpRect, WeighsAllFourBytes) {
  struct Case {
    std::uint32_t s, d;
    std::uint8_t a;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0x80FF4020, 0x11223344, 0, 0x80FF4020},    // the source exactly, alpha included
      {0x80FF4020, 0x11223344, 255, 0x11223343},  // d - (d - s) / 256, truncated
      {0x00000000, 0xFFFFFFFF, 128, 0x7F7F7F7F},
      {0xFFFFFFFF, 0x00000000, 1, 0xFEFEFEFE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.s) + " over " + Hex(c.d) + " A " + std::to_string(c.a));
    Bitmap dst = Filled(2, 1, c.d);
    SumBmpRect(dst, Filled(1, 1, c.s), c.a, Rect(0, 0, 0, 0), {1, 0});
    EXPECT_PIXELS(dst, {c.d, c.expected});
  }
  Bitmap dst = Filled(2, 1, 0x11223344);
  SumBitmaps(dst, Filled(2, 1, 0x80FF4020), 0);
  EXPECT_PIXELS(dst, {0x80FF4020, 0x80FF4020});
  SumBitmaps(dst, Filled(3, 1, 0), 0);  // sizes differ: nothing
  EXPECT_PIXELS(dst, {0x80FF4020, 0x80FF4020});
}

// The source-rectangle routines share one clipping rule: Right and Bottom are included and
// clipped to the source, negative positions cut the source. Source pixels are 1..9; the table
// gives which lands on each of the 3 x 3 destination pixels (0: untouched).
TEST(SourceRectangles, ClipAtEveryEdge) {
  struct Case {
    TRect src;
    TPoint at;
    std::vector<std::uint32_t> expected;
  };
  const std::vector<Case> cases = {
      {Rect(0, 0, 2, 2), {0, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {Rect(0, 0, 5, 5), {0, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {Rect(0, 0, 2, 2), {-1, -1}, {5, 6, 0, 8, 9, 0, 0, 0, 0}},
      {Rect(0, 0, 2, 2), {2, 2}, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
      {Rect(0, 0, 2, 2), {1, -2}, {0, 7, 8, 0, 0, 0, 0, 0, 0}},
      {Rect(1, 1, 1, 1), {0, 0}, {5, 0, 0, 0, 0, 0, 0, 0, 0}},
      {Rect(-1, 0, 0, 0), {0, 0}, {0, 1, 0, 0, 0, 0, 0, 0, 0}},
      {Rect(0, 0, 2, 2), {3, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {Rect(0, 0, 2, 2), {0, -3}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {Rect(3, 0, 5, 2), {0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {Rect(2, 2, 1, 1), {0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  using Copy = std::function<void(Bitmap&, const Bitmap&, TRect, TPoint)>;
  const std::pair<const char*, Copy> routines[] = {
      {"SumBmpRect",
       [](Bitmap& d, const Bitmap& s, TRect r, TPoint p) { SumBmpRect(d, s, 0, r, p); }},
      {"CopyTransRect",
       [](Bitmap& d, const Bitmap& s, TRect r, TPoint p) {
         CopyTransRect(d, s, p.X, p.Y, r, clFuchsia, EmptyCI, false);
       }},
      {"BlendTransRectangle",
       [](Bitmap& d, const Bitmap& s, TRect r, TPoint p) {
         // Blend 0 still weighs by 255 of 256; an opaque source survives it exactly.
         BlendTransRectangle(d, p.X, p.Y, s, r, 0);
       }},
  };
  for (const auto& [name, copy] : routines) {
    for (RowOrder order : test::kOrders) {
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(name) + " " + test::Name(order) + " at " + std::to_string(c.at.X) +
                     "," + std::to_string(c.at.Y) + " from " + std::to_string(c.src.Left) + "," +
                     std::to_string(c.src.Top));
        const bool lossy = std::string(name) == "BlendTransRectangle";
        std::vector<std::uint32_t> source;
        for (std::uint32_t i = 1; i <= 9; ++i)
          source.push_back(lossy ? 0xFFFFFF00u + i * 16u : i);
        Bitmap dst = Filled(3, 3, 0, order);
        copy(dst, MakeBmp(3, 3, source, order), c.src, c.at);
        std::vector<std::uint32_t> seen;
        for (std::uint32_t p : test::Pixels(dst))
          seen.push_back(lossy ? (p == 0 ? 0 : (p & 0xFF) / 16 + 1) : p);
        EXPECT_EQ(seen, c.expected);
      }
    }
  }
}

TEST(PaintBmpRect32, SourceAlphaBlend) {
  struct Case {
    std::uint32_t s, d;
    std::uint8_t opacity;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0x80FF0000, 0x400000FF, 255, 0x607F007F},
      {0x80FF0000, 0x400000FF, 128, 0x403F00BF},  // m = 128 * 128 shr 8 = 64
      {0x00FFFFFF, 0x12345678, 255, 0x12345678},
      {0xFF102030, 0x00000000, 255, 0xFE0F1F2F},  // opaque over clear: alpha 255 * 255 shr 8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.s) + " over " + Hex(c.d) + " opacity " + std::to_string(c.opacity));
    Bitmap dst = Filled(1, 1, c.d);
    PaintBmpRect32(dst, Filled(1, 1, c.s), Rect(0, 0, 0, 0), c.opacity, {0, 0});
    EXPECT_PIXELS(dst, {c.expected});
  }
  Bitmap dst = Filled(2, 1, 0x400000FF);
  PaintBmp32(dst, Filled(1, 1, 0x80FF0000));
  EXPECT_PIXELS(dst, {0x607F007F, 0x400000FF});
}

TEST(PaintBmpRect32, StretchedSourceBlendsTheSameWay) {
  Bitmap dst = Filled(4, 3, 0x400000FF);
  StretchBmpRect32(dst, Rect(1, 1, 3, 3), Filled(4, 4, 0x80FF0000), Rect(1, 1, 3, 3), 255);
  const std::uint32_t o = 0x400000FF, n = 0x607F007F;
  EXPECT_PIXELS(dst, {o, o, o, o, o, n, n, o, o, n, n, o});

  // A cut-out is widened by repeating whole pixels; opaque over clear gives s * 255 shr 8.
  Bitmap wide = Filled(4, 1, 0);
  StretchBmpRect32(wide, Rect(0, 0, 4, 1), MakeBmp(3, 1, {0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00}),
                   Rect(1, 0, 3, 1));
  EXPECT_PIXELS(wide, {0xFE0000FE, 0xFE0000FE, 0xFE00FE00, 0xFE00FE00});
}

TEST(CopyTransRect, KeyPixelsAndBackground) {
  const Bitmap src = MakeBmp(2, 1, {0x00FF00FF, 0x80112233});
  const Bitmap parent = MakeBmp(4, 1, {0x01010101, 0x02020202, 0x03030303, 0x04040404});
  struct Case {
    const char* name;
    TCacheInfo ci;
    bool update_trans;
    std::vector<std::uint32_t> expected;
  };
  TCacheInfo fill;
  fill.FillColor = 0x00332211;
  const std::vector<Case> cases = {
      {"no update", MakeCacheInfo(parent, 1, 0), false, {0xAA000001, 0x80112233}},
      {"fill colour", fill, true, {0xAA112233, 0x80112233}},
      {"parent", MakeCacheInfo(parent, 1, 0), true, {0x02020202, 0x80112233}},
      {"parent edge", MakeCacheInfo(parent, -1, 0), true, {0xAA000001, 0x80112233}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap dst = MakeBmp(2, 1, {0xAA000001, 0xAA000002});
    CopyTransRect(dst, src, 0, 0, Rect(0, 0, 1, 0), clFuchsia, c.ci, c.update_trans);
    EXPECT_PIXELS(dst, c.expected);
  }
  Bitmap dst = MakeBmp(2, 1, {0xAA000001, 0xAA000002});
  CopyTransRect(dst, src, 0, 0, Rect(0, 0, 1, 0), clFuchsia, MakeCacheInfo(dst), true);
  EXPECT_PIXELS(dst, {0xAA000001, 0xFF112233});

  // (128 * (s - d) + d * 256) shr 8 per colour channel, alpha max(d_a, A).
  Bitmap blended = MakeBmp(2, 1, {0xAA000001, 0xAA000002});
  CopyTransRectA(blended, src, 0, 0, Rect(0, 0, 1, 0), clFuchsia, EmptyCI, false, 128);
  EXPECT_PIXELS(blended, {0xAA000001, 0xAA08111A});
}

TEST(BlendTransRectangle, WeighsAllFourBytesAndSkipsKey) {
  Bitmap dst = Filled(2, 1, 0x000000FF);
  BlendTransRectangle(dst, 0, 0, MakeBmp(2, 1, {0x80FF0000, 0x00FF00FF}), Rect(0, 0, 1, 0), 100);
  EXPECT_PIXELS(dst, {0x4D9A0063, 0x000000FF});
}

TEST(BlendBmpByMask, MaskChannelsWeighPictureAgainstColour) {
  Bitmap picture = MakeBmp(2, 1, {0x80804020, 0x80804020});
  BlendBmpByMask(picture, MakeBmp(2, 1, {0x00FF8000, 0x00FFFFFF}), TsColor{0x00102030});
  EXPECT_PIXELS(picture, {0x807F3010, 0x807F3F1F});
  BlendBmpByMask(picture, Filled(1, 1, 0), TsColor{0});  // sizes differ: nothing
  EXPECT_PIXELS(picture, {0x807F3010, 0x807F3F1F});
}

TEST(FadeBmp, WithoutBlurMixesEvenlyButTheLastColumnAndRow) {
  struct Case {
    int transparency;
    std::uint32_t inner;
  };
  // Grey 0x80 towards red at v = Transparency * 255 div 100.
  const Case cases[] = {{0, 0xFFFF0000}, {50, 0xFFBF3F3F}, {100, 0xFF807F7F}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transparency);
    Bitmap bmp = Filled(5, 4, 0xFF808080);
    FadeBmp(bmp, Rect(1, 1, 4, 3), c.transparency, 0x0000FF, 0, 0);
    const std::uint32_t o = 0xFF808080, e = 0xFFFF0000, i = c.inner;
    EXPECT_PIXELS(bmp, {o, o, o, o, o, o, i, i, e, o, o, e, e, e, o, o, o, o, o, o});
  }
}

TEST(FadeBmp, BlurRingsKeepThePictureOutside) {
  // Blur 1: the outer ring is white (picture kept); the centre is mixed at v = 0 (colour).
  Bitmap bmp = Filled(6, 4, 0xFF808080);
  FadeBmp(bmp, Rect(0, 0, 6, 4), 0, 0x0000FF, 1, 0);
  const std::uint32_t k = 0xFF807F7F, c = 0xFFFF0000;  // white keeps it almost
  EXPECT_PIXELS(bmp, {k, k, k, k, k, c, k, c, c, c, k, c, k, k, k, k, k, c, c, c, c, c, c, c});
}

// Every routine returns without effect on empty bitmaps and empty rectangles.
TEST(PixelRoutines, EmptyInputsDoNothing) {
  Bitmap empty;
  Bitmap zero_wide = CreateBmp32(0, 3);
  Bitmap pic = Filled(2, 2, 0x11223344);
  const auto untouched = [&] {
    EXPECT_PIXELS(pic, {0x11223344, 0x11223344, 0x11223344, 0x11223344});
  };
  for (Bitmap* e : {&empty, &zero_wide}) {
    FillRect32(*e, Rect(0, 0, 5, 5), 0);
    BlendColorRect(*e, Rect(0, 0, 5, 5), 0, 0);
    SumBmpRect(*e, pic, 0, Rect(0, 0, 1, 1), {});
    SumBmpRect(pic, *e, 0, Rect(0, 0, 1, 1), {});
    PaintBmpRect32(pic, *e, Rect(0, 0, 1, 1));
    CopyTransRect(pic, *e, 0, 0, Rect(0, 0, 1, 1), 0, EmptyCI, true);
    BlendTransRectangle(pic, 0, 0, *e, Rect(0, 0, 1, 1), 0);
    StretchBmpRect32(pic, Rect(0, 0, 2, 2), *e, Rect(0, 0, 1, 1));
    FadeBmp(*e, Rect(0, 0, 2, 2), 0, 0, 1, 1);
    UpdateAlpha(*e);
    CheckEmptyAChannel(*e);
    GrayScale(*e);
    ChangeBitmapPixels(*e, MakeAlphaPixel, 0, clNone);
    BmpDisabledKind(*e, dkGrayed | dkBlended, 0, EmptyCI, {});
  }
  FillRect32(pic, Rect(1, 1, 1, 2), 0);
  FillRect32(pic, Rect(2, 0, 9, 9), 0);
  BlendRect32(pic, Rect(0, 0, 2, -1), 0, 0);
  FadeBmp(pic, Rect(1, 1, 0, 0), 0, 0, 0, 0);
  UpdateAlpha(pic, Rect(0, 0, 0, 2), true);
  SumBmpRect(pic, pic, 0, Rect(1, 1, 0, 0), {});
  untouched();
}

TEST(BmpDisabledKind, GraysAndLetsTheParentShowThrough) {
  Bitmap grey = MakeBmp(2, 1, {0xFF804020, 0x00FF00FF});
  BmpDisabledKind(grey, dkGrayed, 0, EmptyCI, {}, {.Saturation = -100});
  // Round(128 * 0.299 + 64 * 0.587 + 32 * 0.114) = 79; the key pixel goes grey too.
  EXPECT_PIXELS(grey, {0xFF4F4F4F, 0x00696969});

  // Saturation -90 * 255 div 100 = -229 on (R 128, G 64, B 32), key colour skipped:
  // x := (26 * x + 79 * 229) shr 8.
  Bitmap desat = MakeBmp(2, 1, {0xFF804020, 0x00FF00FF});
  BmpDisabledKind(desat, dkGrayed, 0, EmptyCI, {});
  EXPECT_PIXELS(desat, {0xFF534D49, 0x00FF00FF});

  // Blended over the parent: ((255 - 100) * parent + 100 * pixel) shr 8 on all four bytes.
  const Bitmap parent = MakeBmp(3, 1, {0, 0, 0xFFFFFFFF});
  Bitmap over = Filled(1, 1, 0x00000000);
  BmpDisabledKind(over, dkBlended, 0, MakeCacheInfo(parent, 1, 0), {1, 0});
  EXPECT_PIXELS(over, {0x9A9A9A9A});
  // Without a ready parent picture: mixed with the parent colour, alpha kept.
  Bitmap flat = Filled(1, 1, 0x40000000);
  BmpDisabledKind(flat, dkBlended, 0x0000FF, EmptyCI, {});
  EXPECT_PIXELS(flat, {0x409A0000});
}

}  // namespace
}  // namespace kestrune::skin
