#include "skin/pixels/pixel_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/error.h"

namespace kestrune::skin {

namespace {

using u32 = std::uint32_t;
using i64 = std::int64_t;

constexpr u32 kAlphaMask = 0xFF000000u;
constexpr u32 kColorMask = 0x00FFFFFFu;
constexpr u32 kKeyPixel = 0x00FF00FFu;

constexpr u32 Alpha(u32 p) {
  return p >> 24;
}

bool Is32(const Bitmap& bmp) {
  return !bmp.Empty() && bmp.Storage() != nullptr && bmp.PixelFormat() == TPixelFormat::pf32bit;
}

// The part of a source rectangle (Right and Bottom included) that lands inside the destination.
struct Area {
  int sx, sy, dx, dy, w, h;
};

bool ClipSourceRect(const Bitmap& dst, const Bitmap& src, TRect sr, TPoint dp, Area& area) {
  if (!Is32(dst) || !Is32(src))
    return false;
  i64 l = sr.Left, t = sr.Top, dx = dp.X, dy = dp.Y;
  const i64 r = std::min<i64>(sr.Right, src.Width() - 1);
  const i64 b = std::min<i64>(sr.Bottom, src.Height() - 1);
  if (l < 0) {
    dx -= l;
    l = 0;
  }
  if (t < 0) {
    dy -= t;
    t = 0;
  }
  if (dx < 0) {
    l -= dx;
    dx = 0;
  }
  if (dy < 0) {
    t -= dy;
    dy = 0;
  }
  const i64 w = std::min(r - l + 1, dst.Width() - dx);
  const i64 h = std::min(b - t + 1, dst.Height() - dy);
  if (w < 1 || h < 1)
    return false;
  area = {static_cast<int>(l),  static_cast<int>(t), static_cast<int>(dx),
          static_cast<int>(dy), static_cast<int>(w), static_cast<int>(h)};
  return true;
}

u32 PixelOf(TColor color, std::uint8_t alpha) {
  return (SwapRedBlue(color) & kColorMask) | (u32{alpha} << 24);
}

u32 Ch(u32 pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

std::uint8_t Byte(u32 v) {
  return static_cast<std::uint8_t>(v);
}

u32 MakePixel(u32 a, u32 r, u32 g, u32 b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

// ---- Fills and blends ----

void FillRect32(Bitmap& bmp, TRect r, TColor color, std::uint8_t alpha) {
  if (!ClipToBitmap(bmp, r))
    return;
  const u32 value = PixelOf(color, alpha);
  for (int y = r.Top; y < r.Bottom; ++y)
    FillLongword(bmp.Row32(y) + r.Left, r.Width(), value);
}

void FillRect32Excl(Bitmap& bmp, TRect r, TRect exclude, TColor color, std::uint8_t alpha) {
  if (!ClipToBitmap(bmp, r))
    return;
  const u32 value = PixelOf(color, alpha);
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* row = bmp.Row32(y);
    if (y < exclude.Top || y >= exclude.Bottom || exclude.Right <= exclude.Left) {
      FillLongword(row + r.Left, r.Width(), value);
      continue;
    }
    const int cut_left = std::clamp(exclude.Left, r.Left, r.Right);
    const int cut_right = std::clamp(exclude.Right, r.Left, r.Right);
    FillLongword(row + r.Left, cut_left - r.Left, value);
    FillLongword(row + cut_right, r.Right - cut_right, value);
  }
}

namespace {

void BlendColorArea(Bitmap& bmp, TRect r, std::uint8_t a, TColor color, bool set_alpha,
                    std::uint8_t alpha) {
  const u32 c = SwapRedBlue(ColorToRGB(color)) & kColorMask;
  const u32 keep_mask = set_alpha ? 0u : kAlphaMask;
  const u32 new_alpha = set_alpha ? u32{alpha} << 24 : 0u;
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* row = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x)
      row[x] = Weigh<Lanes::Color>(row[x], a, c, 255u - a) | (row[x] & keep_mask) | new_alpha;
  }
}

}  // namespace

void BlendColorRect(Bitmap& bmp, TRect r, std::uint8_t a, TColor color) {
  if (r.Right < INT32_MAX)
    ++r.Right;
  if (r.Bottom < INT32_MAX)
    ++r.Bottom;
  if (ClipToBitmap(bmp, r))
    BlendColorArea(bmp, r, a, color, false, 0);
}

void BlendRect32(Bitmap& bmp, TRect r, TColor color, std::uint8_t blend, std::uint8_t alpha) {
  if (ClipToBitmap(bmp, r))
    BlendColorArea(bmp, r, blend, color, true, alpha);
}

void FillAlphaRect(Bitmap& bmp, TRect r, std::uint8_t value, TColor trans_color) {
  if (!ClipToBitmap(bmp, r))
    return;
  const bool keyed = trans_color != clNone;
  const u32 key = SwapRedBlue(trans_color) & kColorMask;
  const u32 alpha = u32{value} << 24;
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* row = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const u32 c = row[x] & kColorMask;
      row[x] = c | (keyed && c == key ? 0u : alpha);
    }
  }
}

// ---- Image composition ----

void SumBmpRect(Bitmap& dst, const Bitmap& src, std::uint8_t a, TRect src_rect, TPoint dst_point) {
  Area area{};
  if (!ClipSourceRect(dst, src, src_rect, dst_point, area))
    return;
  // s + (d - s) * A / 256: the destination has weight A.
  for (int y = 0; y < area.h; ++y) {
    const u32* s = src.Row32(area.sy + y) + area.sx;
    u32* d = dst.Row32(area.dy + y) + area.dx;
    for (int x = 0; x < area.w; ++x)
      d[x] = MixAll(d[x], s[x], a);
  }
}

void SumBitmaps(Bitmap& dst, const Bitmap& src, std::uint8_t a) {
  if (dst.Width() == src.Width() && dst.Height() == src.Height())
    SumBmpRect(dst, src, a, Rect(0, 0, src.Width() - 1, src.Height() - 1), {});
}

void PaintBmpRect32(Bitmap& dst, const Bitmap& src, TRect src_rect, std::uint8_t opacity,
                    TPoint dst_point) {
  Area area{};
  if (!ClipSourceRect(dst, src, src_rect, dst_point, area))
    return;
  for (int y = 0; y < area.h; ++y) {
    const u32* s = src.Row32(area.sy + y) + area.sx;
    u32* d = dst.Row32(area.dy + y) + area.dx;
    for (int x = 0; x < area.w; ++x) {
      const u32 m = opacity == 255 ? Alpha(s[x]) : Alpha(s[x]) * opacity >> 8;
      const u32 da = Alpha(d[x]);
      const u32 na = std::max(da, (m * m + da * (256 - m)) >> 8);
      d[x] = MixColor(s[x], d[x], m) | (na << 24);
    }
  }
}

void PaintBmp32(Bitmap& dst, const Bitmap& src) {
  PaintBmpRect32(dst, src, Rect(0, 0, src.Width() - 1, src.Height() - 1), 255, {});
}

namespace {

void CopyTransArea(Bitmap& dst, const Bitmap& src, int x, int y, TRect src_rect, u32 trans_color,
                   const TCacheInfo& ci, bool update_trans, bool blend, std::uint8_t a) {
  Area area{};
  if (!ClipSourceRect(dst, src, src_rect, {x, y}, area))
    return;
  const bool ready = update_trans && ci.Ready && ci.Bmp != nullptr;
  const bool onto_parent = ready && ci.Bmp == &dst;
  const bool from_parent = ready && !onto_parent && Is32(*ci.Bmp);
  const bool from_color = update_trans && !ci.Ready;
  const u32 fill =
      from_color ? (SwapRedBlue(ci.FillColor) & kColorMask) | (dst.Row32(0)[0] & kAlphaMask) : 0u;
  for (int row = 0; row < area.h; ++row) {
    const u32* s = src.Row32(area.sy + row) + area.sx;
    u32* d = dst.Row32(area.dy + row) + area.dx;
    const int py = area.dy + row + ci.Y;
    for (int col = 0; col < area.w; ++col) {
      if (s[col] == trans_color) {
        if (from_parent) {
          const int px = area.dx + col + ci.X;
          if (px >= 0 && py >= 0 && px < ci.Bmp->Width() && py < ci.Bmp->Height())
            d[col] = ci.Bmp->Row32(py)[px];
        } else if (from_color) {
          d[col] = fill;
        }
        continue;
      }
      u32 value = s[col];
      if (blend)
        value = MixColor(s[col], d[col], a) | (std::max<u32>(Alpha(d[col]), a) << 24);
      if (onto_parent)
        value |= kAlphaMask;
      d[col] = value;
    }
  }
}

}  // namespace

void CopyTransRect(Bitmap& dst, const Bitmap& src, int x, int y, TRect src_rect,
                   std::uint32_t trans_color, const TCacheInfo& ci, bool update_trans) {
  CopyTransArea(dst, src, x, y, src_rect, trans_color, ci, update_trans, false, 0);
}

void CopyTransRectA(Bitmap& dst, const Bitmap& src, int x, int y, TRect src_rect,
                    std::uint32_t trans_color, const TCacheInfo& ci, bool update_trans,
                    std::uint8_t a) {
  CopyTransArea(dst, src, x, y, src_rect, trans_color, ci, update_trans, true, a);
}

void CopyTransBitmaps(Bitmap& dst, const Bitmap& src, int x, int y, std::uint32_t trans_color) {
  CopyTransRect(dst, src, x, y, Rect(0, 0, src.Width() - 1, src.Height() - 1), trans_color, EmptyCI,
                false);
}

void BlendTransRectangle(Bitmap& dst, int x, int y, const Bitmap& src, TRect src_rect,
                         std::uint8_t blend, std::uint32_t trans_color) {
  Area area{};
  if (!ClipSourceRect(dst, src, src_rect, {x, y}, area))
    return;
  for (int row = 0; row < area.h; ++row) {
    const u32* s = src.Row32(area.sy + row) + area.sx;
    u32* d = dst.Row32(area.dy + row) + area.dx;
    for (int col = 0; col < area.w; ++col) {
      if (s[col] != trans_color)
        d[col] = Weigh<Lanes::All>(s[col], 255u - blend, d[col], blend);
    }
  }
}

void BlendTransBitmap(Bitmap& bmp, std::uint8_t blend, TColor color) {
  if (!Is32(bmp))
    return;
  const u32 c = SwapRedBlue(color) & kColorMask;
  for (int y = 0; y < bmp.Height(); ++y) {
    u32* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      if (row[x] != kKeyPixel)
        row[x] = Weigh<Lanes::Color>(row[x], blend, c, 255u - blend) | (row[x] & kAlphaMask);
    }
  }
}

void BlendBmpByMask(Bitmap& src_bmp, const Bitmap& msk_bmp, TsColor blend_color) {
  if (!Is32(src_bmp) || !Is32(msk_bmp) || src_bmp.Width() != msk_bmp.Width() ||
      src_bmp.Height() != msk_bmp.Height())
    return;
  // Channel order of the colour is R, G, B from the low byte; the pixel's is B, G, R.
  const u32 c[3] = {blend_color.B(), blend_color.G(), blend_color.R()};
  for (int y = 0; y < src_bmp.Height(); ++y) {
    u32* row = src_bmp.Row32(y);
    const u32* mask = msk_bmp.Row32(y);
    for (int x = 0; x < src_bmp.Width(); ++x) {
      u32 out = row[x] & kAlphaMask;
      for (int i = 0; i < 3; ++i) {
        const int shift = 8 * i;
        const u32 m = Ch(mask[x], shift);
        out |= ((Ch(row[x], shift) * m + c[i] * (256 - m)) >> 8) << shift;
      }
      row[x] = out;
    }
  }
}

namespace {

// Fills like a rounded rectangle drawn without outline: the last column and row of the given
// rectangle stay out, and the corners are cut by ellipses of the given diameters.
void FillRoundRect(Bitmap& bmp, TRect r, int diameter, u32 value) {
  const int right = r.Right - 1;
  const int bottom = r.Bottom - 1;
  const double e = diameter / 2.0;
  for (int y = std::max(r.Top, 0); y < std::min(bottom, bmp.Height()); ++y) {
    double inset = 0;
    if (diameter >= 2) {
      const double cy = y + 0.5;
      double dy = 0;
      if (cy < r.Top + e)
        dy = r.Top + e - cy;
      else if (cy > bottom - e)
        dy = cy - (bottom - e);
      if (dy > 0) {
        const double k = std::min(dy / e, 1.0);
        inset = e * (1.0 - std::sqrt(1.0 - k * k));
      }
    }
    const int x0 = std::max(static_cast<int>(std::ceil(r.Left + inset - 0.5)), 0);
    const int x1 = std::min(static_cast<int>(std::ceil(right - inset - 0.5)), bmp.Width());
    if (x1 > x0)
      FillLongword(bmp.Row32(y) + x0, x1 - x0, value);
  }
}

}  // namespace

void FadeBmp(Bitmap& faded_bmp, TRect r, int transparency, TColor color, int blur, int radius) {
  if (!ClipToBitmap(faded_bmp, r))
    return;
  try {
    const int w = r.Width(), h = r.Height();
    Bitmap bmp = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
    Bitmap mask = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
    for (int y = 0; y < h; ++y)
      std::copy_n(faded_bmp.Row32(r.Top + y) + r.Left, w, bmp.Row32(y));
    blur = std::max(std::min({blur, w / 2, h / 2}), 0);
    radius = std::max(std::min({radius, w / 2, h / 2}), 0);
    const int v = std::clamp(transparency, 0, 100) * 255 / 100;
    const double delta = (255 - v) / static_cast<double>(blur + 1);
    u32 ct = 0x00FFFFFFu;
    for (int i = 0; i <= blur; ++i) {
      FillRoundRect(mask, Rect(i, i, w - i, h - i), radius, ct);
      const auto grey = static_cast<u32>(std::nearbyint((blur - i) * delta)) + static_cast<u32>(v);
      ct = std::min(grey, 255u) * 0x010101u;
    }
    FillRoundRect(mask, Rect(blur, blur, w - blur, h - blur), blur, ct);
    BlendBmpByMask(bmp, mask, TsColor{static_cast<u32>(color)});
    for (int y = 0; y < h; ++y)
      std::copy_n(bmp.Row32(y), w, faded_bmp.Row32(r.Top + y) + r.Left);
  } catch (const Error&) {
    // Painting never raises: without scratch memory the rectangle stays as it was.
  }
}

namespace {

// Where CopyBmp32 draws: area pixel (x, y) is source pixel (l2 + x, t2 + y) and destination
// pixel (l1 + x, t1 + y).
struct CopyArea {
  int l1, t1, l2, t2, w, h;
};

// The area both rectangles and both bitmaps allow. A negative left (top) on either side moves
// both lefts (tops) by the same amount and shrinks the area by it.
bool ClipCopyArea(TRect r1, TRect r2, const Bitmap& bmp1, const Bitmap& bmp2, CopyArea& area) {
  i64 w = std::min<i64>(
      {r1.Width(), r2.Width(), i64{bmp1.Width()} - r1.Left, i64{bmp2.Width()} - r2.Left});
  i64 h = std::min<i64>(
      {r1.Height(), r2.Height(), i64{bmp1.Height()} - r1.Top, i64{bmp2.Height()} - r2.Top});
  i64 l1 = r1.Left, l2 = r2.Left, t1 = r1.Top, t2 = r2.Top;
  const auto cut_negative = [](i64& a, i64& b, i64& extent) {
    for (i64* side : {&a, &b}) {
      if (*side < 0) {
        const i64 cut = -*side;
        a += cut;
        b += cut;
        extent -= cut;
      }
    }
  };
  cut_negative(l1, l2, w);
  cut_negative(t1, t2, h);
  if (w < 1 || h < 1)
    return false;
  area = {static_cast<int>(l1), static_cast<int>(t1), static_cast<int>(l2),
          static_cast<int>(t2), static_cast<int>(w),  static_cast<int>(h)};
  return true;
}

// The colour a source pixel is drawn in: its own, or with a tint the tint at the pixel's grey.
class CopyTint {
 public:
  explicit CopyTint(TColor grayed_color) : on_(grayed_color != clNone) {
    if (!on_)
      return;
    // The tint with its largest channel lifted to 255, in pixel order.
    const auto gc = static_cast<u32>(grayed_color);
    const u32 tr = gc & 0xFFu, tg = (gc >> 8) & 0xFFu, tb = (gc >> 16) & 0xFFu;
    const u32 lift = 255u - std::max({tr, tg, tb});
    t_[0] = tb + lift;
    t_[1] = tg + lift;
    t_[2] = tr + lift;
  }

  [[nodiscard]] bool On() const { return on_; }
  [[nodiscard]] u32 operator()(u32 s) const {
    if (!on_)
      return s;
    const u32 g = (Ch(s, 16) >> 2) + (Ch(s, 8) >> 1) + (Ch(s, 0) >> 2);
    return MakePixel(Alpha(s), g * t_[2] >> 8, g * t_[1] >> 8, g * t_[0] >> 8);
  }

 private:
  bool on_;
  u32 t_[3] = {0, 0, 0};
};

// What every step of one CopyBmp32 call shares.
struct CopyLook {
  const CopyTint& tint;
  int blend;  // transparency in percent, 0..100
  u32 b;      // the opacity it leaves, of 255
};

bool Visible(u32 s) {
  return s != kKeyPixel && Alpha(s) > 16;
}

// The picture itself. With a ready parent only visible pixels are drawn; the others take the
// parent's colour when update_trans asks for it.
void CopyArea32(const CopyArea& area, Bitmap& bmp1, const Bitmap& bmp2, const TCacheInfo& ci,
                bool update_trans, const CopyLook& look) {
  const bool ready = ci.Ready && ci.Bmp != nullptr;
  const bool background = ready && update_trans && Is32(*ci.Bmp);
  for (int y = 0; y < area.h; ++y) {
    const int dy = area.t1 + y;
    const u32* s = bmp2.Row32(area.t2 + y) + area.l2;
    u32* d = bmp1.Row32(dy) + area.l1;
    for (int x = 0; x < area.w; ++x) {
      const u32 sp = s[x];
      if (ready && !Visible(sp)) {
        if (!background)
          continue;
        const i64 px = i64{area.l1} + x + ci.X;
        const i64 py = i64{dy} + ci.Y;
        if (py >= ci.Bmp->Height() || px < 0)
          continue;
        if (px >= ci.Bmp->Width() || py < 0)
          break;
        const u32 p = ci.Bmp->Row32(static_cast<int>(py))[px];
        d[x] = (d[x] & kAlphaMask) | (p & kColorMask);
        continue;
      }
      const u32 sa = Alpha(sp);
      const u32 da = Alpha(d[x]);
      const u32 m = look.blend == 0 ? sa : look.b * sa >> 8;
      u32 na = da;
      if (!look.tint.On() && look.blend == 0)
        na = std::max(da, sa);
      else if (look.tint.On() && !ready && look.blend == 0)
        na = ((255u - da) * sa + da * 256u) >> 8;
      d[x] = MixColor(look.tint(sp), d[x], m) | (na << 24);
    }
  }
}

// The mirrored picture below r1, fading out downwards; destination alpha kept.
void CopyReflection(const CopyArea& area, TRect r1, TRect r2, Bitmap& bmp1, const Bitmap& bmp2,
                    const CopyLook& look) {
  const int h2 = bmp2.Height();
  const i64 hr = std::min<i64>(h2 / 2 - 1, i64{bmp1.Height()} - r1.Bottom - 1);
  if (hr < 1)
    return;
  u32 fade = 255;
  const u32 fade_step = 255u / static_cast<u32>(h2);
  for (i64 k = 1; k <= hr; ++k) {
    const i64 sy = i64{r2.Bottom} - 1 - k;
    const i64 dy = i64{r1.Bottom} + k;
    if (sy < 0)
      break;
    if (sy >= h2 || dy < 0)
      continue;
    const u32* s = bmp2.Row32(static_cast<int>(sy)) + area.l2;
    u32* d = bmp1.Row32(static_cast<int>(dy)) + area.l1;
    for (int x = 0; x < area.w; ++x) {
      const u32 sp = s[x];
      if (!Visible(sp))
        continue;
      const auto share = static_cast<u32>(Alpha(sp) * static_cast<u32>(hr - k) / hr);
      u32 m = look.tint.On() ? share >> 2 : (share * fade) >> 9;
      if (look.blend != 0)
        m = m * look.b >> 8;
      d[x] = MixColor(look.tint(sp), d[x], m) | (d[x] & kAlphaMask);
    }
    fade -= std::min(fade, fade_step);
  }
}

}  // namespace

void CopyBmp32(TRect r1, TRect r2, Bitmap& bmp1, Bitmap& bmp2, const TCacheInfo& ci,
               bool update_trans, TColor grayed_color, int blend, bool reflected) {
  if (bmp2.Empty() || !Is32(bmp1))
    return;
  if (bmp2.PixelFormat() != TPixelFormat::pf32bit) {
    try {
      bmp2.SetPixelFormat(TPixelFormat::pf32bit);
    } catch (const Error&) {
      return;
    }
  }
  CopyArea area{};
  if (!ClipCopyArea(r1, r2, bmp1, bmp2, area))
    return;
  blend = std::clamp(blend, 0, 100);
  const CopyTint tint(grayed_color);
  const CopyLook look{tint, blend, static_cast<u32>(255 - blend * 255 / 100)};
  CopyArea32(area, bmp1, bmp2, ci, update_trans, look);
  if (reflected)
    CopyReflection(area, r1, r2, bmp1, bmp2, look);
}

// ---- Colour transforms ----

namespace {

struct Rgb {
  int r, g, b;
};

Rgb FromPixel(u32 p) {
  return {static_cast<int>(Ch(p, 16)), static_cast<int>(Ch(p, 8)), static_cast<int>(Ch(p, 0))};
}
u32 ToPixel(Rgb c, u32 keep) {
  return (keep & kAlphaMask) |
         MakePixel(0, static_cast<u32>(c.r), static_cast<u32>(c.g), static_cast<u32>(c.b));
}
Rgb FromColor(TColor c) {
  return FromPixel(SwapRedBlue(c));
}
TColor ToColor(Rgb c, TColor keep) {
  return static_cast<TColor>(SwapRedBlue(ToPixel(c, SwapRedBlue(keep))));
}

// 64-bit products: the values come from skin data and may be far outside -255..255.
int Brightness(int x, int value) {
  const i64 v = value;
  if (v > 0)
    return static_cast<int>(std::min<i64>(255, x + ((x * v) >> 8)));
  if (v < 0)
    return static_cast<int>(std::max<i64>(0, x - ((-v * x) >> 8)));
  return x;
}

Rgb Brightness(Rgb c, int value) {
  return {Brightness(c.r, value), Brightness(c.g, value), Brightness(c.b, value)};
}

Rgb Saturation(Rgb c, int value) {
  if (value == 0)
    return c;
  const int g = static_cast<int>(std::nearbyint(c.r * 0.299 + c.g * 0.587 + c.b * 0.114));
  const auto channel = [&](int x) {
    const i64 n = (i64{value} + 255) * x - i64{g} * value;
    if (n < 0)
      return 0;
    if (n >= 65536)
      return 255;
    return static_cast<int>(n >> 8);
  };
  return {channel(c.r), channel(c.g), channel(c.b)};
}

Rgb Hue(Rgb c, int value) {
  const double v = std::max({c.r, c.g, c.b});
  const double m = std::min({c.r, c.g, c.b});
  const double s = v == 0 ? 0 : (v - m) / v;
  if (s == 0)
    return c;
  const double rc = (v - c.r) * 60 / (v - m);
  const double gc = (v - c.g) * 60 / (v - m);
  const double bc = (v - c.b) * 60 / (v - m);
  double h;
  if (c.r == v)
    h = bc - gc;
  else if (c.g == v)
    h = 120 + rc - bc;
  else
    h = 240 + gc - rc;
  if (h < 0)
    h += 360;
  // A negative turn wraps into 0..359 rather than leaving the six sectors.
  double turned = std::fmod(std::trunc(value + h), 360.0);
  if (turned < 0)
    turned += 360;
  const auto hp = static_cast<int>(turned);
  const int i = hp / 60;
  const double f = hp / 60.0 - i;
  const auto limit = [](double x) { return static_cast<int>(std::clamp(x, 0.0, 255.0)); };
  const int vi = static_cast<int>(v);
  const int p = limit(v * (1 - s));
  const int q = limit(v * (1 - f * s));
  const int t = limit(v * (1 - (1 - f) * s));
  switch (i) {
    case 0:
      return {vi, t, p};
    case 1:
      return {q, vi, p};
    case 2:
      return {p, vi, t};
    case 3:
      return {p, q, vi};
    case 4:
      return {t, p, vi};
    default:
      return {vi, p, q};
  }
}

Rgb Tone(Rgb c, TColor tone) {
  const auto u = static_cast<u32>(tone);
  const int v = std::max({c.r, c.g, c.b});
  return {v * static_cast<int>(u & 0xFFu) >> 8, v * static_cast<int>((u >> 8) & 0xFFu) >> 8,
          v * static_cast<int>((u >> 16) & 0xFFu) >> 8};
}

}  // namespace

void ChangeBitmapPixels(Bitmap& bmp, TPixelProc proc, int value, TColor trans_color) {
  if (!Is32(bmp) || proc == nullptr)
    return;
  const bool keyed = trans_color != clNone;
  const u32 key = SwapRedBlue(trans_color);
  for (int y = 0; y < bmp.Height(); ++y) {
    u32* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      if (!keyed || row[x] != key)
        proc(row[x], value);
    }
  }
}

void ChangeColorBrightness(std::uint32_t& pixel, int value) {
  pixel = ToPixel(Brightness(FromPixel(pixel), value), pixel);
}
void ChangeColorSaturation(std::uint32_t& pixel, int value) {
  pixel = ToPixel(Saturation(FromPixel(pixel), value), pixel);
}
void ChangeColorHUE(std::uint32_t& pixel, int value) {
  pixel = ToPixel(Hue(FromPixel(pixel), value), pixel);
}
void ChangeColorTone(std::uint32_t& pixel, int value) {
  pixel = ToPixel(Tone(FromPixel(pixel), value), pixel);
}
void MakeAlphaPixel(std::uint32_t& pixel, int /*value*/) {
  pixel |= kAlphaMask;
}

TColor ChangeBrightness(TColor c, int value) {
  return ToColor(Brightness(FromColor(c), value), c);
}
TColor ChangeSaturation(int value, TColor c) {
  return ToColor(Saturation(FromColor(c), value), c);
}
TColor ChangeHue(int value, TColor c) {
  return ToColor(Hue(FromColor(c), value), c);
}
TColor ChangeTone(TColor c, TColor tone) {
  return ToColor(Tone(FromColor(c), tone), c);
}

// ---- Alpha preparation ----

void UpdateAlpha(Bitmap& bmp) {
  UpdateAlpha(bmp, Rect(0, 0, bmp.Width(), bmp.Height()), DesktopCompositionEnabled());
}

void UpdateAlpha(Bitmap& bmp, TRect r) {
  UpdateAlpha(bmp, r, DesktopCompositionEnabled());
}

void UpdateAlpha(Bitmap& bmp, TRect r, bool composition) {
  if (!ClipToBitmap(bmp, r))
    return;
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* row = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const u32 p = row[x];
      if (p == 0x00FFFFFFu) {
        row[x] = 0;
        continue;
      }
      const u32 a = Alpha(p);
      u32 rr = Ch(p, 16) * a >> 8, gg = Ch(p, 8) * a >> 8, bb = Ch(p, 0) * a >> 8;
      if (!composition && Ch(p, 16) >= 245 && Ch(p, 8) >= 245 && Ch(p, 0) >= 245) {
        rr = std::min(rr, 244u);
        gg = std::min(gg, 244u);
        bb = std::min(bb, 244u);
      }
      row[x] = MakePixel(a, rr, gg, bb);
    }
  }
}

void CheckEmptyAChannel(Bitmap& bmp) {
  if (!Is32(bmp))
    return;
  for (int y = 0; y < bmp.Height(); ++y) {
    const u32* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      if (Alpha(row[x]) != 0)
        return;
    }
  }
  const u32 key = bmp.Row32(bmp.Height() - 1)[0];
  for (int y = 0; y < bmp.Height(); ++y) {
    u32* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      if (row[x] != key)
        row[x] |= kAlphaMask;
    }
  }
}

std::uint8_t GrayOf(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint8_t>(std::nearbyint(r * 0.299 + g * 0.587 + b * 0.114));
}

namespace {

void GrayPixels(Bitmap& bmp, bool keyed, u32 key) {
  if (!Is32(bmp))
    return;
  for (int y = 0; y < bmp.Height(); ++y) {
    u32* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      const u32 p = row[x];
      if (keyed && p == key)
        continue;
      const u32 g = GrayOf(Byte(p >> 16), Byte(p >> 8), Byte(p));
      row[x] = (p & kAlphaMask) | g * 0x010101u;
    }
  }
}

}  // namespace

void GrayScale(Bitmap& bmp) {
  GrayPixels(bmp, false, 0);
}

void GrayScaleTrans(Bitmap& bmp, TColor trans_color) {
  GrayPixels(bmp, true, SwapRedBlue(trans_color));
}

void BmpDisabledKind(Bitmap& bmp, TsDisabledKind disabled_kind, TColor parent_color,
                     const TCacheInfo& ci, TPoint offset, const TsDisabledLook& look) {
  if (!Is32(bmp))
    return;
  if ((disabled_kind & dkGrayed) != 0) {
    if (look.Saturation == -100)
      GrayScale(bmp);
    else
      ChangeBitmapPixels(bmp, ChangeColorSaturation, look.Saturation * 255 / 100, clFuchsia);
  }
  if ((disabled_kind & dkBlended) == 0)
    return;
  if (ci.Ready && ci.Bmp != nullptr) {
    const int left = ci.X + offset.X, top = ci.Y + offset.Y;
    // No key colour: every parent pixel shows through.
    BlendTransRectangle(bmp, 0, 0, *ci.Bmp,
                        Rect(left, top, left + bmp.Width() - 1, top + bmp.Height() - 1), look.Blend,
                        static_cast<u32>(clNone));
  } else {
    const TColor fill = ci.FillColor == clFuchsia ? parent_color : ci.FillColor;
    BlendColorRect(bmp, Rect(0, 0, bmp.Width() - 1, bmp.Height() - 1), look.Blend, fill);
  }
}

}  // namespace kestrune::skin
