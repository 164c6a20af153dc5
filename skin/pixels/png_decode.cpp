#include "skin/pixels/png_decode.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/error.h"

namespace kestrune {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t ReadBigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

}  // namespace

bool HasPngSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

PngSize CheckPngHeader(std::span<const std::uint8_t> bytes) {
  if (!HasPngSignature(bytes))
    throw Error("Invalid PNG image: no PNG signature");
  // Signature, then the header chunk: length 13, "IHDR", width, height, ...
  constexpr std::size_t kHeaderEnd = 8 + 8 + 13 + 4;
  if (bytes.size() < kHeaderEnd)
    throw Error("Invalid PNG image: the data ends inside the header");
  if (ReadBigEndian32(bytes, 8) != 13 || ReadBigEndian32(bytes, 12) != 0x49484452)
    throw Error("Invalid PNG image: the header chunk is missing or damaged");
  const std::uint32_t width = ReadBigEndian32(bytes, 16);
  const std::uint32_t height = ReadBigEndian32(bytes, 20);
  if (width == 0 || height == 0)
    throw Error("Invalid PNG image: the picture has no pixels");
  constexpr auto kMax = static_cast<std::uint32_t>(kMaxPngSide);
  if (width > kMax || height > kMax)
    throw Error("PNG image too large: " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels (at most " + std::to_string(kMax) + " x " + std::to_string(kMax) + ")");
  return {static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace kestrune
