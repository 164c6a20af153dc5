// The flat colour a partly transparent control stands for, as its skin state answers it: the
// background colour and the AC_GETCONTROLCOLOR answer both follow the painter's one rule,
// BlendColors(parent, own, t * 255 div 100).

#include <gtest/gtest.h>

#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/common_data.h"
#include "skin/paint/item_paint.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

class FakeOwner : public TacSkinOwner {
 public:
  FakeOwner(TacSkinOwner* parent, TColor color) : parent_(parent), color_(color) {}
  bool Windowed() const override { return true; }
  TacWindow Handle() const override { return nullptr; }
  TacSkinOwner* Parent() const override { return parent_; }
  std::string ClassName() const override { return "TPanel"; }
  TColor Color() const override { return color_; }
  TColor FontColor() const override { return 0; }
  TRect BoundsRect() const override { return Rect(0, 0, 20, 10); }
  std::intptr_t Send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }

 private:
  TacSkinOwner* parent_;
  TColor color_;
};

TEST(SectionColor, EveryAnswerMixesTheParentByTheSameRule) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  ASSERT_TRUE(manager.IsActive());
  TacSkinData& sd = manager.CommonSkinData(96);
  const int panel = sd.GetSkinIndex("PANEL");
  ASSERT_GE(panel, 0);

  FakeOwner parent(nullptr, 0x0000FF);
  FakeOwner child(&parent, 0x00FF00);
  TsCommonData data(&child, false);
  data.FSkinManager = &manager;
  data.SkinIndex = panel;
  for (const int t : {0, 20, 50, 80, 100}) {
    SCOPED_TRACE(t);
    for (TsGenState& props : sd.gd[static_cast<std::size_t>(panel)].Props) {
      props.Transparency = t;
      props.Color = 0xFF0000;
    }
    const TColor expected = TransparentColor(0x0000FF, 0xFF0000, t);
    if (t > 0 && t < 100) {
      EXPECT_EQ(test::Hex(static_cast<std::uint32_t>(data.GetBGColor(0))),
                test::Hex(static_cast<std::uint32_t>(expected)));
    }
    TacMessage message = MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_GETCONTROLCOLOR), 0);
    data.CommonMessage(message);
    const TColor answer = static_cast<TColor>(message.Result);
    EXPECT_EQ(test::Hex(static_cast<std::uint32_t>(answer)),
              test::Hex(static_cast<std::uint32_t>(t == 0     ? 0xFF0000
                                                   : t == 100 ? 0x0000FF
                                                              : expected)));
  }
  // At 50 % the parent and the own colour weigh alike.
  EXPECT_EQ(TransparentColor(0x0000FF, 0xFF0000, 50), 0x7F007E);
}

TEST(SectionColor, ControlStatePaintsItsOwnColourAndBorder) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  ASSERT_TRUE(manager.IsActive());
  FakeOwner parent(nullptr, 0x0000FF);
  FakeOwner child(&parent, 0x00FF00);
  TsCommonData data(&child, false);
  data.FSkinManager = &manager;
  data.SkinIndex = manager.CommonSkinData(96).GetSkinIndex("BUTTON");
  data.FCustomColor = true;
  data.FCustomBorder.ColorNormal = 0xFF0000;
  data.FCustomBorder.ColorActive = 0x0000FF;
  data.FCustomBorder.RadiusTopLeft = data.FCustomBorder.RadiusTopRight = 0;
  data.FCustomBorder.RadiusBottomLeft = data.FCustomBorder.RadiusBottomRight = 0;
  for (const auto& [state, edge] : {std::pair{0, 0xFF0000FFu}, std::pair{1, 0xFFFF0000u}}) {
    SCOPED_TRACE(state);
    Bitmap bmp = test::Filled(20, 10, 0);
    PaintItem(data, EmptyCI, state, Rect(0, 0, 20, 10), {}, bmp);
    EXPECT_EQ(test::Hex(GetAPixel(bmp, 10, 5).C), "FF00FF00");  // the control's own colour
    EXPECT_EQ(test::Hex(GetAPixel(bmp, 10, 0).C), test::Hex(edge));
  }
}

TEST(SectionColor, ControlStateBackgroundTakesItsOwnColourOrTheSectionsOverTheParent) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  ASSERT_TRUE(manager.IsActive());
  TacSkinData& sd = manager.CommonSkinData(96);
  const int panel = sd.GetSkinIndex("PANEL");
  ASSERT_GE(panel, 0);
  for (TsGenState& props : sd.gd[static_cast<std::size_t>(panel)].Props) {
    props.Transparency = 50;
    props.Color = 0xFF0000;
    props.ImagePercent = props.GradientPercent = 0;
  }
  FakeOwner parent(nullptr, 0x0000FF);
  FakeOwner child(&parent, 0x00FF00);
  TsCommonData data(&child, false);
  data.FSkinManager = &manager;
  data.SkinIndex = panel;
  TCacheInfo ci;
  ci.FillColor = 0x0000FF;
  struct Case {
    bool custom_color;
    TColor expected;
  };
  for (const Case& c :
       {Case{true, 0x00FF00}, Case{false, TransparentColor(0x0000FF, 0xFF0000, 50)}}) {
    SCOPED_TRACE(c.custom_color);
    data.FCustomColor = c.custom_color;
    Bitmap bmp = test::Filled(4, 3, 0);
    PaintItemBG(data, ci, 0, Rect(0, 0, 4, 3), {}, bmp);
    const std::uint32_t pixel = 0xFF000000u | SwapRedBlue(c.expected);
    for (const std::uint32_t p : test::Pixels(bmp))
      EXPECT_EQ(test::Hex(p), test::Hex(pixel));
  }
  data.SkinIndex = -1;  // unskinned: nothing
  Bitmap bmp = test::Filled(2, 2, 0);
  PaintItemBG(data, ci, 0, Rect(0, 0, 2, 2), {}, bmp);
  EXPECT_EQ(test::Pixels(bmp), std::vector<std::uint32_t>(4, 0));
}

}  // namespace
}  // namespace kestrune::skin
