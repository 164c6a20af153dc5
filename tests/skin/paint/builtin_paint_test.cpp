// The built-in skin's button painted as the window paints it: the parent's outer effects first,
// then the button over what lies behind it, at 96 and 144 pixels per inch.

#include <gtest/gtest.h>

#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;

std::uint32_t Opaque(TColor color) {
  return 0xFF000000u | (SwapRedBlue(color) & 0x00FFFFFFu);
}

TEST(BuiltinSkinPaint, ButtonCornersBorderAndShadow) {
  for (const int ppi : {96, 144}) {
    HeadlessSkinPlatform platform(ppi);
    TsSkinManager manager(platform);
    manager.InternalSkins = BuiltinStoredSkins();
    manager.SetSkinName(std::string(kBuiltinSkinName));
    ASSERT_TRUE(manager.IsActive());
    const TacSkinData& sd = manager.CommonSkinData(ppi);
    const int button = sd.GetSkinIndex("BUTTON");
    const int form = sd.GetSkinIndex("FORM");
    ASSERT_GE(button, 0);
    ASSERT_GE(form, 0);
    const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(button)];
    const std::uint32_t form_pixel = Opaque(sd.gd[static_cast<std::size_t>(form)].Props[0].Color);

    const int w = 96 * ppi / 96, h = 28 * ppi / 96;
    const TRect r = Rect(10, 10, 10 + w, 10 + h);
    for (int state = 0; state < 3; ++state) {
      SCOPED_TRACE(std::to_string(ppi) + " PPI, state " + std::to_string(state));
      Bitmap parent = test::Filled(w + 20, h + 20, form_pixel);
      PaintOuterEffect(parent, r, button, sd, false);
      bool shadow = false;
      for (int y = 0; y < parent.Height(); ++y) {
        for (int x = 0; x < parent.Width(); ++x) {
          const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
          const std::uint32_t p = GetAPixel(parent, x, y).C;
          if (inside)
            ASSERT_EQ(Hex(p), Hex(form_pixel)) << x << "," << y;
          else
            shadow = shadow || p != form_pixel;
        }
      }
      EXPECT_TRUE(shadow);

      Bitmap cell = CreateBmp32(w, h);
      const TCacheInfo ci = MakeCacheInfo(parent, r.Left, r.Top);
      PaintItem(button, ci, state, Rect(0, 0, w, h), {}, cell, sd);
      FillTransPixels32(cell, Rect(0, 0, w, h), ci);
      const TsGenState& props = gd.Props[static_cast<std::size_t>(state)];
      for (const TPoint corner :
           {TPoint{0, 0}, TPoint{w - 1, 0}, TPoint{0, h - 1}, TPoint{w - 1, h - 1}})
        EXPECT_EQ(Hex(GetAPixel(cell, corner.X, corner.Y).C), Hex(form_pixel));
      for (const TPoint mid :
           {TPoint{w / 2, 0}, TPoint{w / 2, h - 1}, TPoint{0, h / 2}, TPoint{w - 1, h / 2}})
        EXPECT_EQ(Hex(GetAPixel(cell, mid.X, mid.Y).C), Hex(Opaque(props.BorderColor)));
      EXPECT_EQ(Hex(GetAPixel(cell, w / 2, h / 2).C), Hex(Opaque(props.Color)));
      for (const std::uint32_t p : test::Pixels(cell)) {
        ASSERT_EQ(p >> 24, 0xFFu);
        ASSERT_NE(p & 0x00FFFFFFu, 0x00FF00FFu);
      }
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
