// The item painting forms that read a control's skin state.

#include <algorithm>

#include "skin/data/skin_colors.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/common_data.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

TsBorderOverride BorderOf(const TacPaintBorderData& b) {
  TsBorderOverride out;
  out.Width = b.Width;
  out.ColorNormal = b.ColorNormal;
  out.ColorActive = b.ColorActive;
  out.ColorPressed = b.ColorPressed;
  out.Radii = {b.RadiusTopLeft, b.RadiusTopRight, b.RadiusBottomLeft, b.RadiusBottomRight};
  return out;
}

}  // namespace

void PaintItem(TsCommonData& data, const TCacheInfo& ci, int state, TRect r, TPoint pp,
               Bitmap& item_bmp, bool update_corners, bool colors_auto_update) {
  TsSkinManager* manager = data.GetSkinManager();
  TacSkinData* sd = data.GetCommonSkinData();
  if (manager == nullptr || sd == nullptr || !data.Skinned())
    return;
  TsItemStyle style;
  if (data.FCustomColor && data.FOwnerObject != nullptr)
    style.CustomColor = acColorToRGB(data.FOwnerObject->Color(), manager);
  style.ColorTone = data.FColorTone;
  style.HueOffset = data.FHUEOffset;
  style.Saturation = data.FSaturation;
  const TsBorderOverride border = BorderOf(data.FCustomBorder);
  if (border.IsChanged())
    style.Border = &border;
  style.PPI = data.CurrentPPI;
  style.UpdateCorners = update_corners;
  style.ColorsAutoUpdate = colors_auto_update;
  if (style.ColorTone != clNone)
    style.ColorTone = acColorToRGB(style.ColorTone, manager);
  PaintItem(data.SkinIndex, ci, state, r, pp, item_bmp, *sd, style);
}

void PaintItemBG(TsCommonData& data, const TCacheInfo& ci, int state, TRect r, TPoint pp,
                 Bitmap& item_bmp) {
  TsSkinManager* manager = data.GetSkinManager();
  TacSkinData* sd = data.GetCommonSkinData();
  if (manager == nullptr || sd == nullptr || !data.Skinned())
    return;
  TColor custom = clFuchsia;
  if (data.FCustomColor && data.FOwnerObject != nullptr)
    custom = acColorToRGB(data.FOwnerObject->Color(), manager);
  PaintItemBG(data.SkinIndex, ci, state, r, pp, item_bmp, *sd, -1, -1, custom);
}

void UpdateBmpColors(Bitmap& bmp, TsCommonData& data, int state, TColor color_tone_bg) {
  TsSkinManager* manager = data.GetSkinManager();
  if (manager == nullptr || !data.Skinned())
    return;
  const bool button = data.COC == COC_TsButton || data.COC == COC_TsBitBtn;
  TColor tone = button ? color_tone_bg : data.FColorTone;
  if (button && tone == 0)
    tone = clNone;
  if (tone != clNone)
    tone = acColorToRGB(tone, manager);
  UpdateBmpColors(bmp, tone, data.FHUEOffset, data.FSaturation);
  UpdateCorners(data, state, kAllCorners);
}

void UpdateCorners(TsCommonData& data, int state, unsigned corners) {
  TsSkinManager* manager = data.GetSkinManager();
  TacSkinData* sd = data.GetCommonSkinData();
  Bitmap* cache = data.FCacheBmp.get();
  if (manager == nullptr || !manager->IsActive() || sd == nullptr || cache == nullptr ||
      cache->Empty() || !data.Skinned() || data.FOwnerObject == nullptr)
    return;
  const TsGeneralData& gd = sd->gd[static_cast<std::size_t>(data.SkinIndex)];
  TCacheInfo ci = GetParentCache(data);
  const TRect bounds = data.FOwnerObject->BoundsRect();
  ci.X += bounds.Left;
  ci.Y += bounds.Top;
  const int w = cache->Width(), h = cache->Height();
  const auto refresh = [&](unsigned corner, int cw, int ch) {
    if ((corners & corner) == 0 || cw <= 0 || ch <= 0)
      return;
    const bool right = corner == scRightTop || corner == scRightBottom;
    const bool bottom = corner == scLeftBottom || corner == scRightBottom;
    const int x = right ? w - cw : 0, y = bottom ? h - ch : 0;
    FillTransPixels32(*cache, Rect(x, y, x + cw, y + ch), ci);
  };
  if (data.FCustomBorder.IsChanged()) {
    const TacPaintBorderData& b = data.FCustomBorder;
    const std::pair<unsigned, int> custom[] = {{scLeftTop, b.RadiusTopLeft},
                                               {scRightTop, b.RadiusTopRight},
                                               {scLeftBottom, b.RadiusBottomLeft},
                                               {scRightBottom, b.RadiusBottomRight}};
    for (const auto& [corner, radius] : custom)
      refresh(corner, radius, std::min(h, radius));
    return;
  }
  const bool has_frame =
      gd.BorderIndex >= 0 && static_cast<std::size_t>(gd.BorderIndex) < sd->ma.size();
  if (!has_frame) {
    if (gd.BorderRadius > 0)
      for (const unsigned corner : {scLeftTop, scRightTop, scLeftBottom, scRightBottom})
        refresh(corner, std::min(w, gd.BorderRadius), std::min(h, gd.BorderRadius));
    return;
  }
  // A frame whose corners may be transparent: its corner slices show the parent again.
  const TsMaskData& md = sd->ma[static_cast<std::size_t>(gd.BorderIndex)];
  if ((md.Cfg & 1) == 0 || (state == 0 && (md.DrawMode & kDrawNotInState0) != 0))
    return;
  refresh(scLeftTop, md.WL, md.WT);
  refresh(scRightTop, md.WR, md.WT);
  refresh(scLeftBottom, md.WL, md.WB);
  refresh(scRightBottom, md.WR, md.WB);
}

}  // namespace kestrune::skin
