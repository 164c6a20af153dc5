#include "skin/paint/bg_info.h"

#include <algorithm>
#include <exception>

#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr TColor kBtnFace = static_cast<TColor>(0xFF00000Fu);

TRect Intersect(TRect a, TRect b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

bool CacheEmpty(const TsCommonData& data) {
  return !data.FCacheBmp || data.FCacheBmp->Empty();
}

bool CacheFits(const TsCommonData& data) {
  if (CacheEmpty(data))
    return false;
  if (data.FOwnerControl == nullptr)
    return true;
  const TRect r = data.FOwnerControl->BoundsRect();
  return data.FCacheBmp->Width() == r.Width() && data.FCacheBmp->Height() == r.Height();
}

void PrepareCache(TsCommonData& data) {
  if (data.FOwnerObject != nullptr)
    data.FOwnerObject->Send(SM_ALPHACMD, AC_PREPARECACHE_HI, 0);
}

TColor GlobalColor(const TsSkinManager* manager) {
  return manager != nullptr && manager->IsActive() ? manager->GetGlobalColor() : kBtnFace;
}

// Where the owner's children have their origin in its cache: a form's cache is the whole
// window, frame and title included, while its children lie in the client area.
TPoint ChildOrigin(const TsCommonData& data) {
  const TacSkinOwner* owner = data.FOwnerObject;
  return owner != nullptr && owner->OwnerKind() == TacSkinOwner::Kind::Provider
             ? owner->ClientOffset()
             : TPoint{};
}

void LendCache(TsCommonData& data, TacBGInfo& info) {
  info.BgType = btCache;
  info.Bmp = data.FCacheBmp.get();
  info.Offset = ChildOrigin(data);
}

// Asks the owner's own parent and moves the answer by the owner's position there.
void PassToParent(TsCommonData& data, TacBGInfo& info) {
  TacSkinOwner* owner = data.FOwnerObject;
  TacSkinOwner* parent = owner != nullptr ? owner->Parent() : nullptr;
  if (parent == nullptr) {
    info.BgType = btFill;
    info.Color = GlobalColor(data.GetSkinManager());
    return;
  }
  const TRect bounds = owner->BoundsRect();
  if (info.PleaseDraw) {
    // Drawing: the area and the point that maps to the DC's origin move into the parent.
    info.R = TRect{info.R.Left + bounds.Left, info.R.Top + bounds.Top, info.R.Right + bounds.Left,
                   info.R.Bottom + bounds.Top};
    info.Offset.X += bounds.Left;
    info.Offset.Y += bounds.Top;
    GetBGInfo(info, parent, true);
    return;
  }
  GetBGInfo(info, parent, false);
  // The lending level answers where its own origin lies; the strips stay in the lending
  // bitmap's coordinates, whatever levels lie between.
  info.Offset.X += bounds.Left;
  info.Offset.Y += bounds.Top;
}

}  // namespace

void CopyPixels(Bitmap& dst, TPoint at, const Bitmap& src, TRect src_rect) {
  if (dst.Empty() || src.Empty() || dst.PixelFormat() != TPixelFormat::pf32bit ||
      src.PixelFormat() != TPixelFormat::pf32bit)
    return;
  // A source area reaching past the source's edges keeps its pixels where they belong.
  const TRect inside = Intersect(src_rect, TRect{0, 0, src.Width(), src.Height()});
  at.X += inside.Left - src_rect.Left;
  at.Y += inside.Top - src_rect.Top;
  src_rect = inside;
  TRect d{at.X, at.Y, at.X + src_rect.Width(), at.Y + src_rect.Height()};
  const TRect clipped = Intersect(d, TRect{0, 0, dst.Width(), dst.Height()});
  if (clipped.IsEmpty())
    return;
  const int sx = src_rect.Left + (clipped.Left - d.Left);
  const int sy = src_rect.Top + (clipped.Top - d.Top);
  for (int y = 0; y < clipped.Height(); ++y)
    std::copy_n(src.Row32(sy + y) + sx, clipped.Width(), dst.Row32(clipped.Top + y) + clipped.Left);
}

void GetBGInfo(TacBGInfo& info, TacSkinOwner* parent, bool please_draw) {
  info.BgType = btUnknown;
  info.PleaseDraw = please_draw;
  info.FillRect = {};
  if (parent == nullptr) {
    info.BgType = btFill;
    info.Color = GlobalColor(DefaultManager());
    return;
  }
  const bool as_window = parent->OwnerKind() != TacSkinOwner::Kind::Control;
  if (!please_draw)
    info.Offset = {};
  parent->Send(SM_ALPHACMD, AC_GETBG_HI, reinterpret_cast<std::intptr_t>(&info));
  if (info.BgType != btUnknown)
    return;
  if (please_draw) {
    parent->PaintInto(info.DrawDC, info.Offset, info.R);
    info.BgType = btCache;
    info.Bmp = nullptr;
    return;
  }
  info.BgType = btFill;
  info.Bmp = nullptr;
  if (as_window) {
    const TsSkinManager* manager = DefaultManager();
    info.Color =
        manager != nullptr && manager->IsActive() ? manager->GetGlobalColor() : parent->Color();
    info.Offset = parent->ClientOffset();
    return;
  }
  const std::intptr_t answer = parent->Send(SM_ALPHACMD, AC_GETCONTROLCOLOR_HI, 0);
  info.Color = answer != 0 ? static_cast<TColor>(answer) : parent->Color();
  info.Offset = {};
}

void InitBGInfo(TsCommonData& data, TacBGInfo& info, int state) {
  TacSkinOwner* owner = data.FOwnerObject;
  if (info.PleaseDraw) {
    if (data.BGChanged)
      PrepareCache(data);
    if (CacheEmpty(data) || data.BGChanged) {
      PassToParent(data, info);
      return;
    }
    const TPoint origin = ChildOrigin(data);
    const TRect wanted{info.R.Left + origin.X, info.R.Top + origin.Y, info.R.Right + origin.X,
                       info.R.Bottom + origin.Y};
    const TRect src =
        Intersect(wanted, TRect{0, 0, data.FCacheBmp->Width(), data.FCacheBmp->Height()});
    CopyBitmapToDC(info.DrawDC, *data.FCacheBmp, src,
                   TPoint{src.Left - origin.X - info.Offset.X, src.Top - origin.Y - info.Offset.Y});
    info.BgType = btCache;
    info.Bmp = data.FCacheBmp.get();
    return;
  }
  const TsGeneralData* gd = data.Section();
  if (gd == nullptr) {
    info.BgType = btFill;
    info.Color = owner != nullptr ? owner->Color() : kBtnFace;
    return;
  }
  if (!data.Skinned() || data.FCustomColor) {
    info.BgType = btFill;
    info.Color = owner != nullptr ? owner->Color() : kBtnFace;
    return;
  }
  const TsGenState& props = gd->Props[static_cast<std::size_t>(SectionState(*gd, state))];
  const int t = props.Transparency;
  if (t >= 100) {
    if (!data.FCacheBmp) {
      PassToParent(data, info);
      return;
    }
    if (data.BGChanged)
      PrepareCache(data);
    if (data.BGChanged || CacheEmpty(data)) {
      info.BgType = btFill;
      info.Color = data.GetBGColor(0);
      return;
    }
    LendCache(data, info);
    return;
  }
  if (t > 0) {
    if (!data.FCacheBmp) {
      info.BgType = btFill;
      info.Color = clFuchsia;
      return;
    }
    if (CacheEmpty(data) || data.BGChanged)
      PrepareCache(data);
    if (CacheEmpty(data) || data.BGChanged) {
      data.FUpdating = true;
      info.BgType = btNotReady;
      return;
    }
    LendCache(data, info);
    return;
  }
  const TacSkinData* skin = data.GetCommonSkinData();
  const bool flat = props.GradientPercent < 1 && props.ImagePercent < 1 && gd->ImgTL < 0 &&
                    gd->ImgTR < 0 && gd->ImgBL < 0 && gd->ImgBR < 0 &&
                    data.FOuterEffects.Visibility == ovNone;
  if (flat) {
    info.BgType = btFill;
    info.Color = data.GetBGColor(state);
    info.Offset = {};
    info.Bmp = nullptr;
    if (skin != nullptr && gd->BorderIndex >= 0 &&
        static_cast<std::size_t>(gd->BorderIndex) < skin->ma.size()) {
      const TsMaskData& mask = skin->ma[static_cast<std::size_t>(gd->BorderIndex)];
      if ((mask.DrawMode & 4) == 0) {
        // Only a prepared cache of the right size holds the frame a child may copy.
        if (data.BGChanged || !CacheFits(data))
          PrepareCache(data);
        if (!data.BGChanged && CacheFits(data)) {
          info.FillRect = TRect{mask.WL, mask.WT, mask.WR, mask.WB};
          info.Bmp = data.FCacheBmp.get();
          info.Offset = ChildOrigin(data);
        }
      }
    }
    return;
  }
  info.Color = GlobalColor(data.GetSkinManager());
  if (data.BGChanged || !CacheFits(data)) {
    const bool provider_preparing =
        owner != nullptr && owner->OwnerKind() == TacSkinOwner::Kind::Provider && owner->Loading();
    if (!provider_preparing) {
      if (data.FCacheBmp)
        *data.FCacheBmp = Bitmap();
      PrepareCache(data);
    }
  }
  if (CacheEmpty(data) || data.BGChanged) {
    data.FUpdating = true;
    info.BgType = btNotReady;
    return;
  }
  LendCache(data, info);
}

TCacheInfo BGInfoToCI(const TacBGInfo& info) {
  if (info.BgType == btCache && info.Bmp != nullptr)
    return MakeCacheInfo(*info.Bmp, info.Offset.X, info.Offset.Y);
  TCacheInfo ci;
  ci.Bmp = info.Bmp;
  ci.X = info.Offset.X;
  ci.Y = info.Offset.Y;
  ci.FillColor = ColorToRGB(info.Color);
  ci.FillRect = info.FillRect;
  ci.Ready = false;
  return ci;
}

TCacheInfo GetParentCache(TsCommonData& data) {
  TacSkinOwner* owner = data.FOwnerObject;
  TacSkinOwner* parent = owner != nullptr ? owner->Parent() : nullptr;
  if (data.Skinned() && parent != nullptr) {
    TacBGInfo info;
    GetBGInfo(info, parent, false);
    if (info.BgType == btNotReady) {
      TCacheInfo ci;
      ci.X = info.Offset.X;
      ci.Y = info.Offset.Y;
      ci.FillColor = clFuchsia;
      ci.Ready = false;
      return ci;
    }
    return BGInfoToCI(info);
  }
  TCacheInfo ci;
  ci.X = 0;
  ci.Y = 0;
  ci.Ready = false;
  ci.FillColor = data.GetBGColor(0);
  return ci;
}

TCacheInfo GetParentCacheHwnd(TacSkinOwner* window) {
  TacSkinOwner* parent = window != nullptr ? window->Parent() : nullptr;
  if (parent == nullptr)
    return EmptyCI;
  TacBGInfo info;
  GetBGInfo(info, parent, false);
  return BGInfoToCI(info);
}

void PaintParentBG(Bitmap& dst, TRect dst_rect, const TCacheInfo& ci) {
  const int w = dst_rect.Width();
  const int h = dst_rect.Height();
  if (w <= 0 || h <= 0 || dst.Empty())
    return;
  if (ci.Ready && ci.Bmp != nullptr) {
    CopyPixels(dst, TPoint{dst_rect.Left, dst_rect.Top}, *ci.Bmp,
               TRect{ci.X, ci.Y, ci.X + w, ci.Y + h});
    return;
  }
  if (ci.FillColor == clFuchsia && ci.Bmp == nullptr)
    return;
  FillRect32(dst, dst_rect, ci.FillColor, 255);
  if (ci.Bmp == nullptr)
    return;
  const int bw = ci.Bmp->Width();
  const int bh = ci.Bmp->Height();
  const TRect area{ci.X, ci.Y, ci.X + w, ci.Y + h};
  const TRect strips[] = {
      {0, 0, ci.FillRect.Left, bh},
      {0, 0, bw, ci.FillRect.Top},
      {bw - ci.FillRect.Right, 0, bw, bh},
      {0, bh - ci.FillRect.Bottom, bw, bh},
  };
  for (const TRect& strip : strips) {
    const TRect part = Intersect(strip, area);
    if (part.IsEmpty())
      continue;
    CopyPixels(dst, TPoint{dst_rect.Left + part.Left - ci.X, dst_rect.Top + part.Top - ci.Y},
               *ci.Bmp, part);
  }
}

}  // namespace kestrune::skin
