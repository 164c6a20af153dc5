#include "skin/paint/item_paint.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/error.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/border_stroke.h"
#include "skin/paint/masked_copy.h"
#include "skin/paint/nine_slice.h"
#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr TRect kAllCovered{-1, -1, -1, -1};

bool ValidSection(const TacSkinData& sd, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < sd.gd.size();
}

bool ValidImage(const TacSkinData& sd, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < sd.ma.size();
}

bool InsideBmp(const Bitmap& bmp, TRect r) {
  return !r.IsEmpty() && r.Left >= 0 && r.Top >= 0 && r.Right <= bmp.Width() &&
         r.Bottom <= bmp.Height();
}

int ClampFrame(const TsMaskData& md, int state) {
  return std::clamp(state, 0, std::max(md.ImageCount - 1, 0));
}

TRect TextureRect(const TsMaskData& md) {
  return Rect(md.R.Left, md.R.Top, md.R.Left + md.Width, md.R.Top + md.Height);
}

void Fill(Bitmap& bmp, TRect r, TColor color) {
  FillRect32(bmp, r, ColorToRGB(color), 255);
}

// Copies r of the parent's picture under r of bmp, from (ci.X + pp.X, ci.Y + pp.Y).
void CopyParent(Bitmap& bmp, TRect r, const TCacheInfo& ci, TPoint pp) {
  if (ci.Bmp == nullptr || ci.Bmp == &bmp)
    return;
  CopyRect32(bmp, r.Left, r.Top, *ci.Bmp,
             Rect(ci.X + pp.X, ci.Y + pp.Y, ci.X + pp.X + r.Width(), ci.Y + pp.Y + r.Height()));
}

// One piece of a frame: tiled or stretched edges and centre, corners as they are.
template <typename Copy>
void DrawPiece(const TSlicePiece& piece, bool stretch, Copy&& copy) {
  const int tw = piece.Src.Width(), th = piece.Src.Height();
  if (piece.IsCorner()) {
    copy(piece.Dst, piece.Src, false);
    return;
  }
  if (stretch) {
    copy(piece.Dst, piece.Src, true);
    return;
  }
  ForEachTile(piece.Dst, tw, th, [&](int x, int y, int w, int h) {
    copy(Rect(x, y, x + w, y + h),
         Rect(piece.Src.Left, piece.Src.Top, piece.Src.Left + w, piece.Src.Top + h), false);
  });
}

void TintPixels(Bitmap& bmp, TColor tone, int hue_offset, int saturation_255) {
  if (tone != clNone)
    ChangeBitmapPixels(bmp, ChangeColorTone, ColorToRGB(tone), clFuchsia);
  if (hue_offset != 0)
    ChangeBitmapPixels(bmp, ChangeColorHUE, hue_offset, clFuchsia);
  if (saturation_255 != 0)
    ChangeBitmapPixels(bmp, ChangeColorSaturation, saturation_255, clFuchsia);
}

int ScaledSaturation(int percent) {
  return std::clamp(percent * 255 / 100, -255, 255);
}

// Tiles the texture cell over span, the last tiles cut.
void TileSpan(Bitmap& bmp, TRect span, const Bitmap& picture, TRect tex) {
  ForEachTile(span, tex.Width(), tex.Height(), [&](int x, int y, int w, int h) {
    CopyRect32(bmp, x, y, picture, Rect(tex.Left, tex.Top, tex.Left + w, tex.Top + h));
  });
}

// Tiles anchored at span's bottom-right corner: the partial tiles fall on the top and left.
void TileFromBottom(Bitmap& bmp, TRect span, const Bitmap& picture, TRect tex) {
  const int tw = tex.Width(), th = tex.Height();
  if (tw <= 0 || th <= 0)
    return;
  for (int bottom = span.Bottom; bottom > span.Top; bottom -= th) {
    const int top = std::max(bottom - th, span.Top);
    for (int right = span.Right; right > span.Left; right -= tw) {
      const int left = std::max(right - tw, span.Left);
      CopyRect32(
          bmp, left, top, picture,
          Rect(tex.Right - (right - left), tex.Bottom - (bottom - top), tex.Right, tex.Bottom));
    }
  }
}

}  // namespace

TColor TransparentColor(TColor parent, TColor own, int transparency) {
  const int t = std::clamp(transparency, 0, 100);
  return BlendColors(ColorToRGB(parent), ColorToRGB(own), static_cast<std::uint8_t>(t * 255 / 100));
}

const Bitmap* EntryPicture(const TsMaskData& md, const Bitmap* master) {
  const Bitmap* picture = md.Bmp ? md.Bmp.get() : master;
  if (picture == nullptr || picture->Empty() || picture->PixelFormat() != TPixelFormat::pf32bit)
    return nullptr;
  return picture;
}

TRect FrameCell(const TsMaskData& md, int state) {
  const int x0 = md.R.Left + ClampFrame(md, state) * md.Width;
  return Rect(x0, md.R.Top, x0 + md.Width, md.R.Top + md.Height);
}

void DrawSkinRect(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TsMaskData& md,
                  const Bitmap* master, int state, bool update_corners) {
  if ((state == 0 && (md.DrawMode & kDrawNotInState0) != 0) || r.Width() < 2 || r.Height() < 2)
    return;
  const Bitmap* picture = EntryPicture(md, master);
  if (picture == nullptr || bmp.Empty())
    return;
  const TSliceMargins m = FitSliceMargins({md.WL, md.WT, md.WR, md.WB}, r.Width(), r.Height());
  TSliceLayout layout;
  if (!NineSlice(r, FrameCell(md, state), m, (md.DrawMode & kDrawCentre) != 0, layout))
    return;
  const bool stretch = (md.DrawMode & kDrawStretch) != 0;
  const bool corners_show_parent = update_corners && (md.Cfg & 3) != 0;
  for (const TSlicePiece& piece : layout) {
    const TCacheInfo& piece_ci = piece.IsCorner() ? ci : EmptyCI;
    const bool update_trans = piece.IsCorner() && corners_show_parent;
    if (md.MaskType != 0) {
      DrawPiece(piece, stretch, [&](TRect dst, TRect src, bool stretched) {
        if (stretched)
          StretchBltMask(dst, src, bmp, *picture, piece_ci, update_trans, md);
        else
          CopyByMask(dst, src, bmp, *picture, piece_ci, update_trans, md);
      });
    } else if (HasOwnAlpha(md)) {
      DrawPiece(piece, stretch, [&](TRect dst, TRect src, bool stretched) {
        if (stretched)
          StretchBmpRect32(bmp, dst, *picture, src, 255);
        else
          PaintBmpRect32(bmp, *picture, Rect(src.Left, src.Top, src.Right - 1, src.Bottom - 1), 255,
                         {dst.Left, dst.Top});
      });
    } else {
      DrawPiece(piece, stretch, [&](TRect dst, TRect src, bool stretched) {
        if (stretched)
          StretchRect32(bmp, dst, *picture, src);
        else if (piece.IsCorner())
          CopyTransRect(bmp, *picture, dst.Left, dst.Top,
                        Rect(src.Left, src.Top, src.Right - 1, src.Bottom - 1), 0x00FF00FFu,
                        piece_ci, update_trans);
        else
          CopyRect32(bmp, dst.Left, dst.Top, *picture, src);
      });
    }
  }
}

void DrawSkinGlyph(Bitmap& bmp, TPoint p, int state, int added_transparency, const TsMaskData& md,
                   const Bitmap* master, const TCacheInfo& ci) {
  const Bitmap* picture = EntryPicture(md, master);
  if (picture == nullptr || bmp.Empty() || md.Width <= 0 || md.Height <= 0)
    return;
  if (md.Bmp && (picture->Width() < md.R.Right || picture->Height() < md.R.Bottom))
    return;
  const int cx = std::max(-p.X, 0), cy = std::max(-p.Y, 0);
  const TRect cell = FrameCell(md, state);
  const int sx = cell.Left + cx, sy = cell.Top + cy;
  const int w = md.Width - cx, h = md.Height - cy;
  const int dx = p.X + cx, dy = p.Y + cy;
  if (w <= 0 || h <= 0)
    return;
  if (HasOwnAlpha(md)) {
    if (added_transparency == 1 || md.Bmp)
      BlendGlyphByAlpha(bmp, dx, dy, *picture, sx, sy, w, h, added_transparency);
    else
      PaintBmpRect32(bmp, *picture, Rect(sx, sy, sx + w - 1, sy + h - 1), 127, {dx, dy});
  } else if (md.MaskType != 0) {
    BlendGlyphByMask(bmp, dx, dy, *picture, sx, sy, w, h, MaskOffset(md), added_transparency);
  } else if (added_transparency == 1) {
    CopyTransRect(bmp, *picture, dx, dy, Rect(sx, sy, sx + w - 1, sy + h - 1), 0x00FF00FFu, ci,
                  true);
  } else {
    BlendTransRectangle(bmp, dx, dy, *picture, Rect(sx, sy, sx + w - 1, sy + h - 1), 127,
                        0x00FF00FFu);
  }
}

void TileBitmap(Bitmap& bmp, TRect& r, const Bitmap& picture, const TsMaskData& md, int fill_mode) {
  const TRect tex = TextureRect(md);
  const int w = tex.Width(), h = tex.Height();
  if (w <= 0 || h <= 0 || r.IsEmpty())
    return;
  const TRect all = r;
  switch (fill_mode) {
    case fmStretched:
      StretchRect32(bmp, all, picture, tex);
      r = kAllCovered;
      return;
    case fmTiledHorz:
    case fmTileHorBtm: {
      const bool top = fill_mode == fmTiledHorz;
      const int band = std::min(h, all.Height());
      TileSpan(bmp,
               top ? Rect(all.Left, all.Top, all.Right, all.Top + band)
                   : Rect(all.Left, all.Bottom - band, all.Right, all.Bottom),
               picture, top ? tex : Rect(tex.Left, tex.Bottom - band, tex.Right, tex.Bottom));
      if (band == all.Height())
        r = kAllCovered;
      else if (top)
        r.Top += band;
      else
        r.Bottom -= band;
      return;
    }
    case fmTiledVert:
    case fmTileVertRight: {
      const bool left = fill_mode == fmTiledVert;
      const int band = std::min(w, all.Width());
      TileSpan(bmp,
               left ? Rect(all.Left, all.Top, all.Left + band, all.Bottom)
                    : Rect(all.Right - band, all.Top, all.Right, all.Bottom),
               picture, left ? tex : Rect(tex.Right - band, tex.Top, tex.Right, tex.Bottom));
      if (band == all.Width())
        r = kAllCovered;
      else if (left)
        r.Left += band;
      else
        r.Right -= band;
      return;
    }
    case fmStretchHorzTop: {
      const int band = std::min(h, all.Height());
      StretchRect32(bmp, Rect(all.Left, all.Top, all.Right, all.Top + h), picture, tex);
      if (band == all.Height())
        r = kAllCovered;
      else
        r.Top += band;
      return;
    }
    case fmStretchVertLeft: {
      const int band = std::min(w, all.Width());
      StretchRect32(bmp, Rect(all.Left, all.Top, all.Left + w, all.Bottom), picture, tex);
      if (band == all.Width())
        r = kAllCovered;
      else
        r.Left += band;
      return;
    }
    case fmStretchHorz:
      for (int y = all.Top; y < all.Bottom; y += h)
        StretchRect32(bmp, Rect(all.Left, y, all.Right, y + h), picture,
                      tex);  // the last row is cut by the bitmap's rows below
      r = kAllCovered;
      return;
    case fmStretchVert:
      for (int x = all.Left; x < all.Right; x += w)
        StretchRect32(bmp, Rect(x, all.Top, x + w, all.Bottom), picture, tex);
      r = kAllCovered;
      return;
    case fmFromBottomToTop:
      TileFromBottom(bmp, all, picture, tex);
      r = kAllCovered;
      return;
    default:
      TileSpan(bmp, all, picture, tex);
      r = kAllCovered;
      return;
  }
}

void TileMasked(Bitmap& bmp, TRect& r, const TCacheInfo& ci, const TsMaskData& md,
                const Bitmap& picture, int fill_mode) {
  const TRect tex = TextureRect(md);
  const int w = tex.Width(), h = tex.Height();
  if (w <= 0 || h <= 0 || r.IsEmpty() || (fill_mode != fmTiled && fill_mode != fmDisTiled))
    return;
  const TRect all = r;
  if (fill_mode == fmTiled) {
    ForEachTile(all, w, h, [&](int x, int y, int tw, int th) {
      CopyByMask(Rect(x, y, x + tw, y + th), tex, bmp, picture, EmptyCI, false, md);
    });
  } else {
    const int whole_w = all.Width() / w * w, whole_h = all.Height() / h * h;
    const TRect whole = Rect(all.Left, all.Top, all.Left + whole_w, all.Top + whole_h);
    ForEachTile(whole, w, h, [&](int x, int y, int, int) {
      CopyByMask(Rect(x, y, x + w, y + h), tex, bmp, picture, EmptyCI, false, md);
    });
    // The strips beyond the last whole tile show the parent.
    for (const TRect strip : {Rect(whole.Right, all.Top, all.Right, all.Bottom),
                              Rect(all.Left, whole.Bottom, whole.Right, all.Bottom)}) {
      if (strip.IsEmpty())
        continue;
      if (ci.Ready && ci.Bmp != nullptr && ci.Bmp != &bmp)
        CopyRect32(
            bmp, strip.Left, strip.Top, *ci.Bmp,
            Rect(ci.X + strip.Left, ci.Y + strip.Top, ci.X + strip.Right, ci.Y + strip.Bottom));
      else if (ci.FillColor != clFuchsia)
        Fill(bmp, strip, ci.FillColor);
    }
  }
  r = kAllCovered;
}

void PaintAddons(Bitmap& bmp, TRect r, const TsSectionFill& fill, const TacSkinData& sd) {
  if (r.IsEmpty() || bmp.Empty())
    return;
  const int ip = fill.ImagePercent, gp = fill.GradientPercent;
  const bool has_points = fill.Gradient != nullptr && !fill.Gradient->empty();
  const TsMaskData* texture = ValidImage(sd, fill.TextureIndex)
                                  ? &sd.ma[static_cast<std::size_t>(fill.TextureIndex)]
                                  : nullptr;
  const Bitmap* picture = texture != nullptr ? EntryPicture(*texture, sd.MasterBmp) : nullptr;
  if (picture == nullptr)
    texture = nullptr;

  if (ip + gp == 100 && gp > 0 && gp < 100 && texture != nullptr && texture->DrawMode == 0 &&
      has_points && (*fill.Gradient)[0].Mode < 2) {
    PaintGradTxt(bmp, r, *fill.Gradient, *picture, TextureRect(*texture), 255,
                 static_cast<std::uint8_t>(ip * 255 / 100));
    return;
  }
  bool textured = false;
  if (ip > 0 && texture != nullptr) {
    TRect left = r;
    if (texture->MaskType > 0)
      TileMasked(bmp, left, EmptyCI, *texture, *picture, texture->DrawMode);
    else
      TileBitmap(bmp, left, *picture, *texture, texture->DrawMode);
    if (left.Right != -1)
      Fill(bmp, left, fill.Color);
    textured = true;
  }
  if (gp > 0) {
    if (textured) {
      try {
        Bitmap layer = CreateBmp32(r.Width(), r.Height());
        if (!layer.Empty()) {
          if (has_points)
            PaintGrad(layer, Rect(0, 0, r.Width(), r.Height()), *fill.Gradient);
          else
            Fill(layer, Rect(0, 0, r.Width(), r.Height()), fill.Color);
          SumBmpRect(bmp, layer, static_cast<std::uint8_t>(std::clamp(ip * 255 / 100, 0, 255)),
                     Rect(0, 0, r.Width() - 1, r.Height() - 1), {r.Left, r.Top});
        }
      } catch (const Error&) {
        // Painting never raises.
      }
    } else if (has_points) {
      PaintGrad(bmp, r, *fill.Gradient);
    } else {
      Fill(bmp, r, fill.Color);
    }
  }
  if (ip + gp >= 1 && ip + gp <= 99)
    BlendColorRect(bmp, Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1),
                   static_cast<std::uint8_t>((ip + gp) * 255 / 100), ColorToRGB(fill.Color));
  else if (ip + gp == 0)
    Fill(bmp, r, fill.Color);
}

namespace {

struct BGValues {
  TsSectionFill fill;
  int transparency = 0;
  bool overlay = false;
};

BGValues SectionValues(const TsGenState& props, int texture_index, TColor custom_color) {
  BGValues v;
  if (custom_color != clFuchsia) {
    v.fill.Color = custom_color;
    v.fill.TextureIndex = texture_index;
    return v;
  }
  v.fill.Color = props.Color;
  v.transparency = props.Transparency;
  v.overlay = !props.GradientArray.empty() && (props.GradientArray[0].Mode & PM_OVERLAY) != 0;
  if (v.transparency < 100) {
    v.fill.ImagePercent = props.ImagePercent;
    v.fill.GradientPercent = v.overlay ? 0 : props.GradientPercent;
    v.fill.TextureIndex = texture_index;
    if (v.fill.ImagePercent > 0 && texture_index < 0)
      v.fill.TextureIndex = props.TextureIndex;
  }
  if (v.fill.GradientPercent > 0 || v.overlay)
    v.fill.Gradient = &props.GradientArray;
  return v;
}

// The parent's picture under a of bmp when ci is ready, else its fill colour.
void ParentUnder(Bitmap& bmp, TRect a, const TCacheInfo& ci, TPoint pp) {
  if (ci.Ready && ci.Bmp != nullptr)
    CopyParent(bmp, a, ci, pp);
  else
    Fill(bmp, a, ci.FillColor);
}

// A partly transparent section over the parent: its own fill blended over the parent's picture.
void MixOverParent(Bitmap& bmp, TRect a, const TCacheInfo& ci, TPoint pp, const BGValues& v,
                   const TacSkinData& sd) {
  try {
    Bitmap own = CreateBmp32(a.Width(), a.Height());
    if (own.Empty())
      return;
    PaintAddons(own, Rect(0, 0, a.Width(), a.Height()), v.fill, sd);
    ParentUnder(bmp, a, ci, pp);
    SumBmpRect(bmp, own, static_cast<std::uint8_t>(v.transparency * 255 / 100),
               Rect(0, 0, a.Width() - 1, a.Height() - 1), {a.Left, a.Top});
  } catch (const Error&) {
    // Painting never raises.
  }
}

// A fully transparent section whose parent lends only its border strips and a colour.
void StripsAndFill(Bitmap& bmp, TRect a, const TCacheInfo& ci, TPoint pp) {
  const Bitmap& parent = *ci.Bmp;
  const TRect b = Rect(pp.X, pp.Y, pp.X + a.Width(), pp.Y + a.Height());
  int dl = 0, dt = 0, dr = 0, db = 0;
  if (ci.FillRect.Left - ci.X > 0 && ci.FillRect.Left > b.Left) {
    dl = std::min(ci.FillRect.Left - b.Left, a.Width());
    CopyRect32(bmp, a.Left, a.Top, parent,
               Rect(ci.X + b.Left, ci.Y + b.Top, ci.X + b.Left + dl, ci.Y + b.Bottom));
  }
  if (ci.FillRect.Top - ci.Y > 0 && ci.FillRect.Top > b.Top) {
    dt = std::min(ci.FillRect.Top - b.Top, a.Height());
    CopyRect32(bmp, a.Left, a.Top, parent,
               Rect(ci.X + b.Left, ci.Y + b.Top, ci.X + b.Right, ci.Y + b.Top + dt));
  }
  const int pw = parent.Width(), ph = parent.Height();
  if (ci.FillRect.Right > 0 && pw - ci.FillRect.Right < b.Right && b.Right < pw) {
    dr = std::min(b.Right - (pw - ci.FillRect.Right), a.Width());
    CopyRect32(bmp, a.Right - dr, a.Top, parent,
               Rect(ci.X + b.Right - dr, ci.Y + b.Top, ci.X + b.Right, ci.Y + b.Bottom));
  }
  if (ci.FillRect.Bottom > 0 && ph - ci.FillRect.Bottom < b.Bottom && b.Bottom < ph) {
    db = std::min(b.Bottom - (ph - ci.FillRect.Bottom), a.Height());
    CopyRect32(bmp, a.Left, a.Bottom - db, parent,
               Rect(ci.X + b.Left, ci.Y + b.Bottom - db, ci.X + b.Right, ci.Y + b.Bottom));
  }
  Fill(bmp, Rect(a.Left + dl, a.Top + dt, a.Right - dr, a.Bottom - db), ci.FillColor);
}

void PaintBackground(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
                     Bitmap& item_bmp, const TacSkinData& sd, int texture_index,
                     int hot_texture_index, TColor custom_color, bool ready_only) {
  if (!ValidSection(sd, skin_index) || r.IsEmpty() || item_bmp.Empty())
    return;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  state = SectionState(gd, state);
  const TsGenState& props = gd.Props[static_cast<std::size_t>(state)];
  const BGValues v = SectionValues(props, texture_index, custom_color);
  const TRect a = r;
  const bool ready = ci.Ready && ci.Bmp != nullptr;
  const bool parent_known = ready_only ? ready : (ready || ci.FillColor != clFuchsia);
  if (!parent_known || v.transparency <= 0) {
    PaintAddons(item_bmp, a, v.fill, sd);
  } else if (v.transparency >= 100) {
    if (ready)
      CopyParent(item_bmp, a, ci, pp);
    else if (ci.Bmp != nullptr)
      StripsAndFill(item_bmp, a, ci, pp);
    else
      Fill(item_bmp, a, ci.FillColor);
  } else if (ready || v.fill.ImagePercent + v.fill.GradientPercent != 0) {
    MixOverParent(item_bmp, a, ci, pp, v, sd);
  } else {
    Fill(item_bmp, a, TransparentColor(ci.FillColor, v.fill.Color, v.transparency));
  }
  if (v.overlay)
    PaintGrad(item_bmp, a, props.GradientArray);
  // Masked textures of fill mode 10 go once more over everything.
  if (texture_index < 0)
    texture_index = props.TextureIndex;
  const int pass = state == 0 ? texture_index : hot_texture_index;
  if (ValidImage(sd, pass)) {
    const TsMaskData& md = sd.ma[static_cast<std::size_t>(pass)];
    const Bitmap* picture = EntryPicture(md, sd.MasterBmp);
    if (picture != nullptr && md.MaskType > 0 && md.DrawMode == fmDisTiled) {
      TCacheInfo moved = ci;
      moved.X += pp.X;
      moved.Y += pp.Y;
      TRect left = r;
      TileMasked(item_bmp, left, moved, md, *picture, fmDisTiled);
    }
  }
}

}  // namespace

void PaintItemBG(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
                 Bitmap& item_bmp, const TacSkinData& sd, int texture_index, int hot_texture_index,
                 TColor custom_color) {
  PaintBackground(skin_index, ci, state, r, pp, item_bmp, sd, texture_index, hot_texture_index,
                  custom_color, false);
}

void UpdateCtrlCorners(TCornerRadii& radii, int width, int height) {
  const auto fit = [](int& a, int& b, int size) {
    if (a + b > size - 1) {
      a = std::max((size - 1) / 2, 0);
      b = a;
    }
  };
  if (height > width) {
    fit(radii[0], radii[1], width);
    fit(radii[2], radii[3], width);
  } else {
    fit(radii[0], radii[2], height);
    fit(radii[1], radii[3], height);
  }
}

bool TryPaintBorder(Bitmap& bmp, TRect r, const TsGeneralData& gd, int state, const TCacheInfo& ci,
                    const TsBorderOverride* custom, int ppi, bool fit_corners, int max_radius) {
  const int s = std::clamp(state, 0, 2);
  TCornerRadii radii{-1, -1, -1, -1};
  bool has_radii = false;
  int width = gd.BorderWidth;
  TColor color = gd.Props[static_cast<std::size_t>(s)].BorderColor;
  if (custom != nullptr && custom->IsChanged()) {
    width = custom->Width < 0 ? gd.BorderWidth : custom->Width;
    radii = custom->Radii;
    for (int& radius : radii)
      if (radius > 0)
        radius = radius * ppi / 96;
    has_radii = true;
    TColor chosen = custom->ColorNormal;
    if (state > 0 && custom->ColorActive != clNone)
      chosen = custom->ColorActive;
    if (state > 1 && custom->ColorPressed != clNone)
      chosen = custom->ColorPressed;
    if (chosen != clNone)
      color = chosen;
  } else if (gd.BorderRadius >= 1 && max_radius >= 1) {
    radii.fill(std::min(gd.BorderRadius, max_radius));
    has_radii = true;
  } else if (fit_corners) {
    has_radii = true;
  }
  width = width * ppi / 96;
  if (has_radii) {
    if (fit_corners)
      UpdateCtrlCorners(radii, r.Width(), r.Height());
    for (int& radius : radii)
      radius = FitRadius(radius, r.Width(), r.Height());
  }
  const bool rounded =
      has_radii && std::any_of(radii.begin(), radii.end(), [](int radius) { return radius > 0; });
  if (color == clFuchsia) {
    if (rounded && gd.Props[static_cast<std::size_t>(s)].Transparency < 100)
      UpdateCorners(bmp, r, ci, radii, false);
    return false;
  }
  if (!rounded) {
    DrawBorderStroke(bmp, r, width, ColorToRGB(color), {0, 0, 0, 0});
    return true;
  }
  TCacheInfo corner_ci = ci;
  if (!(ci.Ready && ci.Bmp != nullptr) && ci.FillColor == clFuchsia)
    corner_ci.FillColor = color;
  const int w = r.Width(), h = r.Height();
  const bool holds = w >= radii[0] + radii[1] && w >= radii[2] + radii[3] &&
                     h >= radii[0] + radii[2] && h >= radii[1] + radii[3];
  if (holds) {
    UpdateCorners(bmp, r, corner_ci, radii, false);
    DrawBorderStroke(bmp, r, width, ColorToRGB(color), radii);
  } else {
    DrawBorderStroke(bmp, r, width, ColorToRGB(color), radii);
    UpdateCorners(bmp, r, corner_ci, radii, false);
  }
  return true;
}

namespace {

void CornerImages(const TsGeneralData& gd, int s, TRect r, Bitmap& bmp, const TacSkinData& sd) {
  const TCacheInfo own = MakeCacheInfo(bmp, 0, 0);
  const auto glyph = [&](int index, bool right, bool bottom) {
    if (!ValidImage(sd, index))
      return;
    const TsMaskData& md = sd.ma[static_cast<std::size_t>(index)];
    const TPoint p{right ? r.Right - md.Width : r.Left, bottom ? r.Bottom - md.Height : r.Top};
    DrawSkinGlyph(bmp, p, s, 1, md, sd.MasterBmp, own);
  };
  glyph(gd.ImgTL, false, false);
  glyph(gd.ImgTR, true, false);
  glyph(gd.ImgBL, false, true);
  glyph(gd.ImgBR, true, true);
}

enum class FrameKind { None, Mask, Border };

}  // namespace

void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, const TsItemStyle& style) {
  if (!ValidSection(sd, skin_index) || !InsideBmp(item_bmp, r))
    return;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  state = SectionState(gd, state);
  const int s = state;
  PaintItemBG(skin_index, ci, s, r, pp, item_bmp, sd, -1, -1, style.CustomColor);
  CornerImages(gd, s, r, item_bmp, sd);
  const bool custom_border = style.Border != nullptr && style.Border->IsChanged();
  FrameKind kind = FrameKind::None;
  if (custom_border)
    kind = FrameKind::Border;
  else if (ValidImage(sd, gd.BorderIndex))
    kind = state == 0 && (sd.ma[static_cast<std::size_t>(gd.BorderIndex)].DrawMode &
                          kDrawNotInState0) != 0
               ? FrameKind::None
               : FrameKind::Mask;
  else if (gd.Props[static_cast<std::size_t>(s)].BorderColor != clFuchsia)
    kind = FrameKind::Border;
  TCacheInfo moved = ci;
  moved.X += pp.X;
  moved.Y += pp.Y;
  const int transparency = gd.Props[static_cast<std::size_t>(s)].Transparency;
  bool tint = false;
  switch (kind) {
    case FrameKind::Mask:
      DrawSkinRect(item_bmp, r, moved, sd.ma[static_cast<std::size_t>(gd.BorderIndex)],
                   sd.MasterBmp, state, style.UpdateCorners);
      tint = true;
      break;
    case FrameKind::Border:
      tint = TryPaintBorder(item_bmp, r, gd, s, moved, style.Border, style.PPI, true) ||
             transparency == 0;
      break;
    case FrameKind::None:
      tint = transparency < 100;
      break;
  }
  if (tint && style.ColorsAutoUpdate)
    TintPixels(item_bmp, style.ColorTone, style.HueOffset, ScaledSaturation(style.Saturation));
}

namespace {

// What both item forms share: background and corner images. Gives the state clamped to the
// section's states and the cache info moved by `pp`, or nothing when there is nothing to paint.
std::optional<std::pair<int, TCacheInfo>> PaintItemBase(int skin_index, const TCacheInfo& ci,
                                                        int state, TRect r, TPoint pp,
                                                        Bitmap& item_bmp, const TacSkinData& sd) {
  if (!ValidSection(sd, skin_index) || !InsideBmp(item_bmp, r))
    return std::nullopt;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  state = SectionState(gd, state);
  PaintItemBG(skin_index, ci, state, r, pp, item_bmp, sd);
  CornerImages(gd, state, r, item_bmp, sd);
  TCacheInfo moved = ci;
  moved.X += pp.X;
  moved.Y += pp.Y;
  return std::pair{state, moved};
}

}  // namespace

void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd) {
  PaintItem(skin_index, ci, state, r, pp, item_bmp, sd, INT32_MAX);
}

void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, int max_radius) {
  const auto base = PaintItemBase(skin_index, ci, state, r, pp, item_bmp, sd);
  if (!base)
    return;
  const auto& [clamped, moved] = *base;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  if (ValidImage(sd, gd.BorderIndex))
    DrawSkinRect(item_bmp, r, moved, sd.ma[static_cast<std::size_t>(gd.BorderIndex)], sd.MasterBmp,
                 clamped, true);
  else
    TryPaintBorder(item_bmp, r, gd, clamped, moved, nullptr, sd.PPI, false, max_radius);
}

void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp, TacDC dc,
               const TacSkinData& sd) {
  if (dc == nullptr || r.IsEmpty() || !ValidSection(sd, skin_index))
    return;
  Bitmap bmp = CreateBmp32(r.Width(), r.Height());
  if (bmp.Empty())
    return;
  const TRect all = Rect(0, 0, r.Width(), r.Height());
  PaintItem(skin_index, ci, state, all, pp, bmp, sd);
  CopyBitmapToDC(dc, bmp, all, {r.Left, r.Top});
}

void PaintItem(int skin_index, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, const TacSkinData& sd, const TsMaskData& md) {
  const auto base = PaintItemBase(skin_index, ci, state, r, pp, item_bmp, sd);
  if (!base)
    return;
  const auto& [clamped, moved] = *base;
  if (ValidImage(sd, sd.gd[static_cast<std::size_t>(skin_index)].BorderIndex))
    DrawSkinRect(item_bmp, r, moved, md, sd.MasterBmp, clamped, true);
}

void PaintItemBGFast(int skin_index, int bg_index, int bg_hot_index, const TCacheInfo& ci,
                     int state, TRect r, TPoint pp, Bitmap& item_bmp, const TacSkinData& sd) {
  if (!ValidSection(sd, skin_index) || !InsideBmp(item_bmp, r))
    return;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  state = SectionState(gd, state);
  PaintBackground(skin_index, ci, state, r, pp, item_bmp, sd, state == 0 ? bg_index : bg_hot_index,
                  bg_hot_index, clFuchsia, true);
}

void PaintItemFast(int skin_index, int mask_index, int bg_index, int bg_hot_index,
                   const TCacheInfo& ci, int state, TRect r, TPoint pp, Bitmap& item_bmp,
                   const TacSkinData& sd) {
  if (!ValidSection(sd, skin_index) || !InsideBmp(item_bmp, r))
    return;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  state = SectionState(gd, state);
  PaintItemBGFast(skin_index, bg_index, bg_hot_index, ci, state, r, pp, item_bmp, sd);
  CornerImages(gd, state, r, item_bmp, sd);
  TCacheInfo moved = ci;
  moved.X += pp.X;
  moved.Y += pp.Y;
  if (ValidImage(sd, mask_index))
    DrawSkinRect(item_bmp, r, moved, sd.ma[static_cast<std::size_t>(mask_index)], sd.MasterBmp,
                 state, true);
  else
    TryPaintBorder(item_bmp, r, gd, state, moved, nullptr, sd.PPI, false);
}

int PaintSection(Bitmap& bmp, int section_index, int second_index, int state, const TacSkinData& sd,
                 TPoint parent_offset, TColor bg_color) {
  const int index = section_index < 0 ? second_index : section_index;
  TCacheInfo ci;
  ci.FillColor = bg_color;
  PaintItem(index, ci, state, Rect(0, 0, bmp.Width(), bmp.Height()), parent_offset, bmp, sd);
  return index;
}

int PaintSection(Bitmap& bmp, int section_index, int second_index, int state, const TacSkinData& sd,
                 TPoint parent_offset, TColor bg_color, TacDC parent_dc) {
  if (parent_dc == nullptr)
    return PaintSection(bmp, section_index, second_index, state, sd, parent_offset, bg_color);
  const int index = section_index < 0 ? second_index : section_index;
  Bitmap behind = CreateBmp32(bmp.Width(), bmp.Height());
  if (behind.Empty())
    return index;
  const TRect all = Rect(0, 0, bmp.Width(), bmp.Height());
  CopyDCToBitmap(parent_dc, parent_offset, behind);
  CopyRect32(bmp, 0, 0, behind, all);
  TCacheInfo ci = MakeCacheInfo(behind);
  ci.FillColor = bg_color;
  PaintItem(index, ci, state, all, {}, bmp, sd);
  return index;
}

void UpdateBmpColors(Bitmap& bmp, TColor tone, int hue_offset, int saturation) {
  TintPixels(bmp, tone, hue_offset, ScaledSaturation(saturation));
}

void DrawSkinRect32Ex(Bitmap& bmp, TRect r, const TCacheInfo& ci, const TsMaskData& md,
                      const Bitmap* master, int state, TRect max_widths, std::uint8_t opacity) {
  if ((state == 0 && (md.DrawMode & kDrawNotInState0) != 0) || r.Width() < 2 || r.Height() < 2)
    return;
  const Bitmap* picture = EntryPicture(md, master);
  if (picture == nullptr || bmp.Empty())
    return;
  const TSliceMargins m = FitSliceMargins({md.WL, md.WT, md.WR, md.WB}, r.Width(), r.Height());
  TSliceLayout layout;
  const TSliceMargins visible{max_widths.Left, max_widths.Top, max_widths.Right, max_widths.Bottom};
  if (!OuterSlice(r, FrameCell(md, state), m, visible, layout))
    return;
  const bool stretch = (md.DrawMode & kDrawStretch) != 0;
  for (const TSlicePiece& piece : layout) {
    const TCacheInfo& piece_ci = piece.IsCorner() ? ci : EmptyCI;
    DrawPiece(piece, stretch, [&](TRect dst, TRect src, bool stretched) {
      if (md.MaskType == 0) {
        if (HasOwnAlpha(md))
          StretchBmpRect32(bmp, dst, *picture, src, opacity);
        else
          StretchRect32(bmp, dst, *picture, src);
      } else if (stretched) {
        StretchBltMask32Ex(dst.Left, dst.Top, dst.Width(), dst.Height(), src.Left, src.Top,
                           src.Width(), src.Height(), bmp, *picture, md.Height, opacity, false);
      } else {
        CopyByMask32Ex(dst, src, bmp, *picture, piece_ci, md, opacity);
      }
    });
  }
}

namespace {

// What an outer effect is made of: its image, how far it reaches beyond the control, its opacity.
struct OuterSource {
  int mask = -1;
  TRect offset;
  int opacity = 0;
};

// The section's own outer image, else the skin's standard effect of its mode; false for none.
bool FindOuterSource(int skin_index, const TacSkinData& sd, OuterSource& out) {
  if (!ValidSection(sd, skin_index))
    return false;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  if (gd.OuterMode < 1)
    return false;
  out = {gd.OuterMask, gd.OuterOffset, gd.OuterOpacity};
  if (out.mask < 0 && (gd.OuterMode == 1 || gd.OuterMode == 2)) {
    const TacOutEffData& oe = sd.oe[static_cast<std::size_t>(gd.OuterMode - 1)];
    out = {oe.Mask, Rect(oe.OffsetL, oe.OffsetT, oe.OffsetR, oe.OffsetB), oe.Opacity};
  }
  return ValidImage(sd, out.mask);
}

TRect GrowBy(TRect r, TRect by) {
  return Rect(r.Left - by.Left, r.Top - by.Top, r.Right + by.Right, r.Bottom + by.Bottom);
}

}  // namespace

TRect OuterEffectRect(TRect control_rect, int skin_index, const TacSkinData& sd) {
  OuterSource source;
  if (control_rect.IsEmpty() || !FindOuterSource(skin_index, sd, source))
    return {};
  return GrowBy(control_rect, source.offset);
}

void PaintOuterEffect(Bitmap& parent, TRect control_rect, int skin_index, const TacSkinData& sd,
                      bool focused) {
  OuterSource source;
  if (parent.Empty() || control_rect.IsEmpty() || !FindOuterSource(skin_index, sd, source))
    return;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(skin_index)];
  const TRect r = GrowBy(control_rect, source.offset);
  TRect widths = source.offset;
  if (ValidImage(sd, gd.BorderIndex)) {
    const TsMaskData& frame = sd.ma[static_cast<std::size_t>(gd.BorderIndex)];
    widths = Rect(widths.Left + frame.WL, widths.Top + frame.WT, widths.Right + frame.WR,
                  widths.Bottom + frame.WB);
  } else if (gd.ClassName == "SLIDER_OFF" || gd.ClassName == "SLIDER_ON") {
    const int half = std::min(control_rect.Width(), control_rect.Height()) / 2;
    widths = Rect(widths.Left + half, widths.Top + half, widths.Right + half, widths.Bottom + half);
  }
  int opacity = source.opacity;
  if (focused)
    opacity *= 2;
  DrawSkinRect32Ex(parent, r, EmptyCI, sd.ma[static_cast<std::size_t>(source.mask)], sd.MasterBmp,
                   0, widths, static_cast<std::uint8_t>(std::clamp(opacity, 0, 255)));
}

}  // namespace kestrune::skin
