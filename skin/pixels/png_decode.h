#pragma once
// PNG decoding into 32-bit pixels with straight (not premultiplied) alpha. The windows build
// uses the system's imaging component, the native build libpng; both give the same pixels.
//
// Alpha: a PNG with an alpha channel keeps it, a palette PNG takes each pixel's alpha from its
// transparency table, a grey or colour PNG with a transparent colour key makes that colour fully
// transparent, and anything else is opaque. Sixteen-bit samples keep their high byte.
// Damaged, truncated or oversized input is a kestrune::Error; nothing is returned half-done.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrune {

// The largest picture accepted, per side. The image list holds icons; this keeps a hostile
// header from asking for gigabytes (4096 x 4096 x 4 bytes = 64 MiB at most).
inline constexpr int kMaxPngSide = 4096;

struct DecodedPng {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;  // top row first, width * 4 bytes per row: B, G, R, A
};

// Throws kestrune::Error with a message beginning "Invalid PNG image" or "PNG image too large".
[[nodiscard]] DecodedPng DecodePng(std::span<const std::uint8_t> bytes);

// True when `bytes` begins with the 8-byte PNG signature.
[[nodiscard]] bool HasPngSignature(std::span<const std::uint8_t> bytes);

// Checks the signature and the header chunk and returns the picture's size; throws like
// DecodePng. Both sides call it before any pixel memory is allocated.
struct PngSize {
  int width = 0;
  int height = 0;
};
[[nodiscard]] PngSize CheckPngHeader(std::span<const std::uint8_t> bytes);

}  // namespace kestrune
