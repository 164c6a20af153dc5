#pragma once
// The picture files a skin or an image list item may hold (PNG, 32- or 24-bit BMP, ICO) turned into
// 32-bit bitmaps with straight alpha, and a 32-bit bitmap turned back into PNG, BMP or ICO bytes.

#include <cstdint>
#include <span>
#include <vector>

#include "skin/pixels/bitmap.h"

namespace kestrune {

using ByteBuffer = std::vector<std::uint8_t>;

// Each throws kestrune::Error for damaged, truncated or oversized data (sides above
// kMaxPngSide).
[[nodiscard]] skin::Bitmap DecodePngPicture(std::span<const std::uint8_t> bytes);
// A 24-bit picture comes out with alpha 255, or with CheckEmptyAChannel's key colour
// transparent; 32-bit pictures keep their alpha bytes.
[[nodiscard]] skin::Bitmap DecodeBmpPicture(std::span<const std::uint8_t> bytes);
// The largest picture of the icon file; its pictures may be PNG or 32/24-bit bitmaps.
[[nodiscard]] skin::Bitmap DecodeIcoPicture(std::span<const std::uint8_t> bytes);

// A PNG file (8-bit RGBA, zlib-compressed) with the alpha bytes kept. Throws kestrune::Error
// when the pixels cannot be compressed.
[[nodiscard]] ByteBuffer EncodePng32(const skin::Bitmap& bmp);
// A 32-bit bottom-up BMP file with the alpha bytes kept.
[[nodiscard]] ByteBuffer EncodeBmp32(const skin::Bitmap& bmp);
// An icon file holding one 32-bit picture and its mask (alpha 0 is masked out).
[[nodiscard]] ByteBuffer EncodeIco32(const skin::Bitmap& bmp);

}  // namespace kestrune
