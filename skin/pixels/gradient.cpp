// Drawing gradients into 32-bit bitmaps.
//
// Directions 0 and 1 are walked segment by segment; a solid segment steps each channel by a
// floating-point increment and rounds (half to even) per line, as the skins were designed
// against, and an alpha segment blends the two colours linearly with their alpha over the
// background. Positions are computed in 64 bits and every write is clipped to the rectangle,
// so hostile offsets or percentages cannot reach outside the bitmap.

#include "skin/pixels/gradient.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/pixels/gradient_platform.h"
#include "skin/pixels/weighing.h"

namespace kestrune::skin {
namespace {

using u32 = std::uint32_t;

constexpr u32 kOpaque = 0xFF000000u;

// Exact round(x / 255) for x in 0..255 * 255.
constexpr u32 Div255(u32 x) {
  return (x + 128 + ((x + 128) >> 8)) >> 8;
}

u32 Channel(TColor c, int shift) {
  return (static_cast<u32>(c) >> shift) & 0xFFu;
}

// Source-over of a pixel with alpha onto a destination pixel, both in memory order.
u32 BlendOver(u32 src, u32 dst) {
  const u32 a = src >> 24;
  u32 out = (a + Div255((dst >> 24) * (255 - a))) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const u32 s = (src >> shift) & 0xFFu;
    const u32 d = (dst >> shift) & 0xFFu;
    out |= Div255(s * a + d * (255 - a)) << shift;
  }
  return out;
}

// The colours of count lines from line skip of a segment that starts at the first colour, each
// channel growing by (second - first) / steps per line. Skipped lines (clipped away) are
// jumped over by one multiplication so that a far-off start costs nothing.
std::vector<u32> SteppedColors(TColor first, TColor second, std::int64_t steps, std::int64_t skip,
                               std::int64_t count) {
  std::vector<u32> colors(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  double value[3];
  double step[3];
  for (int i = 0; i < 3; ++i) {
    const auto c0 = static_cast<double>(Channel(first, 8 * i));
    step[i] = (static_cast<double>(Channel(second, 8 * i)) - c0) / static_cast<double>(steps);
    value[i] = skip == 0 ? c0 : c0 + static_cast<double>(skip) * step[i];
  }
  for (auto& pixel : colors) {
    u32 rgb[3];
    for (int i = 0; i < 3; ++i) {
      rgb[i] = static_cast<u32>(std::clamp(std::nearbyint(value[i]), 0.0, 255.0));
      value[i] += step[i];
    }
    pixel = kOpaque | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
  }
  return colors;
}

// Colour (with alpha, memory order) of line i of an alpha segment of m lines. The linear
// gradient runs from the line before the segment (first colour) to the line after it (second),
// each line sampled at its centre.
u32 AlphaSegmentColor(TColor first, TColor second, std::int64_t i, std::int64_t m) {
  const auto den = static_cast<std::uint64_t>(2 * m + 2);
  const auto num = static_cast<std::uint64_t>(2 * i + 3);
  u32 out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint64_t c0 = Channel(first, shift);
    const std::uint64_t c1 = Channel(second, shift);
    out |= static_cast<u32>((c0 * (den - num) + c1 * num + den / 2) / den) << shift;
  }
  return SwapRedBlue(out);
}

// Receives the segments of a gradient in drawing order. Positions are rows (direction 0) or
// columns (direction 1) and already clipped to the rectangle.
class SegmentSink {
 public:
  virtual ~SegmentSink() = default;
  // colors[i] is the opaque colour of line first + i.
  virtual void Solid(int first, const std::vector<u32>& colors) = 0;
  // Lines first .. last - 1 of an alpha segment of m lines beginning at line start.
  virtual void Alpha(int first, int last, std::int64_t start, std::int64_t m, TColor c0,
                     TColor c1) = 0;
};

struct Clip {
  std::int64_t low;
  std::int64_t high;  // exclusive
};

// Emits the solid run of count lines from line start, stepping over steps, dropping the lines
// outside the clip.
void EmitSolid(SegmentSink& sink, Clip clip, std::int64_t start, std::int64_t count,
               std::int64_t steps, TColor c0, TColor c1) {
  const std::int64_t from = std::max(start, clip.low);
  const std::int64_t to = std::min(start + count, clip.high);
  if (from < to)
    sink.Solid(static_cast<int>(from), SteppedColors(c0, c1, steps, from - start, to - from));
}

void EmitAlpha(SegmentSink& sink, Clip clip, std::int64_t start, std::int64_t end, TColor c0,
               TColor c1) {
  const std::int64_t from = std::max(start, clip.low);
  const std::int64_t to = std::min(end, clip.high);
  if (from < to)
    sink.Alpha(static_cast<int>(from), static_cast<int>(to), start, end - start, c0, c1);
}

bool HasAlpha(const TsGradPoint& a, const TsGradPoint& b) {
  return ((a.Mode | b.Mode) & PM_TRANSPARENT) != 0;
}

// Direction 0: rows from r.Top + offset_y, the gradient being offset_y + H(r) rows tall.
void WalkRows(const TsGradArray& data, TRect r, int offset_y, bool with_alpha, SegmentSink& sink) {
  const Clip clip{r.Top, r.Bottom};
  const std::int64_t limit = r.Bottom;
  const std::int64_t length = std::int64_t{offset_y} + r.Height();
  std::int64_t y0 = std::int64_t{r.Top} + offset_y;
  for (std::size_t k = 1; k < data.size(); ++k) {
    const TsGradPoint& p0 = data[k - 1];
    const TsGradPoint& p1 = data[k];
    std::int64_t y1 = y0 + (std::int64_t{p1.Percent} - p0.Percent) * length / 100;
    y1 = k + 1 == data.size() ? limit : std::min(y1, limit);
    if (y1 > y0) {
      if (with_alpha && HasAlpha(p0, p1))
        EmitAlpha(sink, clip, y0, y1, p0.Color, p1.Color);
      else
        EmitSolid(sink, clip, y0, y1 - y0, y1 - y0, p0.Color, p1.Color);
    }
    y0 = y1;
  }
}

// Direction 1: columns; a solid segment covers x0 .. x1 inclusive, its last column being
// overwritten by the next segment.
void WalkColumns(const TsGradArray& data, TRect r, bool with_alpha, SegmentSink& sink) {
  const Clip clip{r.Left, r.Right};
  const double scale = r.Width() / 100.0;
  std::int64_t x0 = r.Left;
  for (std::size_t k = 1; k < data.size(); ++k) {
    const TsGradPoint& p0 = data[k - 1];
    const TsGradPoint& p1 = data[k];
    const bool last = k + 1 == data.size();
    std::int64_t x1 = static_cast<std::int64_t>(std::nearbyint(
        static_cast<double>(x0) + (static_cast<double>(p1.Percent) - p0.Percent) * scale));
    if (with_alpha && HasAlpha(p0, p1)) {
      x1 = last ? r.Right : std::min<std::int64_t>(x1, r.Right);
      if (x1 > x0)
        EmitAlpha(sink, clip, x0, x1, p0.Color, p1.Color);
    } else {
      x1 = last ? r.Right - 1 : std::min<std::int64_t>(x1, r.Right - 1);
      const std::int64_t m = x1 - x0;
      if (m > 0)
        EmitSolid(sink, clip, x0, m + 1, m, p0.Color, p1.Color);
    }
    x0 = x1;
  }
}

class RowPainter : public SegmentSink {
 public:
  RowPainter(Bitmap& bmp, TRect r) : bmp_(bmp), r_(r) {}

  void Solid(int first, const std::vector<u32>& colors) override {
    for (std::size_t i = 0; i < colors.size(); ++i) {
      u32* row = bmp_.Row32(first + static_cast<int>(i));
      std::fill(row + r_.Left, row + r_.Right, colors[i]);
    }
  }
  void Alpha(int first, int last, std::int64_t start, std::int64_t m, TColor c0,
             TColor c1) override {
    for (int y = first; y < last; ++y) {
      const u32 src = AlphaSegmentColor(c0, c1, y - start, m);
      u32* row = bmp_.Row32(y);
      for (int x = r_.Left; x < r_.Right; ++x)
        row[x] = BlendOver(src, row[x]);
    }
  }

 private:
  Bitmap& bmp_;
  TRect r_;
};

class ColumnPainter : public SegmentSink {
 public:
  ColumnPainter(Bitmap& bmp, TRect r) : bmp_(bmp), r_(r) {}

  void Solid(int first, const std::vector<u32>& colors) override {
    for (int y = r_.Top; y < r_.Bottom; ++y)
      std::copy(colors.begin(), colors.end(), bmp_.Row32(y) + first);
  }
  void Alpha(int first, int last, std::int64_t start, std::int64_t m, TColor c0,
             TColor c1) override {
    std::vector<u32> colors;
    for (int x = first; x < last; ++x)
      colors.push_back(AlphaSegmentColor(c0, c1, x - start, m));
    for (int y = r_.Top; y < r_.Bottom; ++y) {
      u32* row = bmp_.Row32(y) + first;
      for (std::size_t i = 0; i < colors.size(); ++i)
        row[i] = BlendOver(colors[i], row[i]);
    }
  }

 private:
  Bitmap& bmp_;
  TRect r_;
};

// Mixes each gradient colour with the tiled texture; alpha segments count as solid here.
class TexturePainter : public SegmentSink {
 public:
  TexturePainter(Bitmap& bmp, TRect r, bool rows, const Bitmap& texture, TRect tr,
                 u32 alpha_channel, u32 texture_alpha)
      : bmp_(bmp),
        r_(r),
        rows_(rows),
        texture_(texture),
        tr_(tr),
        alpha_(alpha_channel << 24),
        b_(texture_alpha) {}

  void Solid(int first, const std::vector<u32>& colors) override {
    const int lines = static_cast<int>(colors.size());
    if (rows_) {
      for (int i = 0; i < lines; ++i)
        for (int x = r_.Left; x < r_.Right; ++x)
          Mix(x, first + i, colors[static_cast<std::size_t>(i)]);
    } else {
      for (int y = r_.Top; y < r_.Bottom; ++y)
        for (int i = 0; i < lines; ++i)
          Mix(first + i, y, colors[static_cast<std::size_t>(i)]);
    }
  }
  // Not reached: the texture walk draws alpha segments as solid ones.
  void Alpha(int, int, std::int64_t, std::int64_t, TColor, TColor) override {}

 private:
  void Mix(int x, int y, u32 g) {
    const int tw = tr_.Width();
    const int th = tr_.Height();
    const u32 t = texture_.Row32(tr_.Top + y % th)[tr_.Left + x % tw];
    // (b * (t - g) + g * 256) shr 8 is t over g with weight b.
    bmp_.Row32(y)[x] = alpha_ | MixColor(t, g, b_);
  }

  Bitmap& bmp_;
  TRect r_;
  bool rows_;
  const Bitmap& texture_;
  TRect tr_;
  u32 alpha_;
  u32 b_;
};

// The overlay corner gradient: four triangles from the centre to each side, colours with
// their alpha interpolated over each triangle (the path gradient of a rectangle with a centre
// colour) and laid over the background. Integer arithmetic on doubled coordinates, so pixel
// centres are whole numbers.
struct Vertex {
  std::int64_t x;
  std::int64_t y;
  TColor color;
};

std::int64_t Edge(const Vertex& a, const Vertex& b, std::int64_t px, std::int64_t py) {
  return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// The pixel (memory order, with alpha) at (px, py) when it lies in the triangle.
bool TriangleColor(const Vertex& a, const Vertex& b, const Vertex& c, std::int64_t px,
                   std::int64_t py, u32& out) {
  std::int64_t area = Edge(a, b, c.x, c.y);
  std::int64_t wa = Edge(b, c, px, py);
  std::int64_t wb = Edge(c, a, px, py);
  std::int64_t wc = Edge(a, b, px, py);
  if (area < 0) {
    area = -area;
    wa = -wa;
    wb = -wb;
    wc = -wc;
  }
  if (area == 0 || wa < 0 || wb < 0 || wc < 0)
    return false;
  u32 color = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::int64_t v =
        wa * Channel(a.color, shift) + wb * Channel(b.color, shift) + wc * Channel(c.color, shift);
    color |= static_cast<u32>((v + area / 2) / area) << shift;
  }
  out = SwapRedBlue(color);
  return true;
}

void PaintCornerOverlay(Bitmap& bmp, TRect r, const TsGradArray& data) {
  const std::int64_t l = 2 * std::int64_t{r.Left};
  const std::int64_t t = 2 * std::int64_t{r.Top};
  const std::int64_t rr = 2 * std::int64_t{r.Right};
  const std::int64_t b = 2 * std::int64_t{r.Bottom};
  const Vertex centre{l / 2 + rr / 2, t / 2 + b / 2, data[1].Color};
  const Vertex corners[4] = {
      {l, t, data[0].Color}, {rr, t, data[2].Color}, {rr, b, data[3].Color}, {l, b, data[4].Color}};
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* row = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x) {
      u32 src = 0;
      for (int i = 0; i < 4; ++i)
        if (TriangleColor(centre, corners[i], corners[(i + 1) % 4], 2 * x + 1, 2 * y + 1, src))
          break;
      row[x] = BlendOver(src, row[x]);
    }
  }
}

}  // namespace

void PaintGrad(Bitmap& bmp, TRect r, const TsGradArray& data, int /*offset_x*/, int offset_y) {
  if (data.empty() || !ClipToBitmap(bmp, r))
    return;
  switch (data.front().Mode & MASK_DIRECTION) {
    case 0: {
      RowPainter painter(bmp, r);
      WalkRows(data, r, offset_y, true, painter);
      break;
    }
    case PM_VERTICAL: {
      ColumnPainter painter(bmp, r);
      WalkColumns(data, r, true, painter);
      break;
    }
    case PM_DIAGONAL:
      if (data.size() < 5)
        break;
      if ((data.front().Mode & PM_OVERLAY) != 0)
        PaintCornerOverlay(bmp, r, data);
      else
        PaintCornerGradient(bmp, r, data);
      break;
    default:
      break;
  }
}

void PaintGradTxt(Bitmap& bmp, TRect r, const TsGradArray& data, const Bitmap& texture_bmp,
                  TRect texture_rect, std::uint8_t alpha_channel, std::uint8_t texture_alpha) {
  if (data.empty() || !ClipToBitmap(bmp, r))
    return;
  // The texture rectangle must lie within the texture for the tiling to stay inside it.
  if (texture_bmp.Empty() || texture_bmp.PixelFormat() != TPixelFormat::pf32bit ||
      texture_rect.Left < 0 || texture_rect.Top < 0 || texture_rect.IsEmpty() ||
      texture_rect.Right > texture_bmp.Width() || texture_rect.Bottom > texture_bmp.Height())
    return;
  const int direction = data.front().Mode & MASK_DIRECTION;
  if (direction != 0 && direction != PM_VERTICAL)
    return;
  TexturePainter painter(bmp, r, direction == 0, texture_bmp, texture_rect, alpha_channel,
                         texture_alpha);
  if (direction == 0)
    WalkRows(data, r, 0, false, painter);
  else
    WalkColumns(data, r, false, painter);
}

}  // namespace kestrune::skin
