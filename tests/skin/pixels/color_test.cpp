// Colour transforms and alpha preparation.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

std::string HexColor(TColor c) {
  return Hex(static_cast<std::uint32_t>(c));
}

// Colours are TColor values (red in the low byte); 0x00204080 is R 128, G 64, B 32.
TEST(ColorTransforms, ValueForms) {
  struct Case {
    const char* name;
    TColor (*apply)(TColor, int);
    TColor c;
    int value;
    TColor expected;
  };
  const auto brightness = [](TColor c, int v) { return ChangeBrightness(c, v); };
  const auto saturation = [](TColor c, int v) { return ChangeSaturation(v, c); };
  const auto hue = [](TColor c, int v) { return ChangeHue(v, c); };
  const auto tone = [](TColor c, int v) { return ChangeTone(c, v); };
  const Case cases[] = {
      {"brightness +64", brightness, 0x00204080, 64, 0x002850A0},
      {"brightness -64", brightness, 0x00204080, -64, 0x00183060},
      {"brightness caps", brightness, 0x00FFFFFF, 255, 0x00FFFFFF},
      {"brightness 0", brightness, 0x12204080, 0, 0x12204080},
      {"brightness huge", brightness, 0x00204080, INT32_MAX, 0x00FFFFFF},
      {"brightness -huge", brightness, 0x00204080, INT32_MIN, 0x00000000},
      // g = Round(38.272 + 37.568 + 3.648) = 79; -255 gives 255 * 79 shr 8 in every channel.
      {"saturation -255", saturation, 0x00204080, -255, 0x004E4E4E},
      {"saturation 0", saturation, 0x00204080, 0, 0x00204080},
      {"saturation 128", saturation, 0x00204080, 128, 0x00083898},
      {"saturation clamps", saturation, 0x000032C8, 255, 0x00000AFF},
      {"hue of grey", hue, 0x00808080, 90, 0x00808080},
      {"hue of black", hue, 0x00000000, 90, 0x00000000},
      {"hue red +120", hue, 0x000000FF, 120, 0x0000FF00},
      {"hue red 360", hue, 0x000000FF, 360, 0x000000FF},
      {"hue red -120", hue, 0x000000FF, -120, 0x00FF0000},
      {"hue red 5 turns + 120", hue, 0x000000FF, 5 * 360 + 120, 0x0000FF00},
      {"hue +40", hue, 0x00204080, 40, 0x00208080},
      {"tone", tone, 0x00204080, 0x00FF8000, 0x007F4000},
      {"tone keeps high byte", tone, 0x33FFFFFF, 0x000000FF, 0x330000FE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HexColor(c.apply(c.c, c.value)), HexColor(c.expected));
  }
}

TEST(ColorTransforms, FullHueTurnKeepsTheColourUpToTruncation) {
  for (TColor c : {0x00204080, 0x00123456, 0x00FF0080, 0x0001FE7F}) {
    SCOPED_TRACE(HexColor(c));
    const TColor turned = ChangeHue(360, c);
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_LE(std::abs(((turned >> shift) & 0xFF) - ((c >> shift) & 0xFF)), 1);
  }
}

TEST(ColorTransforms, ExtremeValuesStayColours) {
  for (int value : {INT32_MIN, -100000, 100000, INT32_MAX}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(ChangeHue(value, 0x00204080) & ~0xFFFFFF, 0);
    EXPECT_EQ(ChangeSaturation(value, 0x00204080) & ~0xFFFFFF, 0);
  }
}

TEST(ChangeBitmapPixels, SkipsTheKeyColour) {
  Bitmap bmp = MakeBmp(2, 1, {0x00FF00FF, 0xFF804020});
  ChangeBitmapPixels(bmp, ChangeColorBrightness, 64, clFuchsia);
  EXPECT_PIXELS(bmp, {0x00FF00FF, 0xFFA05028});
  ChangeBitmapPixels(bmp, MakeAlphaPixel, 0, clFuchsia);
  EXPECT_PIXELS(bmp, {0x00FF00FF, 0xFFA05028});
  ChangeBitmapPixels(bmp, MakeAlphaPixel, 0, clNone);
  EXPECT_PIXELS(bmp, {0xFFFF00FF, 0xFFA05028});

  // Pixel forms read the pixel's own red (its third byte).
  Bitmap toned = MakeBmp(1, 1, {0xFF804020});
  ChangeBitmapPixels(toned, ChangeColorTone, 0x00FF8000, clNone);
  EXPECT_PIXELS(toned, {0xFF00407F});
  Bitmap desat = MakeBmp(1, 1, {0x80804020});
  ChangeBitmapPixels(desat, ChangeColorSaturation, -255, clNone);
  EXPECT_PIXELS(desat, {0x804E4E4E});
  Bitmap turned = MakeBmp(1, 1, {0x11FF0000});
  ChangeBitmapPixels(turned, ChangeColorHUE, 120, clNone);
  EXPECT_PIXELS(turned, {0x1100FF00});
}

TEST(UpdateAlpha, Premultiplies) {
  struct Case {
    std::uint32_t pixel;
    bool composition;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0xFFFFFFFF, true, 0xFFFEFEFE},  // 255 * 255 shr 8 = 254
      {0x00FFFFFF, true, 0x00000000},  // transparent white
      {0x80FF8040, true, 0x807F4020},
      {0x00FF0000, true, 0x00000000},
      {0xFFFFFFFF, false, 0xFFF4F4F4},  // near-white capped without composition
      {0xFFF6F7F8, false, 0xFFF4F4F4},
      {0xFFFFFFF4, false, 0xFFFEFEF3},  // blue below 245: not near-white
      {0xFFFFFFF5, false, 0xFFF4F4F4},  // blue exactly 245: near-white
      {0x00FFFFFF, false, 0x00000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Hex(c.pixel) + (c.composition ? " composed" : " plain"));
    Bitmap bmp = Filled(1, 1, c.pixel);
    UpdateAlpha(bmp, Rect(0, 0, 1, 1), c.composition);
    EXPECT_PIXELS(bmp, {c.expected});
  }
  Bitmap part = Filled(2, 2, 0x80FF8040);
  UpdateAlpha(part, Rect(1, 1, 5, 5), true);
  EXPECT_PIXELS(part, {0x80FF8040, 0x80FF8040, 0x80FF8040, 0x807F4020});
}

TEST(CheckEmptyAChannel, BottomLeftColourBecomesTheKey) {
  for (RowOrder order : test::kOrders) {
    SCOPED_TRACE(test::Name(order));
    Bitmap bmp = MakeBmp(2, 2, {0x0000FF00, 0x00123456, 0x0000FF00, 0x00000000}, order);
    CheckEmptyAChannel(bmp);
    EXPECT_PIXELS(bmp, {0x0000FF00, 0xFF123456, 0x0000FF00, 0xFF000000});
    Bitmap with_alpha = MakeBmp(2, 1, {0x0000FF00, 0x01123456}, order);
    CheckEmptyAChannel(with_alpha);
    EXPECT_PIXELS(with_alpha, {0x0000FF00, 0x01123456});
  }
}

TEST(GrayScale, RoundsTheWeightedSum) {
  Bitmap bmp = MakeBmp(3, 1, {0xFF804020, 0x00FF00FF, 0x12FFFFFF});
  GrayScaleTrans(bmp, clFuchsia);
  EXPECT_PIXELS(bmp, {0xFF4F4F4F, 0x00FF00FF, 0x12FFFFFF});
  GrayScale(bmp);
  EXPECT_PIXELS(bmp, {0xFF4F4F4F, 0x00696969, 0x12FFFFFF});
}

}  // namespace
}  // namespace kestrune::skin
