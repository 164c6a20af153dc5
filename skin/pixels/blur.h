#pragma once
// The small blur of text glow: a box-like Gaussian kernel over 8-bit grey masks, and the
// composition of a blurred mask as a coloured glow.

#include <array>
#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Weights for offsets -16..16; Size is the half-width actually used.
struct TGaussianKernel {
  int Size = 0;
  std::array<double, 33> Weights{};

  [[nodiscard]] double Weight(int offset) const {
    return Weights[static_cast<std::size_t>(offset + 16)];
  }
};

// Rounded Gaussian weights (each 0 or 1) normalised to 1, with tails dropped while their sum
// stays below DataGranularity / (2 * MaxData). A radius of 0 or less gives the identity.
void MakeGaussianKernel(TGaussianKernel& k, double radius, double max_data,
                        double data_granularity);
// Blurs len bytes in place; positions beyond the ends repeat the end bytes. work holds len bytes.
void BlurRow8(std::uint8_t* row, int len, const TGaussianKernel& k, std::uint8_t* work);
// Blurs the rows, then the columns, of an 8-bit bitmap; false (and no change) for other bitmaps.
bool Blur8(Bitmap& bmp, double radius);

// Where the glow mask of the text rectangle R lies: R moved by (1, 1), inflated by Size + 4.
[[nodiscard]] TRect GlowMaskRect(TRect r, int size);
// Lays a blurred 8-bit mask (255 = no glow) at origin over dst in the glow colour.
void ApplyGlowMask(Bitmap& dst, const Bitmap& mask, TPoint origin, TColor color);

}  // namespace kestrune::skin
