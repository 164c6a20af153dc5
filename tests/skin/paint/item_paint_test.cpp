// Section painting over small hand-built skins: nine-slice frames with each copy rule, texture
// fill modes, the background mixed with the parent by transparency, state clamping, the tint
// steps, coloured borders and the outer effect.

#include "skin/paint/item_paint.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "skin/paint/bg_info.h"
#include "skin/paint/masked_copy.h"
#include "skin/paint/nine_slice.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

// A picture whose pixel (x, y) is opaque with green x and blue y, so a pixel names its source.
std::uint32_t Named(int x, int y) {
  return 0xFF000000u | (static_cast<std::uint32_t>(x) << 8) | static_cast<std::uint32_t>(y);
}

std::shared_ptr<Bitmap> NamedPicture(int width, int height) {
  auto bmp = std::make_shared<Bitmap>(Filled(width, height, 0));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bmp->Row32(y)[x] = Named(x, y);
  return bmp;
}

TsMaskData Entry(std::shared_ptr<Bitmap> bmp, int frames, int rows, TSliceMargins m = {}) {
  TsMaskData md;
  md.R = Rect(0, 0, bmp->Width(), bmp->Height());
  md.Bmp = std::move(bmp);
  md.ImageCount = frames;
  md.MaskType = rows - 1;
  md.Width = md.R.Width() / frames;
  md.Height = md.R.Height() / rows;
  md.WL = static_cast<std::int16_t>(m.Left);
  md.WT = static_cast<std::int16_t>(m.Top);
  md.WR = static_cast<std::int16_t>(m.Right);
  md.WB = static_cast<std::int16_t>(m.Bottom);
  return md;
}

// The source column (or row) of destination position x in a span of `size` with margins.
int SourceOf(int x, int size, int near, int far, int cell, bool stretch) {
  if (x < near)
    return x;
  if (x >= size - far)
    return cell - (size - x);
  const int tile = cell - near - far;
  return stretch ? near + (x - near) * tile / (size - near - far) : near + (x - near) % tile;
}

TEST(DrawSkinRect, PlainFrameAtManySizes) {
  // A 7 x 5 cell with margins 2, 1, 2, 1: centre tile 3 x 3.
  const TSliceMargins margins{2, 1, 2, 1};
  for (const int draw_mode : {0, kDrawCentre, kDrawCentre | kDrawStretch}) {
    TsMaskData md = Entry(NamedPicture(7, 5), 1, 1, margins);
    md.DrawMode = static_cast<std::int16_t>(draw_mode);
    const bool stretch = (draw_mode & kDrawStretch) != 0;
    for (int width = 2; width <= 11; ++width) {
      for (int height : {2, 3, 8}) {
        SCOPED_TRACE("mode " + std::to_string(draw_mode) + ", " + std::to_string(width) + " x " +
                     std::to_string(height));
        Bitmap bmp = Filled(width + 2, height + 2, 0x12345678);
        DrawSkinRect(bmp, Rect(1, 1, width + 1, height + 1), EmptyCI, md, nullptr, 0, true);
        const TSliceMargins m = FitSliceMargins(margins, width, height);
        for (int y = 0; y < height + 2; ++y) {
          for (int x = 0; x < width + 2; ++x) {
            const int dx = x - 1, dy = y - 1;
            std::uint32_t expected = 0x12345678;
            const bool inside = dx >= 0 && dx < width && dy >= 0 && dy < height;
            const bool centre =
                dx >= m.Left && dx < width - m.Right && dy >= m.Top && dy < height - m.Bottom;
            if (inside && (!centre || (draw_mode & kDrawCentre) != 0))
              expected = Named(SourceOf(dx, width, m.Left, m.Right, 7, stretch),
                               SourceOf(dy, height, m.Top, m.Bottom, 5, stretch));
            ASSERT_EQ(Hex(GetAPixel(bmp, x, y).C), Hex(expected)) << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(DrawSkinRect, ZeroSizeTileDrawsTheRestAndReturns) {
  // Margins as wide as the cell: the top, bottom and centre tiles are 0 wide.
  TsMaskData md = Entry(NamedPicture(4, 4), 1, 1, {2, 1, 2, 1});
  md.DrawMode = kDrawCentre;
  Bitmap bmp = Filled(9, 4, 0);
  DrawSkinRect(bmp, Rect(0, 0, 9, 4), EmptyCI, md, nullptr, 0, true);
  EXPECT_EQ(GetAPixel(bmp, 0, 0).C, Named(0, 0));
  EXPECT_EQ(GetAPixel(bmp, 8, 3).C, Named(3, 3));
  EXPECT_EQ(GetAPixel(bmp, 1, 2).C, Named(1, 2));  // the left edge, tiled
  EXPECT_EQ(GetAPixel(bmp, 4, 0).C, 0u);           // nothing to tile along the top
  EXPECT_EQ(GetAPixel(bmp, 4, 2).C, 0u);
}

TEST(DrawSkinRect, CopyRulesByImageKind) {
  // Masked: a 2-frame entry, frame 1 white over a grey mask; state 5 uses the last frame.
  {
    auto pic = std::make_shared<Bitmap>(Filled(6, 6, 0));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 6; ++x)
        pic->Row32(y)[x] = x < 3 ? 0xFF000000 : 0xFFFFFFFF;
    for (int y = 3; y < 6; ++y)
      for (int x = 0; x < 6; ++x)
        pic->Row32(y)[x] = 0xFF808080;
    TsMaskData md = Entry(pic, 2, 2, {1, 1, 1, 1});
    Bitmap bmp = Filled(3, 3, 0xFF000000);
    DrawSkinRect(bmp, Rect(0, 0, 3, 3), EmptyCI, md, nullptr, 5, true);
    // ((0 - 255) * 128 + 255 * 256) shr 8 = 127; centre not drawn.
    EXPECT_PIXELS(bmp, {0xFF7F7F7F, 0xFF7F7F7F, 0xFF7F7F7F, 0xFF7F7F7F, 0xFF000000, 0xFF7F7F7F,
                        0xFF7F7F7F, 0xFF7F7F7F, 0xFF7F7F7F});
  }
  // Own alpha: blended by the source alpha at full opacity.
  {
    TsMaskData md = Entry(std::make_shared<Bitmap>(Filled(2, 2, 0x80FF0000)), 1, 1);
    md.DrawMode = 0x10;
    md.WL = md.WT = md.WR = md.WB = 1;
    Bitmap bmp = Filled(2, 2, 0xFF0000FF);
    DrawSkinRect(bmp, Rect(0, 0, 2, 2), EmptyCI, md, nullptr, 0, true);
    // ((s - d) * 128 + d * 256) shr 8: red 0x7F, blue 0x7F.
    EXPECT_EQ(Hex(GetAPixel(bmp, 1, 1).C), "FF7F007F");
  }
  // Plain: corner pixels of the key colour show the parent when the entry allows it.
  {
    auto pic = NamedPicture(3, 3);
    pic->Row32(0)[0] = 0x00FF00FF;
    TsMaskData md = Entry(pic, 1, 1, {1, 1, 1, 1});
    const Bitmap parent = Filled(8, 8, 0xFFABCDEF);
    for (const int cfg : {0, 1}) {
      md.Cfg = cfg;
      Bitmap bmp = Filled(3, 3, 0xFF000000);
      DrawSkinRect(bmp, Rect(0, 0, 3, 3), MakeCacheInfo(parent, 2, 2), md, nullptr, 0, true);
      EXPECT_EQ(Hex(GetAPixel(bmp, 0, 0).C), cfg != 0 ? "FFABCDEF" : "FF000000");
      EXPECT_EQ(GetAPixel(bmp, 2, 2).C, Named(2, 2));
    }
  }
}

TEST(DrawSkinRect, DrawsNothingWhenAskedNotTo) {
  TsMaskData md = Entry(NamedPicture(3, 3), 1, 1, {1, 1, 1, 1});
  md.DrawMode = kDrawNotInState0;
  Bitmap bmp = Filled(4, 4, 0);
  DrawSkinRect(bmp, Rect(0, 0, 4, 4), EmptyCI, md, nullptr, 0, true);
  DrawSkinRect(bmp, Rect(0, 0, 1, 4), EmptyCI, md, nullptr, 1, true);  // less than 2 wide
  TsMaskData no_picture = md;
  no_picture.Bmp.reset();
  DrawSkinRect(bmp, Rect(0, 0, 4, 4), EmptyCI, no_picture, nullptr, 1, true);
  EXPECT_PIXELS(bmp, std::vector<std::uint32_t>(16, 0));
  DrawSkinRect(bmp, Rect(0, 0, 4, 4), EmptyCI, md, nullptr, 1, true);
  EXPECT_EQ(GetAPixel(bmp, 0, 0).C, Named(0, 0));
}

// A small skin: section 0 plain, textures and frames appended by each test.
struct SkinFixture {
  TacSkinData sd;
  SkinFixture() {
    sd.Reset(96);
    TsGeneralData gd;
    gd.ClassName = "PLAIN";
    for (TsGenState& props : gd.Props)
      props.Color = 0x000080;  // red 0x80: pixel 0xFF800000
    gd.Props[1].Color = 0x008000;
    gd.Props[2].Color = 0x800000;
    gd.OuterMode = 0;
    sd.gd.push_back(gd);
  }
  TsGeneralData& Section() { return sd.gd[0]; }
};

constexpr std::uint32_t kOwn = 0xFF800000;

Bitmap NamedParent() {
  Bitmap parent = Filled(16, 16, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      parent.Row32(y)[x] = Named(x, y);
  return parent;
}

TEST(PaintItemBG, MixesWithTheParentByTransparency) {
  const Bitmap parent = NamedParent();
  const TPoint pp{2, 1};
  const TCacheInfo ready = MakeCacheInfo(parent, 1, 3);
  TCacheInfo flat;
  flat.FillColor = 0x00FF0000;  // blue
  struct Case {
    const char* name;
    int transparency;
    const TCacheInfo* ci;
    std::function<std::uint32_t(int, int)> expected;
  };
  const auto parent_at = [&](int x, int y) { return Named(1 + pp.X + x, 3 + pp.Y + y); };
  const auto sum = [](std::uint32_t d, std::uint32_t s, std::uint32_t a) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int dc = static_cast<int>((d >> shift) & 0xFF),
                sc = static_cast<int>((s >> shift) & 0xFF);
      out |= static_cast<std::uint32_t>((static_cast<int>(a) * (dc - sc) + sc * 256) >> 8) << shift;
    }
    return out;
  };
  const Case cases[] = {
      {"0, ready", 0, &ready, [](int, int) { return kOwn; }},
      {"100, ready", 100, &ready, parent_at},
      {"50, ready", 50, &ready, [&](int x, int y) { return sum(parent_at(x, y), kOwn, 127); }},
      {"100, flat", 100, &flat, [](int, int) { return 0xFF0000FFu; }},
      {"50, flat", 50, &flat,
       [](int, int) {
         return 0xFF000000u |
                SwapRedBlue(static_cast<std::uint32_t>(BlendColors(0xFF0000, 0x80, 127)));
       }},
      {"50, no parent", 50, &EmptyCI, [](int, int) { return kOwn; }},
      {"100, no parent", 100, &EmptyCI, [](int, int) { return kOwn; }},
  };
  for (const Case& c : cases) {
    for (int width : {1, 3, 6}) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(width));
      SkinFixture skin;
      skin.Section().Props[0].Transparency = c.transparency;
      Bitmap bmp = Filled(width, 2, 0x11111111);
      PaintItemBG(0, *c.ci, 0, Rect(0, 0, width, 2), pp, bmp, skin.sd);
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < width; ++x)
          EXPECT_EQ(Hex(GetAPixel(bmp, x, y).C), Hex(c.expected(x, y))) << x << "," << y;
    }
  }
}

TEST(PaintItemBG, TransparentSectionCopiesOnlyTheParentsBorderStrips) {
  // The parent lends its border strips (3 wide on the left, 2 high on the top) and a colour.
  const Bitmap parent = NamedParent();
  TCacheInfo ci;
  ci.Bmp = &parent;
  ci.FillColor = 0x00FF0000;
  ci.FillRect = Rect(3, 2, 0, 0);
  SkinFixture skin;
  skin.Section().Props[0].Transparency = 100;
  Bitmap bmp = Filled(4, 4, 0);
  PaintItemBG(0, ci, 0, Rect(0, 0, 4, 4), {1, 0}, bmp, skin.sd);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Hex(GetAPixel(bmp, x, y).C), Hex(x < 2 || y < 2 ? Named(1 + x, y) : 0xFF0000FFu))
          << x << "," << y;
}

TEST(PaintAddons, FillModes) {
  // A 2 x 2 texture over a 5 x 5 rectangle; what a mode leaves uncovered gets the colour.
  struct Case {
    int mode;
    std::function<std::uint32_t(int, int)> expected;
  };
  const auto t = [](int x, int y) { return Named(x, y); };
  const Case cases[] = {
      {fmTiled, [&](int x, int y) { return t(x % 2, y % 2); }},
      {fmStretched, [&](int x, int y) { return t(x * 2 / 5, y * 2 / 5); }},
      {fmTiledHorz, [&](int x, int y) { return y < 2 ? t(x % 2, y) : kOwn; }},
      {fmTiledVert, [&](int x, int y) { return x < 2 ? t(x, y % 2) : kOwn; }},
      {fmStretchHorzTop, [&](int x, int y) { return y < 2 ? t(x * 2 / 5, y) : kOwn; }},
      {fmStretchVertLeft, [&](int x, int y) { return x < 2 ? t(x, y * 2 / 5) : kOwn; }},
      {fmTileHorBtm, [&](int x, int y) { return y >= 3 ? t(x % 2, y - 3) : kOwn; }},
      {fmTileVertRight, [&](int x, int y) { return x >= 3 ? t(x - 3, y % 2) : kOwn; }},
      {fmDisTiled, [&](int x, int y) { return t(x % 2, y % 2); }},
      {fmStretchHorz, [&](int x, int y) { return t(x * 2 / 5, y % 2); }},
      {fmStretchVert, [&](int x, int y) { return t(x % 2, y * 2 / 5); }},
      {fmFromBottomToTop, [&](int x, int y) { return t((x + 1) % 2, (y + 1) % 2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    SkinFixture skin;
    TsMaskData md = Entry(NamedPicture(2, 2), 1, 1);
    md.DrawMode = static_cast<std::int16_t>(c.mode);
    md.ImgType = itisaTexture;
    skin.sd.ma.push_back(md);
    Bitmap bmp = Filled(5, 5, 0);
    PaintAddons(bmp, Rect(0, 0, 5, 5), {0x000080, 100, 0, 0, nullptr}, skin.sd);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Hex(GetAPixel(bmp, x, y).C), Hex(c.expected(x, y))) << x << "," << y;
  }
}

TEST(PaintAddons, SharesBelowAHundredMixInTheColour) {
  SkinFixture skin;
  skin.sd.ma.push_back(Entry(std::make_shared<Bitmap>(Filled(2, 2, 0xFF00FF00)), 1, 1));
  Bitmap bmp = Filled(3, 1, 0);
  // 40 % texture: the rest is the colour, BlendColorRect with weight 40 * 255 div 100 = 102.
  PaintAddons(bmp, Rect(0, 0, 3, 1), {0x000080, 40, 0, 0, nullptr}, skin.sd);
  // green (255 * 102) shr 8 = 101, red (0x80 * 153) shr 8 = 76.
  EXPECT_PIXELS(bmp, {0xFF4C6500, 0xFF4C6500, 0xFF4C6500});
  // Nothing at all: the colour.
  PaintAddons(bmp, Rect(0, 0, 3, 1), {0x000080, 0, 0, -1, nullptr}, skin.sd);
  EXPECT_PIXELS(bmp, {kOwn, kOwn, kOwn});
}

TEST(PaintItem, StateIsClampedToTheSectionsStates) {
  SkinFixture skin;
  skin.Section().States = 2;
  const std::pair<int, std::uint32_t> cases[] = {
      {0, kOwn}, {1, 0xFF008000}, {2, 0xFF008000}, {3, 0xFF008000}, {-1, kOwn}};
  for (const auto& [state, expected] : cases) {
    SCOPED_TRACE(state);
    Bitmap bmp = Filled(3, 3, 0);
    PaintItem(0, EmptyCI, state, Rect(0, 0, 3, 3), {}, bmp, skin.sd);
    EXPECT_EQ(Hex(GetAPixel(bmp, 1, 1).C), Hex(expected));
  }
  // Index 0 is valid; an index past the end, an empty rectangle or one outside draws nothing.
  Bitmap bmp = Filled(3, 3, 0);
  PaintItem(1, EmptyCI, 0, Rect(0, 0, 3, 3), {}, bmp, skin.sd);
  PaintItem(0, EmptyCI, 0, Rect(0, 0, 4, 3), {}, bmp, skin.sd);
  PaintItem(0, EmptyCI, 0, Rect(2, 0, 2, 3), {}, bmp, skin.sd);
  EXPECT_PIXELS(bmp, std::vector<std::uint32_t>(9, 0));
}

// A DC of the portable build is a HeadlessDC; the Windows side is the GDI comparison's part.
#ifndef _WIN32
TEST(PaintItem, IntoADeviceContextLandsAtTheRectangleWithTheSameBackground) {
  // A half-transparent framed section over a parent whose pixels name their place: a DC form
  // that mixed up r's place in the DC with its place over the parent would show here.
  SkinFixture skin;
  skin.Section().Props[0].Transparency = 50;
  skin.sd.ma.push_back(Entry(NamedPicture(5, 5), 1, 1, {2, 2, 2, 2}));
  skin.Section().BorderIndex = 0;
  const Bitmap parent = NamedParent();
  const TCacheInfo ci = MakeCacheInfo(parent, 1, 2);
  const TRect r = Rect(3, 2, 10, 8);
  const TPoint pp{4, 1};
  Bitmap expected = Filled(r.Width(), r.Height(), 0);
  PaintItem(0, ci, 1, Rect(0, 0, r.Width(), r.Height()), pp, expected, skin.sd);

  for (const TPoint origin : {TPoint{0, 0}, TPoint{2, 1}}) {
    SCOPED_TRACE(std::to_string(origin.X) + "," + std::to_string(origin.Y));
    Bitmap target = Filled(14, 12, 0x12345678);
    HeadlessDC dc{&target, origin};
    PaintItem(0, ci, 1, r, pp, &dc, skin.sd);
    for (int y = 0; y < target.Height(); ++y) {
      for (int x = 0; x < target.Width(); ++x) {
        const int ix = x - origin.X - r.Left, iy = y - origin.Y - r.Top;
        const bool in_r = ix >= 0 && iy >= 0 && ix < r.Width() && iy < r.Height();
        EXPECT_EQ(Hex(GetAPixel(target, x, y).C),
                  Hex(in_r ? GetAPixel(expected, ix, iy).C : 0x12345678u))
            << x << "," << y;
      }
    }
  }
  // No DC, an empty rectangle or an invalid section draw nothing.
  Bitmap target = Filled(4, 4, 0);
  HeadlessDC dc{&target, {}};
  PaintItem(0, ci, 0, Rect(0, 0, 4, 4), pp, static_cast<TacDC>(nullptr), skin.sd);
  PaintItem(0, ci, 0, Rect(2, 2, 2, 4), pp, &dc, skin.sd);
  PaintItem(1, ci, 0, Rect(0, 0, 4, 4), pp, &dc, skin.sd);
  EXPECT_PIXELS(target, std::vector<std::uint32_t>(16, 0));
}

TEST(PaintSection, OverAParentDCTheCornersAndClearPartsShowTheDCsPicture) {
  // A section with a 1-pixel border of radius 3 over a parent whose pixels name their place,
  // painted at (4, 5) of a DC whose origin lies at (1, 2) of the parent.
  const Bitmap parent = NamedParent();
  Bitmap dc_target = Filled(16, 16, 0);
  CopyRect32(dc_target, 0, 0, parent, Rect(0, 0, 16, 16));
  HeadlessDC dc{&dc_target, {1, 2}};
  const auto parent_at = [&](int x, int y) { return Named(1 + 4 + x, 2 + 5 + y) & 0x00FFFFFF; };
  for (const int transparency : {0, 100}) {
    SCOPED_TRACE(transparency);
    SkinFixture skin;
    skin.Section().Props[0].Transparency = transparency;
    skin.Section().Props[0].BorderColor = 0x00FFFF;
    skin.Section().BorderWidth = 1;
    skin.Section().BorderRadius = 3;
    Bitmap bmp = Filled(9, 8, 0);
    EXPECT_EQ(PaintSection(bmp, -1, 0, 0, skin.sd, {4, 5}, clFuchsia, &dc), 0);
    EXPECT_EQ(Hex(GetAPixel(bmp, 0, 0).C & 0x00FFFFFF), Hex(parent_at(0, 0)));
    EXPECT_EQ(Hex(GetAPixel(bmp, 8, 7).C & 0x00FFFFFF), Hex(parent_at(8, 7)));
    EXPECT_EQ(Hex(GetAPixel(bmp, 4, 0).C), "FFFFFF00");  // the border
    EXPECT_EQ(Hex(GetAPixel(bmp, 4, 4).C),
              Hex(transparency == 0 ? kOwn : 0xFF000000u | parent_at(4, 4)));
  }
}
#endif

TEST(PaintItem, TintStepsRunInOrderWithTheSaturationScaled) {
  SkinFixture skin;
  skin.Section().Props[0].Color = 0x3060A0;
  TsItemStyle style;
  style.ColorTone = 0x00FF8000;
  style.HueOffset = 40;
  style.Saturation = 50;
  Bitmap painted = Filled(4, 2, 0);
  PaintItem(0, EmptyCI, 0, Rect(0, 0, 4, 2), {}, painted, skin.sd, style);

  Bitmap manual = Filled(4, 2, 0);
  PaintItem(0, EmptyCI, 0, Rect(0, 0, 4, 2), {}, manual, skin.sd);
  ChangeBitmapPixels(manual, ChangeColorTone, 0x00FF8000, clFuchsia);
  ChangeBitmapPixels(manual, ChangeColorHUE, 40, clFuchsia);
  ChangeBitmapPixels(manual, ChangeColorSaturation, 50 * 255 / 100, clFuchsia);
  EXPECT_EQ(Hex(test::Pixels(painted)), Hex(test::Pixels(manual)));

  Bitmap separate = Filled(4, 2, 0);
  PaintItem(0, EmptyCI, 0, Rect(0, 0, 4, 2), {}, separate, skin.sd);
  UpdateBmpColors(separate, 0x00FF8000, 40, 50);
  EXPECT_EQ(Hex(test::Pixels(separate)), Hex(test::Pixels(manual)));
}

TEST(TransparentColor, OneRuleForEveryTransparency) {
  struct Case {
    int t;
    TColor expected;
  };
  // BlendColors(parent, own, t * 255 div 100): parent 0x0000FF, own 0xFF0000.
  const Case cases[] = {
      {0, 0xFE0000}, {50, 0x7F007E}, {100, 0x0000FE}, {150, 0x0000FE}, {-5, 0xFE0000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(Hex(static_cast<std::uint32_t>(TransparentColor(0x0000FF, 0xFF0000, c.t))),
              Hex(static_cast<std::uint32_t>(c.expected)));
  }
}

TEST(TryPaintBorder, SquareBorderOnTheEdgePixels) {
  TsGeneralData gd;
  gd.Props[0].BorderColor = 0x0000FF;
  for (int width = 2; width <= 7; ++width) {
    SCOPED_TRACE(width);
    Bitmap bmp = Filled(width, 4, 0xFF000000);
    EXPECT_TRUE(TryPaintBorder(bmp, Rect(0, 0, width, 4), gd, 0, EmptyCI, nullptr, 96, false));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < width; ++x) {
        const bool edge = x == 0 || y == 0 || x == width - 1 || y == 3;
        EXPECT_EQ(Hex(GetAPixel(bmp, x, y).C), edge ? "FFFF0000" : "FF000000") << x << "," << y;
      }
  }
}

TEST(TryPaintBorder, FuchsiaGivesNoBorderButRoundCorners) {
  TsGeneralData gd;
  gd.BorderRadius = 3;
  TCacheInfo ci;
  ci.FillColor = 0x00FF00;
  Bitmap bmp = Filled(10, 8, 0xFF000000);
  EXPECT_FALSE(TryPaintBorder(bmp, Rect(0, 0, 10, 8), gd, 0, ci, nullptr, 96, false));
  EXPECT_EQ(Hex(GetAPixel(bmp, 0, 0).C), "0000FF00");
  EXPECT_EQ(Hex(GetAPixel(bmp, 9, 7).C), "0000FF00");
  EXPECT_EQ(Hex(GetAPixel(bmp, 5, 0).C), "FF000000");
  EXPECT_EQ(Hex(GetAPixel(bmp, 5, 4).C), "FF000000");
}

TEST(TryPaintBorder, HugeRadiusIsFittedToTheControl) {
  TsGeneralData gd;
  gd.BorderRadius = 100000;
  gd.Props[0].BorderColor = 0xFFFFFF;
  TCacheInfo ci;
  ci.FillColor = 0x000000;
  for (const TRect r : {Rect(0, 0, 10, 6), Rect(0, 0, 6, 10)}) {
    SCOPED_TRACE(r.Width());
    Bitmap bmp = Filled(r.Width(), r.Height(), 0xFF808080);
    EXPECT_TRUE(TryPaintBorder(bmp, r, gd, 0, ci, nullptr, 96, false));
    EXPECT_LT(GetAPixel(bmp, 0, 0).C >> 24, 0x40u);  // the corner shows the parent
    EXPECT_EQ(GetAPixel(bmp, r.Width() / 2, r.Height() / 2).C >> 24, 0xFFu);
  }
  Bitmap tiny = Filled(2, 2, 0xFF808080);
  EXPECT_TRUE(TryPaintBorder(tiny, Rect(0, 0, 2, 2), gd, 0, ci, nullptr, 96, false));
}

TEST(PaintOuterEffect, NeverTouchesTheControlsOwnRectangle) {
  // Entry 0 is the outer image: a 13 x 13 black effect over a black mask, margins 6.
  SkinFixture skin;
  auto pic = std::make_shared<Bitmap>(Filled(13, 26, 0xFF000000));
  skin.sd.ma.push_back(Entry(pic, 1, 2, {6, 6, 6, 6}));
  skin.Section().OuterMode = 3;
  skin.Section().OuterMask = 0;
  skin.Section().OuterOffset = Rect(3, 2, 4, 5);
  skin.Section().OuterOpacity = 255;
  for (int width : {1, 5, 12, 19}) {
    SCOPED_TRACE(width);
    const TRect control = Rect(8, 8, 8 + width, 20);
    Bitmap parent = Filled(40, 30, 0xFF8080FF);
    PaintOuterEffect(parent, control, 0, skin.sd, false);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool inside =
            x >= control.Left && x < control.Right && y >= control.Top && y < control.Bottom;
        const bool band = x >= control.Left - 3 && x < control.Right + 4 && y >= control.Top - 2 &&
                          y < control.Bottom + 5;
        const std::uint32_t p = GetAPixel(parent, x, y).C;
        if (inside || !band)
          EXPECT_EQ(Hex(p), "FF8080FF") << x << "," << y;
        else
          EXPECT_NE(Hex(p), "FF8080FF") << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
