#include "skin/paint/masked_copy.h"

#include <algorithm>
#include <cstdint>

#include "platform/error.h"
#include "skin/pixels/stretch.h"
#include "skin/pixels/weighing.h"

namespace kestrune::skin {
namespace {

using u32 = std::uint32_t;
using i64 = std::int64_t;

constexpr u32 kKeyPixel = 0x00FF00FFu;

bool Usable(const Bitmap& bmp) {
  return !bmp.Empty() && bmp.Storage() != nullptr && bmp.PixelFormat() == TPixelFormat::pf32bit;
}

u32 Ch(u32 p, int shift) {
  return (p >> shift) & 0xFFu;
}

bool IsKey(u32 p) {
  return (p & 0x00FFFFFFu) == kKeyPixel;
}

// Source and destination corners and the size that fits both bitmaps; rows [sy, sy + h) plus
// extra_rows below must exist in src.
struct Area {
  int sx = 0, sy = 0, dx = 0, dy = 0, w = 0, h = 0;
};

bool Clip(const Bitmap& dst, int dx, int dy, const Bitmap& src, TRect sr, int extra_rows, Area& a) {
  if (!Usable(dst) || !Usable(src) || sr.IsEmpty())
    return false;
  i64 sx = sr.Left, sy = sr.Top, x = dx, y = dy, w = sr.Width(), h = sr.Height();
  const i64 cut_x = std::max<i64>({0, -sx, -x});
  const i64 cut_y = std::max<i64>({0, -sy, -y});
  sx += cut_x;
  x += cut_x;
  w -= cut_x;
  sy += cut_y;
  y += cut_y;
  h -= cut_y;
  w = std::min({w, src.Width() - sx, dst.Width() - x});
  h = std::min({h, src.Height() - extra_rows - sy, dst.Height() - y});
  if (w < 1 || h < 1)
    return false;
  a = {static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(x),
       static_cast<int>(y),  static_cast<int>(w),  static_cast<int>(h)};
  return true;
}

// (d * M + s * (256 - M)) shr 8, which is ((d - s) * M + s * 256) shr 8 without going negative.
u32 MaskChannel(u32 d, u32 s, u32 m) {
  return (d * m + s * (256 - m)) >> 8;
}

// s + (((a - 255) * (s - d)) asr 8): the source blended by its own alpha.
u32 AlphaChannel(u32 d, u32 s, u32 a) {
  const int v = static_cast<int>(s) +
                ((static_cast<int>(a) - 255) * (static_cast<int>(s) - static_cast<int>(d)) >> 8);
  return static_cast<u32>(std::clamp(v, 0, 255));
}

// The masked rule over an area, the mask mask_offset rows below the picture.
void MaskedArea(Bitmap& dst, const Bitmap& src, const Area& a, int mask_offset,
                const TCacheInfo& ci, bool update_trans, bool own_alpha, bool key_test) {
  const bool ready = ci.Ready && ci.Bmp != nullptr;
  for (int y = 0; y < a.h; ++y) {
    const u32* s = src.Row32(a.sy + y) + a.sx;
    const u32* m = src.Row32(a.sy + y + mask_offset) + a.sx;
    u32* d = dst.Row32(a.dy + y) + a.dx;
    for (int x = 0; x < a.w; ++x) {
      const u32 sp = s[x];
      if (update_trans) {
        const bool transparent = ready ? (own_alpha ? (sp >> 24) == 0 : IsKey(sp))
                                       : (key_test ? IsKey(sp) : (sp >> 24) == 0);
        if (transparent) {
          u32 back = 0;
          d[x] = BackgroundPixel(ci, a.dx + x, a.dy + y, back) ? (back | 0xFF000000u) : kKeyPixel;
          continue;
        }
      }
      const u32 dp = d[x];
      u32 out = 0xFF000000u;
      if (own_alpha) {
        const u32 alpha = sp >> 24;
        for (int shift = 0; shift < 24; shift += 8)
          out |= AlphaChannel(Ch(dp, shift), Ch(sp, shift), alpha) << shift;
      } else {
        const u32 mp = m[x];
        for (int shift = 0; shift < 24; shift += 8)
          out |= MaskChannel(Ch(dp, shift), Ch(sp, shift), Ch(mp, shift)) << shift;
      }
      d[x] = out;
    }
  }
}

// Nearest-pixel scaling of src_rect into a new top-down bitmap of w x h.
Bitmap ScaleNearest(const Bitmap& src, TRect src_rect, int w, int h) {
  Bitmap out = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
  for (int y = 0; y < h; ++y) {
    const u32* line =
        src.Row32(src_rect.Top + static_cast<int>(i64{y} * src_rect.Height() / h)) + src_rect.Left;
    u32* o = out.Row32(y);
    for (int x = 0; x < w; ++x)
      o[x] = line[i64{x} * src_rect.Width() / w];
  }
  return out;
}

bool InsideBitmap(const Bitmap& bmp, TRect r) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= bmp.Width() && r.Bottom <= bmp.Height() &&
         !r.IsEmpty();
}

// (d * (255 - o) + s * o) shr 8 per colour channel.
u32 Lay(u32 d, u32 s, u32 o) {
  return Weigh<Lanes::Color>(s, o, d, 255 - o);
}

// The alpha of an outer-effect pixel that is neither fully off nor fully on: taken when it was
// 0, kept at 255, raised to the mask's cover otherwise.
u32 RaiseAlpha(u32 da, u32 o, u32 cover) {
  if (da == 0)
    return o;
  if (da == 255)
    return 255;
  return std::max(da, cover);
}

// A copy of r of src with a one-pixel dimension doubled, so the filters have two samples.
Bitmap PieceForFilter(const Bitmap& src, TRect r) {
  const int w = std::max(r.Width(), 2), h = std::max(r.Height(), 2);
  Bitmap out = Bitmap::OnHeap(w, h, TPixelFormat::pf32bit, RowOrder::TopDown);
  for (int y = 0; y < h; ++y) {
    const u32* line = src.Row32(r.Top + std::min(y, r.Height() - 1)) + r.Left;
    for (int x = 0; x < w; ++x)
      out.Row32(y)[x] = line[std::min(x, r.Width() - 1)];
  }
  return out;
}

}  // namespace

bool BackgroundPixel(const TCacheInfo& ci, int x, int y, std::uint32_t& pixel) {
  if (ci.Ready && ci.Bmp != nullptr && Usable(*ci.Bmp)) {
    const int bx = x + ci.X, by = y + ci.Y;
    if (bx >= 0 && by >= 0 && bx < ci.Bmp->Width() && by < ci.Bmp->Height()) {
      pixel = ci.Bmp->Row32(by)[bx];
      return true;
    }
  }
  if (ci.FillColor == clFuchsia)
    return false;
  pixel = (SwapRedBlue(ColorToRGB(ci.FillColor)) & 0x00FFFFFFu) | 0xFF000000u;
  return true;
}

void CopyRect32(Bitmap& dst, int x, int y, const Bitmap& src, TRect src_rect) {
  Area a;
  if (!Clip(dst, x, y, src, src_rect, 0, a))
    return;
  for (int row = 0; row < a.h; ++row)
    std::copy_n(src.Row32(a.sy + row) + a.sx, a.w, dst.Row32(a.dy + row) + a.dx);
}

void StretchRect32(Bitmap& dst, TRect dst_rect, const Bitmap& src, TRect src_rect) {
  if (!Usable(dst) || !Usable(src) || dst_rect.IsEmpty() || !InsideBitmap(src, src_rect))
    return;
  const int w = dst_rect.Width(), h = dst_rect.Height();
  const int x0 = std::max(dst_rect.Left, 0), x1 = std::min(dst_rect.Right, dst.Width());
  const int y0 = std::max(dst_rect.Top, 0), y1 = std::min(dst_rect.Bottom, dst.Height());
  for (int y = y0; y < y1; ++y) {
    const u32* line =
        src.Row32(src_rect.Top + static_cast<int>(i64{y - dst_rect.Top} * src_rect.Height() / h)) +
        src_rect.Left;
    u32* out = dst.Row32(y);
    for (int x = x0; x < x1; ++x)
      out[x] = line[i64{x - dst_rect.Left} * src_rect.Width() / w];
  }
}

void CopyByMask(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                const TCacheInfo& ci, bool update_trans, const TsMaskData& md) {
  src_rect.Right = src_rect.Left + std::min(src_rect.Width(), dst_rect.Width());
  src_rect.Bottom = src_rect.Top + std::min(src_rect.Height(), dst_rect.Height());
  const bool own_alpha = HasOwnAlpha(md);
  const int offset = own_alpha ? 0 : MaskOffset(md);
  Area a;
  if (!Clip(dst, dst_rect.Left, dst_rect.Top, src, src_rect, offset, a))
    return;
  MaskedArea(dst, src, a, offset, ci, update_trans, own_alpha, (md.Cfg & 1) != 0);
}

void StretchBltMask(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                    const TCacheInfo& ci, bool update_trans, const TsMaskData& md) {
  const bool own_alpha = HasOwnAlpha(md);
  const int offset = own_alpha ? 0 : MaskOffset(md);
  TRect mask_rect = src_rect;
  mask_rect.Top += offset;
  mask_rect.Bottom += offset;
  const int w = dst_rect.Width(), h = dst_rect.Height();
  if (!Usable(dst) || !Usable(src) || w <= 0 || h <= 0 || !InsideBitmap(src, src_rect) ||
      !InsideBitmap(src, mask_rect))
    return;
  try {
    // Picture rows on top, mask rows below, both at the destination's size.
    Bitmap scaled = Bitmap::OnHeap(w, 2 * h, TPixelFormat::pf32bit, RowOrder::TopDown);
    const Bitmap picture = ScaleNearest(src, src_rect, w, h);
    const Bitmap mask = ScaleNearest(src, mask_rect, w, h);
    for (int y = 0; y < h; ++y) {
      std::copy_n(picture.Row32(y), w, scaled.Row32(y));
      std::copy_n(mask.Row32(y), w, scaled.Row32(h + y));
    }
    Area a;
    if (Clip(dst, dst_rect.Left, dst_rect.Top, scaled, Rect(0, 0, w, h), h, a))
      MaskedArea(dst, scaled, a, h, ci, update_trans, own_alpha, (md.Cfg & 1) != 0);
  } catch (const Error&) {
    // Painting never raises: without memory the piece is left out.
  }
}

void BlendGlyphByMask(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int width,
                      int height, int mask_offset, int added_transparency) {
  Area a;
  if (!Clip(dst, dx, dy, src, Rect(sx, sy, sx + width, sy + height), mask_offset, a))
    return;
  for (int y = 0; y < a.h; ++y) {
    const u32* s = src.Row32(a.sy + y) + a.sx;
    const u32* m = src.Row32(a.sy + y + mask_offset) + a.sx;
    u32* d = dst.Row32(a.dy + y) + a.dx;
    for (int x = 0; x < a.w; ++x) {
      const u32 sp = s[x], mp = m[x], dp = d[x];
      if (IsKey(sp) || Ch(mp, 16) == 255)
        continue;
      u32 out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        u32 weight = Ch(mp, shift);
        if (added_transparency != 1)
          weight = std::min<u32>(weight + 100, 255);
        out |= MaskChannel(Ch(dp, shift), Ch(sp, shift), weight) << shift;
      }
      const u32 da = dp >> 24;
      const u32 alpha = da + (((255 - da) * (255 - Ch(mp, 16))) >> 8);
      d[x] = out | (alpha << 24);
    }
  }
}

void BlendGlyphByAlpha(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int width,
                       int height, int added_transparency) {
  Area a;
  if (!Clip(dst, dx, dy, src, Rect(sx, sy, sx + width, sy + height), 0, a))
    return;
  for (int y = 0; y < a.h; ++y) {
    const u32* s = src.Row32(a.sy + y) + a.sx;
    u32* d = dst.Row32(a.dy + y) + a.dx;
    for (int x = 0; x < a.w; ++x) {
      const u32 sp = s[x], dp = d[x];
      const u32 sa = sp >> 24;
      if (sa == 0)
        continue;
      int m = 255 - static_cast<int>(sa);
      if (added_transparency != 1)
        m = std::min(m + 100, 255);
      u32 out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const int sc = static_cast<int>(Ch(sp, shift)), dc = static_cast<int>(Ch(dp, shift));
        out |= static_cast<u32>(std::clamp(sc - ((m * (sc - dc) + 255) >> 8), 0, 255)) << shift;
      }
      const u32 da = dp >> 24;
      const u32 alpha = da + (((255 - da) * (255 - static_cast<u32>(m))) >> 8);
      d[x] = out | (alpha << 24);
    }
  }
}

// Per pixel, with source S, mask M (half the entry's height lower) and destination D: the key
// colour shows the background of a ready ci (else clears D's alpha); otherwise
// o := (255 - M_r) * opacity shr 8 lays S over D by o, and D's alpha becomes o (255 - M_r with a
// ready ci) when it was 0, stays at 255, and is raised to 255 - M_r otherwise.
void CopyByMask32Ex(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                    const TCacheInfo& ci, const TsMaskData& md, std::uint8_t opacity) {
  src_rect.Right = src_rect.Left + std::min(src_rect.Width(), dst_rect.Width());
  src_rect.Bottom = src_rect.Top + std::min(src_rect.Height(), dst_rect.Height());
  const int offset = MaskOffset(md);
  Area a;
  if (!Clip(dst, dst_rect.Left, dst_rect.Top, src, src_rect, offset, a))
    return;
  const bool ready = ci.Ready && ci.Bmp != nullptr;
  for (int y = 0; y < a.h; ++y) {
    const u32* s = src.Row32(a.sy + y) + a.sx;
    const u32* m = src.Row32(a.sy + y + offset) + a.sx;
    u32* d = dst.Row32(a.dy + y) + a.dx;
    for (int x = 0; x < a.w; ++x) {
      const u32 sp = s[x], dp = d[x];
      if (sp == kKeyPixel) {
        u32 back = 0;
        if (ready && BackgroundPixel(ci, a.dx + x, a.dy + y, back))
          d[x] = back;
        else if (!ready)
          d[x] = dp & 0x00FFFFFFu;
        continue;
      }
      const u32 cover = 255 - Ch(m[x], 16);
      const u32 o = (cover * opacity) >> 8;
      const u32 da = dp >> 24;
      const u32 alpha = da == 0 ? (ready ? cover : o) : RaiseAlpha(da, o, cover);
      d[x] = Lay(dp, sp, o) | (alpha << 24);
    }
  }
}

void StretchBltMask32Ex(int dst_x, int dst_y, int dst_width, int dst_height, int src_x, int src_y,
                        int src_width, int src_height, Bitmap& dst, const Bitmap& src,
                        int mask_offset, std::uint8_t opacity, bool no_std_stretch) {
  if (dst_x < 0 || dst_y < 0 || dst_width <= 0 || dst_height <= 0 || !Usable(dst) || !Usable(src) ||
      dst.Width() < 2 || dst.Height() < 2)
    return;
  const TRect src_rect = Rect(src_x, src_y, src_x + src_width, src_y + src_height);
  TRect mask_rect = src_rect;
  mask_rect.Top += mask_offset;
  mask_rect.Bottom += mask_offset;
  if (!InsideBitmap(src, src_rect) || !InsideBitmap(src, mask_rect))
    return;
  const TRect dst_rect = Rect(dst_x, dst_y, dst_x + dst_width, dst_y + dst_height);
  if (mask_offset == 0) {
    StretchRect32(dst, dst_rect, src, src_rect);
    return;
  }
  const int w = std::min(dst_width, dst.Width() - dst_x);
  const int h = std::min(dst_height, dst.Height() - dst_y);
  if (w <= 0 || h <= 0)
    return;
  if (src_width == 1 && src_height == 1 && !no_std_stretch) {
    const u32 sp = src.Row32(src_y)[src_x];
    const u32 cover = 255 - Ch(src.Row32(mask_rect.Top)[src_x], 16);
    if (cover == 0)
      return;
    const u32 o = (cover * opacity) >> 8;
    for (int y = 0; y < h; ++y) {
      u32* d = dst.Row32(dst_y + y) + dst_x;
      for (int x = 0; x < w; ++x) {
        if (cover == 255) {
          d[x] = sp | 0xFF000000u;
          continue;
        }
        const u32 da = d[x] >> 24;
        const u32 alpha = da == 255 ? 255 : std::max(da, cover);
        d[x] = Lay(d[x], sp, o) | (alpha << 24);
      }
    }
    return;
  }
  try {
    const bool one_way = (w < src_width && h == src_height) || (h < src_height && w == src_width);
    Bitmap picture, mask;
    if ((no_std_stretch || one_way) && w > 1 && h > 1) {
      Stretch(PieceForFilter(src, src_rect), picture, w, h, ftMitchell);
      Stretch(PieceForFilter(src, mask_rect), mask, w, h, ftHermite);
    }
    if (picture.Width() != w || mask.Width() != w) {
      picture = ScaleNearest(src, src_rect, w, h);
      mask = ScaleNearest(src, mask_rect, w, h);
    }
    for (int y = 0; y < h; ++y) {
      const u32* s = picture.Row32(y);
      const u32* m = mask.Row32(y);
      u32* d = dst.Row32(dst_y + y) + dst_x;
      for (int x = 0; x < w; ++x) {
        const u32 mr = Ch(m[x], 16);
        if (mr == 255)
          continue;
        const u32 da = d[x] >> 24;
        if (mr == 0) {
          const u32 alpha = std::max(da, ((m[x] >> 24) * opacity) >> 8);
          d[x] = Lay(d[x], s[x], opacity) | (alpha << 24);
          continue;
        }
        const u32 o = ((255 - mr) * opacity) >> 8;
        d[x] = Lay(d[x], s[x], o) | (RaiseAlpha(da, o, 255 - mr) << 24);
      }
    }
  } catch (const Error&) {
    // Painting never raises: without memory the edge is left out.
  }
}

void FillTransPixels32(Bitmap& bmp, TRect r, const TCacheInfo& ci) {
  if (!Usable(bmp))
    return;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bmp.Width());
  r.Bottom = std::min(r.Bottom, bmp.Height());
  for (int y = r.Top; y < r.Bottom; ++y) {
    u32* d = bmp.Row32(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const u32 dp = d[x];
      const u32 a = dp >> 24;
      if (a == 255)
        continue;
      u32 p = 0;
      if (!BackgroundPixel(ci, x, y, p))
        return;
      if (dp == kKeyPixel) {
        d[x] = p;
        continue;
      }
      d[x] = MixColor(p, dp, 255 - a) | 0xFF000000u;
    }
  }
}

}  // namespace kestrune::skin
