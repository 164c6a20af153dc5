// The corner gradient drawn by the platform's triangle fill, checked where the triangles put
// the pure point colours: GDI's own rasterising decides the pixels in between.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "skin/pixels/gradient.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;

// Every channel within tolerance of the TColor's channel, and opaque.
void ExpectNear(std::uint32_t pixel, TColor color, int tolerance) {
  const auto c = static_cast<std::uint32_t>(color);
  EXPECT_EQ(pixel >> 24, 0xFFu) << Hex(pixel);
  const int got[3] = {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                      static_cast<int>(pixel & 0xFF)};
  const int want[3] = {static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                       static_cast<int>((c >> 16) & 0xFF)};
  for (int i = 0; i < 3; ++i)
    EXPECT_LE(std::abs(got[i] - want[i]), tolerance) << Hex(pixel) << " for " << Hex(c);
}

TEST(PaintGradWin, CornerGradientThroughTheTriangleFill) {
  // Points: top-left red, centre white, top-right green, bottom-right blue, bottom-left black.
  TsGradArray data;
  const TColor colors[5] = {0x0000FF, 0xFFFFFF, 0x00FF00, 0xFF0000, 0x000000};
  for (std::uint16_t i = 0; i < 5; ++i)
    data.push_back({i, PM_DIAGONAL, colors[i], static_cast<std::uint8_t>(i == 4 ? 100 : 0)});
  constexpr std::uint32_t kBack = 0x11223344u;
  Bitmap dib = CreateBmp32(18, 18);
  ASSERT_FALSE(dib.Empty());
  Bitmap heap = test::Filled(18, 18, kBack, RowOrder::TopDown);
  for (Bitmap* bmp : {&dib, &heap}) {
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 18; ++x)
        bmp->Row32(y)[x] = kBack;
    PaintGrad(*bmp, Rect(1, 1, 17, 17), data);
    ExpectNear(bmp->Row32(1)[1], colors[0], 48);
    ExpectNear(bmp->Row32(9)[9], colors[1], 48);
    ExpectNear(bmp->Row32(1)[16], colors[2], 48);
    ExpectNear(bmp->Row32(16)[16], colors[3], 48);
    ExpectNear(bmp->Row32(16)[1], colors[4], 48);
    for (int i = 0; i < 18; ++i) {
      EXPECT_EQ(bmp->Row32(0)[i], kBack);
      EXPECT_EQ(bmp->Row32(17)[i], kBack);
      EXPECT_EQ(bmp->Row32(i)[0], kBack);
      EXPECT_EQ(bmp->Row32(i)[17], kBack);
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
