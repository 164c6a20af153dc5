#include <gtest/gtest.h>

#include <vector>

#include "skin/pixels/blur.h"
#include "skin/pixels/stretch.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Filled;
using test::Hex;
using test::MakeBmp;

// Shrinking 4 to 2 columns: e = 1/2, r = 4, weights of 65536 for t = 0, 0.5, 1, 1.5 are
// 29127, 17522, 1820, -1138, mirrored at the edges; they sum to 65535, so even
// full alpha comes out as 254. Keeping 2 rows: 58254 for t = 0 and 3641
// for t = 1, which sum to 65536, so equal rows stay equal.
TEST(Stretch, MitchellOnAKnownPicture) {
  for (RowOrder order : test::kOrders) {
    SCOPED_TRACE(test::Name(order));
    // Blue 0, 0, 255, 255; green 255, 255, 0, 0; red 0, 0, 0, 255 (negative lobe); alpha 255.
    const std::vector<std::uint32_t> row = {0xFF00FF00, 0xFF00FF00, 0xFF0000FF, 0xFFFF00FF};
    std::vector<std::uint32_t> pixels = row;
    pixels.insert(pixels.end(), row.begin(), row.end());
    const Bitmap src = MakeBmp(4, 2, pixels, order);
    Bitmap dst;
    Stretch(src, dst, 2, 2, ftMitchell);
    ASSERT_EQ(dst.Width(), 2);
    ASSERT_EQ(dst.Height(), 2);
    // Column 0: blue 510 * 682 shr 16 = 5, green 255 * 64171 shr 16 = 249, red below 0 = 0.
    // Column 1: blue 255 * 47331 shr 16 = 184, green 255 * 18204 shr 16 = 70, red 75.
    EXPECT_PIXELS(dst, {0xFE00F905, 0xFE4B46B8, 0xFE00F905, 0xFE4B46B8});
  }
}

TEST(Stretch, SizesThatDoNothingOrCopy) {
  const Bitmap src = MakeBmp(2, 2, {1, 2, 3, 4});
  Bitmap same;
  Stretch(src, same, 2, 2);
  EXPECT_PIXELS(same, {1, 2, 3, 4});
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 2}, {2, -1}}) {
    Bitmap dst = Filled(1, 1, 7);
    Stretch(src, dst, w, h);
    EXPECT_PIXELS(dst, {7});
  }
  Bitmap dst = Filled(1, 1, 7);
  Stretch(MakeBmp(1, 3, {1, 2, 3}), dst, 4, 4);
  EXPECT_PIXELS(dst, {7});
  // A strong shrink and a large enlargement stay inside the picture.
  Stretch(Filled(40, 3, 0xFF000000), dst, 1, 1);
  EXPECT_EQ(dst.Width(), 1);
  Stretch(src, dst, 64, 3);
  EXPECT_EQ(dst.Width(), 64);
}

TEST(GaussianKernel, RadiusOneAndFive) {
  struct Case {
    double radius;
    int size;
  };
  // Radius 5: raw weights 1 for -5..5, but the pair +-5 is trimmed while the sum is still 0.
  const Case cases[] = {{1, 1}, {5, 4}, {0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    TGaussianKernel k;
    MakeGaussianKernel(k, c.radius, 255, 1);
    EXPECT_EQ(k.Size, c.size);
    const int kept = c.radius > 0 ? 2 * c.size + 1 : 1;
    for (int i = -16; i <= 16; ++i) {
      const bool inside = c.radius > 0 ? std::abs(i) <= c.size : i == 0;
      EXPECT_DOUBLE_EQ(k.Weight(i), inside ? 1.0 / kept : 0.0) << "offset " << i;
    }
  }
}

TEST(BlurRow8, SpreadsAndClampsAtTheEnds) {
  struct Case {
    double radius;
    std::vector<std::uint8_t> row, expected;
  };
  const std::vector<Case> cases = {
      {1, {0, 0, 0, 90, 0, 0, 0}, {0, 0, 30, 30, 30, 0, 0}},
      {1, {90, 0, 0}, {60, 30, 0}},
      {5, {0, 0, 0, 0, 0, 90, 0, 0, 0, 0, 0}, {0, 10, 10, 10, 10, 10, 10, 10, 10, 10, 0}},
      {5, {255}, {255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    TGaussianKernel k;
    MakeGaussianKernel(k, c.radius, 255, 1);
    std::vector<std::uint8_t> row = c.row, work(row.size());
    BlurRow8(row.data(), static_cast<int>(row.size()), k, work.data());
    EXPECT_EQ(row, c.expected);
  }
}

TEST(Blur8, RowsThenColumnsOf8BitMasksOnly) {
  for (RowOrder order : test::kOrders) {
    SCOPED_TRACE(test::Name(order));
    Bitmap mask = Bitmap::OnHeap(5, 5, TPixelFormat::pf8bit, order);
    mask.Row8(2)[2] = 90;
    ASSERT_TRUE(Blur8(mask, 1));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(mask.Row8(y)[x], (x >= 1 && x <= 3 && y >= 1 && y <= 3) ? 10 : 0)
            << x << "," << y;
  }
  Bitmap colour = Filled(3, 1, 0x00FFFFFF);
  EXPECT_FALSE(Blur8(colour, 1));
  EXPECT_PIXELS(colour, {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF});
}

TEST(Glow, MaskRectAndComposition) {
  EXPECT_EQ(GlowMaskRect(Rect(10, 10, 20, 15), 0), Rect(7, 7, 25, 20));
  EXPECT_EQ(GlowMaskRect(Rect(10, 10, 20, 15), 3), Rect(4, 4, 28, 23));

  Bitmap mask = Bitmap::OnHeap(3, 1, TPixelFormat::pf8bit, RowOrder::TopDown);
  mask.Row8(0)[0] = 0;
  mask.Row8(0)[1] = 128;
  mask.Row8(0)[2] = 255;
  Bitmap dst = MakeBmp(4, 1, {0x00000000, 0xFF0000FF, 0x12345678, 0x00000000});
  ApplyGlowMask(dst, mask, {0, 0}, 0x0000FF);
  EXPECT_PIXELS(dst, {0xFEFE0000, 0xFF7E007F, 0x12345678, 0});
  // Partly outside on both sides: only the pixels inside change.
  Bitmap small = Filled(2, 1, 0);
  ApplyGlowMask(small, mask, {-1, 0}, 0x0000FF);
  EXPECT_PIXELS(small, {0x7E7E0000, 0});
  ApplyGlowMask(small, mask, {5, 0}, 0x0000FF);
  ApplyGlowMask(small, mask, {0, -1}, 0x0000FF);
  EXPECT_PIXELS(small, {0x7E7E0000, 0});
}

}  // namespace
}  // namespace kestrune::skin
