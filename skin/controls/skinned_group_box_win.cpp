#include "skin/controls/skinned_group_box_win.h"

#include <algorithm>

#include "platform/gdi_win.h"
#include "platform/win_util.h"
#include "skin/controls/skinned_control_win.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/bg_paint_win.h"
#include "skin/paint/control_kinds.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/skin_text_win.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

// A deferred paint is tried again after this long.
constexpr UINT_PTR kRetryTimer = 0x4B47;
constexpr UINT kRetryDelay = 50;  // milliseconds

// The default disabled blend (of 255): the share of the picture kept.
constexpr std::uint8_t kDefBlendDisabled = 100;

}  // namespace

TsGroupBox::TsGroupBox(platform::GroupBox& box) : box_(box), retry_timer_(kRetryTimer) {
  owner_ = std::make_unique<WinSkinOwner>(box);
  owner_->on_message = [this](TacMessage& message) { return HandleMessage(message); };
  data_ = std::make_unique<TsCommonData>(owner_.get(), true);
  data_->COC = COC_TsGroupBox;
  data_->Loaded(false);
  ::RedrawWindow(Handle(), nullptr, nullptr, RDWA_ALL);
}

TsGroupBox::~TsGroupBox() {
  RestoreLabels();
  data_.reset();
  owner_.reset();
}

bool TsGroupBox::Skinned() const {
  return data_ != nullptr && data_->Skinned(true);
}

void TsGroupBox::InitPaintData() {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const std::wstring text = platform::Widen(box_.Text());
  platform::WindowDc dc(Handle());
  platform::SelectedObject font(dc.Get(), box_.EffectiveFont());
  SIZE letter{};
  ::GetTextExtentPoint32W(dc.Get(), L"W", 1, &letter);
  RECT measured{0, 0, client.right, 0};
  if (!text.empty())
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  TsGroupBoxLayoutInput in;
  in.Size = TSize{client.right, client.bottom};
  in.LetterHeight = letter.cy;
  in.TextWidth = text.empty() ? 0 : static_cast<int>(measured.right - measured.left);
  in.CaptionMargin = CaptionMargin;
  in.CaptionYOffset = CaptionYOffset;
  in.CaptionWidth = CaptionWidth;
  in.Spacing = data_->ScaleInt(4);
  in.BevelWidth = 1;
  in.Layout = CaptionLayout;
  in.RightToLeft = (::GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  in.CardStyle = false;  // the manager knows only the standard style
  layout_ = LayoutGroupBox(in);
}

int TsGroupBox::CaptionSection() {
  TsSkinManager* manager = data_->GetSkinManager();
  if (manager == nullptr)
    return -1;
  if (!CaptionSkin.empty()) {
    const int index = manager->GetSkinIndex(CaptionSkin);
    if (index >= 0)
      return index;
  }
  return manager->GetSkinIndex("TRANSPARENT");
}

// The caption section's colours, unless the box's own section lets the parent's text colour
// through and a skinned parent names its own section for it.
int TsGroupBox::FontSection(int caption_index) {
  const TsGeneralData* gd = SectionOf(data_->GetCommonSkinData(), data_->SkinIndex);
  TacSkinOwner* parent = owner_->Parent();
  const bool parent_font = gd != nullptr && parent != nullptr && !data_->FCustomFont &&
                           gd->Props[0].Transparency > 50 && gd->BorderIndex < 0;
  if (!parent_font)
    return caption_index;
  auto* parent_window = static_cast<HWND>(parent->Handle());
  if (parent_window == nullptr || !WndIsSkinned(parent_window))
    return caption_index;
  TacPaintInfo info;
  info.State = 0;
  info.FontIndex = caption_index;
  info.R = owner_->BoundsRect();
  info.SkinManager = data_->GetSkinManager();
  const std::intptr_t answer = parent->Send(SM_ALPHACMD, MakeCommandParam(AC_GETFONTINDEX),
                                            reinterpret_cast<std::intptr_t>(&info));
  return answer != 0 && answer != -1 && info.FontIndex >= 0 ? info.FontIndex : caption_index;
}

bool TsGroupBox::PrepareCache() {
  if (!Skinned())
    return false;
  TacSkinData* sd = data_->GetCommonSkinData();
  if (SectionOf(sd, data_->SkinIndex) == nullptr)
    return false;
  TCacheInfo ci = GetParentCache(*data_);
  if (!ci.Ready && ci.FillColor == clFuchsia && ci.Bmp == nullptr) {
    data_->FUpdating = true;  // the parent's finished paint tells us to try again
    return false;
  }
  const TRect bounds = owner_->BoundsRect();
  ci.X += bounds.Left;
  ci.Y += bounds.Top;
  data_->InitCacheBmp();
  Bitmap& cache = *data_->FCacheBmp;
  if (cache.Empty())
    return false;
  InitPaintData();
  const int w = cache.Width();
  const int h = cache.Height();
  const TRect& top = layout_.TopRect;
  if (data_->FCustomColor) {
    FillRect32(cache, TRect{0, 0, w, h}, ColorToRGB(owner_->Color()));
  } else {
    PaintParentBG(cache, top, ci);
  }
  // The frame starts at the caption's middle.
  PaintItem(*data_, ci, 0, TRect{0, top.Bottom, w, h}, TPoint{0, top.Bottom}, cache);
  const int caption_index = CaptionSection();
  PaintCaptionArea(cache, ci, caption_index);
  text_index_ = FontSection(caption_index);
  WriteText(cache, text_index_);
  ColorLabels();
  if (!box_.Enabled()) {
    const TRect area = CaptionBackdropRect(layout_, CaptionMargin);
    if (ci.Ready && ci.Bmp != nullptr) {
      BlendTransRectangle(
          cache, area.Left, area.Top, *ci.Bmp,
          TRect{ci.X + area.Left, ci.Y + area.Top, ci.X + area.Right - 1, ci.Y + area.Bottom - 1},
          kDefBlendDisabled, static_cast<std::uint32_t>(clNone));
    } else {
      const TColor fill =
          ci.FillColor == clFuchsia ? data_->GetSkinManager()->GetGlobalColor() : ci.FillColor;
      FadeBmp(cache, area, kDefBlendDisabled * 100 / 255, fill, 0, 0);
    }
  }
  data_->BGChanged = false;
  return true;
}

void TsGroupBox::PaintCaptionArea(Bitmap& cache, const TCacheInfo& ci, int caption_index) {
  const TRect area = CaptionBackdropRect(layout_, CaptionMargin);
  const TRect clipped{std::max(0, area.Left), std::max(0, area.Top),
                      std::min(cache.Width(), area.Right), std::min(cache.Height(), area.Bottom)};
  if (clipped.IsEmpty())
    return;
  Bitmap backdrop(clipped.Width(), clipped.Height());
  TCacheInfo at = ci;
  at.X += clipped.Left;
  at.Y += clipped.Top;
  PaintParentBG(backdrop, TRect{0, 0, backdrop.Width(), backdrop.Height()}, at);
  TacSkinData* sd = data_->GetCommonSkinData();
  if (sd != nullptr && SectionOf(sd, caption_index) != nullptr) {
    const int state = ::GetFocus() == Handle() ? 1 : 0;
    PaintItem(caption_index, at, state, TRect{0, 0, backdrop.Width(), backdrop.Height()}, TPoint{},
              backdrop, *sd);
  }
  CopyPixels(cache, TPoint{clipped.Left, clipped.Top}, backdrop,
             TRect{0, 0, backdrop.Width(), backdrop.Height()});
}

void TsGroupBox::WriteText(Bitmap& cache, int text_index) {
  const std::wstring text = platform::Widen(box_.Text());
  HDC dc = BitmapDC(cache);
  if (text.empty() || dc == nullptr)
    return;
  platform::SelectedObject font(dc, box_.EffectiveFont());
  ::SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (CaptionWidth > 0 && CaptionLayout != clTopCenter)
    flags |= DT_END_ELLIPSIS | DT_LEFT;
  else
    flags |= DT_CENTER;
  if ((::GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0)
    flags |= DT_RTLREADING;
  TsTextStyle look;
  look.Section = SectionOf(data_->GetCommonSkinData(), text_index);
  look.Hot = 0;
  look.GlobalColor = data_->GetSkinManager()->GetGlobalColor();
  look.Cache = &cache;
  const TRect& r = layout_.TextRect;
  // Disabled, the whole caption area is blended afterwards; the text is written as enabled.
  WriteTextEx(dc, text, true, RECT{r.Left, r.Top, r.Right, r.Bottom}, flags | DT_ALPHATEXT, look);
}

void TsGroupBox::ColorLabels() {
  const TsGeneralData* gd = SectionOf(data_->GetCommonSkinData(), text_index_);
  if (gd == nullptr)
    return;
  const auto color = static_cast<platform::ControlColor>(ColorToRGB(gd->Props[0].FontColor.Color));
  for (platform::Control* child : box_.Children()) {
    auto* label = dynamic_cast<platform::Label*>(child);
    if (label == nullptr)
      continue;
    const bool known = std::any_of(saved_label_colors_.begin(), saved_label_colors_.end(),
                                   [&](const auto& saved) { return saved.first == label; });
    if (!known)
      saved_label_colors_.emplace_back(label, label->FontColor());
    label->SetFontColor(color);
  }
}

void TsGroupBox::RestoreLabels() {
  for (const auto& [label, color] : saved_label_colors_)
    label->SetFontColor(color);
  saved_label_colors_.clear();
}

void TsGroupBox::PaintToDC(HDC dc) {
  TsGroupBoxPaintInput in;
  in.Showing = ::IsWindowVisible(Handle()) != FALSE;
  in.Destroying = box_.Destroying();
  in.Updating = false;
  if (data_->BGChanged || !data_->FCacheBmp || data_->FCacheBmp->Empty()) {
    data_->FUpdating = false;
    in.ParentBackgroundReady = PrepareCache();
  }
  switch (GroupBoxPaintDecision(in)) {
    case TacBoxPaint::Skip:
      return;
    case TacBoxPaint::Defer:
      // The parent's finished paint tells the box to try again; should none come, the box
      // asks once more itself.
      data_->FUpdating = true;
      retry_timer_.Start(Handle(), kRetryDelay);
      return;
    case TacBoxPaint::Paint:
      break;
  }
  const Bitmap& cache = *data_->FCacheBmp;
  const RECT all{0, 0, cache.Width(), cache.Height()};
  CopyWinControlCache(box_, *data_, all, all, dc, false, 0, 0);
  PaintControls(dc, box_, true, POINT{0, 0});
  SetParentUpdated();
}

void TsGroupBox::SetParentUpdated() {
  for (platform::Control* child : box_.Children()) {
    if (child->Destroying())
      continue;
    if (auto* windowed = dynamic_cast<platform::WinControl*>(child)) {
      if (windowed->Handle() == nullptr || ::IsWindowVisible(windowed->Handle()) == FALSE)
        continue;
      ::SendMessageW(windowed->Handle(), SM_ALPHACMD, MakeCommandParam(AC_ENDPARENTUPDATE), 0);
    }
  }
}

void TsGroupBox::FollowSkin() {
  if (!Skinned())
    RestoreLabels();
  data_->BGChanged = true;
  ::RedrawWindow(Handle(), nullptr, nullptr, RDWA_ALL);
}

bool TsGroupBox::HandleMessage(TacMessage& message) {
  HWND window = Handle();
  const auto wparam = static_cast<WPARAM>(message.WParam);
  switch (message.Msg) {
    case SM_ALPHACMD:
      return AnswerSkinCommand(
          message, *data_,
          {"GROUPBOX", [this] { PrepareCache(); }, nullptr, [this] { FollowSkin(); }});
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return PaintSkinnedWindow(window, message, *data_, Skinned(),
                                [this](HDC dc) { PaintToDC(dc); });
    case WM_TIMER:
      if (wparam != kRetryTimer)
        return false;
      retry_timer_.Stop();
      if (data_->FUpdating)
        ::RedrawWindow(window, nullptr, nullptr, RDWA_ALL);
      message.Result = 0;
      return true;
    case WM_ERASEBKGND:
      if (!Skinned())
        return false;
      message.Result = 1;  // the paint covers everything
      return true;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_ENABLE:
      message.Result =
          ::DefSubclassProc(window, message.Msg, wparam, static_cast<LPARAM>(message.LParam));
      data_->BGChanged = true;
      ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
      return true;
    default:
      return false;
  }
}

}  // namespace kestrune::skin
