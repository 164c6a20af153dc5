#include "skin/paint/common_data.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "platform/ascii_text.h"
#include "platform/control_messages.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/item_paint.h"
#include "skin/pixels/gradient.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

using platform::CM_ENABLEDCHANGED;
using platform::CM_MOUSEENTER;
using platform::CM_MOUSELEAVE;
using platform::CM_PARENTFONTCHANGED;
using platform::CM_VISIBLECHANGED;

constexpr TColor kBtnFace = static_cast<TColor>(0xFF00000Fu);
constexpr TColor kWindow = static_cast<TColor>(0xFF000005u);
constexpr TColor kWindowText = static_cast<TColor>(0xFF000008u);

// A section at most this transparent (per cent) in a state shows its own text colours there;
// a more transparent one asks its control which section's colours apply.
constexpr int kOwnTextMaxTransparency = 39;

bool IsControl(const TacSkinOwner* owner) {
  return owner != nullptr && owner->OwnerKind() == TacSkinOwner::Kind::Control;
}

bool IsProvider(const TacSkinOwner* owner) {
  return owner != nullptr && owner->OwnerKind() == TacSkinOwner::Kind::Provider;
}

bool HasWindow(const TacSkinOwner* owner) {
  return owner != nullptr && owner->Windowed() && owner->Handle() != nullptr;
}

// The colour a control shows, or the colour of a parent without a skin state.
TColor OwnColor(const TacSkinOwner* owner) {
  return owner != nullptr ? owner->Color() : kBtnFace;
}

// Texture draw modes that make the background depend on each side or on the whole size.
constexpr bool InModes(int mode, std::initializer_list<int> modes) {
  return std::find(modes.begin(), modes.end(), mode) != modes.end();
}

}  // namespace

TacGlows* GlowsOf(const TsSkinManager* manager) {
  return manager == nullptr ? nullptr : dynamic_cast<TacGlows*>(manager->Glows);
}

// ---- Lifetime and binding

TsCommonData::TsCommonData(TacSkinOwner* owner, bool create_cache_bmp) : FOwnerObject(owner) {
  if (IsControl(owner))
    FOwnerControl = owner;
  InvalidRectH.Right = 0;
  InvalidRectV.Bottom = 0;
  if (create_cache_bmp)
    FCacheBmp = std::make_unique<Bitmap>();
  InitCommonProp();
}

TsCommonData::~TsCommonData() {
  HideOwnGlow(false);
  RemoveCommonProp();
}

void TsCommonData::InitCommonProp() {
  if (HasWindow(FOwnerObject))
    FOwnerObject->SetCommonProp(this);
}

void TsCommonData::RemoveCommonProp() {
  if (FOwnerObject != nullptr)
    FOwnerObject->RemoveCommonProp();
}

TacWindow TsCommonData::OwnerHandle() const {
  if (FOwnerObject == nullptr)
    return FSWHandle;
  if (FOwnerObject->OwnerKind() == TacSkinOwner::Kind::Other)
    return FSWHandle != nullptr ? FSWHandle : FOwnerObject->Handle();
  return FOwnerObject->Handle();
}

void TsCommonData::Loaded(bool update_colors) {
  Loading = false;
  FCommonSkinData = nullptr;
  UpdateData();
  if (Skinned() && FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr &&
      !FOwnerControl->Parent()->Loading()) {
    // The glass-mode setup; its handler guards itself against re-entry.
    FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_SETGLASSMODE), 0);
    if (update_colors)
      UpdateCtrlColors(false);
  }
  InitCommonProp();
}

TsSkinManager* TsCommonData::GetSkinManager() const {
  return FSkinManager != nullptr ? FSkinManager : DefaultManager();
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == GetSkinManager() && (value == nullptr || FSkinManager == value ||
                                    (FSkinManager == nullptr && value == DefaultManager())))
    return;
  FCommonSkinData = nullptr;
  FSkinManager = value == DefaultManager() ? nullptr : value;
  if (FOwnerObject != nullptr && FOwnerObject->Loading())
    return;
  bool has_sections = false;
  try {
    has_sections = value != nullptr && value->IsActive() && !value->gd().empty();
  } catch (const std::exception&) {
  }
  if (has_sections)
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr &&
      !FOwnerControl->Parent()->Destroying()) {
    const auto lparam = reinterpret_cast<std::intptr_t>(value);
    if (SkinIndex >= 0)
      FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_REFRESH), lparam);
    else
      FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_REMOVESKIN), lparam);
  }
}

TacSkinData* TsCommonData::GetCommonSkinData() {
  TsSkinManager* manager = GetSkinManager();
  if (manager == nullptr)
    return nullptr;
  if (FCommonSkinData != nullptr)
    return FCommonSkinData;
  try {
    const int system_ppi = FOwnerObject != nullptr ? FOwnerObject->PPI() : 96;
    if (manager->IsActive() && SkinIndex >= 0) {
      int ppi = CurrentPPI;
      // A control that is still loading or whose parent is hidden cannot tell its density yet:
      // its stand-in copy is answered but not kept, or it would outlive the real density.
      bool density_known = true;
      if (IsProvider(FOwnerObject)) {
        ppi = FOwnerObject->PPI();
        if (manager->Options.ScaleMode == smVCL)
          CurrentPPI = ppi;
      } else if (FOwnerControl == nullptr) {
        ppi = system_ppi;
      } else if (!FOwnerControl->Loading() && FOwnerControl->Parent() != nullptr &&
                 FOwnerControl->Parent()->Showing()) {
        if ((manager->ManagerState & msFormScaling) != 0) {
          ppi = CurrentPPI;
        } else {
          switch (manager->Options.ScaleMode) {
            case smAuto:
            case smVCL:
              ppi = FOwnerControl->PPI();
              break;
            case smOldMode:
              ppi = 96;
              break;
            case smCustomPPI:
              ppi = manager->Options.PixelsPerInch;
              break;
            case sm100:
              ppi = 96;
              break;
            case sm125:
              ppi = 120;
              break;
            case sm150:
              ppi = 144;
              break;
            case sm200:
              ppi = 192;
              break;
          }
        }
      } else {
        density_known = false;
      }
      TacSkinData& data = manager->CommonSkinData(ppi);
      if (!density_known) {
        FStandInPPI = ppi;
        return &data;
      }
      FCommonSkinData = &data;
      PPIIndex = FCommonSkinData->ScaleValue;
      // A frame measured from a stand-in of another density is measured again.
      const bool remeasure = FStandInPPI != 0 && FStandInPPI != ppi && HasWindow(FOwnerObject);
      FStandInPPI = 0;
      if (remeasure)
        FOwnerObject->FrameChanged();
      return FCommonSkinData;
    }
    FCommonSkinData = nullptr;
    const int ppi =
        manager->Options.ScaleMode == smCustomPPI ? manager->Options.PixelsPerInch : system_ppi;
    return &manager->CommonSkinData(ppi);
  } catch (const std::exception&) {
    FCommonSkinData = nullptr;
    return nullptr;
  }
}

void TsCommonData::SetSkinSection(std::string_view value) {
  if (value == FSkinSection)
    return;
  HideOwnGlow(false);
  CircleID = -1;
  FSkinSection = Upper(value);
  TsSkinManager* manager = GetSkinManager();
  bool has_sections = false;
  try {
    has_sections = manager != nullptr && !manager->gd().empty();
  } catch (const std::exception&) {
  }
  if (has_sections)
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr && !FOwnerControl->Loading() &&
      !FOwnerControl->Destroying()) {
    if (FOwnerControl->Windowed()) {
      if (FCacheBmp)
        *FCacheBmp = Bitmap();
      TacMessage changed = MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_SETBGCHANGED, 1), 0);
      AlphaBroadCast(FOwnerControl, changed);
    }
    if (!FUpdating && !Loading) {
      const auto lparam = reinterpret_cast<std::intptr_t>(manager);
      if (SkinIndex >= 0)
        FOwnerControl->Send(
            SM_ALPHACMD,
            MakeCommandParam(AC_REFRESH, static_cast<std::uint16_t>(SkinIndex & 0xFFFF)), lparam);
      else
        FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_REMOVESKIN), lparam);
    } else if (!Loading) {
      UpdateControlColors(false);
    }
  } else if (IsProvider(FOwnerObject)) {
    BGChanged = true;
  }
}

void TsCommonData::UpdateIndexes(bool update_main) {
  BGChanged = true;
  if (update_main) {
    FCommonSkinData = nullptr;
    SkinIndex = -1;
    TsSkinManager* manager = GetSkinManager();
    if (manager != nullptr && manager->IsActive()) {
      if (!FSkinSection.empty()) {
        SkinIndex = manager->GetSkinIndex(FSkinSection);
      } else if (FOwnerObject != nullptr) {
        // The answer is the kind's default index plus one, 0 for none.
        const std::intptr_t answer =
            FOwnerObject->Send(SM_ALPHACMD, MakeCommandParam(AC_GETDEFINDEX), 0);
        SkinIndex = answer > 0 ? static_cast<int>(answer - 1) : -1;
      }
    }
  }
  InitBGType();
}

void TsCommonData::InitIndexes(const std::vector<std::string_view>& sections) {
  TsSkinManager* manager = GetSkinManager();
  if (manager == nullptr) {
    SkinIndex = -1;
    return;
  }
  for (std::string_view name : sections) {
    if (name.empty())
      continue;
    const int index = manager->GetSkinIndex(name);
    if (index >= 0) {
      SkinIndex = index;
      break;
    }
  }
  UpdateIndexes(false);
}

void TsCommonData::UpdateData() {
  if (!FSkinSection.empty() || sAskDefaultIndex.Contains(COC)) {
    UpdateIndexes(true);
    return;
  }
  switch (COC) {
    case COC_TsComboBoxEx:
      SetSkinSection("COMBOBOX");
      break;
    case COC_TsFrameBar:
      SetSkinSection("BAR");
      break;
    case COC_TsBarTitle:
      SetSkinSection("BARTITLE");
      break;
    case COC_TsDragBar:
      SetSkinSection("DRAGBAR");
      break;
    case COC_TsNavButton:
      SetSkinSection("TOOLBUTTON");
      break;
    case COC_TsAdapter:
      SetSkinSection("EDIT");
      break;
    default:
      if (FOwnerObject != nullptr)
        SetSkinSection(FOwnerObject->ClassName());
      break;
  }
}

bool TsCommonData::Skinned(bool check_skin_active) const {
  try {
    TsSkinManager* manager = GetSkinManager();
    if (manager == nullptr || SkinIndex < 0)
      return false;
    if (check_skin_active && !manager->IsActive())
      return false;
    if (static_cast<std::size_t>(SkinIndex) >= manager->gd().size())
      return false;
    return FOwnerObject == nullptr || !FOwnerObject->Destroying();
  } catch (...) {
    return false;
  }
}

void TsCommonData::InitBGType() {
  BGType = 0;
  TsSkinManager* manager = GetSkinManager();
  if (manager == nullptr || SkinIndex < 0)
    return;
  for (const std::unique_ptr<TacSkinData>& data : manager->SkinDataArray) {
    const TsGeneralData* gd = SectionOf(data.get(), SkinIndex);
    if (gd == nullptr)
      continue;
    for (const TsGenState& state : gd->Props) {
      if (state.ImagePercent > 0 && state.TextureIndex >= 0 &&
          static_cast<std::size_t>(state.TextureIndex) < data->ma.size()) {
        const int mode = data->ma[static_cast<std::size_t>(state.TextureIndex)].DrawMode;
        if (InModes(mode, {1, 4, 5, 8, 9, 11, 12}))
          BGType |= BGT_STRETCH;
        if (InModes(mode, {0, 1, 3, 5, 10, 12}))
          BGType |= BGT_TEXTURELEFT;
        if (InModes(mode, {0, 1, 7, 9, 10, 12}))
          BGType |= BGT_TEXTURERIGHT;
        if (InModes(mode, {0, 1, 2, 4, 10, 11}))
          BGType |= BGT_TEXTURETOP;
        if (InModes(mode, {0, 1, 6, 8, 10, 11}))
          BGType |= BGT_TEXTUREBOTTOM;
      }
      if (!state.GradientArray.empty() &&
          (state.GradientPercent > 0 || (state.GradientArray[0].Mode & PM_OVERLAY) != 0)) {
        switch (state.GradientArray[0].Mode & MASK_DIRECTION) {
          case 0:
            BGType |= BGT_GRADIENTVERT;
            break;
          case 1:
            BGType |= BGT_GRADIENTHORZ;
            break;
          case 2:
            BGType |= BGT_GRADIENTVERT | BGT_GRADIENTHORZ;
            break;
          default:
            break;
        }
      }
    }
  }
}

bool TsCommonData::FullRepaintOnly() const {
  return ((CtrlSkinState & ACS_REPAINTNEEDH) != 0 && (BGType & 0xA5) != 0) ||
         ((CtrlSkinState & ACS_REPAINTNEEDV) != 0 && (BGType & 0x56) != 0);
}

// ---- Painting support

void TsCommonData::InitCacheBmp() {
  try {
    if (!FCacheBmp)
      FCacheBmp = std::make_unique<Bitmap>();
    if (FCacheBmp->PixelFormat() != TPixelFormat::pf32bit)
      FCacheBmp->SetPixelFormat(TPixelFormat::pf32bit);
    if (FOwnerControl != nullptr) {
      const TRect r = FOwnerControl->BoundsRect();
      const int w = std::max(0, r.Width());
      const int h = std::max(0, r.Height());
      if (FCacheBmp->Width() != w || FCacheBmp->Height() != h)
        *FCacheBmp = CreateBmp32(w, h);
    }
  } catch (const std::exception&) {
    *FCacheBmp = Bitmap();
  }
}

const TsGeneralData* TsCommonData::Section() {
  return SectionOf(GetCommonSkinData(), SkinIndex);
}

bool TsCommonData::ControlIsActive() const {
  if (FOwnerControl == nullptr || FOwnerControl->Destroying() || !FOwnerControl->Enabled())
    return false;
  if (FFocused)
    return true;
  if (FOwnerControl->Focused() && COC != COC_TsPanel)
    return true;
  if (!FMouseAbove)
    return false;
  const TsSkinManager* manager = GetSkinManager();
  if (manager != nullptr && manager->Options.NoMouseHover)
    return false;
  const bool allow_hot_edits = manager != nullptr && manager->Effects.AllowHotEdits;
  return !sForbidMouse.Contains(COC) && (!sNoHotEdits.Contains(COC) || allow_hot_edits);
}

TColor TsCommonData::ControlColor() const {
  return OwnColor(FOwnerObject);
}

TColor TsCommonData::GetBGColor(int state, TacSkinOwner* window) {
  if (!Skinned())
    return FOwnerObject != nullptr ? FOwnerObject->Color() : kBtnFace;
  const TsGeneralData* gd = Section();
  if (gd == nullptr)
    return ControlColor();
  const std::size_t i = state > 0 && gd->States > 1 ? 1 : 0;
  const int t = gd->Props[i].Transparency;
  const TColor c = gd->Props[i].Color;
  TacSkinOwner* parent = FOwnerControl != nullptr ? FOwnerControl->Parent()
                         : window != nullptr      ? window->Parent()
                                                  : nullptr;
  const TColor parent_color = ColorToRGB(parent != nullptr ? parent->Color() : kBtnFace);
  TColor result;
  if (t >= 100)
    result = parent_color;
  else if (t > 0)
    result = TransparentColor(parent_color, c, t);
  else
    result = FCustomColor ? ControlColor() : c;
  return ApplyColorShift(*this, result);
}

TColor ApplyColorShift(const TsCommonData& data, TColor color) {
  if (data.FColorTone != clNone)
    color = ChangeTone(color, data.FColorTone);
  if (data.FHUEOffset != 0)
    color = ChangeHue(data.FHUEOffset, color);
  if (data.FSaturation != 0)
    color = ChangeSaturation(std::clamp(data.FSaturation * 255 / 100, -255, 255), color);
  return color;
}

void TsCommonData::SetSkinColors(int state) {
  if (FOwnerControl == nullptr)
    return;
  const TsGeneralData* gd = Section();
  if (gd == nullptr)
    return;
  const TsGenState& props = gd->Props[static_cast<std::size_t>(SectionState(*gd, state))];
  CtrlSkinState |= ACS_CHANGING;
  if (!FCustomColor)
    FOwnerControl->SetColor(ApplyColorShift(*this, props.Color));
  const TsSkinManager* manager = GetSkinManager();
  if (!FCustomFont &&
      (COC != COC_TsListView || (manager != nullptr && manager->Effects.AllowHotEdits)))
    FOwnerControl->SetFontColor(props.FontColor.Color);
  CtrlSkinState &= ~ACS_CHANGING;
}

void TsCommonData::UpdateCtrlColors(bool redraw) {
  if (FOwnerControl == nullptr)
    return;
  if (Skinned() && HasWindow(FOwnerControl)) {
    const TsGeneralData* gd = Section();
    if (sEditCtrls.Contains(COC) && gd != nullptr &&
        !(gd->Props[0].Transparency == 100 && gd->Props[1].Transparency == 100)) {
      SetSkinColors(0);
    }
    const TsSkinManager* manager = GetSkinManager();
    FOwnerControl->SetBackgroundBrush(manager != nullptr ? manager->GetGlobalColor() : kBtnFace);
  } else if (COC != COC_TsScrollBar) {
    FOwnerControl->RestoreBackgroundBrush();
  }
  if (redraw)
    Invalidate(true);
}

void TsCommonData::UpdateControlColors(bool allow_repaint) {
  if (Skinned()) {
    UpdateCtrlColors(allow_repaint);
    return;
  }
  if (FOwnerControl == nullptr)
    return;
  if (sEditCtrls.Contains(COC)) {
    CtrlSkinState |= ACS_CHANGING;
    if (!FCustomColor)
      FOwnerControl->SetColor(kWindow);
    if (!FCustomFont)
      FOwnerControl->SetFontColor(kWindowText);
    CtrlSkinState &= ~ACS_CHANGING;
  }
  if (COC != COC_TsScrollBar)
    FOwnerControl->RestoreBackgroundBrush();
  if (allow_repaint)
    Invalidate(true);
}

// ---- Lifecycle

bool TsCommonData::OwnerReady() const {
  return FOwnerControl != nullptr && !FOwnerControl->Loading() && !FOwnerControl->Destroying() &&
         FOwnerControl->Parent() != nullptr;
}

void TsCommonData::Invalidate(bool update_now) {
  BGChanged = true;
  if (Loading || FOwnerObject == nullptr)
    return;
  if (IsProvider(FOwnerObject)) {
    FOwnerObject->Redraw(update_now ? RDWA_ALLNOW : RDWA_ALL);
    return;
  }
  if (!OwnerReady())
    return;
  StopTimers();
  if (HasWindow(FOwnerControl))
    FOwnerControl->Redraw(update_now ? RDWA_ALLNOW : RDWA_ALL);
  else if (COC == COC_TsSpeedButton)
    FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_INVALIDATE), update_now ? 1 : 0);
  else
    FOwnerControl->Repaint();
}

void TsCommonData::BeginUpdate() {
  ++FUpdateCount;
  FUpdating = true;
  CtrlSkinState |= ACS_LOCKED;
  if (FOwnerObject != nullptr)
    FOwnerObject->Send(SM_ALPHACMD, MakeCommandParam(AC_BEGINUPDATE), 0);
}

void TsCommonData::EndUpdate(bool repaint) {
  // An unmatched call must not push the count below zero, or the closing command of the next
  // update would never be sent.
  if (FUpdateCount <= 0)
    return;
  if (--FUpdateCount > 0)
    return;
  CtrlSkinState &= ~ACS_LOCKED;
  FUpdating = false;
  if (FOwnerObject != nullptr)
    FOwnerObject->Send(SM_ALPHACMD, MakeCommandParam(AC_ENDUPDATE), 0);
  if (repaint)
    Invalidate(true);
}

bool TsCommonData::GetUpdating() const {
  if (GetSkinManager() == nullptr)
    return false;
  if (FUpdating)
    return true;
  TacSkinOwner* parent = FOwnerObject != nullptr ? FOwnerObject->Parent() : nullptr;
  return parent != nullptr && parent->Send(SM_ALPHACMD, MakeCommandParam(AC_PREPARING), 0) != 0;
}

bool TsCommonData::InUpdating(bool reset) {
  if (reset)
    FUpdating = false;
  if (GetUpdating()) {
    FUpdating = true;
    return true;
  }
  return false;
}

bool TsCommonData::RepaintIfMoved() {
  if (FOwnerControl == nullptr || !Skinned() || !FOwnerControl->Enabled())
    return false;
  const TsSkinManager* manager = GetSkinManager();
  if (manager != nullptr && (manager->ManagerState & msSkinChanging) != 0)
    return false;
  const TsGeneralData* gd = Section();
  if (gd == nullptr || gd->Props[0].Transparency <= 0)
    return false;
  TacSkinOwner* parent = FOwnerControl->Parent();
  return parent != nullptr && parent->Send(SM_ALPHACMD, MakeCommandParam(AC_CHILDCHANGED),
                                           reinterpret_cast<std::intptr_t>(FOwnerControl)) != 0;
}

int TsCommonData::GetPPI() {
  const TacSkinData* data = GetCommonSkinData();
  return data != nullptr ? data->PPI : CurrentPPI;
}

int TsCommonData::ScaleInt(int value, bool calc_vcl_mode) {
  const TsSkinManager* manager = GetSkinManager();
  if (manager == nullptr) {
    const int ppi = FOwnerObject != nullptr ? FOwnerObject->PPI() : 96;
    return static_cast<int>(static_cast<long long>(value) * ppi / 96);
  }
  switch (manager->Options.ScaleMode) {
    case smOldMode:
      return value;
    case smVCL:
      if (calc_vcl_mode) {
        const TacSkinData* data = GetCommonSkinData();
        return static_cast<int>(static_cast<long long>(value) * (data != nullptr ? data->PPI : 96) /
                                96);
      }
      break;
    case smCustomPPI:
      return static_cast<int>(static_cast<long long>(value) * manager->Options.PixelsPerInch / 96);
    default:
      break;
  }
  return manager->ScaleInt(value);
}

bool CanClickShift(int skin_index, TacSkinData* data) {
  const TsGeneralData* gd = SectionOf(data, skin_index);
  const TsSkinManager* manager = DefaultManager();
  if (gd == nullptr || manager == nullptr)
    return true;
  return manager->ButtonsOptions.ShiftContentOnClick || gd->ShiftOnClick;
}

void TsCommonData::ShowGlowingIfNeeded(bool clicked, int skin_index, bool allow_animation,
                                       std::uint8_t alpha) {
  const TsSkinManager* manager = GetSkinManager();
  if (manager == nullptr || !manager->Effects.AllowGlowing || manager->Options.NoMouseHover ||
      FOwnerObject == nullptr || FOwnerObject->MouseCaptured())
    return;
  const int index = skin_index < 0 ? SkinIndex : skin_index;
  const TsGeneralData* gd = SectionOf(GetCommonSkinData(), index);
  if (gd == nullptr)
    return;
  const bool glows =
      gd->GlowCount >= 1 || (FOuterEffects.Visibility == ovMouseHovered && gd->OuterMode >= 1);
  if (!glows)
    return;
  if (!FMouseAbove || (FOwnerControl == nullptr && clicked)) {
    HideOwnGlow(allow_animation);
    return;
  }
  if (FOwnerControl != nullptr &&
      (FOwnerControl->LeftButtonDown() || (clicked && GlowID >= 0) || FCustomBorder.IsChanged()))
    return;
  if (FOwnerObject->ParentForm() == nullptr)
    return;
  if (!manager->Effects.AllowAnimation)
    allow_animation = false;
  TacGlows* glow_windows = GlowsOf(manager);
  if (GlowID < 0 && glow_windows != nullptr) {
    const std::string section = gd->ClassName;
    GlowID =
        glow_windows->ShowGlow(FOwnerObject->VisibleScreenRect(), section, "GLOW", gd->GlowMargin,
                               allow_animation ? 0 : alpha, FOwnerObject->ParentForm(), this);
    if (GlowID >= 0)
      FGlows = glow_windows;
  }
  if (allow_animation && GlowID >= 0) {
    BGChanged = false;  // the state fade paints the new look
    if (AnimTimer != nullptr)
      AnimTimer->FadeToCurrentState();
  }
}

void TsCommonData::HideOwnGlow(bool animated) {
  if (GlowID >= 0 && FGlows != nullptr)
    FGlows->HideGlow(GlowID, animated);
}

void TsCommonData::RepaintOwnGlow() {
  if (GlowID >= 0 && FGlows != nullptr)
    FGlows->RepaintGlow(GlowID);
}

// ---- Messages

void TsCommonData::BroadcastToChildren(const TacMessage& message) {
  // Passed on, a command from elsewhere would reach the children as one of ours.
  if (message.Foreign)
    return;
  TacMessage copy = message;
  AlphaBroadCast(FOwnerObject, copy);
}

bool TsCommonData::RefreshNeeded(const TacMessage& message) const {
  if (message.LParam != reinterpret_cast<std::intptr_t>(GetSkinManager()))
    return false;
  const std::uint8_t low = static_cast<std::uint8_t>(message.WParam & 0xFF);
  return low == 0 || low == static_cast<std::uint8_t>(SkinIndex & 0xFF);
}

void TsCommonData::MouseEnter(TacMessage& message) {
  TsSkinManager* manager = GetSkinManager();
  if (FMouseAbove || !Skinned() || manager == nullptr)
    return;
  const TsGeneralData* gd = Section();
  const bool transparent =
      gd == nullptr || (gd->Props[0].Transparency == 100 && gd->Props[1].Transparency == 100);
  if (manager->Options.NoMouseHover || transparent || FOwnerControl == nullptr ||
      !FOwnerControl->Windowed()) {
    manager->ActiveControl = this;
    return;
  }
  if (TacSkinOwner* parent = FOwnerControl->Parent()) {
    for (TacSkinOwner* sibling : parent->Children()) {
      TsCommonData* other = sibling->SkinState();
      if (sibling == FOwnerControl || other == nullptr || !other->FMouseAbove ||
          reinterpret_cast<std::intptr_t>(sibling) == message.LParam)
        continue;
      sibling->Send(CM_MOUSELEAVE, 0, 0);
    }
  }
  FMouseAbove = true;
  if (!sForbidMouse.Contains(COC))
    manager->ActiveControl = this;
  if (!ssCanNotBeHot.Contains(COC) && !ssButtons.Contains(COC))
    ShowGlowingIfNeeded();
  if (sEditCtrls.Contains(COC) && (!sNoHotEdits.Contains(COC) || manager->Effects.AllowHotEdits) &&
      gd->States > 1) {
    BGChanged = true;
    SetSkinColors(1);
  }
}

void TsCommonData::MouseLeave() {
  if (!FMouseAbove)
    return;
  if (FOwnerControl != nullptr && FOwnerControl->MouseInControl())
    return;
  FMouseAbove = false;
  TsSkinManager* manager = GetSkinManager();
  if (manager != nullptr && manager->ActiveControl == this)
    manager->ActiveControl = nullptr;
  ShowGlowingIfNeeded();
  const TsGeneralData* gd = Skinned() ? Section() : nullptr;
  if (gd != nullptr && sEditCtrls.Contains(COC) &&
      (!sNoHotEdits.Contains(COC) || manager->Effects.AllowHotEdits) && gd->States > 1 &&
      !ControlIsActive()) {
    BGChanged = true;
    SetSkinColors(0);
  }
}

bool TsCommonData::CommonWndProc(TacMessage& message) {
  switch (message.Msg) {
    case wm::Create:
    case wm::NcCreate:
      InitCommonProp();
      break;
    case wm::Move:
      if (FOwnerControl != nullptr && Skinned()) {
        if (!FOwnerControl->Windowed()) {
          BGChanged = true;
        } else if (RepaintIfMoved()) {
          BGChanged = true;
          FOwnerControl->Send(SM_ALPHACMD, MakeCommandParam(AC_SETCHANGEDIFNECESSARY, 1), 0);
          FOwnerControl->Repaint();
        }
        RepaintOwnGlow();
      }
      break;
    case wm::Size:
      if (FOwnerControl != nullptr && Skinned()) {
        BGChanged = true;
        if (FullRepaintOnly()) {
          FOwnerControl->Redraw(FOwnerControl->Windowed() ? RDWA_ALL : 0);
          CtrlSkinState &= ~(ACS_REPAINTNEEDH | ACS_REPAINTNEEDV);
        }
        RepaintOwnGlow();
      }
      break;
    case wm::SetFocus:
    case wm::KillFocus:
      if (Skinned()) {
        FFocused = message.Msg == wm::SetFocus;
        BGChanged = true;
        const TsGeneralData* gd = Section();
        if (gd != nullptr && sEditCtrls.Contains(COC)) {
          if (FFocused && gd->States > 1)
            SetSkinColors(1);
          else if (!FFocused && !ControlIsActive())
            SetSkinColors(0);
        }
      }
      break;
    case wm::SetRedraw:
      if (message.WParam == 1)
        RedrawLockCount = std::max(0, RedrawLockCount - 1);
      else if (message.WParam == 0)
        ++RedrawLockCount;
      break;
    case wm::Paint:
      CtrlSkinState &= ~ACS_SIZING;
      break;
    case wm::ShowWindow:
      StopTimers();
      break;
    case wm::DpiChanged:
      FCommonSkinData = nullptr;
      break;
    case SM_ALPHACMD:
      return CommonMessage(message);
    case CM_MOUSEENTER:
      MouseEnter(message);
      break;
    case CM_MOUSELEAVE:
      MouseLeave();
      break;
    case CM_ENABLEDCHANGED:
      FMouseAbove = false;
      FFocused = false;
      BGChanged = true;
      break;
    case CM_VISIBLECHANGED:
      if (message.WParam == 0 && FCacheBmp) {
        const TsSkinManager* manager = GetSkinManager();
        if (manager != nullptr && manager->Options.OptimizingPriority == opMemory) {
          *FCacheBmp = Bitmap();
          TacMessage clear = MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_CLEARCACHE), 0);
          BroadcastToChildren(clear);
        }
      }
      break;
    case CM_PARENTFONTCHANGED:
      if (FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr) {
        TacMessage changed =
            MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_SETCHANGEDIFNECESSARY, 1), 0);
        BroadcastToChildren(changed);
      } else {
        TranspMode = 0;
      }
      break;
    default:
      break;
  }
  return false;
}

bool TsCommonData::CommonMessage(TacMessage& message) {
  if (message.Msg != SM_ALPHACMD)
    return false;
  switch (CommandOf(message.WParam)) {
    case AC_SETNEWSKIN:
    case AC_REMOVESKIN:
    case AC_REFRESH:
    case AC_KILLTIMERS:
      return SkinLifetimeCommand(message);
    case AC_ENDPARENTUPDATE:
    case AC_UPDATING:
    case AC_PREPARING:
    case AC_STOPFADING:
    case AC_SETBGCHANGED:
    case AC_INVALIDATE:
    case AC_SETCHANGEDIFNECESSARY:
    case AC_SETHALFVISIBLE:
    case AC_PREPARECACHE:
    case AC_CLEARCACHE:
    case AC_REINITSCROLLS:
      return CacheCommand(message);
    case AC_FONTSCHANGED:
    case AC_PRINTING:
    case AC_SETGLASSMODE:
    case AC_FORCEOPAQUE:
    case AC_SETSCALE:
      return PaintModeCommand(message);
    case AC_CTRLHANDLED:
    case AC_GETHALFVISIBLE:
    case AC_CHILDCHANGED:
    case AC_GETCONTROLCOLOR:
    case AC_GETSKINDATA:
    case AC_GETSCALE:
    case AC_ISOPAQUE:
    case AC_GETCOMMONSKINDATA:
      return QueryCommand(message);
    case AC_UPDATESECTION:
    case AC_SETSECTION:
    case AC_GETSKININDEX:
    case AC_GETBG:
    case AC_GETFONTINDEX:
    case AC_GETOUTRGN:
    case AC_PAINTOUTER:
      return PointerCommand(message);
    default:
      return true;
  }
}

bool TsCommonData::SkinLifetimeCommand(TacMessage& message) {
  const std::uint16_t argument = ArgumentOf(message.WParam);
  TsSkinManager* manager = GetSkinManager();
  const bool own_manager = message.LParam == reinterpret_cast<std::intptr_t>(manager);
  switch (CommandOf(message.WParam)) {
    case AC_SETNEWSKIN:
      if (!own_manager)
        return true;
      FCommonSkinData = nullptr;
      StopTimers();
      UpdateData();
      InitIndexes({FSkinSection});
      if (FCacheBmp)
        *FCacheBmp = Bitmap();
      return true;
    case AC_REMOVESKIN:
      if (!own_manager)
        return true;
      FCommonSkinData = nullptr;
      if (SkinIndex >= 0) {
        SkinIndex = -1;
        StopTimers();
        if (FCacheBmp)
          *FCacheBmp = Bitmap();
        UpdateControlColors(false);
        if (FOwnerControl != nullptr && sEditCtrls.Contains(COC))
          FOwnerControl->FrameChanged();
      }
      return false;
    case AC_REFRESH:
      if (RefreshNeeded(message)) {
        StopTimers();
        BGChanged = true;
        if (argument != 0) {
          TacMessage changed =
              MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_SETCHANGEDIFNECESSARY), 0);
          BroadcastToChildren(changed);
        }
        FUpdating = false;
        UpdateCtrlColors(true);
        if (FOwnerControl != nullptr && ssScrolledEdits.Contains(COC))
          FOwnerControl->FrameChanged();
      } else {
        BroadcastToChildren(message);
      }
      return true;
    case AC_KILLTIMERS:
      if (manager != nullptr && manager->ActiveControl == this)
        manager->ActiveControl = nullptr;
      HideOwnGlow(false);
      CircleID = -1;
      BroadcastToChildren(message);
      return true;
    default:
      return true;
  }
}

bool TsCommonData::CacheCommand(TacMessage& message) {
  const std::uint16_t argument = ArgumentOf(message.WParam);
  switch (CommandOf(message.WParam)) {
    case AC_ENDPARENTUPDATE:
      if (FUpdating && HasWindow(FOwnerObject)) {
        if (!InUpdating(true))
          FOwnerObject->Redraw(RDWA_ALLNOW);
        BroadcastToChildren(message);
      }
      return true;
    case AC_UPDATING:
      FUpdating = argument == 1;
      return true;
    case AC_PREPARING:
      message.Result = 0;
      if (InUpdating()) {
        message.Result = 1;
      } else if (HasWindow(FOwnerObject) && !FCustomColor) {
        if (CacheEmpty() || BGChanged) {
          FOwnerObject->Send(SM_ALPHACMD, MakeCommandParam(AC_PREPARECACHE), 0);
          message.Result = CacheEmpty() ? 1 : 0;
        } else if (FOwnerControl != nullptr) {
          const TRect r = FOwnerControl->BoundsRect();
          message.Result = FCacheBmp->Width() != r.Width() || FCacheBmp->Height() != r.Height();
        }
      }
      return true;
    case AC_STOPFADING:
      StopTimers();
      return true;
    case AC_SETBGCHANGED:
      BGChanged = true;
      StopTimers();
      BroadcastToChildren(message);
      return true;
    case AC_INVALIDATE:
      Invalidate(argument != 0);
      return true;
    case AC_SETCHANGEDIFNECESSARY: {
      const bool moved = RepaintIfMoved();
      BGChanged = BGChanged || moved;
      StopTimers();
      if (HasWindow(FOwnerObject)) {
        if (argument == 1)
          FOwnerObject->Redraw(RDWA_ALL);
        if (moved) {
          for (TacSkinOwner* child : FOwnerObject->Children()) {
            if (!child->Destroying())
              child->Send(SM_ALPHACMD, MakeCommandParam(AC_SETCHANGEDIFNECESSARY, 1), 0);
          }
        }
      }
      return true;
    }
    case AC_SETHALFVISIBLE:
      HalfVisible = true;
      return true;
    case AC_PREPARECACHE:
      BGChanged = false;
      return true;
    case AC_CLEARCACHE:
      if (FCacheBmp) {
        if (FOwnerObject != nullptr && !message.Foreign) {
          for (TacSkinOwner* child : FOwnerObject->Children()) {
            if (child->Windowed())
              child->Send(message.Msg, message.WParam, message.LParam);
          }
        }
        *FCacheBmp = Bitmap();
        BGChanged = true;
      }
      return true;
    case AC_REINITSCROLLS:
      if (HasWindow(FOwnerObject)) {
        FOwnerObject->FrameChanged();
        BroadcastToChildren(message);
      }
      return true;
    default:
      return true;
  }
}

bool TsCommonData::PaintModeCommand(TacMessage& message) {
  const std::uint16_t argument = ArgumentOf(message.WParam);
  const bool own_manager = message.LParam == reinterpret_cast<std::intptr_t>(GetSkinManager());
  // A density or a device context in a command this thread did not send is not one of ours:
  // never kept.
  switch (CommandOf(message.WParam)) {
    case AC_FONTSCHANGED:
      if (own_manager) {
        BGChanged = true;
        BroadcastToChildren(message);
      }
      return true;
    case AC_PRINTING:
      if (message.Foreign)
        return true;
      if (argument == 1) {
        CtrlSkinState |= ACS_PRINTING;
        PrintDC = reinterpret_cast<TacDC>(message.LParam);
      } else {
        CtrlSkinState &= ~ACS_PRINTING;
        PrintDC = nullptr;
      }
      return true;
    case AC_SETGLASSMODE:
      if (!GlassModeInit) {
        GlassModeInit = true;
        BGChanged = true;
        TranspMode = FOpaqueMode == omForceOpaque ? 1 : static_cast<std::uint8_t>(argument & 0xFF);
        message.Result =
            static_cast<std::intptr_t>(argument) | (static_cast<std::intptr_t>(TranspMode) << 16);
        if (argument == 1)
          BroadcastToChildren(message);
        GlassModeInit = false;
      }
      return true;
    case AC_FORCEOPAQUE:
      return true;
    case AC_SETSCALE:
      if (message.Foreign)
        return true;
      CurrentPPI = static_cast<int>(message.LParam);
      FCommonSkinData = nullptr;
      GetCommonSkinData();
      BroadcastToChildren(message);
      return false;
    default:
      return true;
  }
}

bool TsCommonData::QueryCommand(TacMessage& message) {
  const TsSkinManager* manager = GetSkinManager();
  switch (CommandOf(message.WParam)) {
    case AC_CTRLHANDLED:
      message.Result = 1;
      message.LParam = SkinIndex >= 0 ? 1 : 0;
      return true;
    case AC_GETHALFVISIBLE:
      message.Result = HalfVisible ? 1 : 0;
      return true;
    case AC_CHILDCHANGED:
      message.Result = 1;
      return true;
    case AC_GETCONTROLCOLOR: {
      TacSkinOwner* parent = FOwnerObject != nullptr ? FOwnerObject->Parent() : nullptr;
      const TsGeneralData* gd = Skinned() ? Section() : nullptr;
      const auto parent_answer = [&]() -> TColor {
        if (parent == nullptr)
          return ColorToRGB(ControlColor());
        if (parent->SkinState() != nullptr && parent->SkinState()->Skinned())
          return static_cast<TColor>(
              parent->Send(SM_ALPHACMD, MakeCommandParam(AC_GETCONTROLCOLOR), 0));
        return ColorToRGB(parent->Color());
      };
      if (gd == nullptr) {
        message.Result = ColorToRGB(ControlColor());
      } else {
        const int t = gd->Props[0].Transparency;
        const TColor o = gd->Props[0].Color;
        if (t <= 0) {
          message.Result = o;
        } else if (t >= 100) {
          message.Result = parent_answer();
        } else {
          message.Result = TransparentColor(parent_answer(), o, t);
        }
      }
      return true;
    }
    case AC_GETSKINDATA:
      message.Result = reinterpret_cast<std::intptr_t>(this);
      return true;
    case AC_GETSCALE:
      message.Result = CurrentPPI;
      return true;
    case AC_ISOPAQUE:
      message.Result = (manager != nullptr && manager->IsActive()) || FOwnerObject == nullptr ||
                               !FOwnerObject->Opaque()
                           ? 1
                           : 0;
      return true;
    case AC_GETCOMMONSKINDATA:
      message.Result = reinterpret_cast<std::intptr_t>(GetCommonSkinData());
      message.LParam = message.Result;
      return true;
    default:
      return true;
  }
}

bool TsCommonData::PointerCommand(TacMessage& message) {
  const std::uint16_t argument = ArgumentOf(message.WParam);
  // A pointer in a command this thread did not send is not one of ours: never read or write
  // through it, nor keep it.
  const bool pointer_ok = message.LParam != 0 && !message.Foreign;
  switch (CommandOf(message.WParam)) {
    case AC_UPDATESECTION:
      if (pointer_ok) {
        const auto* name = reinterpret_cast<const char*>(message.LParam);
        if (!SameTextIgnoringCase(name, FSkinSection))
          Invalidate();
      }
      return true;
    case AC_SETSECTION:
      message.Result = 0;
      if (pointer_ok) {
        SetSkinSection(reinterpret_cast<const char*>(message.LParam));
        message.Result = 1;
      }
      return true;
    case AC_GETSKININDEX:
      if (pointer_ok)
        reinterpret_cast<TacSkinIndexInfo*>(message.LParam)->SkinIndex = SkinIndex;
      return true;
    case AC_GETBG:
      if (pointer_ok) {
        const bool hot = FMouseAbove && !ssCanNotBeHot.Contains(COC);
        InitBGInfo(*this, *reinterpret_cast<TacBGInfo*>(message.LParam), FFocused || hot ? 1 : 0);
      }
      return true;
    case AC_GETFONTINDEX:
      if (pointer_ok && Skinned()) {
        auto* info = reinterpret_cast<TacPaintInfo*>(message.LParam);
        const TsGeneralData* gd = Section();
        const int state = gd != nullptr ? SectionState(*gd, info->State) : 0;
        const bool parent_font =
            gd != nullptr && gd->Props[static_cast<std::size_t>(state)].Transparency == 100;
        TacSkinOwner* parent = FOwnerObject->Parent();
        if (parent_font && parent != nullptr) {
          message.Result = parent->Send(message.Msg, message.WParam, message.LParam);
        } else {
          info->FontIndex = SkinIndex;
          message.Result = 1;
        }
      }
      return true;
    case AC_GETOUTRGN:
      if (pointer_ok)
        *reinterpret_cast<TRect*>(message.LParam) =
            FOwnerControl != nullptr ? FOwnerControl->BoundsRect() : TRect{};
      return true;
    case AC_PAINTOUTER:
      if (pointer_ok)
        PaintOuter(*reinterpret_cast<TacBGInfo*>(message.LParam), argument);
      return true;
    default:
      return true;
  }
}

// ---- Text colours

int GetFontIndex(TacSkinOwner* ctrl, int def_skin_index, TsSkinManager* skin_manager, int state) {
  if (ctrl == nullptr || skin_manager == nullptr)
    return def_skin_index;
  const int s = std::min(2, std::max(0, state));
  const TsGeneralData* gd = nullptr;
  try {
    if (def_skin_index >= 0 && static_cast<std::size_t>(def_skin_index) < skin_manager->gd().size())
      gd = &skin_manager->gd()[static_cast<std::size_t>(def_skin_index)];
  } catch (const std::exception&) {
  }
  if (s > 0 && gd != nullptr && state < gd->States &&
      gd->Props[static_cast<std::size_t>(s)].Transparency <= kOwnTextMaxTransparency)
    return def_skin_index;
  TacPaintInfo info;
  info.State = state;
  info.FontIndex = def_skin_index;
  info.R = ctrl->BoundsRect();
  info.SkinManager = skin_manager;
  const std::intptr_t answer = ctrl->Send(SM_ALPHACMD, MakeCommandParam(AC_GETFONTINDEX),
                                          reinterpret_cast<std::intptr_t>(&info));
  if (answer == -1)
    return def_skin_index;
  if (answer == 0)
    return -1;
  return info.FontIndex >= 0 ? info.FontIndex : def_skin_index;
}

TColor GetFontColor(TacSkinOwner* ctrl, int def_skin_index, TsSkinManager* skin_manager, int state,
                    TsCommonData* data) {
  if (data != nullptr && data->FCustomFont && ctrl != nullptr)
    return ctrl->FontColor();
  if (skin_manager == nullptr)
    return ctrl != nullptr ? ctrl->FontColor() : kWindowText;
  const int s = std::min(2, std::max(0, state));
  int index = def_skin_index;
  try {
    const std::vector<TsGeneralData>& gd = skin_manager->gd();
    const auto valid = [&](int i) { return i >= 0 && static_cast<std::size_t>(i) < gd.size(); };
    if (ctrl != nullptr && valid(index) && state < gd[static_cast<std::size_t>(index)].States &&
        gd[static_cast<std::size_t>(index)].Props[static_cast<std::size_t>(s)].Transparency >
            kOwnTextMaxTransparency) {
      TacPaintInfo info;
      info.State = state;
      info.FontIndex = def_skin_index;
      info.R = ctrl->BoundsRect();
      info.SkinManager = skin_manager;
      const std::intptr_t answer = ctrl->Send(SM_ALPHACMD, MakeCommandParam(AC_GETFONTINDEX),
                                              reinterpret_cast<std::intptr_t>(&info));
      if (answer == 0) {
        TacSkinOwner* parent = ctrl->Parent();
        return parent != nullptr ? parent->FontColor() : ctrl->FontColor();
      }
      if (answer != -1 && info.FontIndex >= 0)
        index = info.FontIndex;
    }
    if (!skin_manager->IsActive())
      return ctrl != nullptr ? ctrl->FontColor() : kWindowText;
    if (!valid(index))
      return skin_manager->GetGlobalFontColor();
    const TsGeneralData& section = gd[static_cast<std::size_t>(index)];
    return section.Props[static_cast<std::size_t>(SectionState(section, s))].FontColor.Color;
  } catch (const std::exception&) {
    return kWindowText;
  }
}

// ---- Scroll data

TacSkinOwner* TacScrollData::LiveWindowedOwner() const {
  TacSkinOwner* owner = owner_.FOwnerControl;
  if (!HasWindow(owner) || owner->Loading())
    return nullptr;
  return owner;
}

void TacScrollData::SetScrollWidth(int value) {
  if (value == scroll_width_)
    return;
  scroll_width_ = value;
  if (TacSkinOwner* owner = LiveWindowedOwner())
    owner->FrameChanged();
}

void TacScrollData::SetButtonsSize(int value) {
  if (value == buttons_size_)
    return;
  buttons_size_ = value;
  if (TacSkinOwner* owner = LiveWindowedOwner())
    owner->Send(wm::NcPaint, 1, 0);
}

// ---- Message utilities

std::intptr_t SendAMessage(TacSkinOwner* target, std::uint16_t cmd, std::intptr_t lparam) {
  return target != nullptr ? target->Send(SM_ALPHACMD, MakeCommandParam(cmd), lparam) : 0;
}

bool GetBoolMsg(TacSkinOwner* target, std::uint16_t cmd) {
  return SendAMessage(target, cmd) != 0;
}

void AlphaBroadCast(TacSkinOwner* owner, TacMessage& message) {
  if (owner == nullptr)
    return;
  for (TacSkinOwner* child : owner->Children())
    child->Send(message.Msg, message.WParam, message.LParam);
}

}  // namespace kestrune::skin
