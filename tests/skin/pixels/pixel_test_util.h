#pragma once
// Tiny bitmaps from pixel lists and hex printing for the pixel tables.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/pixels/bitmap.h"

namespace kestrune::skin::test {

inline std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

inline std::vector<std::string> Hex(const std::vector<std::uint32_t>& values) {
  std::vector<std::string> out;
  for (std::uint32_t v : values)
    out.push_back(Hex(v));
  return out;
}

// Pixels listed row by row from the top.
inline Bitmap MakeBmp(int width, int height, const std::vector<std::uint32_t>& pixels,
                      RowOrder order = RowOrder::TopDown) {
  Bitmap bmp = Bitmap::OnHeap(width, height, TPixelFormat::pf32bit, order);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bmp.Row32(y)[x] = pixels.empty() ? 0u : pixels[static_cast<std::size_t>(y * width + x)];
  return bmp;
}

inline Bitmap Filled(int width, int height, std::uint32_t pixel,
                     RowOrder order = RowOrder::TopDown) {
  return MakeBmp(width, height,
                 std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), pixel),
                 order);
}

inline std::vector<std::uint32_t> Pixels(const Bitmap& bmp) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      out.push_back(bmp.Row32(y)[x]);
  return out;
}

inline constexpr RowOrder kOrders[] = {RowOrder::TopDown, RowOrder::BottomUp};

inline const char* Name(RowOrder order) {
  return order == RowOrder::TopDown ? "top-down" : "bottom-up";
}

}  // namespace kestrune::skin::test

#define EXPECT_PIXELS(bmp, ...)                                               \
  EXPECT_EQ(::kestrune::skin::test::Hex(::kestrune::skin::test::Pixels(bmp)), \
            ::kestrune::skin::test::Hex(std::vector<std::uint32_t>(__VA_ARGS__)))
