#include "skin/pixels/blur.h"

#include "skin/pixels/weighing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrune::skin {

void MakeGaussianKernel(TGaussianKernel& k, double radius, double max_data,
                        double data_granularity) {
  k.Weights.fill(0);
  if (!(radius > 0)) {
    k.Size = 1;
    k.Weights[16] = 1;
    return;
  }
  double total = 0;
  for (int i = -16; i <= 16; ++i) {
    const double x = i / radius;
    const double w = std::nearbyint(std::exp(-x * x / 2));
    k.Weights[static_cast<std::size_t>(i + 16)] = w;
    total += w;
  }
  for (double& w : k.Weights)
    w /= total;
  int j = 16;
  double dropped = 0;
  const double limit = data_granularity / (2 * max_data);
  while (j > 1 && dropped < limit) {
    dropped += 2 * k.Weight(j);
    k.Weights[static_cast<std::size_t>(16 + j)] = 0;
    k.Weights[static_cast<std::size_t>(16 - j)] = 0;
    --j;
  }
  k.Size = j;
  total = 0;
  for (int i = -j; i <= j; ++i)
    total += k.Weight(i);
  for (double& w : k.Weights)
    w /= total;
}

void BlurRow8(std::uint8_t* row, int len, const TGaussianKernel& k, std::uint8_t* work) {
  if (len <= 0)
    return;
  for (int i = 0; i < len; ++i) {
    double sum = 0;
    for (int o = -k.Size; o <= k.Size; ++o)
      sum += k.Weight(o) * row[std::clamp(i + o, 0, len - 1)];
    work[i] = static_cast<std::uint8_t>(std::clamp(std::nearbyint(sum), 0.0, 255.0));
  }
  std::copy_n(work, len, row);
}

bool Blur8(Bitmap& bmp, double radius) {
  if (bmp.Empty() || bmp.Storage() == nullptr || bmp.PixelFormat() != TPixelFormat::pf8bit)
    return false;
  TGaussianKernel k;
  MakeGaussianKernel(k, radius, 255, 1);
  const int w = bmp.Width(), h = bmp.Height();
  std::vector<std::uint8_t> line(static_cast<std::size_t>(std::max(w, h)));
  std::vector<std::uint8_t> work(line.size());
  for (int y = 0; y < h; ++y)
    BlurRow8(bmp.Row8(y), w, k, work.data());
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y)
      line[static_cast<std::size_t>(y)] = bmp.Row8(y)[x];
    BlurRow8(line.data(), h, k, work.data());
    for (int y = 0; y < h; ++y)
      bmp.Row8(y)[x] = line[static_cast<std::size_t>(y)];
  }
  return true;
}

TRect GlowMaskRect(TRect r, int size) {
  const int grow = std::max(size, 0) + 4;
  return Rect(r.Left + 1 - grow, r.Top + 1 - grow, r.Right + 1 + grow, r.Bottom + 1 + grow);
}

void ApplyGlowMask(Bitmap& dst, const Bitmap& mask, TPoint origin, TColor color) {
  if (dst.Empty() || mask.Empty() || dst.PixelFormat() != TPixelFormat::pf32bit ||
      mask.PixelFormat() != TPixelFormat::pf8bit)
    return;
  const std::uint32_t c = SwapRedBlue(color) & 0x00FFFFFFu;
  const int y0 = std::max(0, -origin.Y), y1 = std::min(mask.Height(), dst.Height() - origin.Y);
  const int x0 = std::max(0, -origin.X), x1 = std::min(mask.Width(), dst.Width() - origin.X);
  for (int j = y0; j < y1; ++j) {
    const std::uint8_t* m = mask.Row8(j);
    std::uint32_t* d = dst.Row32(origin.Y + j);
    for (int i = x0; i < x1; ++i) {
      const std::uint32_t mv = m[i];
      if (mv == 255)
        continue;
      const std::uint32_t p = d[origin.X + i];
      std::uint32_t a = p >> 24;
      a += (255 - a) * (255 - mv) >> 8;
      d[origin.X + i] = (a << 24) | Weigh<Lanes::Color>(c, 255 - mv, p, mv);
    }
  }
}

}  // namespace kestrune::skin
