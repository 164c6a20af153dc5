// The soft round shadow: one quarter of a disc is computed, mirrored to the other half, the
// upper half repeated below the body, and the middle row and column stretched over the body.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

using u32 = std::uint32_t;

// Far beyond any shadow of the program; the bitmap refuses larger ones anyway.
constexpr std::int64_t kMaxSide = 32768;

struct ShadowShape {
  int radius;
  double inner;
  double blur;
  u32 rgb;    // memory order, no alpha
  u32 alpha;  // the colour's high byte
  bool mask;
};

// The pixel at distance f from the disc's centre.
u32 ShadowPixel(const ShadowShape& s, double f) {
  const double radius = s.radius;
  if (f > radius)
    return s.mask ? 0xFFFFFFFFu : 0u;
  double g = 255;
  // A rim of no width (radius 0) is all core.
  if (f >= s.inner && radius > s.inner) {
    if (s.mask)
      g = (1 - (f - s.inner) / (s.blur + 1)) * 255 * (radius + 1 - f) / (s.blur + 1);
    else
      g = (radius - f + 1) * (1 - (f - s.inner) / (radius - s.inner)) / (radius - s.inner) * 255;
  }
  const auto level = static_cast<u32>(std::clamp(std::nearbyint(g), 0.0, 255.0));
  if (s.mask) {
    const u32 grey = (255 * (255 - level) + s.alpha * level) >> 8;
    return 0xFF000000u | grey << 16 | grey << 8 | grey;
  }
  return (level * s.alpha >> 8) << 24 | s.rgb;
}

}  // namespace

Bitmap MakeShadow(const TsShadowParams& params) {
  const int radius = std::max(params.Radius, 0);
  const int offset = std::max(params.Offset, 0);
  const int body_height = std::max(params.BodyHeight, 0);
  const int body_width = std::max(params.BodyWidth, 0);
  const int blur_size = params.BlurSize;
  const bool mask_mode = params.MaskMode;
  const std::int64_t w64 = 2 * std::int64_t{radius} + body_width + 1;
  const std::int64_t h64 = 2 * std::int64_t{radius} + body_height + offset + 1;
  if (w64 > kMaxSide || h64 > kMaxSide)
    return Bitmap();
  Bitmap bmp = CreateBmp32(static_cast<int>(w64), static_cast<int>(h64));
  if (bmp.Empty())
    return bmp;
  const int w = bmp.Width();
  const int h = bmp.Height();

  const auto c = static_cast<u32>(params.Color);
  ShadowShape shape{radius,
                    blur_size > 0 ? static_cast<double>(radius) - blur_size : 0.0,
                    blur_size > 0 ? static_cast<double>(blur_size) : static_cast<double>(radius),
                    SwapRedBlue(c & 0xFFFFFFu),
                    c >> 24,
                    mask_mode};
  const u32 fill = mask_mode ? 0xFFFFFFFFu : shape.rgb;
  for (int y = 0; y < h; ++y)
    std::fill(bmp.Row32(y), bmp.Row32(y) + w, fill);

  // The upper half of the disc, each row mirrored and repeated below the body.
  const int centre_y = radius + offset;
  for (int y = offset; y <= centre_y; ++y) {
    u32* row = bmp.Row32(y);
    for (int x = 0; x <= radius; ++x) {
      const double dx = x - radius;
      const double dy = y - centre_y;
      const u32 pixel = ShadowPixel(shape, std::sqrt(dx * dx + dy * dy));
      row[x] = pixel;
      row[2 * radius - x] = pixel;
    }
    std::copy(row, row + 2 * radius + 1,
              bmp.Row32(2 * radius + offset + body_height - (y - offset)));
  }
  for (int y = centre_y + 1; y <= centre_y + body_height; ++y)
    std::copy(bmp.Row32(centre_y), bmp.Row32(centre_y) + w, bmp.Row32(y));

  // The right half moves to the right edge, the middle column fills the body between.
  for (int y = 0; y < h; ++y) {
    u32* row = bmp.Row32(y);
    std::copy_backward(row + radius + 1, row + 2 * radius + 1, row + w);
    std::fill(row + radius + 1, row + radius + 1 + body_width, row[radius]);
  }

  if (params.DoUpdateAlpha)
    UpdateAlpha(bmp);
  return bmp;
}

}  // namespace kestrune::skin
