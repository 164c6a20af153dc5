#include "skin/controls/glow.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/item_paint.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr int kHotSteps = 6;
constexpr int kPressedSteps = 6;
constexpr int kNormalSteps = 18;

const TsMaskData* ImageOf(const TacSkinData* sd, int index) {
  if (sd == nullptr || index < 0 || static_cast<std::size_t>(index) >= sd->ma.size())
    return nullptr;
  return &sd->ma[static_cast<std::size_t>(index)];
}

// A layered window reads colour channels above alpha as light added to what lies below; tints
// and rescaled pictures can leave such pixels, so every channel is held to its alpha.
void HoldToAlpha(Bitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint32_t* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      const std::uint32_t p = row[x];
      const std::uint32_t a = p >> 24;
      const auto hold = [a](std::uint32_t c) { return std::min(c & 0xFFu, a); };
      row[x] = (a << 24) | (hold(p >> 16) << 16) | (hold(p >> 8) << 8) | hold(p);
    }
  }
}

bool Meets(TRect a, TRect b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The outer effect a control shows on hover: its offsets around the control, or none.
bool HoverOuterOffsets(const TsCommonData& data, const TacSkinData& sd, const TsGeneralData& gd,
                       TRect& offsets) {
  if (data.FOuterEffects.Visibility != ovMouseHovered || gd.OuterMode <= 0)
    return false;
  offsets = gd.OuterOffset;
  if (gd.OuterMask < 0 && (gd.OuterMode == 1 || gd.OuterMode == 2)) {
    const TacOutEffData& oe = sd.oe[static_cast<std::size_t>(gd.OuterMode - 1)];
    offsets = Rect(oe.OffsetL, oe.OffsetT, oe.OffsetR, oe.OffsetB);
  }
  return true;
}

}  // namespace

// ---- Fade level

void TacGlowFade::Start(int target, bool from_normal, bool fast, bool afresh) {
  Target = target;
  if (target == ACHOT) {
    int steps = kHotSteps;
    if (from_normal)
      steps = static_cast<int>(std::lround((255.0 - Level) * kHotSteps / 255.0));
    StepsLeft = std::max(steps, 1);
    Step = (255.0 - Level) / StepsLeft;
  } else if (target == ACPRESSED) {
    StepsLeft = fast ? kPressedSteps / 2 : kPressedSteps;
    if (afresh)
      Level = 255;
    Step = -Level / StepsLeft;
  } else {
    StepsLeft = fast ? kNormalSteps / 2 : kNormalSteps;
    Step = -Level / StepsLeft;
  }
}

std::uint8_t TacGlowFade::Tick() {
  if (StepsLeft > 0) {
    Level = std::clamp(Level + Step, 0.0, 255.0);
    --StepsLeft;
  }
  return Opacity();
}

std::uint8_t TacGlowFade::Opacity() const {
  return static_cast<std::uint8_t>(std::clamp(std::lround(Level), 0L, 255L));
}

// ---- Geometry

TacGlowGeometry GlowGeometry(TRect visible, TRect image_widths, int margin,
                             const TRect* outer_offsets) {
  TacGlowGeometry g;
  const TRect& w = image_widths;
  g.MaxWidths = Rect(w.Left - margin, w.Top - margin, w.Right - margin, w.Bottom - margin);
  if (outer_offsets != nullptr) {
    g.MaxWidths.Left = std::max(g.MaxWidths.Left, outer_offsets->Left);
    g.MaxWidths.Top = std::max(g.MaxWidths.Top, outer_offsets->Top);
    g.MaxWidths.Right = std::max(g.MaxWidths.Right, outer_offsets->Right);
    g.MaxWidths.Bottom = std::max(g.MaxWidths.Bottom, outer_offsets->Bottom);
  }
  g.BmpSize = TSize{visible.Width() + g.MaxWidths.Left + g.MaxWidths.Right,
                    visible.Height() + g.MaxWidths.Top + g.MaxWidths.Bottom};
  g.NewPos = TPoint{visible.Left - g.MaxWidths.Left, visible.Top - g.MaxWidths.Top};
  g.GlowRect = Rect(g.MaxWidths.Left + margin - w.Left, g.MaxWidths.Top + margin - w.Top,
                    g.BmpSize.cx - g.MaxWidths.Right - margin + w.Right,
                    g.BmpSize.cy - g.MaxWidths.Bottom - margin + w.Bottom);
  return g;
}

// ---- Effects

TacLayeredEffect::TacLayeredEffect(TacGlowPlatform& platform, TsCommonData& skin_data)
    : SkinData(&skin_data), SkinManager(skin_data.GetSkinManager()), platform_(platform) {}

TacLayeredEffect::~TacLayeredEffect() {
  Destroyed = true;
  FreeWindow(false);
}

void TacLayeredEffect::FreeWindow(bool at_once) {
  if (!Wnd)
    return;
  Wnd->StopTimer();
  Wnd->RestoreWndProc();
  if (at_once || platform_.Terminating())
    Wnd.reset();
  else
    platform_.ReleaseLater(std::move(Wnd));
}

void TacGlowEffect::Show(TRect real_rect, std::uint8_t alpha, TacWindow wnd_handle) {
  if (Wnd)
    return;
  FRealRect = real_rect;
  FAlpha = alpha;
  FWndHandle = wnd_handle;
  Repaint();
}

void TacGlowEffect::Repaint() {
  if (SkinData == nullptr || Destroyed)
    return;
  try {
    if (!Wnd)
      Wnd = platform_.CreateGlowWindow();
    TacSkinOwner* owner = SkinData->FOwnerObject;
    TacGlowPlace place;
    if (owner == nullptr || platform_.Topmost(FWndHandle)) {
      place.kind = TacGlowPlace::Kind::Topmost;
    } else if (TacWindow above = platform_.WindowAbove(FWndHandle)) {
      place = TacGlowPlace{TacGlowPlace::Kind::Below, above};
    }
    // With nothing above the form, the top of the z-order is directly above it.

    const TacWindow control =
        owner != nullptr && owner->Windowed() ? owner->Handle() : static_cast<TacWindow>(nullptr);
    const TRect r = control != nullptr ? platform_.VisibleWindowRect(control) : FRealRect;
    if (r.IsEmpty()) {
      // A control nobody can see gets no glow, not one around its whole window.
      if (Wnd)
        Wnd->Hide();
      return;
    }
    FRealRect = r;

    TacSkinData* sd = SkinData->GetCommonSkinData();
    const TsGeneralData* gd = SectionOf(sd, SkinData->SkinIndex);
    const TsMaskData* image = ImageOf(sd, MaskIndex);
    const TRect widths = image != nullptr ? Rect(image->WL, image->WT, image->WR, image->WB)
                                          : Rect(Margin, Margin, Margin, Margin);
    TRect outer;
    const bool has_outer =
        sd != nullptr && gd != nullptr && HoverOuterOffsets(*SkinData, *sd, *gd, outer);
    const TacGlowGeometry g = GlowGeometry(r, widths, Margin, has_outer ? &outer : nullptr);
    if (!Wnd || g.BmpSize.cx <= 0 || g.BmpSize.cy <= 0)
      return;

    if (!AlphaBmp)
      AlphaBmp = std::make_unique<Bitmap>(CreateBmp32(g.BmpSize.cx, g.BmpSize.cy));
    else
      AlphaBmp->SetSize(g.BmpSize.cx, g.BmpSize.cy);
    if (AlphaBmp->Empty())
      return;
    FillRect32(*AlphaBmp, Rect(0, 0, g.BmpSize.cx, g.BmpSize.cy), 0, 0);

    const TRect area = Rect(g.MaxWidths.Left, g.MaxWidths.Top, g.MaxWidths.Left + r.Width(),
                            g.MaxWidths.Top + r.Height());
    if (has_outer)
      PaintOuterEffect(*AlphaBmp, area, SkinData->SkinIndex, *sd, SkinData->FFocused);
    if (image != nullptr) {
      const int frame = std::min(SkinData->FFocused ? 1 : 0, std::max(image->ImageCount - 1, 0));
      DrawSkinRect(*AlphaBmp, g.GlowRect, EmptyCI, *image, sd->MasterBmp, frame, false);
    }

    // Windows lying above the control stay uncovered.
    const TRect screen =
        Rect(g.NewPos.X, g.NewPos.Y, g.NewPos.X + g.BmpSize.cx, g.NewPos.Y + g.BmpSize.cy);
    if (control != nullptr) {
      for (const TRect& above : platform_.WindowsAbove(control)) {
        if (!Meets(above, screen))
          continue;
        FillRect32(*AlphaBmp,
                   Rect(above.Left - g.NewPos.X, above.Top - g.NewPos.Y, above.Right - g.NewPos.X,
                        above.Bottom - g.NewPos.Y),
                   0, 0);
      }
    }

    const TColor tone = control != nullptr ? platform_.ColorTone(control) : clNone;
    State = SkinData->ControlIsActive() ? 1 : 0;
    UpdateBmpColors(*AlphaBmp, tone, SkinData->FHUEOffset, SkinData->FSaturation);
    HoldToAlpha(*AlphaBmp);

    Wnd->Show(*AlphaBmp, g.NewPos, static_cast<std::uint8_t>(std::clamp(FAlpha, 0, 255)), place);
  } catch (const std::exception&) {
    // Painting never raises: a glow that cannot be built is simply not shown.
    if (Wnd)
      Wnd->Hide();
  }
}

// ---- Registry

TacGlowRegistry::~TacGlowRegistry() {
  releasing_ = true;
  for (auto& effect : effects_) {
    if (effect == nullptr)
      continue;
    effect->FreeWindow(true);
    if (effect->SkinData != nullptr && Entry(effect->SkinData->GlowID) == effect.get())
      effect->SkinData->GlowID = -1;
  }
  effects_.clear();
}

TacLayeredEffect* TacGlowRegistry::Entry(int id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= effects_.size())
    return nullptr;
  return effects_[static_cast<std::size_t>(id)].get();
}

TacGlowEffect* TacGlowRegistry::Glow(int id) const {
  TacLayeredEffect* effect = Entry(id);
  return effect != nullptr && effect->IsGlow() ? static_cast<TacGlowEffect*>(effect) : nullptr;
}

int TacGlowRegistry::ShowGlow(TRect real_rect, std::string_view skin_section, std::string_view name,
                              int margin, std::uint8_t alpha, TacWindow wnd_handle,
                              TsCommonData* skin_data) {
  if (!platform_.LayeredWindows() || skin_data == nullptr || platform_.MouseCaptured())
    return -1;
  TacSkinData* sd = skin_data->GetCommonSkinData();
  const TsGeneralData* gd = SectionOf(sd, skin_data->SkinIndex);
  if (gd == nullptr)
    return -1;
  int mask_index = -1;
  if (gd->GlowCount >= 1) {
    const std::string key = std::string(name) + "0";
    mask_index = skin_section.empty() ? sd->GetMaskIndex(skin_data->SkinIndex, key)
                                      : sd->GetMaskIndex(skin_section, key);
  }
  const bool hover_outer =
      skin_data->FOuterEffects.Visibility == ovMouseHovered && gd->OuterMode > 0;
  if (mask_index < 0 && !hover_outer)
    return -1;
  return Append(real_rect, mask_index, margin, alpha, wnd_handle, *skin_data);
}

int TacGlowRegistry::ShowGlow(TRect real_rect, const std::vector<int>& mask_indexes, int margin,
                              std::uint8_t alpha, TacWindow wnd_handle, TsCommonData* skin_data) {
  if (!platform_.LayeredWindows() || skin_data == nullptr || platform_.MouseCaptured())
    return -1;
  const int mask_index = mask_indexes.empty() ? -1 : mask_indexes.front();
  if (mask_index < 0)
    return -1;
  return Append(real_rect, mask_index, margin, alpha, wnd_handle, *skin_data);
}

int TacGlowRegistry::Append(TRect real_rect, int mask_index, int margin, std::uint8_t alpha,
                            TacWindow wnd_handle, TsCommonData& skin_data) {
  try {
    auto glow = std::make_unique<TacGlowEffect>(platform_, skin_data);
    glow->Margin = margin;
    glow->MaskIndex = mask_index;
    TacGlowEffect& effect = *glow;
    effects_.push_back(std::move(glow));
    const int id = static_cast<int>(effects_.size()) - 1;
    effect.Show(real_rect, alpha, wnd_handle);
    // A glow started invisible rises by itself until someone drives its opacity.
    if (alpha == 0 && effect.Wnd)
      StartFade(effect, id, ACHOT);
    return id;
  } catch (const std::exception&) {
    return -1;
  }
}

void TacGlowRegistry::StartFade(TacGlowEffect& glow, int id, int target) {
  glow.Fade.Level = glow.FAlpha;
  glow.Fade.Start(target, glow.Fade.Target == 0, false, !glow.Fade.Running());
  glow.FadingOut = target != ACHOT;
  if (glow.Wnd)
    glow.Wnd->StartTimer([this, id] { FadeTick(id); });
}

void TacGlowRegistry::FadeTick(int id) {
  TacGlowEffect* glow = Glow(id);
  if (glow == nullptr)
    return;
  // Back over the control while fading out: rise again.
  if (glow->FadingOut && glow->SkinData != nullptr && glow->SkinData->FMouseAbove)
    StartFade(*glow, id, ACHOT);
  glow->FAlpha = glow->Fade.Tick();
  if (glow->Wnd && glow->AlphaBmp)
    glow->Wnd->SetAlpha(*glow->AlphaBmp, static_cast<std::uint8_t>(glow->FAlpha));
  if (glow->Fade.Running())
    return;
  if (glow->Wnd)
    glow->Wnd->StopTimer();
  if (glow->FadingOut) {
    TsCommonData* owner = glow->SkinData;
    HideAtOnce(id);
    if (owner != nullptr && owner->GlowID == id)
      owner->GlowID = -1;
  }
}

void TacGlowRegistry::HideGlow(int& id, bool do_animation) {
  TacLayeredEffect* effect = Entry(id);
  if (effect == nullptr) {
    id = -1;  // an emptied entry must not keep the control from ever glowing again
    return;
  }
  TsSkinManager* manager = effect->SkinManager;
  TacGlowEffect* glow = Glow(id);
  // A control with a state fade of its own drives the glow there; this fade serves the others.
  const bool own_fade = glow != nullptr && glow->SkinData->AnimTimer == nullptr;
  if (do_animation && own_fade && manager != nullptr && manager->Effects.AllowAnimation &&
      !platform_.Terminating() && glow->Wnd) {
    if (!(glow->FadingOut && glow->Fade.Running()))
      StartFade(*glow, id, 0);
    return;  // the window stays up until the fade ends
  }
  HideAtOnce(id);
  id = -1;
}

void TacGlowRegistry::HideAtOnce(int id) {
  TacLayeredEffect* effect = Entry(id);
  if (effect == nullptr)
    return;
  if (effect->Wnd) {
    releasing_ = true;
    effect->FreeWindow(platform_.Terminating());
    releasing_ = false;
  }
  effects_[static_cast<std::size_t>(id)].reset();
}

void TacGlowRegistry::SetGlowAlpha(int id, int alpha) {
  TacGlowEffect* glow = Glow(id);
  if (glow == nullptr)
    return;
  glow->FAlpha = std::clamp(alpha, 0, 255);
  glow->Fade.Level = glow->FAlpha;
  glow->Fade.StepsLeft = 0;
  glow->FadingOut = false;
  if (glow->Wnd) {
    glow->Wnd->StopTimer();
    if (glow->AlphaBmp)
      glow->Wnd->SetAlpha(*glow->AlphaBmp, static_cast<std::uint8_t>(glow->FAlpha));
  }
}

void TacGlowRegistry::RepaintGlow(int id) {
  if (TacLayeredEffect* effect = Entry(id))
    effect->Repaint();
}

void TacGlowRegistry::ClearGlows(bool manual_freeing, bool skip_circles) {
  if (releasing_)
    return;
  releasing_ = true;
  for (std::size_t i = 0; i < effects_.size(); ++i) {
    std::unique_ptr<TacLayeredEffect>& effect = effects_[i];
    if (effect == nullptr || (skip_circles && !effect->IsGlow()))
      continue;
    if (manual_freeing)
      effect->FreeWindow(true);
    // Both ways reset the owner, or it would keep an identifier of an emptied entry.
    if (effect->SkinData != nullptr && effect->SkinData->GlowID == static_cast<int>(i))
      effect->SkinData->GlowID = -1;
    effect.reset();
  }
  if (!skip_circles)
    effects_.clear();
  releasing_ = false;
}

}  // namespace kestrune::skin
