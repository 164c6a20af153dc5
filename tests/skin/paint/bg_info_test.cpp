#include "skin/paint/bg_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/pixels/pixel_ops.h"
#include "tests/skin/paint/skin_owner_fake.h"

namespace kestrune::skin {
namespace {

using test::Adopt;
using test::FakeOwner;
using test::MakeState;
using test::Section;
using test::TestManager;

constexpr TColor kPanelColor = 0x00203040;
constexpr TColor kFormColor = 0x00506070;

// Paints the cache in one colour at the control's size.
auto PaintCache(std::uint32_t pixel) {
  return [pixel](TsCommonData& data) {
    data.InitCacheBmp();
    for (int y = 0; y < data.FCacheBmp->Height(); ++y)
      FillLongword(data.FCacheBmp->Row32(y), data.FCacheBmp->Width(), pixel);
  };
}

// A border entry of the given margins.
TsMaskData Border(std::int16_t draw_mode) {
  TsMaskData mask;
  mask.PropertyName = "BORDERSMASK";
  mask.DrawMode = draw_mode;
  mask.WL = 2;
  mask.WT = 3;
  mask.WR = 4;
  mask.WB = 5;
  return mask;
}

// How a skinned parent answers AC_GETBG, one row per case of its section and cache.
TEST(InitBGInfo, AnswersByTransparencyAndCache) {
  enum class Cache { None, Empty, Stale };
  struct Case {
    const char* name;
    int transparency;
    bool custom_color;
    bool gradient;
    int border_draw_mode;  // -1: no border entry
    Cache cache;
    bool can_prepare;
    TacBGType type;
    bool lends_cache;
    TColor color;
    TRect fill_rect;
    bool updating;
  };
  const Case cases[] = {
      {"custom colour",
       0,
       true,
       false,
       -1,
       Cache::Stale,
       true,
       btFill,
       false,
       kPanelColor,
       {},
       false},
      {"opaque gradient, prepared",
       0,
       false,
       true,
       -1,
       Cache::Stale,
       true,
       btCache,
       true,
       clFuchsia,
       {},
       false},
      {"opaque gradient, cannot prepare",
       0,
       false,
       true,
       -1,
       Cache::Empty,
       false,
       btNotReady,
       false,
       clFuchsia,
       {},
       true},
      {"flat, no frame",
       0,
       false,
       false,
       -1,
       Cache::Stale,
       false,
       btFill,
       false,
       0x00000011,
       {},
       false},
      {"flat, framed, prepared",
       0,
       false,
       false,
       0,
       Cache::Stale,
       true,
       btFill,
       true,
       0x00000011,
       {2, 3, 4, 5},
       false},
      {"flat, framed, stale cache",
       0,
       false,
       false,
       0,
       Cache::Stale,
       false,
       btFill,
       false,
       0x00000011,
       {},
       false},
      {"flat, frame drawn inside",
       0,
       false,
       false,
       4,
       Cache::Stale,
       true,
       btFill,
       false,
       0x00000011,
       {},
       false},
      {"half, no cache bitmap",
       50,
       false,
       false,
       -1,
       Cache::None,
       true,
       btFill,
       false,
       clFuchsia,
       {},
       false},
      {"half, prepared",
       50,
       false,
       false,
       -1,
       Cache::Empty,
       true,
       btCache,
       true,
       clFuchsia,
       {},
       false},
      {"half, cannot prepare",
       50,
       false,
       false,
       -1,
       Cache::Empty,
       false,
       btNotReady,
       false,
       clFuchsia,
       {},
       true},
      {"clear with cache, prepared",
       100,
       false,
       false,
       -1,
       Cache::Stale,
       true,
       btCache,
       true,
       clFuchsia,
       {},
       false},
      {"clear with cache, stale",
       100,
       false,
       false,
       -1,
       Cache::Stale,
       false,
       btFill,
       false,
       kFormColor,
       {},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsGeneralData panel = Section("PANEL", 0x00000011, c.transparency);
    if (c.gradient) {
      panel.Props[0].GradientPercent = 50;
      panel.Props[0].GradientArray = {TsGradPoint{0, 0, 0, 0}, TsGradPoint{1, 0, 0xFF, 100}};
    }
    std::vector<TsMaskData> masks;
    if (c.border_draw_mode >= 0) {
      masks.push_back(Border(static_cast<std::int16_t>(c.border_draw_mode)));
      panel.BorderIndex = 0;
    }
    TestManager manager({panel}, masks);
    manager->Palette[pcMainColor] = 0x00ABCDEF;
    FakeOwner form, owner;
    Adopt(form, owner);
    form.color = kFormColor;
    owner.color = kPanelColor;
    owner.bounds = {10, 20, 50, 40};
    auto data = MakeState(owner, c.cache != Cache::None);
    data->SetSkinSection("PANEL");
    data->FCustomColor = c.custom_color;
    if (c.can_prepare)
      owner.prepare = PaintCache(0xFF112233);
    if (c.cache == Cache::Stale) {
      PaintCache(0xFF000000)(*data);
      data->BGChanged = true;
    }

    TacBGInfo info;
    InitBGInfo(*data, info, 0);
    EXPECT_EQ(info.BgType, c.type);
    EXPECT_EQ(info.Bmp, c.lends_cache ? data->FCacheBmp.get() : nullptr);
    if (c.lends_cache) {
      EXPECT_FALSE(data->BGChanged) << "a lent cache is never stale";
      EXPECT_EQ(data->FCacheBmp->Width(), 40);
      EXPECT_EQ(info.Offset, (TPoint{0, 0}));
    }
    if (c.type == btFill) {
      EXPECT_EQ(info.Color, c.color);
    }
    EXPECT_EQ(info.FillRect, c.fill_rect);
    EXPECT_EQ(data->FUpdating, c.updating);
  }
}

TEST(InitBGInfo, WithoutAValidSectionTheOwnersColour) {
  TestManager manager({Section("PANEL", 1)});
  FakeOwner form, owner;
  Adopt(form, owner);
  owner.color = kPanelColor;
  auto data = MakeState(owner);
  TacBGInfo info;
  InitBGInfo(*data, info, 0);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, kPanelColor);
}

// The state's look comes from min(state, states - 1, 2): here only the pressed look (state 2) is
// clear, so a section of two states asked for its count or more must not reach it.
TEST(InitBGInfo, StateIsKeptWithinTheSectionsStates) {
  struct Case {
    const char* name;
    int states;
    int state;
    bool clear;  // the clear look: the parent's colour
  };
  const Case cases[] = {
      {"normal", 2, 0, false},
      {"hot, the last of two", 2, 1, false},
      {"at the count of two", 2, 2, false},
      {"past the count of two", 2, 3, false},
      {"below zero", 2, -1, false},
      {"pressed of three", 3, 2, true},
      {"at the count of three", 3, 3, true},
      {"past the third look", 4, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsGeneralData panel = Section("PANEL", 0x00000011);
    panel.States = c.states;
    panel.Props[2].Transparency = 100;
    TestManager manager({panel});
    FakeOwner form, owner;
    Adopt(form, owner);
    form.color = kFormColor;
    owner.color = kPanelColor;
    auto data = MakeState(owner, false);
    data->SetSkinSection("PANEL");
    TacBGInfo info;
    InitBGInfo(*data, info, c.state);
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, c.clear ? kFormColor : 0x00000011);
  }
}

// form (lends its cache) > outer (clear, at 5,6) > inner (clear, at 7,8) > child.
TEST(GetParentCache, OffsetsAddUpThroughTransparentLevels) {
  TsGeneralData opaque = Section("FORM", 1);
  opaque.Props[0].GradientPercent = 50;
  opaque.Props[0].GradientArray = {TsGradPoint{0, 0, 0, 0}, TsGradPoint{1, 0, 0xFF, 100}};
  TestManager manager({opaque, Section("CLEAR", 2, 100), Section("BUTTON", 3)});
  FakeOwner form, outer, inner, child;
  Adopt(form, outer);
  Adopt(outer, inner);
  Adopt(inner, child);
  form.bounds = {0, 0, 100, 80};
  outer.bounds = {5, 6, 60, 50};
  inner.bounds = {7, 8, 40, 30};
  child.bounds = {3, 4, 20, 20};
  form.prepare = PaintCache(0xFF445566);
  auto form_data = MakeState(form);
  auto outer_data = MakeState(outer, false);
  auto inner_data = MakeState(inner, false);
  auto child_data = MakeState(child);
  form_data->SetSkinSection("FORM");
  outer_data->SetSkinSection("CLEAR");
  inner_data->SetSkinSection("CLEAR");
  child_data->SetSkinSection("BUTTON");

  const TCacheInfo ci = GetParentCache(*child_data);
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(ci.Bmp, form_data->FCacheBmp.get());
  EXPECT_EQ(ci.X, 12);
  EXPECT_EQ(ci.Y, 14);
}

// A form's bitmap holds the whole window; its children lie in the client area, which begins
// inside the frame and title. Each child must get the pixels of the bitmap at its own place
// there, whether the form lends the whole bitmap or only its frame strips.
TEST(GetParentCache, AFormLendsItsBitmapAtTheClientArea) {
  struct Case {
    const char* name;
    TacSkinOwner::Kind kind;
    bool flat_framed;  // a flat section with a frame lends only the frame strips
    TPoint origin;     // where the child's parent origin lies in the bitmap
  };
  const Case cases[] = {
      {"form, textured", TacSkinOwner::Kind::Provider, false, {3, 30}},
      {"form, flat with a frame", TacSkinOwner::Kind::Provider, true, {3, 30}},
      {"a control's cache is its own area", TacSkinOwner::Kind::Control, false, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsGeneralData form_section = Section("FORM", 0x00000011);
    std::vector<TsMaskData> masks;
    if (c.flat_framed) {
      masks.push_back(Border(0));
      form_section.BorderIndex = 0;
    } else {
      form_section.Props[0].GradientPercent = 50;
      form_section.Props[0].GradientArray = {TsGradPoint{0, 0, 0, 0}, TsGradPoint{1, 0, 0xFF, 100}};
    }
    TestManager manager({form_section, Section("BUTTON", 3)}, masks);
    FakeOwner form, child;
    Adopt(form, child);
    form.kind = c.kind;
    form.bounds = {0, 0, 60, 50};
    form.client_offset = {3, 30};
    child.bounds = {5, 6, 25, 16};
    // Every pixel of the form's bitmap tells its place.
    form.prepare = [](TsCommonData& data) {
      data.InitCacheBmp();
      if (data.FCacheBmp->Empty())  // a form's owner is no control that gives the size
        *data.FCacheBmp = CreateBmp32(60, 50);
      for (int y = 0; y < data.FCacheBmp->Height(); ++y)
        for (int x = 0; x < data.FCacheBmp->Width(); ++x)
          data.FCacheBmp->Row32(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(y << 8 | x);
    };
    auto form_data = MakeState(form);
    auto child_data = MakeState(child);
    form_data->SetSkinSection("FORM");
    child_data->SetSkinSection("BUTTON");

    TCacheInfo ci = GetParentCache(*child_data);
    ASSERT_EQ(ci.Bmp, form_data->FCacheBmp.get());
    EXPECT_EQ(ci.X, c.origin.X);
    EXPECT_EQ(ci.Y, c.origin.Y);
    // The control adds its own position, as it does before painting.
    ci.X += 5;
    ci.Y += 6;
    Bitmap behind = CreateBmp32(20, 10);
    PaintParentBG(behind, TRect{0, 0, 20, 10}, ci);
    const Bitmap& bmp = *form_data->FCacheBmp;
    const TRect inside{2, 3, bmp.Width() - 4, bmp.Height() - 5};  // within Border's margins
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) {
        const int px = ci.X + x;
        const int py = ci.Y + y;
        const bool in_strip =
            px < inside.Left || py < inside.Top || px >= inside.Right || py >= inside.Bottom;
        if (c.flat_framed && !in_strip)
          continue;  // the flat colour, not the bitmap
        ASSERT_EQ(behind.Row32(y)[x], bmp.Row32(py)[px]) << x << "," << y;
      }
    }
  }
}

TEST(GetParentCache, AParentThatIsNotReadyGivesFuchsia) {
  TsGeneralData opaque = Section("FORM", 1);
  opaque.Props[0].GradientPercent = 50;
  opaque.Props[0].GradientArray = {TsGradPoint{0, 0, 0, 0}, TsGradPoint{1, 0, 0xFF, 100}};
  TestManager manager({opaque, Section("BUTTON", 3)});
  FakeOwner form, child;
  Adopt(form, child);
  auto form_data = MakeState(form);  // nobody paints its cache
  auto child_data = MakeState(child);
  form_data->SetSkinSection("FORM");
  child_data->SetSkinSection("BUTTON");
  const TCacheInfo ci = GetParentCache(*child_data);
  EXPECT_FALSE(ci.Ready);
  EXPECT_EQ(ci.Bmp, nullptr);
  EXPECT_EQ(ci.FillColor, clFuchsia);
  EXPECT_TRUE(form_data->FUpdating);
}

TEST(GetBGInfo, AParentWithoutSkinGivesItsColourOrPaintsItself) {
  TestManager manager({Section("BUTTON", 3)});
  manager->Palette[pcMainColor] = 0x00ABCDEF;
  FakeOwner form, window;
  form.color = kFormColor;
  window.kind = TacSkinOwner::Kind::Other;
  window.color = 0x00010101;
  window.client_offset = {3, 4};

  TacBGInfo info;
  GetBGInfo(info, &form, false);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, kFormColor);
  EXPECT_EQ(form.Count(AC_GETBG), 1);

  GetBGInfo(info, &window, false);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, manager->GetGlobalColor()) << "a bare window under an active skin";
  EXPECT_EQ(info.Offset, (TPoint{3, 4}));

  int dc = 0;
  info = TacBGInfo{};
  info.DrawDC = &dc;
  info.R = {1, 2, 11, 12};
  info.Offset = {1, 2};
  GetBGInfo(info, &form, true);
  ASSERT_EQ(form.painted_into.size(), 1u);
  EXPECT_EQ(form.painted_into[0].dc, &dc);
  EXPECT_EQ(form.painted_into[0].offset, (TPoint{1, 2}));
  EXPECT_EQ(form.painted_into[0].clip, (TRect{1, 2, 11, 12}));
}

// A DC of the portable build is a HeadlessDC; on Windows it is a real device context.
#ifndef _WIN32
TEST(GetBGInfo, ASkinnedParentDrawsItsCacheIntoTheDC) {
  TsGeneralData opaque = Section("FORM", 1);
  opaque.Props[0].GradientPercent = 50;
  opaque.Props[0].GradientArray = {TsGradPoint{0, 0, 0, 0}, TsGradPoint{1, 0, 0xFF, 100}};
  TestManager manager({opaque});
  FakeOwner form;
  form.bounds = {0, 0, 8, 8};
  form.prepare = [](TsCommonData& data) {
    data.InitCacheBmp();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        data.FCacheBmp->Row32(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(y * 16 + x);
  };
  auto form_data = MakeState(form);
  form_data->SetSkinSection("FORM");
  Bitmap target = CreateBmp32(4, 4);
  HeadlessDC dc{&target, {}};
  TacBGInfo info;
  info.DrawDC = &dc;
  info.R = {2, 3, 6, 7};
  info.Offset = {2, 3};
  GetBGInfo(info, &form, true);
  EXPECT_EQ(info.BgType, btCache);
  EXPECT_EQ(target.Row32(0)[0], 0xFF000032u);
  EXPECT_EQ(target.Row32(3)[3], 0xFF000065u);

  // A form draws the area of its client area that was asked for, not of its frame.
  form.kind = TacSkinOwner::Kind::Provider;
  form.client_offset = {1, 2};
  target = CreateBmp32(4, 4);
  const std::uint32_t untouched = target.Row32(3)[0];
  info = TacBGInfo{};
  info.DrawDC = &dc;
  info.R = {2, 3, 6, 7};
  info.Offset = {2, 3};
  GetBGInfo(info, &form, true);
  EXPECT_EQ(target.Row32(0)[0], 0xFF000053u);
  EXPECT_EQ(target.Row32(2)[3], 0xFF000076u);
  EXPECT_EQ(target.Row32(3)[0], untouched) << "row 8 lies outside the bitmap: left alone";
}
#endif

// The parent's frame strips lie at the edges of its bitmap; a child away from the origin
// copies only the parts it overlaps and fills the rest.
TEST(PaintParentBG, CopiesTheStripsTheControlOverlaps) {
  Bitmap parent = CreateBmp32(20, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      parent.Row32(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(y << 8 | x);
  constexpr std::uint32_t kFill = 0xFF0000AAu;  // 0x00AA0000 as a pixel
  struct Case {
    const char* name;
    TPoint at;  // the control's origin in the parent bitmap
  };
  for (const Case& c : {Case{"top left", {0, 0}}, Case{"right edge", {14, 2}},
                        Case{"bottom right", {15, 6}}, Case{"inside", {5, 4}}}) {
    SCOPED_TRACE(c.name);
    TCacheInfo ci;
    ci.Bmp = &parent;
    ci.X = c.at.X;
    ci.Y = c.at.Y;
    ci.FillColor = 0x00AA0000;
    ci.FillRect = {2, 1, 3, 2};  // left, top, right, bottom widths
    Bitmap child = CreateBmp32(5, 4);
    PaintParentBG(child, TRect{0, 0, 5, 4}, ci);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 5; ++x) {
        const int px = c.at.X + x;
        const int py = c.at.Y + y;
        const bool strip = px < 2 || py < 1 || px >= 17 || py >= 8;
        const std::uint32_t expected = strip ? parent.Row32(py)[px] : kFill;
        ASSERT_EQ(child.Row32(y)[x], expected) << x << "," << y;
      }
    }
  }
}

TEST(PaintParentBG, ReadyCopiesAndUnknownLeavesAlone) {
  Bitmap parent = CreateBmp32(6, 6);
  parent.Row32(3)[4] = 0xFF123456u;
  Bitmap child = CreateBmp32(2, 2);
  PaintParentBG(child, TRect{0, 0, 2, 2}, MakeCacheInfo(parent, 3, 2));
  EXPECT_EQ(child.Row32(1)[1], 0xFF123456u);
  child.Row32(0)[0] = 0x01020304u;
  PaintParentBG(child, TRect{0, 0, 2, 2}, EmptyCI);
  EXPECT_EQ(child.Row32(0)[0], 0x01020304u);
}

TEST(PaintParentBG, AnAreaStartingOutsideTheParentKeepsItsPixelsInPlace) {
  Bitmap parent = CreateBmp32(4, 4);
  parent.Row32(0)[0] = 0xFF0000FFu;
  Bitmap child = CreateBmp32(3, 3);
  FillRect32(child, TRect{0, 0, 3, 3}, 0x00ABCDEFu, 255);
  // The child's area begins one pixel left of and above the parent's bitmap.
  PaintParentBG(child, TRect{0, 0, 3, 3}, MakeCacheInfo(parent, -1, -1));
  EXPECT_EQ(child.Row32(1)[1], 0xFF0000FFu);
  EXPECT_NE(child.Row32(0)[0], 0xFF0000FFu);
}

}  // namespace
}  // namespace kestrune::skin
