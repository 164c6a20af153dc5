#include "skin/pixels/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <type_traits>
#include <utility>

#include "platform/error.h"
#include "tests/skin/pixels/pixel_test_util.h"

namespace kestrune::skin {
namespace {

using test::Hex;

TEST(Bitmap, CreateBmp32SizesAndFailures) {
  struct Case {
    int w, h, expect_w, expect_h;
  };
  const Case cases[] = {
      {3, 2, 3, 2},  {0, 5, 0, 5},           {-3, 5, 0, 5},
      {4, -1, 4, 0}, {100000, 100000, 0, 0}, {32768, 32768, 0, 0},  // more than a gigabyte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    const Bitmap bmp = CreateBmp32(c.w, c.h);
    EXPECT_EQ(bmp.Width(), c.expect_w);
    EXPECT_EQ(bmp.Height(), c.expect_h);
    EXPECT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
  }
  EXPECT_THROW(Bitmap(100000, 10), Error);
  EXPECT_EQ(CreateBmp32(Rect(5, 5, 8, 9)).Width(), 3);
  EXPECT_EQ(CreateBmp32(TSize{2, 7}).Height(), 7);
}

TEST(Bitmap, RowsAndDeltaInBothOrders) {
  for (RowOrder order : test::kOrders) {
    SCOPED_TRACE(test::Name(order));
    Bitmap bmp = test::MakeBmp(3, 2, {1, 2, 3, 4, 5, 6}, order);
    std::uint32_t* s0 = nullptr;
    std::ptrdiff_t delta = 0;
    ASSERT_TRUE(InitLine(bmp, s0, delta));
    EXPECT_EQ(delta, order == RowOrder::TopDown ? 3 : -3);
    EXPECT_EQ(s0[0], 1u);
    EXPECT_EQ(s0[delta + 2], 6u);
    EXPECT_EQ(GetAPixel(bmp, 1, 1).C, 5u);
    SetAPixel(bmp, 2, 0, TsColor{0x80FF0102u});
    EXPECT_EQ(Hex(bmp.Row32(0)[2]), "80FF0102");
  }
  Bitmap one_row = Bitmap::OnHeap(4, 1, TPixelFormat::pf32bit, RowOrder::BottomUp);
  std::uint32_t* s0 = nullptr;
  std::ptrdiff_t delta = 7;
  ASSERT_TRUE(InitLine(one_row, s0, delta));
  EXPECT_EQ(delta, 0);
  const std::uint32_t* read_only = nullptr;
  EXPECT_FALSE(InitLine(Bitmap(), read_only, delta));
  EXPECT_FALSE(InitLine(CreateBmp32(0, 4), read_only, delta));
  // A routine given a const bitmap cannot write through its rows.
  static_assert(
      std::is_same_v<decltype(std::declval<const Bitmap&>().Row32(0)), const std::uint32_t*>);
  static_assert(
      std::is_same_v<decltype(std::declval<const Bitmap&>().Row8(0)), const std::uint8_t*>);
}

TEST(Bitmap, PixelFormatConversionAndLikeness) {
  Bitmap grey(3, 2, TPixelFormat::pf8bit);
  grey.Row8(1)[2] = 0x7A;
  EXPECT_EQ(std::abs(grey.RowDelta()), 4);  // rows of whole 32-bit words
  grey.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(Hex(GetAPixel(grey, 2, 1).C), "007A7A7A");
  EXPECT_EQ(GetAPixel(grey, 0, 0).C, 0u);

  const Bitmap like = CreateBmpLike(Bitmap(5, 3, TPixelFormat::pf8bit));
  EXPECT_EQ(like.Width(), 5);
  EXPECT_EQ(like.PixelFormat(), TPixelFormat::pf8bit);

  std::unique_ptr<Bitmap> cache;
  CheckBmp(cache, like);
  ASSERT_TRUE(cache);
  EXPECT_EQ(cache->Width(), 5);
  EXPECT_EQ(cache->PixelFormat(), TPixelFormat::pf32bit);
  Bitmap* kept = cache.get();
  CheckBmp(cache, Bitmap(2, 9));
  EXPECT_EQ(cache.get(), kept);
  EXPECT_EQ(cache->Height(), 9);
}

}  // namespace
}  // namespace kestrune::skin
