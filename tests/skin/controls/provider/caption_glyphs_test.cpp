// The caption buttons' glyphs: when the skin has a title glyph that shows, and the built-in
// glyph that takes its place otherwise, so that a hostile skin's window still shows close and
// minimise buttons where they can be pressed.

#include "skin/controls/caption_glyphs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/support/skin_fixtures.h"

namespace kestrune::skin {
namespace {

TsMaskData Glyph(TRect r, int frames) {
  TsMaskData md;
  md.R = r;
  md.ImageCount = frames;
  md.ImgType = itisaGlyph;
  md.Width = r.Width() / frames;
  md.Height = r.Height();
  return md;
}

TEST(CaptionGlyphs, WhenTheSkinsGlyphShows) {
  // The master's left half is transparent fuchsia, its right half opaque white.
  Bitmap master = CreateBmp32(40, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 40; ++x)
      master.Row32(y)[x] = x < 20 ? 0x00FF00FFu : 0xFFFFFFFFu;
  }
  TsMaskData own = Glyph(Rect(0, 0, 8, 8), 1);
  own.Bmp = std::make_shared<Bitmap>(CreateBmp32(8, 8));
  FillRect32(*own.Bmp, Rect(2, 2, 4, 4), clWhite);
  TacSkinData sd;
  sd.MasterBmp = &master;
  sd.ma = {Glyph(Rect(20, 0, 40, 10), 2), Glyph(Rect(0, 0, 20, 10), 2), Glyph(TRect{}, 3),
           Glyph(Rect(30, 0, 50, 10), 1), own};
  const struct {
    const char* name;
    int index;
    bool usable;
  } cases[] = {
      {"visible frames in the master", 0, true},
      {"a frame of transparent pixels only", 1, false},
      {"an empty rectangle (a 1 x 1 master)", 2, false},
      {"a frame partly outside the master", 3, false},
      {"a picture of its own", 4, true},
      {"no entry", -1, false},
      {"an index past the entries", 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CaptionGlyphUsable(sd, c.index), c.usable);
  }
  sd.MasterBmp = nullptr;
  EXPECT_FALSE(CaptionGlyphUsable(sd, 0)) << "no master image";
  EXPECT_TRUE(CaptionGlyphUsable(sd, 4));
}

constexpr TColor kTitle = 0x202020;
constexpr TColor kText = 0xF0F0F0;

// Pixels of `r` that differ from the title's colour.
int Marked(const Bitmap& bmp, TRect r) {
  int marked = 0;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x)
      marked += (bmp.Row32(y)[x] & 0xFFFFFFu) != 0x202020u ? 1 : 0;
  }
  return marked;
}

// The main window's title bar at 96 PPI under Wine, painted with the skin of `archive`: close
// and minimise laid out from the skin's glyphs and painted in their normal, hot and pressed looks.
struct TitleBar {
  TacCaptionButtons buttons;
  std::array<Bitmap, 3> looks;  // Per state.
};

TitleBar PaintTitleBar(const Bytes& archive) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  TsStoredSkin item;
  item.Name = "fixture";
  item.PackedData = archive;
  manager.InternalSkins.Items.push_back(std::move(item));
  manager.SetSkinName("fixture");
  EXPECT_TRUE(platform.messages.empty());
  const TacSkinData& sd = manager.CommonSkinData(96);
  TacFrameInput in;
  in.Sys = TacSystemMetrics{4, 3, 0, 19, 15, 19, 96, 6};
  in.Skin = TitleSkinOf(sd, manager.SkinCommonInfo.BIVAlign, false);
  in.Form.VisibleMin = true;
  in.Form.ClientWidth = 416;
  in.Form.ClientHeight = 278;
  in.Form.Width = 422;
  in.Form.Height = 278 + 6 + 19;
  TitleBar bar;
  UpdateIconsIndexes(in.Form, bar.buttons);
  bar.buttons = TacFrameMetrics(in).CalcItems(bar.buttons).Buttons;
  for (int state = 0; state < 3; ++state) {
    Bitmap& bmp = bar.looks[static_cast<std::size_t>(state)];
    bmp = CreateBmp32(in.Form.Width, 30);
    FillRect32(bmp, Rect(0, 0, bmp.Width(), bmp.Height()), kTitle);
    const TsCaptionLook look{state, false, kText, kTitle};
    for (const TsCaptionButton* b : {&bar.buttons.Close, &bar.buttons.Min})
      PaintCaptionGlyph(bmp, b->cpRect, b->cpGlyphType, look, sd);
  }
  return bar;
}

TEST(CaptionGlyphs, ASkinWithoutGlyphsThatShowGetsBuiltInButtons) {
  const struct {
    const char* name;
    Bytes archive;
  } cases[] = {
      {"a 1 x 1 master image", test::BuiltinSkinWith("", "", test::OnePixelPng())},
      {"no master image",
       test::BuiltinSkinWith("MASTERBITMAP=MASTER COPY.PNG", "MASTERBITMAP=NONE.PNG")},
      {"glyphs far outside the master image",
       test::BuiltinSkinWith(
           "BICONCLOSE=@0000@0000@0135@0020@3@0\nBICONMIN=@0135@0000@0270@0020@3@0",
           "BICONCLOSE=@0000@0000@9999@0020@3@0\nBICONMIN=@5000@5000@5135@5020@3@0")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TitleBar bar = PaintTitleBar(c.archive);
    for (const TsCaptionButton* b : {&bar.buttons.Close, &bar.buttons.Min}) {
      SCOPED_TRACE(b == &bar.buttons.Close ? "close" : "minimise");
      // A button of its own size, right of the caption, in the title bar.
      ASSERT_TRUE(b->Present());
      EXPECT_EQ(b->cpRect.Width(), 21);
      EXPECT_EQ(b->cpRect.Height(), 21);
      EXPECT_GT(b->cpRect.Left, 200);
      EXPECT_GT(Marked(bar.looks[0], b->cpRect), 8) << "the normal look shows a glyph";
      // Hot and pressed differ from normal, so the press is seen.
      EXPECT_GT(Marked(bar.looks[1], b->cpRect), Marked(bar.looks[0], b->cpRect));
    }
    // Nothing is drawn outside the buttons.
    const TRect left_of_buttons = Rect(0, 0, bar.buttons.Min.cpRect.Left, 30);
    EXPECT_EQ(Marked(bar.looks[0], left_of_buttons), 0);
  }
}

TEST(CaptionGlyphs, TheBuiltInSkinsOwnGlyphsPaintAsBefore) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  const TacSkinData& sd = manager.CommonSkinData(96);
  for (const TacTitleGlyph glyph : {tgClose, tgMin}) {
    SCOPED_TRACE(static_cast<int>(glyph));
    const int index = sd.TitleGlyphs[glyph];
    ASSERT_TRUE(CaptionGlyphUsable(sd, index));
    // The built-in skin's glyphs are drawn by their pictures' alpha.
    TsMaskData md = sd.ma[static_cast<std::size_t>(index)];
    md.DrawMode = static_cast<std::int16_t>(md.DrawMode | 0x10);
    for (int state = 0; state < 3; ++state) {
      Bitmap painted = CreateBmp32(60, 30);
      Bitmap direct = CreateBmp32(60, 30);
      FillRect32(painted, Rect(0, 0, 60, 30), kTitle);
      FillRect32(direct, Rect(0, 0, 60, 30), kTitle);
      PaintCaptionGlyph(painted, Rect(5, 3, 5 + md.Width, 3 + md.Height), glyph,
                        TsCaptionLook{state, false, kText, kTitle}, sd);
      DrawSkinGlyph(direct, TPoint{5, 3}, state, 1, md, sd.MasterBmp, MakeCacheInfo(direct));
      for (int y = 0; y < 30; ++y) {
        ASSERT_TRUE(std::equal(painted.Row32(y), painted.Row32(y) + 60, direct.Row32(y)))
            << "state " << state << " row " << y;
      }
      EXPECT_GT(Marked(painted, Rect(5, 3, 5 + md.Width, 3 + md.Height)), 8);
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
