#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;
using test::Pixels;

// Radius 3, blur 2 (inner radius 1), offset 1, body 1 wide and 2 high: 8 x 10 pixels, the
// disc centred at (3, 4). Letters stand for the distance from the centre: '.' the untouched
// fill above the offset, 'o' outside the disc, a = 3, b = 2.83, c = 2.24, d = 2, e = 1.41 and
// f = 1 or less (the core). Column 4 repeats column 3 and rows 5, 6 repeat row 4 (the body).
const char* const kShape[] = {
    "........",  //
    "oooaaooo",  //
    "obcddcbo",  //
    "oceffeco",  //
    "adffffda",  //
    "adffffda",  //
    "adffffda",  //
    "oceffeco",  //
    "obcddcbo",  //
    "oooaaooo",  //
};

std::vector<std::uint32_t> Expected(const std::map<char, std::uint32_t>& values) {
  std::vector<std::uint32_t> out;
  for (const char* row : kShape)
    for (const char* p = row; *p != 0; ++p)
      out.push_back(values.at(*p));
  return out;
}

// Colour 0x80112233, radius 3, offset 1, body 1 wide and 2 high, rim 2.
TsShadowParams Sample(bool mask_mode) {
  return {.Color = static_cast<TColor>(0x80112233u),
          .Radius = 3,
          .Offset = 1,
          .BodyHeight = 2,
          .BodyWidth = 1,
          .BlurSize = 2,
          .MaskMode = mask_mode};
}

TEST(MakeShadow, ColourShadowByHand) {
  // Colour 0x80112233: alpha 128, pixels 0x..332211. G = Round((3 - F + 1) * (1 - (F - 1) / 2)
  // / 2 * 255) limited to 255: a 0, b 13, c 86, d 128 (127.5 to even), e and f 255; the alpha
  // is G * 128 shr 8. Outside the disc the pixel is 0, but the rim at F = 3 keeps the colour.
  const Bitmap bmp = MakeShadow(Sample(false));
  ASSERT_EQ(bmp.Width(), 8);
  ASSERT_EQ(bmp.Height(), 10);
  EXPECT_EQ(Hex(Pixels(bmp)), Hex(Expected({{'.', 0x00332211u},
                                            {'o', 0u},
                                            {'a', 0x00332211u},
                                            {'b', 0x06332211u},
                                            {'c', 0x2B332211u},
                                            {'d', 0x40332211u},
                                            {'e', 0x7F332211u},
                                            {'f', 0x7F332211u}})));
}

TEST(MakeShadow, MaskByHand) {
  // G = Round((1 - (F - 1) / 3) * 255 * (4 - F) / 3): a 28, b 39, c 88, d 113, e 189, f 255;
  // grey (255 * (255 - G) + 128 * G) shr 8 on opaque white.
  const Bitmap bmp = MakeShadow(Sample(true));
  ASSERT_EQ(bmp.Width(), 8);
  ASSERT_EQ(bmp.Height(), 10);
  EXPECT_EQ(Hex(Pixels(bmp)), Hex(Expected({{'.', 0xFFFFFFFFu},
                                            {'o', 0xFFFFFFFFu},
                                            {'a', 0xFFF0F0F0u},
                                            {'b', 0xFFEAEAEAu},
                                            {'c', 0xFFD2D2D2u},
                                            {'d', 0xFFC5C5C5u},
                                            {'e', 0xFFA0A0A0u},
                                            {'f', 0xFF7F7F7Fu}})));
}

TEST(MakeShadow, WholeRadiusBlursWithoutCore) {
  // Blur 0 makes the inner radius 0: radius 1, no body, no offset is a 3 x 3 picture whose
  // centre is full, whose edge midpoints (F = 1) are Round(1 * 0 / 1 * 255) = 0 and whose
  // corners lie outside. Full intensity of alpha 255 is 255 * 255 shr 8 = 254.
  const Bitmap bmp = MakeShadow({.Color = static_cast<TColor>(0xFF0000FFu), .Radius = 1});
  EXPECT_EQ(Hex(Pixels(bmp)), Hex({0u, 0x00FF0000u, 0u,                    //
                                   0x00FF0000u, 0xFEFF0000u, 0x00FF0000u,  //
                                   0u, 0x00FF0000u, 0u}));
  // Radius 0: one pixel per body cell, all core.
  const Bitmap dot = MakeShadow(
      {.Color = static_cast<TColor>(0xFF0000FFu), .Offset = 1, .BodyHeight = 1, .BodyWidth = 2});
  ASSERT_EQ(dot.Width(), 3);
  ASSERT_EQ(dot.Height(), 3);
  EXPECT_EQ(Hex(Pixels(dot)), Hex({0x00FF0000u, 0x00FF0000u, 0x00FF0000u,  //
                                   0xFEFF0000u, 0xFEFF0000u, 0xFEFF0000u,  //
                                   0xFEFF0000u, 0xFEFF0000u, 0xFEFF0000u}));
}

TEST(MakeShadow, PremultipliesOnRequest) {
  Bitmap plain = MakeShadow(Sample(false));
  TsShadowParams premultiplied = Sample(false);
  premultiplied.DoUpdateAlpha = true;
  const Bitmap updated = MakeShadow(premultiplied);
  UpdateAlpha(plain);
  EXPECT_EQ(Hex(Pixels(updated)), Hex(Pixels(plain)));
  // The core: 0x7F alpha over 0x33, 0x22, 0x11.
  EXPECT_EQ(Hex(updated.Row32(4)[3]), Hex(0x7F191008u));
}

TEST(MakeShadow, OddSizes) {
  // Negative sizes count as 0; sizes beyond a bitmap give an empty one instead of failing.
  const Bitmap zero =
      MakeShadow({.Radius = -5, .Offset = -5, .BodyHeight = -5, .BodyWidth = -5, .BlurSize = -5});
  EXPECT_EQ(zero.Width(), 1);
  EXPECT_EQ(zero.Height(), 1);
  EXPECT_TRUE(MakeShadow({.Radius = INT_MAX}).Empty());
  EXPECT_TRUE(MakeShadow({.Radius = 1,
                          .Offset = INT_MAX,
                          .BodyHeight = INT_MAX,
                          .BodyWidth = INT_MAX,
                          .MaskMode = true})
                  .Empty());
  // A blur wider than the radius leaves no core and stays within 0..255.
  const Bitmap wide = MakeShadow(
      {.Color = static_cast<TColor>(0xFF000000u), .Radius = 4, .BlurSize = 100, .MaskMode = true});
  ASSERT_EQ(wide.Width(), 9);
  for (const std::uint32_t p : Pixels(wide))
    EXPECT_EQ(p >> 24, 0xFFu);
}

}  // namespace
}  // namespace kestrune::skin
