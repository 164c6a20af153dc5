// The control side of outer effects: a skinned parent that has painted its cache asks its
// children to throw their shadow or glow onto it, and each child keeps the pixels it covered.

#include <cstdint>
#include <memory>

#include "platform/error.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/common_data.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/masked_copy.h"

namespace kestrune::skin {

void TsCommonData::SetOuterVisibility(TacOuterVisibility value) {
  if (FOuterEffects.Visibility == value)
    return;
  FOuterEffects.Visibility = value;
  if (Loading || FOwnerObject == nullptr || FOwnerObject->Loading())
    return;
  TacSkinOwner* parent = FOwnerObject->Parent();
  if (parent != nullptr && parent->Handle() != nullptr && !parent->Loading() &&
      !parent->Destroying())
    parent->Send(SM_ALPHACMD, MakeCommandParam(AC_INVALIDATE), 0);
  Invalidate();
}

void TsCommonData::PaintOuter(TacBGInfo& info, int data) {
  Bitmap* parent = info.PaintBmp;
  if (parent == nullptr || parent->Empty() || FOwnerObject == nullptr || !Skinned())
    return;
  const TacSkinData* sd = GetCommonSkinData();
  if (sd == nullptr)
    return;
  TRect own;
  FOwnerObject->Send(SM_ALPHACMD, MakeCommandParam(AC_GETOUTRGN),
                     reinterpret_cast<std::intptr_t>(&own));
  own = Rect(own.Left + info.Offset.X, own.Top + info.Offset.Y, own.Right + info.Offset.X,
             own.Bottom + info.Offset.Y);
  const TRect r = OuterEffectRect(own, SkinIndex, *sd);
  const bool shown = FOuterEffects.IsShown(FOwnerObject->Focused());
  // A repeat starts again from the parent's pixels kept when the effect was first drawn there;
  // taking the parent's current ones would lay the new effect over the old.
  const bool kept = FOuterCache && !FOuterCache->Empty() && FOuterRect == r && !r.IsEmpty();
  if ((data & 1) != 0 && kept) {
    CopyRect32(*parent, r.Left, r.Top, *FOuterCache,
               Rect(0, 0, FOuterCache->Width(), FOuterCache->Height()));
  } else {
    if (!shown || r.IsEmpty())
      return;
    try {
      if (!FOuterCache)
        FOuterCache = std::make_unique<Bitmap>(r.Width(), r.Height());
      else if (FOuterCache->Width() != r.Width() || FOuterCache->Height() != r.Height())
        FOuterCache->SetSize(r.Width(), r.Height());
    } catch (const Error&) {
      FOuterCache.reset();
      FOuterRect = {};
      return;  // painting never raises; without a place for the pixels there is no effect
    }
    CopyRect32(*FOuterCache, 0, 0, *parent, r);
    FOuterRect = r;
  }
  if (shown)
    PaintOuterEffect(*parent, own, SkinIndex, *sd, FOuterEffects.Visibility == ovFocused);
}

void TsCommonData::PaintOuterEffects(TacSkinOwner* owner_ctrl, TPoint offset) {
  const TsSkinManager* manager = GetSkinManager();
  if (owner_ctrl == nullptr || manager == nullptr || !manager->Effects.AllowOuterEffects ||
      !Skinned() || CacheEmpty())
    return;
  TacBGInfo info;
  info.Bmp = FCacheBmp.get();
  info.PaintBmp = FCacheBmp.get();
  info.Offset = offset;
  info.BgType = btCache;
  for (TacSkinOwner* child : owner_ctrl->Children()) {
    if (child->Visible() && !child->Loading() && !child->Destroying())
      child->Send(SM_ALPHACMD, MakeCommandParam(AC_PAINTOUTER, 0),
                  reinterpret_cast<std::intptr_t>(&info));
  }
}

}  // namespace kestrune::skin
