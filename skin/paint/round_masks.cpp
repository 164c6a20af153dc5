#include "skin/paint/round_masks.h"

#include <algorithm>
#include <cmath>

#include "skin/paint/masked_copy.h"
#include "skin/pixels/weighing.h"

namespace kestrune::skin {
namespace {

// Area inside the disc and inside [0, x] x [0, y], for x, y >= 0.
double QuadrantArea(double radius, double x, double y) {
  x = std::min(x, radius);
  y = std::min(y, radius);
  if (x * x + y * y <= radius * radius)
    return x * y;
  // Below the arc from a = sqrt(r^2 - y^2) on, full height y before it.
  const double a = std::sqrt(radius * radius - y * y);
  const auto integral = [radius](double t) {
    return 0.5 * (t * std::sqrt(std::max(radius * radius - t * t, 0.0)) +
                  radius * radius * std::asin(std::clamp(t / radius, -1.0, 1.0)));
  };
  return a * y + integral(x) - integral(a);
}

// Signed in each coordinate, so that a rectangle is four corner terms.
double SignedArea(double radius, double x, double y) {
  const double sign = (x < 0) != (y < 0) ? -1.0 : 1.0;
  return sign * QuadrantArea(radius, std::fabs(x), std::fabs(y));
}

std::shared_ptr<const TRoundMask> MakeMask(int radius) {
  auto mask = std::make_shared<TRoundMask>();
  mask->Radius = radius;
  mask->Side = 2 * radius + 1;
  mask->Values.resize(static_cast<std::size_t>(mask->Side) * static_cast<std::size_t>(mask->Side));
  // Pixel (x, y) covers [x - r - 0.5, x - r + 0.5] around the disc's centre.
  for (int y = 0; y < mask->Side; ++y) {
    for (int x = 0; x < mask->Side; ++x) {
      const double cx = x - radius, cy = y - radius;
      const double cover = DiscCoverage(radius, cx - 0.5, cy - 0.5, cx + 0.5, cy + 0.5);
      mask->Values[static_cast<std::size_t>(y * mask->Side + x)] =
          static_cast<std::uint8_t>(255 - std::clamp(std::nearbyint(cover * 255.0), 0.0, 255.0));
    }
  }
  return mask;
}

std::vector<std::shared_ptr<const TRoundMask>>& Cache() {
  static std::vector<std::shared_ptr<const TRoundMask>> cache;
  return cache;
}

}  // namespace

double DiscCoverage(double radius, double x0, double y0, double x1, double y1) {
  return SignedArea(radius, x1, y1) - SignedArea(radius, x0, y1) - SignedArea(radius, x1, y0) +
         SignedArea(radius, x0, y0);
}

std::shared_ptr<const TRoundMask> GetRoundMask(int radius) {
  if (radius < 1 || radius > kMaxRoundMaskRadius)
    return nullptr;
  auto& cache = Cache();
  for (const auto& mask : cache)
    if (mask->Radius == radius)
      return mask;
  auto mask = MakeMask(radius);
  if (cache.size() < kRoundMaskCacheSize)
    cache.push_back(mask);
  return mask;
}

void ClearRoundMasks() {
  Cache().clear();
}

std::size_t CachedRoundMasks() {
  return Cache().size();
}

int FitRadius(int radius, int width, int height) {
  return std::min(radius, std::min(width, height) / 2);
}

void UpdateCorners(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TCornerRadii& radii,
                   bool ext_source) {
  if (bmp.Empty() || r.IsEmpty())
    return;
  std::uint32_t fill = 0;
  const bool fill_known = ci.FillColor != clFuchsia;
  if (fill_known)
    fill = (SwapRedBlue(ColorToRGB(ci.FillColor)) & 0x00FFFFFFu) | 0xFF000000u;
  for (int corner = 0; corner < 4; ++corner) {
    const int radius = FitRadius(radii[static_cast<std::size_t>(corner)], r.Width(), r.Height());
    const auto mask = GetRoundMask(radius);
    if (!mask)
      continue;
    const bool right = corner == 1 || corner == 3, bottom = corner >= 2;
    const int qx = right ? radius : 0, qy = bottom ? radius : 0;
    const int px = std::max(right ? r.Right - radius - 1 : r.Left, 0);
    const int py = std::max(bottom ? r.Bottom - radius - 1 : r.Top, 0);
    for (int y = 0; y <= radius; ++y) {
      const int by = py + y;
      if (by >= bmp.Height())
        break;
      std::uint32_t* row = bmp.Row32(by);
      for (int x = 0; x <= radius; ++x) {
        const int bx = px + x;
        if (bx >= bmp.Width())
          break;
        const std::uint32_t m = mask->At(qx + x, qy + y);
        if (m == 0)
          continue;
        std::uint32_t back = 0x00FF00FFu;
        if (!(ci.Ready && ci.Bmp != nullptr && BackgroundPixel(ci, bx, by, back)))
          back = fill_known ? fill : 0x00FF00FFu;
        if (m == 255) {
          row[bx] = ext_source ? back : (back & 0x00FFFFFFu);
          continue;
        }
        row[bx] = MixAll(back, row[bx], m);
      }
    }
  }
}

}  // namespace kestrune::skin
