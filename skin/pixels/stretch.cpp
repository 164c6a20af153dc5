#include "skin/pixels/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/error.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

double Mitchell(double t) {
  if (t < 1)
    return 7.0 / 6.0 * t * t * t - 2.0 * t * t + 8.0 / 9.0;
  return -7.0 / 18.0 * t * t * t + 2.0 * t * t - 10.0 / 3.0 * t + 16.0 / 9.0;
}

// Support 1: 2t^3 - 3t^2 + 1, a smooth step with no negative lobes (masks stay in range).
double Hermite(double t) {
  return t < 1 ? (2.0 * t - 3.0) * t * t + 1.0 : 0.0;
}

struct Contribution {
  int index;
  std::int32_t weight;  // of 65536
};

// For each destination index, the source indexes and integer weights that make it.
struct Contributions {
  std::vector<std::size_t> first;  // start of each destination index's run in items
  std::vector<Contribution> items;
};

Contributions Contribute(int src_size, int dst_size, TFilterType filter) {
  const double support = filter == ftHermite ? 1.0 : 2.0;
  double (*kernel)(double) = filter == ftHermite ? Hermite : Mitchell;
  Contributions list;
  list.first.reserve(static_cast<std::size_t>(dst_size) + 1);
  const double e = dst_size < src_size ? static_cast<double>(dst_size) / src_size : 1.0;
  const double r = support / e;
  for (int i = 0; i < dst_size; ++i) {
    list.first.push_back(list.items.size());
    const double c = static_cast<double>(i) * src_size / dst_size;
    const auto top = static_cast<int>(std::ceil(c + r));
    const auto bottom = static_cast<int>(std::floor(c - r));
    for (int j = top; j >= bottom; --j) {
      const double t = std::fabs(c - j) * e;
      if (t >= support)
        continue;
      int index = j < 0 ? -j : j >= src_size ? 2 * src_size - j - 1 : j;
      // Mirroring alone cannot reach inside for a strong shrink of a tiny picture.
      index = std::clamp(index, 0, src_size - 1);
      list.items.push_back(
          {index, static_cast<std::int32_t>(std::nearbyint(kernel(t) * e * 65536.0))});
    }
  }
  list.first.push_back(list.items.size());
  return list;
}

std::uint32_t Resample(const Contributions& list, int i, const std::uint32_t* line,
                       std::ptrdiff_t step) {
  std::int64_t sum[4] = {0, 0, 0, 0};
  for (std::size_t k = list.first[static_cast<std::size_t>(i)];
       k < list.first[static_cast<std::size_t>(i) + 1]; ++k) {
    const std::uint32_t p = line[list.items[k].index * step];
    const std::int64_t w = list.items[k].weight;
    sum[0] += w * (p & 0xFF);
    sum[1] += w * ((p >> 8) & 0xFF);
    sum[2] += w * ((p >> 16) & 0xFF);
    sum[3] += w * (p >> 24);
  }
  std::uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    // Negative lobes can make a sum negative: that is black, not a wrapped-around white.
    const auto value = static_cast<std::uint32_t>(std::clamp<std::int64_t>(sum[c] >> 16, 0, 255));
    out |= value << (8 * c);
  }
  return out;
}

}  // namespace

void Stretch(const Bitmap& src, Bitmap& dst, int new_width, int new_height, TFilterType filter) {
  if (new_width <= 0 || new_height <= 0 || src.Width() < 2 || src.Height() < 2 ||
      src.PixelFormat() != TPixelFormat::pf32bit || &src == &dst)
    return;
  try {
    if (dst.Width() != new_width || dst.Height() != new_height ||
        dst.PixelFormat() != TPixelFormat::pf32bit)
      dst = Bitmap(new_width, new_height);
    if (new_width == src.Width() && new_height == src.Height()) {
      for (int y = 0; y < new_height; ++y)
        std::copy_n(src.Row32(y), new_width, dst.Row32(y));
      return;
    }
    const Contributions across = Contribute(src.Width(), new_width, filter);
    const Contributions down = Contribute(src.Height(), new_height, filter);
    Bitmap work = Bitmap::OnHeap(new_width, src.Height(), TPixelFormat::pf32bit, RowOrder::TopDown);
    for (int y = 0; y < src.Height(); ++y) {
      const std::uint32_t* line = src.Row32(y);
      std::uint32_t* out = work.Row32(y);
      for (int x = 0; x < new_width; ++x)
        out[x] = Resample(across, x, line, 1);
    }
    const std::ptrdiff_t step = work.RowDelta() / 4;
    for (int y = 0; y < new_height; ++y) {
      std::uint32_t* out = dst.Row32(y);
      for (int x = 0; x < new_width; ++x)
        out[x] = Resample(down, y, work.Row32(0) + x, step);
    }
  } catch (const Error&) {
    // Painting never raises: without memory for the picture dst stays as it was.
  }
}

}  // namespace kestrune::skin

namespace kestrune::skin {

void StretchBmpRect32(Bitmap& dst, TRect dst_rect, const Bitmap& src, TRect src_rect,
                      std::uint8_t opacity) {
  if (src.Empty() || dst.Empty() || src.PixelFormat() != TPixelFormat::pf32bit)
    return;
  src_rect.Left = std::max(src_rect.Left, 0);
  src_rect.Top = std::max(src_rect.Top, 0);
  src_rect.Right = std::min(src_rect.Right, src.Width());
  src_rect.Bottom = std::min(src_rect.Bottom, src.Height());
  const int w = dst_rect.Width(), h = dst_rect.Height();
  if (src_rect.IsEmpty() || w <= 0 || h <= 0)
    return;
  try {
    Bitmap part = Bitmap::OnHeap(src_rect.Width(), src_rect.Height(), TPixelFormat::pf32bit,
                                 RowOrder::TopDown);
    for (int y = 0; y < part.Height(); ++y)
      std::copy_n(src.Row32(src_rect.Top + y) + src_rect.Left, part.Width(), part.Row32(y));
    Bitmap scaled = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
    const bool filter =
        src_rect.Left == 0 && src_rect.Top == 0 && part.Width() >= 2 && part.Height() >= 2;
    if (filter) {
      Stretch(part, scaled, w, h);
    } else {
      // A cut-out is scaled as the platform's colour-on-colour stretch does: whole pixels
      // repeated or dropped, nothing mixed.
      for (int y = 0; y < h; ++y) {
        const std::uint32_t* line =
            part.Row32(static_cast<int>(std::int64_t{y} * part.Height() / h));
        std::uint32_t* out = scaled.Row32(y);
        for (int x = 0; x < w; ++x)
          out[x] = line[std::int64_t{x} * part.Width() / w];
      }
    }
    PaintBmpRect32(dst, scaled, Rect(0, 0, w - 1, h - 1), opacity, {dst_rect.Left, dst_rect.Top});
  } catch (const Error&) {
    // Painting never raises.
  }
}

}  // namespace kestrune::skin
