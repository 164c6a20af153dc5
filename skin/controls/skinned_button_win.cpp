#include "skin/controls/skinned_button_win.h"

#include <algorithm>
#include <string>

#include "platform/control_messages.h"
#include "platform/gdi_win.h"
#include "platform/win_util.h"
#include "skin/controls/skinned_control_win.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/control_kinds.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/skin_text_win.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune::skin {
namespace {

// The wait after a press that came and went within a running fade, so the pressed look is seen.
constexpr DWORD kPressedLookWait = 30;

// A dotted one-pixel frame straight into the pixels: GDI's focus rectangle inverts, which means
// nothing on a 32-bit picture with alpha.
void DrawFocusFrame(Bitmap& bmp, TRect r, TColor color) {
  const TColor rgb = ColorToRGB(color);
  const std::uint32_t pixel = 0xFF000000u | ((static_cast<std::uint32_t>(rgb) & 0xFFu) << 16) |
                              (static_cast<std::uint32_t>(rgb) & 0xFF00u) |
                              ((static_cast<std::uint32_t>(rgb) >> 16) & 0xFFu);
  const auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < bmp.Width() && y < bmp.Height() && ((x + y) & 1) == 0)
      bmp.Row32(y)[x] = pixel;
  };
  if (r.IsEmpty())
    return;
  for (int x = r.Left; x < r.Right; ++x) {
    put(x, r.Top);
    put(x, r.Bottom - 1);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    put(r.Left, y);
    put(r.Right - 1, y);
  }
}

}  // namespace

TsButton::TsButton(platform::Button& button) : button_(button) {
  owner_ = std::make_unique<WinSkinOwner>(button);
  owner_->on_message = [this](TacMessage& message) { return HandleMessage(message); };
  data_ = std::make_unique<TsCtrlSkinData>(owner_.get(), true);
  data_->COC = COC_TsButton;
  data_->AnimTimer = this;
  data_->Loaded(false);
  UpdateStyle();
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

TsButton::~TsButton() {
  timer_.Stop();
  if (data_ != nullptr)
    data_->AnimTimer = nullptr;
  // The state goes first: it takes itself off the window while the owner still answers it.
  data_.reset();
  if (::IsWindow(Handle())) {
    ::SendMessageW(Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  owner_.reset();
}

bool TsButton::Skinned() const {
  return data_ != nullptr && data_->Skinned(true);
}

// Owner-drawn while skinned, so the system never paints over the cache; the system's own look
// again when the skin goes.
void TsButton::UpdateStyle() {
  HWND window = Handle();
  if (window == nullptr)
    return;
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR type = style & BS_TYPEMASK;
  const LONG_PTR wanted = Skinned() ? BS_OWNERDRAW : (IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (type != wanted)
    ::SendMessageW(window, BM_SETSTYLE, static_cast<WPARAM>(wanted), FALSE);
}

int TsButton::CurrentState() const {
  HWND window = Handle();
  TsButtonStateInput in;
  in.Pushed = window != nullptr && (::SendMessageW(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  in.MouseAbove = data_->FMouseAbove || owner_->MouseInControl();
  in.Down = Down;
  in.Active = data_->ControlIsActive();
  in.IsDefault = IsDefault;
  // Pushed by the space key the mouse may be anywhere.
  in.HoverTracking = ::GetCapture() == window;
  return ButtonCurrentState(in);
}

TsButtonImages TsButton::Indexes() const {
  TsButtonImages indexes = ImageIndexes;
  indexes.Count = Images.Count;
  return indexes;
}

int TsButton::CurrentImageIndex() const {
  return skin::CurrentImageIndex(Indexes(), button_.Enabled(), CurrentState(),
                                 ::GetFocus() == Handle());
}

bool TsButton::PrepareCache() {
  if (!Skinned())
    return false;
  TacSkinData* sd = data_->GetCommonSkinData();
  const TsGeneralData* gd = SectionOf(sd, data_->SkinIndex);
  if (gd == nullptr)
    return false;
  TCacheInfo ci = GetParentCache(*data_);
  if (!ci.Ready && ci.FillColor == clFuchsia && ci.Bmp == nullptr) {
    data_->FUpdating = true;  // the parent tells us when its background is there
    return false;
  }
  const TRect bounds = owner_->BoundsRect();
  ci.X += bounds.Left;
  ci.Y += bounds.Top;
  data_->InitCacheBmp();
  Bitmap& cache = *data_->FCacheBmp;
  if (cache.Empty())
    return false;
  const int state = ButtonPaintState(CurrentState(), gd->States);
  PaintItem(*data_, ci, state, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache);
  DrawCaption(cache, state, *gd);
  DrawGlyph(cache, state);
  if (!button_.Enabled())
    BmpDisabledKind(cache, DisabledKind, data_->GetSkinManager()->GetGlobalColor(), ci, TPoint{});
  data_->BGChanged = false;
  shown_state_ = state;
  return true;
}

void TsButton::DrawCaption(Bitmap& cache, int state, const TsGeneralData& gd) {
  const std::wstring text = platform::Widen(button_.Text());
  HDC dc = BitmapDC(cache);
  if (dc == nullptr)
    return;
  platform::SelectedObject font(dc, button_.EffectiveFont());
  ::SetBkMode(dc, TRANSPARENT);

  TacSkinData* sd = data_->GetCommonSkinData();
  TsButtonLayoutInput in;
  in.Size = TSize{cache.Width(), cache.Height()};
  const int index = CurrentImageIndex();
  if (index >= 0 && index < Images.Count && Images.Size)
    in.Glyph = Images.Size(data_->GetPPI());
  in.ImageMargins = ImageMargins;
  in.ContentMargin = ContentMargin;
  in.ContentSpacing = data_->ScaleInt(6);
  in.Alignment = ImageAlignment;
  in.ClickShift = state == 2 && CanClickShift(data_->SkinIndex, sd);

  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_NOCLIP | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  if ((style & BS_CENTER) == BS_LEFT)
    flags |= DT_LEFT;
  else if ((style & BS_CENTER) == BS_RIGHT)
    flags |= DT_RIGHT;
  else
    flags |= DT_CENTER;
  if ((::GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0)
    flags |= DT_RTLREADING;

  layout_ = LayoutButton(in, [&](int width) {
    RECT r{0, 0, width, 0};
    acDrawText(dc, text, r, (flags & ~static_cast<UINT>(DT_VCENTER)) | DT_CALCRECT);
    return TSize{static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
  });
  if (text.empty())
    return;
  const TRect& c = layout_.CaptionRect;
  TsTextStyle look;
  look.Section = &gd;
  look.Hot = state;
  look.GlobalColor = data_->GetSkinManager()->GetGlobalColor();
  look.ColorTone = data_->FColorTone;
  look.HueOffset = data_->FHUEOffset;
  look.Saturation = data_->FSaturation;
  look.Cache = &cache;
  WriteTextEx(dc, text, button_.Enabled(), RECT{c.Left, c.Top, c.Right, c.Bottom},
              flags | DT_ALPHATEXT, look);

  const bool focused = ::GetFocus() == Handle();
  if (focused && ShowFocus && button_.Enabled()) {
    DrawFocusFrame(cache, FocusFrameRect(c, FocusMargin, cache.Height()),
                   gd.Props[static_cast<std::size_t>(SectionState(gd, 2))].FontColor.Color);
  }
}

void TsButton::DrawGlyph(Bitmap& cache, int state) {
  const int index = CurrentImageIndex();
  const TRect& r = layout_.GlyphRect;
  if (index < 0 || index >= Images.Count || !Images.Render || r.IsEmpty())
    return;
  Bitmap glyph(r.Width(), r.Height());
  if (!Images.Render(index, glyph))
    return;
  // A disabled button without a picture of its own shows the normal one blended.
  const bool own_disabled = !button_.Enabled() && index == ImageIndexes.DisabledImageIndex &&
                            index != ImageIndexes.ImageIndex;
  const std::uint8_t opacity = button_.Enabled() || own_disabled ? 255 : 128;
  static_cast<void>(state);
  PaintBmpRect32(cache, glyph, TRect{0, 0, glyph.Width() - 1, glyph.Height() - 1}, opacity,
                 TPoint{r.Left, r.Top});
}

void TsButton::PaintWindow(HDC dc) {
  if (data_->BGChanged && !PrepareCache())
    return;
  const Bitmap& shown = timer_.Running() && !fade_frame_.Empty() ? fade_frame_ : *data_->FCacheBmp;
  if (shown.Empty())
    return;
  ::BitBlt(dc, 0, 0, shown.Width(), shown.Height(), BitmapDC(shown), 0, 0, SRCCOPY);
}

void TsButton::StateChanged(bool animate) {
  HWND window = Handle();
  if (!Skinned() || window == nullptr)
    return;
  const TsSkinManager* manager = data_->GetSkinManager();
  const bool can_fade = animate && manager != nullptr && manager->Effects.AllowAnimation &&
                        ::IsWindowVisible(window) && data_->FCacheBmp &&
                        !data_->FCacheBmp->Empty() && !data_->BGChanged;
  if (!can_fade) {
    timer_.Stop();
    data_->BGChanged = true;
    ::InvalidateRect(window, nullptr, FALSE);
    return;
  }
  const Bitmap& before = timer_.Running() ? fade_frame_ : *data_->FCacheBmp;
  Bitmap from(before.Width(), before.Height());
  CopyPixels(from, TPoint{}, before, TRect{0, 0, before.Width(), before.Height()});
  const TacFadeProgress running = timer_.Progress();
  const bool was_running = timer_.Running();
  timer_.Stop();
  if (!PrepareCache())
    return;
  const int steps = FadeStepCount(shown_state_, was_running ? running : TacFadeProgress{});
  fade_from_ = std::move(from);
  const Bitmap& to = *data_->FCacheBmp;
  fade_frame_ = Bitmap(to.Width(), to.Height());
  CrossFade(fade_frame_, fade_from_, to, 0);
  timer_.Start(window, steps, [this](int step, int count) {
    if (!data_->FCacheBmp || data_->BGChanged)
      return;
    CrossFade(fade_frame_, fade_from_, *data_->FCacheBmp, FadeWeight(step, count));
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
  });
}

void TsButton::FollowSkin() {
  UpdateStyle();
  data_->BGChanged = true;
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool TsButton::HandleMessage(TacMessage& message) {
  HWND window = Handle();
  const auto wparam = static_cast<WPARAM>(message.WParam);
  const auto lparam = static_cast<LPARAM>(message.LParam);
  switch (message.Msg) {
    case SM_ALPHACMD:
      return AnswerSkinCommand(message, *data_,
                               {"BUTTON", [this] { PrepareCache(); }, [this] { timer_.Stop(); },
                                [this] { FollowSkin(); }});
    case WM_PAINT:
      UpdateStyle();
      [[fallthrough]];
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
      return PaintSkinnedWindow(window, message, *data_, Skinned(),
                                [this](HDC dc) { PaintWindow(dc); });
    case platform::CM_MOUSEENTER:
    case platform::CM_MOUSELEAVE: {
      const bool enter = message.Msg == platform::CM_MOUSEENTER;
      data_->CommonWndProc(message);
      if (!Skinned() || !button_.Enabled())
        return true;
      if (enter && OnMouseEnter)
        OnMouseEnter();
      if (!enter && OnMouseLeave)
        OnMouseLeave();
      StateChanged(true);
      return true;
    }
    case BM_SETSTATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT: {
      // Owner-drawn, the system paints nothing of its own here: the skin paints the change.
      message.Result = ::DefSubclassProc(window, message.Msg, wparam, lparam);
      data_->CommonWndProc(message);
      if (!Skinned())
        return true;
      // The release before the click is painted at once: the click's handler may keep the
      // window thread for long, and no fade frame comes meanwhile.
      StateChanged(message.Msg == BM_SETSTATE && !releasing_);
      if (releasing_)
        ::UpdateWindow(window);
      return true;
    }
    case WM_LBUTTONUP:
      if (!Skinned())
        return false;
      if (timer_.Running()) {
        // The press came and went within its fade: show the pressed look before the click runs.
        timer_.Finish();
        ::UpdateWindow(window);
        ::Sleep(kPressedLookWait);
      }
      releasing_ = true;
      message.Result = ::DefSubclassProc(window, message.Msg, wparam, lparam);
      releasing_ = false;
      return true;
    case platform::CM_ENABLEDCHANGED:
      data_->CommonWndProc(message);
      StateChanged(false);
      return true;
    default:
      return false;
  }
}

}  // namespace kestrune::skin
