#include "skin/paint/border_stroke.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "skin/pixels/weighing.h"

namespace kestrune::skin {
namespace {

// Length of [a0, a1] inside [b0, b1].
double Overlap(double a0, double a1, double b0, double b1) {
  return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

struct Path {
  double l, t, r, b;  // the line the pen runs along
  double half;        // half the pen width
  TCornerRadii radii;

  // Distance from p to the rounded rectangle's outline, signed (negative inside).
  [[nodiscard]] double Distance(double x, double y) const {
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double bx = (r - l) / 2, by = (b - t) / 2;
    const int corner = (x < cx ? 0 : 1) + (y < cy ? 0 : 2);
    const double radius = std::max(radii[static_cast<std::size_t>(corner)], 0);
    const double qx = std::fabs(x - cx) - bx + radius, qy = std::fabs(y - cy) - by + radius;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::min(std::max(qx, qy), 0.0) + std::sqrt(ox * ox + oy * oy) - radius;
  }

  // Exact share of pixel (x, y) under the stroke of a square-cornered frame, of 256.
  [[nodiscard]] int FrameWeight(int x, int y) const {
    const double x0 = x - 0.5, x1 = x + 0.5, y0 = y - 0.5, y1 = y + 0.5;
    const double outer = Overlap(x0, x1, l - half, r + half) * Overlap(y0, y1, t - half, b + half);
    const double inner = Overlap(x0, x1, l + half, r - half) * Overlap(y0, y1, t + half, b - half);
    return static_cast<int>(std::nearbyint((outer - inner) * 256.0));
  }

  // Sampled share of pixel (x, y) under the rounded stroke, of 256. A pixel whose centre lies
  // farther than half its diagonal from the stroke's edges is wholly in or out.
  [[nodiscard]] int SampledWeight(int x, int y) const {
    const double d = std::fabs(Distance(x, y));
    if (d >= half + 0.75)
      return 0;
    if (d <= half - 0.75)
      return 256;
    int count = 0;
    for (int j = 0; j < 8; ++j) {
      const double sy = y - 0.5 + (j + 0.5) / 8.0;
      for (int i = 0; i < 8; ++i) {
        const double sx = x - 0.5 + (i + 0.5) / 8.0;
        if (std::fabs(Distance(sx, sy)) <= half)
          ++count;
      }
    }
    return count * 4;
  }
};

void Lay(std::uint32_t& d, std::uint32_t color, std::uint32_t w) {
  const std::uint32_t a = d >> 24;
  d = MixColor(color, d, w) | ((a + (((255 - a) * w) >> 8)) << 24);
}

}  // namespace

void DrawBorderStroke(Bitmap& bmp, TRect r, int width, TColor color, const TCornerRadii& radii) {
  if (width <= 0 || r.IsEmpty() || bmp.Empty() || bmp.PixelFormat() != TPixelFormat::pf32bit)
    return;
  Path path{static_cast<double>(r.Left + width / 2),
            static_cast<double>(r.Top + width / 2),
            static_cast<double>(r.Right - width),
            static_cast<double>(r.Bottom - width),
            width / 2.0,
            radii};
  if (path.r < path.l || path.b < path.t)
    return;
  const std::uint32_t pixel = SwapRedBlue(color) & 0x00FFFFFFu;
  // Pixels that may be touched: within half a pen and a pixel of the path's rectangle.
  const int reach = width / 2 + 2;
  const int x0 = std::max(r.Left - 1, 0), x1 = std::min(r.Right + 1, bmp.Width());
  const int y0 = std::max(r.Top - 1, 0), y1 = std::min(r.Bottom + 1, bmp.Height());
  const auto in_corner = [&](int x, int y) {
    for (int corner = 0; corner < 4; ++corner) {
      const int radius = radii[static_cast<std::size_t>(corner)];
      if (radius <= 0)
        continue;
      const double cx = (corner & 1) != 0 ? path.r - radius : path.l + radius;
      const double cy = (corner & 2) != 0 ? path.b - radius : path.t + radius;
      const bool beyond_x = (corner & 1) != 0 ? x + 0.5 >= cx : x - 0.5 <= cx;
      const bool beyond_y = (corner & 2) != 0 ? y + 0.5 >= cy : y - 0.5 <= cy;
      if (beyond_x && beyond_y)
        return true;
    }
    return false;
  };
  const auto stroke = [&](std::uint32_t* row, int x, int y) {
    const int w = in_corner(x, y) ? path.SampledWeight(x, y) : path.FrameWeight(x, y);
    if (w > 0)
      Lay(row[x], pixel, static_cast<std::uint32_t>(std::min(w, 256)));
  };
  // Only the bands along the path's four sides can be touched.
  const int left_end = std::min(static_cast<int>(path.l) + reach + 1, x1);
  const int right_start = std::max(static_cast<int>(path.r) - reach, left_end);
  for (int y = y0; y < y1; ++y) {
    std::uint32_t* row = bmp.Row32(y);
    if (y <= path.t + reach || y >= path.b - reach) {
      for (int x = x0; x < x1; ++x)
        stroke(row, x, y);
      continue;
    }
    for (int x = x0; x < left_end; ++x)
      stroke(row, x, y);
    for (int x = right_start; x < x1; ++x)
      stroke(row, x, y);
  }
}

}  // namespace kestrune::skin
