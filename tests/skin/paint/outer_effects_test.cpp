// Outer effects between a skinned parent and its children: who draws, where, and what a repeat
// leaves behind.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/paint/bg_info.h"
#include "skin/paint/common_data.h"
#include "tests/skin/paint/skin_owner_fake.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Adopt;
using test::FakeOwner;
using test::Filled;
using test::Hex;
using test::MakeState;
using test::Section;
using test::TestManager;

constexpr std::uint32_t kParentPixel = 0xFF8080FF;
// A black effect at opacity 100 over kParentPixel: o = 255 * 100 shr 8 = 99, each channel
// d * (255 - 99) shr 8; doubled for a focused effect, o = 199.
constexpr std::uint32_t kEffectPixel = 0xFF4E4E9B;
constexpr std::uint32_t kFocusedPixel = 0xFF1C1C37;
constexpr TRect kOffsets{3, 2, 4, 5};  // how far the effect reaches left, up, right, down

// A 13 x 13 black effect over an all-black mask, margins 6, so every pixel it covers changes.
TsMaskData EffectEntry() {
  TsMaskData md;
  md.Bmp = std::make_shared<Bitmap>(Filled(13, 26, 0xFF000000));
  md.R = Rect(0, 0, 13, 26);
  md.ImageCount = 1;
  md.MaskType = 1;
  md.Width = 13;
  md.Height = 13;
  md.WL = md.WT = md.WR = md.WB = 6;
  return md;
}

TsGeneralData ButtonSection() {
  TsGeneralData gd = Section("BUTTON", 0x00FFFFFF);
  gd.OuterMode = 3;
  gd.OuterMask = 0;
  gd.OuterOffset = kOffsets;
  gd.OuterOpacity = 100;
  return gd;
}

TsGeneralData FormSection() {
  TsGeneralData gd = Section("FORM", 0x00808080);
  gd.OuterMode = 0;
  return gd;
}

// A form whose 60 x 40 cache holds kParentPixel, with one button child.
struct OuterFixture {
  TestManager manager{{FormSection(), ButtonSection()}, {EffectEntry()}};
  FakeOwner form, button;
  std::unique_ptr<TsCommonData> form_data, button_data;

  explicit OuterFixture(TRect button_bounds = Rect(10, 8, 30, 20)) {
    manager->Effects.AllowOuterEffects = true;
    Adopt(form, button);
    form.bounds = Rect(0, 0, 60, 40);
    button.bounds = button_bounds;
    form_data = MakeState(form);
    button_data = MakeState(button);
    form_data->SetSkinSection("FORM");
    button_data->SetSkinSection("BUTTON");
    button_data->FOuterEffects.Visibility = ovAlways;
    form_data->FCacheBmp = std::make_unique<Bitmap>(Filled(60, 40, kParentPixel));
  }
  [[nodiscard]] Bitmap& Parent() const { return *form_data->FCacheBmp; }
  void SendPaintOuter(std::uint16_t argument) {
    TacBGInfo info;
    info.Bmp = info.PaintBmp = &Parent();
    info.BgType = btCache;
    button.Send(SM_ALPHACMD, MakeCommandParam(AC_PAINTOUTER, argument),
                reinterpret_cast<std::intptr_t>(&info));
  }
};

// Every pixel of the parent: untouched inside `control` and outside the effect's reach around it,
// `band` in between.
void ExpectEffectAround(const Bitmap& parent, TRect control, std::uint32_t band) {
  for (int y = 0; y < parent.Height(); ++y) {
    for (int x = 0; x < parent.Width(); ++x) {
      const bool inside =
          x >= control.Left && x < control.Right && y >= control.Top && y < control.Bottom;
      const bool reached = x >= control.Left - kOffsets.Left &&
                           x < control.Right + kOffsets.Right && y >= control.Top - kOffsets.Top &&
                           y < control.Bottom + kOffsets.Bottom;
      ASSERT_EQ(Hex(GetAPixel(parent, x, y).C), Hex(inside || !reached ? kParentPixel : band))
          << x << "," << y;
    }
  }
}

TEST(OuterEffects, DrawnAroundEachChildNeverInsideIt) {
  struct Case {
    const char* name;
    TRect bounds;   // in the form's client area
    TPoint offset;  // of the client area in the form's cache
  };
  const Case cases[] = {
      {"inside", Rect(10, 8, 30, 20), {0, 0}},
      {"client area moved", Rect(10, 8, 30, 20), {5, 4}},
      {"one pixel wide", Rect(10, 8, 11, 20), {0, 0}},
      {"narrower than the margins", Rect(10, 8, 15, 12), {0, 0}},
      {"across the top-left corner", Rect(-6, -4, 12, 10), {0, 0}},
      {"across the bottom-right corner", Rect(50, 30, 70, 50), {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OuterFixture f(c.bounds);
    f.form_data->PaintOuterEffects(&f.form, c.offset);
    const TRect control = Rect(c.bounds.Left + c.offset.X, c.bounds.Top + c.offset.Y,
                               c.bounds.Right + c.offset.X, c.bounds.Bottom + c.offset.Y);
    ExpectEffectAround(f.Parent(), control, kEffectPixel);
    // The kept pixels are the parent's from before, wherever the effect lies on the parent.
    const TRect reach = Rect(control.Left - kOffsets.Left, control.Top - kOffsets.Top,
                             control.Right + kOffsets.Right, control.Bottom + kOffsets.Bottom);
    ASSERT_TRUE(f.button_data->FOuterCache);
    ASSERT_EQ(f.button_data->FOuterCache->Width(), reach.Width());
    ASSERT_EQ(f.button_data->FOuterCache->Height(), reach.Height());
    for (int y = std::max(reach.Top, 0); y < std::min(reach.Bottom, 40); ++y)
      for (int x = std::max(reach.Left, 0); x < std::min(reach.Right, 60); ++x)
        ASSERT_EQ(Hex(GetAPixel(*f.button_data->FOuterCache, x - reach.Left, y - reach.Top).C),
                  Hex(kParentPixel))
            << x << "," << y;
  }
}

TEST(OuterEffects, OnlyShownEffectsOfReadyChildrenUnderAnAllowingSkin) {
  enum Result { kNone, kAlways, kFocused };
  struct Case {
    const char* name;
    TacOuterVisibility visibility;
    bool focused;
    bool allowed;  // the manager allows outer effects
    bool visible;
    bool loading;
    bool parent_skinned;
    Result result;
  };
  const Case cases[] = {
      {"always", ovAlways, false, true, true, false, true, kAlways},
      {"none", ovNone, false, true, true, false, true, kNone},
      {"focused, with the focus", ovFocused, true, true, true, false, true, kFocused},
      {"focused, without it", ovFocused, false, true, true, false, true, kNone},
      {"hovered: the glow's part", ovMouseHovered, true, true, true, false, true, kNone},
      {"not allowed by the skin", ovAlways, false, false, true, false, true, kNone},
      {"hidden child", ovAlways, false, true, false, false, true, kNone},
      {"loading child", ovAlways, false, true, true, true, true, kNone},
      {"unskinned parent", ovAlways, false, true, true, false, false, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OuterFixture f;
    f.button_data->FOuterEffects.Visibility = c.visibility;
    f.button.focused = c.focused;
    f.manager->Effects.AllowOuterEffects = c.allowed;
    f.button.visible = c.visible;
    f.button.loading = c.loading;
    if (!c.parent_skinned)
      f.form_data->SetSkinSection("NOSUCHSECTION");
    f.form_data->PaintOuterEffects(&f.form, {});
    const std::uint32_t band = c.result == kAlways    ? kEffectPixel
                               : c.result == kFocused ? kFocusedPixel
                                                      : kParentPixel;
    ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), band);
  }
}

TEST(OuterEffects, ARepeatStartsFromTheKeptPixels) {
  OuterFixture f;
  f.SendPaintOuter(0);
  for (int repeat = 0; repeat < 3; ++repeat) {
    SCOPED_TRACE(repeat);
    f.SendPaintOuter(1);
    ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), kEffectPixel);
  }
  // Losing the focus and repeating takes a focused effect away again.
  f.button_data->FOuterEffects.Visibility = ovFocused;
  f.button.focused = true;
  f.SendPaintOuter(1);
  ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), kFocusedPixel);
  f.button.focused = false;
  f.SendPaintOuter(1);
  ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), kParentPixel);
}

TEST(OuterEffects, MissingTargetOrImageDrawsNothing) {
  OuterFixture f;
  TacBGInfo info;
  info.Bmp = &f.Parent();  // lent for reading only
  f.button.Send(SM_ALPHACMD, MakeCommandParam(AC_PAINTOUTER),
                reinterpret_cast<std::intptr_t>(&info));
  f.button.Send(SM_ALPHACMD, MakeCommandParam(AC_PAINTOUTER), 0);
  ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), kParentPixel);

  f.manager.Data().gd[1].OuterMask = 5;  // no such image
  f.SendPaintOuter(0);
  ExpectEffectAround(f.Parent(), Rect(10, 8, 30, 20), kParentPixel);
}

TEST(OuterEffects, ChangingTheVisibilityRepaintsParentAndControl) {
  OuterFixture f;
  f.form_data->Loaded();
  f.button_data->Loaded();
  f.button.redraws.clear();
  f.button_data->SetOuterVisibility(ovFocused);
  EXPECT_EQ(f.form.Count(AC_INVALIDATE), 1);
  EXPECT_EQ(f.button.redraws.size(), 1u);
  f.button_data->SetOuterVisibility(ovFocused);
  EXPECT_EQ(f.form.Count(AC_INVALIDATE), 1) << "the same value changes nothing";

  f.form.loading = true;
  f.button_data->SetOuterVisibility(ovNone);
  EXPECT_EQ(f.form.Count(AC_INVALIDATE), 1) << "a loading parent is left alone";
  EXPECT_EQ(f.button.redraws.size(), 2u);
}

}  // namespace
}  // namespace kestrune::skin
