// The picture codecs: round trips and hostile headers.

#include "skin/pixels/image_codecs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/error.h"
#include "skin/pixels/png_decode.h"

namespace kestrune {
namespace {

skin::Bitmap Picture() {
  skin::Bitmap bmp = skin::CreateBmp32(3, 2);
  const std::uint32_t pixels[] = {0xFF112233, 0x80445566, 0, 0x01FFFFFF, 0xFE000000, 0x7F7F7F7F};
  for (int i = 0; i < 6; ++i)
    bmp.Row32(i / 3)[i % 3] = pixels[i];
  return bmp;
}

std::vector<std::uint32_t> PixelsOf(const skin::Bitmap& bmp) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < bmp.Height(); ++y)
    out.insert(out.end(), bmp.Row32(y), bmp.Row32(y) + bmp.Width());
  return out;
}

void Put32(ByteBuffer& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(ImageCodecs, BmpAndIcoRoundTrips) {
  EXPECT_EQ(PixelsOf(DecodeBmpPicture(EncodeBmp32(Picture()))), PixelsOf(Picture()));
  EXPECT_EQ(PixelsOf(DecodeIcoPicture(EncodeIco32(Picture()))), PixelsOf(Picture()));
}

TEST(ImageCodecs, IconWithoutAlphaTakesItsMask) {
  skin::Bitmap opaque = Picture();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      opaque.Row32(y)[x] &= 0x00FFFFFFu;
  // Every alpha is 0, so the mask hides every pixel; uncover the top row's middle one. Mask rows
  // are 4 bytes, stored bottom-up, so the top row is the last.
  ByteBuffer icon = EncodeIco32(opaque);
  icon[icon.size() - 4] = 0xE0 & ~0x40;
  const auto pixels = PixelsOf(DecodeIcoPicture(icon));
  EXPECT_EQ(pixels[1] >> 24, 255u);
  EXPECT_EQ(pixels[0] >> 24, 0u);
  EXPECT_EQ(pixels[1] & 0x00FFFFFFu, 0x445566u);
}

TEST(ImageCodecs, HostileHeadersAreErrors) {
  const ByteBuffer bmp = EncodeBmp32(Picture());
  const ByteBuffer ico = EncodeIco32(Picture());
  auto changed = [](ByteBuffer bytes, const std::function<void(ByteBuffer&)>& change) {
    change(bytes);
    return bytes;
  };
  const struct {
    const char* name;
    ByteBuffer bytes;
    bool icon;
  } cases[] = {
      {"empty bmp", {}, false},
      {"bmp cut in the header", ByteBuffer(bmp.begin(), bmp.begin() + 30), false},
      {"bmp cut in the pixels", ByteBuffer(bmp.begin(), bmp.end() - 5), false},
      {"bmp pixels beyond the end", changed(bmp, [](auto& b) { Put32(b, 10, 0xFFFFFFF0u); }),
       false},
      {"bmp 8 bits per pixel", changed(bmp, [](auto& b) { b[28] = 8; }), false},
      {"bmp compressed", changed(bmp, [](auto& b) { Put32(b, 30, 1); }), false},
      {"bmp huge", changed(bmp, [](auto& b) { Put32(b, 18, 100000); }), false},
      {"bmp height of INT_MIN", changed(bmp, [](auto& b) { Put32(b, 22, 0x80000000u); }), false},
      {"bmp no pixels", changed(bmp, [](auto& b) { Put32(b, 18, 0); }), false},
      {"empty ico", {}, true},
      {"ico without pictures", {0, 0, 1, 0, 0, 0}, true},
      {"ico directory cut", ByteBuffer(ico.begin(), ico.begin() + 12), true},
      {"ico picture outside", changed(ico, [](auto& b) { Put32(b, 18, 0x7FFFFFFFu); }), true},
      {"ico picture too long", changed(ico, [](auto& b) { Put32(b, 14, 0x7FFFFFFFu); }), true},
      {"ico huge", changed(ico, [](auto& b) { Put32(b, 26, 70000); }), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(static_cast<void>(c.icon ? DecodeIcoPicture(c.bytes) : DecodeBmpPicture(c.bytes)),
                 Error);
  }
}

TEST(ImageCodecs, PngEncodingKeepsEveryByte) {
  skin::Bitmap bmp = skin::CreateBmp32(3, 2);
  const std::vector<std::uint32_t> pixels = {0x00FF00FFu, 0xFF102030u, 0x80FFFFFFu,
                                             0x01020304u, 0xFFFFFFFFu, 0x00000000u};
  for (int i = 0; i < 6; ++i) {
    bmp.Row32(i / 3)[i % 3] = pixels[static_cast<std::size_t>(i)];
  }
  const DecodedPng png = DecodePng(EncodePng32(bmp));
  ASSERT_EQ(png.width, 3);
  ASSERT_EQ(png.height, 2);
  for (std::size_t i = 0; i < 6; ++i) {
    std::uint32_t p = 0;
    for (std::size_t b = 0; b < 4; ++b) {
      p |= std::uint32_t{png.bgra[i * 4 + b]} << (8 * b);
    }
    EXPECT_EQ(p, pixels[i]) << i;
  }
}

}  // namespace
}  // namespace kestrune
