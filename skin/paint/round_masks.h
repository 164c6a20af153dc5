#pragma once
// Round-corner masks: for radius r a (2r + 1) x (2r + 1) square, white (255) outside and black
// (0) inside a disc of radius r centred on the middle pixel, grey by the exact share of each
// pixel that the disc covers. Computed by area, not by sampling, so every build gives the same
// bytes. Masks are made once per radius and kept in a bounded process-wide cache for the window
// thread.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

struct TRoundMask {
  int Radius = 0;
  int Side = 0;
  std::vector<std::uint8_t> Values;  // row by row, Side x Side
  [[nodiscard]] std::uint8_t At(int x, int y) const {
    return Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(Side) +
                  static_cast<std::size_t>(x)];
  }
};

// The area of the square [x0, x1] x [y0, y1] that lies inside the disc of the given radius
// centred at the origin.
[[nodiscard]] double DiscCoverage(double radius, double x0, double y0, double x1, double y1);

// The mask of radius r; null for r < 1 or r > kMaxRoundMaskRadius. Up to kRoundMaskCacheSize
// masks are kept; beyond that a mask is made for the caller alone.
[[nodiscard]] std::shared_ptr<const TRoundMask> GetRoundMask(int radius);
inline constexpr int kMaxRoundMaskRadius = 1024;
inline constexpr std::size_t kRoundMaskCacheSize = 32;
// Releases the cached masks.
void ClearRoundMasks();
[[nodiscard]] std::size_t CachedRoundMasks();

// Radii of the four corners: top-left, top-right, bottom-left, bottom-right; 0 or less is square.
using TCornerRadii = std::array<int, 4>;

// A radius fitted to a w x h control: at most min(w, h) div 2.
[[nodiscard]] int FitRadius(int radius, int width, int height);

// Rounds the corners of r in bmp against the background of ci: for each corner with radius
// r > 0 (fitted to r's size) the corner square of side r + 1 takes the background where the
// mask's quadrant is white, with alpha 0 unless ext_source, and moves towards it by the mask
// value where grey, alpha included. Without a known background the corners take 0x00FF00FF
// for a later refresh.
void UpdateCorners(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TCornerRadii& radii,
                   bool ext_source);

}  // namespace kestrune::skin
