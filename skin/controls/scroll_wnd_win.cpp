#include "skin/controls/scroll_wnd_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/control_messages.h"
#include "platform/gdi_win.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/bg_info.h"
#include "skin/paint/item_paint.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr wchar_t kScrollWndProperty[] = L"ACSBSC";
constexpr UINT_PTR kScrollSubclassId = 0x5342;
constexpr UINT_PTR kHoverTimer = 0xFFF2;
constexpr UINT_PTR kFirstRepeatTimer = 0xFFFD;
constexpr UINT_PTR kRepeatTimer = 0xFFFE;
constexpr UINT kHoverInterval = 20;
constexpr UINT kFirstRepeatDelay = 300;
constexpr UINT kRepeatInterval = 55;
// An inactive bar is faded this far (percent) towards the control's colour.
constexpr int kInactiveFade = 60;

static_assert(kHtHScroll == HTHSCROLL && kHtVScroll == HTVSCROLL && kHtNowhere == HTNOWHERE);
static_assert(scLineUp == SB_LINEUP && scLineDown == SB_LINEDOWN && scPageUp == SB_PAGEUP &&
              scPageDown == SB_PAGEDOWN && scThumbPosition == SB_THUMBPOSITION &&
              scThumbTrack == SB_THUMBTRACK && scEndScroll == SB_ENDSCROLL);

TRect ToTRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

RECT ToRECT(const TRect& r) {
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

bool IsRepeating(int part) {
  return part >= scLineUp && part <= scPageDown;
}

// Messages after which the system's edit control may have drawn its own bar over ours (it
// redraws the bar on every change of the scroll information, without WM_NCPAINT).
bool MayDrawSystemBar(UINT message, WPARAM wparam) {
  switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SETTEXT:
    case WM_SIZE:
    case WM_SETFONT:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_ENABLE:
    case WM_SHOWWINDOW:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case EM_REPLACESEL:
    case EM_SETSEL:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_UNDO:
    case EM_SETRECT:
    case EM_SETRECTNP:
      return true;
    case WM_MOUSEMOVE:
      return (wparam & MK_LBUTTON) != 0;
    default:
      return false;
  }
}

void DrawArrow(Bitmap& bmp, TRect r, bool vertical, bool forward, TColor color) {
  const int size = std::max(2, std::min(r.Width(), r.Height()) / 4);
  const int cx = (r.Left + r.Right) / 2;
  const int cy = (r.Top + r.Bottom) / 2;
  for (int i = 0; i < size; ++i) {
    const int step = forward ? i : size - 1 - i;
    if (vertical)
      FillRect32(bmp, TRect{cx - step - 1, cy - size / 2 + i, cx + step + 1, cy - size / 2 + i + 1},
                 color);
    else
      FillRect32(bmp, TRect{cx - size / 2 + i, cy - step - 1, cx - size / 2 + i + 1, cy + step + 1},
                 color);
  }
}

}  // namespace

// ---- Creation and removal

TacScrollWnd::TacScrollWnd(HWND window, TsCommonData& skin_data, TsSkinManager* manager)
    : handle_(window),
      skin_data_(&skin_data),
      manager_(manager),
      hover_timer_(kHoverTimer),
      first_repeat_timer_(kFirstRepeatTimer),
      repeat_timer_(kRepeatTimer) {
  sBarHorz.nBarType = 0;
  sBarVert.nBarType = 1;
  sBarHorz.sw = this;
  sBarVert.sw = this;
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  if ((style & WS_HSCROLL) != 0)
    sBarHorz.fScrollFlags = kSfHasStyle;
  if ((style & WS_VSCROLL) != 0)
    sBarVert.fScrollFlags = kSfHasStyle;
  fLeftScrollbar = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  ReadInfo(sBarHorz);
  ReadInfo(sBarVert);
  procedure_.Set(window, kScrollWndProperty, this, &TacScrollWnd::SubclassProc, kScrollSubclassId,
                 reinterpret_cast<DWORD_PTR>(this));
  ScrollsInitialized = true;
  ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

TacScrollWnd::~TacScrollWnd() {
  *alive_ = false;
  if (destroyed_ || !::IsWindow(handle_))
    return;
  hover_timer_.Stop();
  first_repeat_timer_.Stop();
  repeat_timer_.Stop();
  if (track_.bar != nullptr && capture_.Held()) {
    // Cleared first: giving the capture back comes to the procedure as WM_CAPTURECHANGED.
    track_ = {};
    capture_.Reset();
  }
  // Out before the frame changes: the system lays out and draws its own bars again.
  procedure_.Reset();
  ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TacScrollWnd* GetScrollWnd(HWND window) {
  return window != nullptr ? static_cast<TacScrollWnd*>(::GetPropW(window, kScrollWndProperty))
                           : nullptr;
}

void RefreshEditScrolls(TsCommonData& skin_data, std::unique_ptr<TacEditWnd>& wrapper) {
  if (!skin_data.Skinned()) {
    wrapper.reset();
    return;
  }
  if (wrapper != nullptr && wrapper->Destroyed())
    wrapper.reset();
  auto* window = static_cast<HWND>(skin_data.OwnerHandle());
  if (wrapper != nullptr && wrapper->Handle() != window)
    wrapper.reset();
  if (wrapper == nullptr && window != nullptr && ::IsWindow(window))
    wrapper = std::make_unique<TacEditWnd>(window, skin_data, skin_data.FSkinManager);
}

// ---- Metrics and reading

int TacScrollWnd::GetScrollMetric(const TacScrollBar& bar, bool thickness) const {
  const TsSkinManager* manager = manager_ != nullptr ? manager_ : skin_data_->GetSkinManager();
  const TacSkinData* sd = SkinDataCopy();
  const int ppi = static_cast<int>(::GetDpiForWindow(handle_));
  const int system_width = ::GetSystemMetricsForDpi(bar.nBarType == 1 ? SM_CXVSCROLL : SM_CYHSCROLL,
                                                    static_cast<UINT>(ppi > 0 ? ppi : 96));
  const int size = Ac_ScrollThickness(manager != nullptr ? manager->ScrollsOptions.ScrollSize : -1,
                                      sd != nullptr ? sd->ScrollsWidth : -1, system_width);
  if (thickness)
    return bar.nArrowWidth != -1 ? bar.nArrowWidth : size;
  if (bar.nArrowLength != -1)
    return bar.nArrowLength;
  int own = -1;
  if (const auto* scroll_data = dynamic_cast<const TsScrollWndData*>(skin_data_))
    own = (bar.nBarType == 1 ? scroll_data->VertScrollData : scroll_data->HorzScrollData)
              .ButtonsSize();
  return Ac_ArrowLength(own, manager != nullptr ? manager->ScrollsOptions.ButtonsSize : -1,
                        sd != nullptr ? sd->ScrollArrows : -1, 16 * ppi / 96,
                        sd != nullptr ? sd->ScrollBtnLength : 16, size);
}

void TacScrollWnd::ReadInfo(TacScrollBar& bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!::GetScrollInfo(handle_, bar.nBarType == 1 ? SB_VERT : SB_HORZ, &si))
    si = SCROLLINFO{};
  bar.ScrollInfo = TacScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
  const LONG_PTR style = ::GetWindowLongPtrW(handle_, GWL_STYLE);
  const bool has_style = (style & (bar.nBarType == 1 ? WS_VSCROLL : WS_HSCROLL)) != 0;
  bar.fScrollFlags =
      static_cast<std::uint16_t>((bar.fScrollFlags & ~kSfHasStyle) | (has_style ? kSfHasStyle : 0));
}

bool TacScrollWnd::BarActive(const TacScrollBar& bar) const {
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  bool available = (bar.fScrollFlags & kSfHasStyle) != 0;
  if (::GetScrollBarInfo(handle_, bar.nBarType == 1 ? OBJID_VSCROLL : OBJID_HSCROLL, &info))
    available = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  return Ac_ScrollBarActive(bar.fScrollFlags, bar.ScrollInfo, available);
}

void TacScrollWnd::UpdateScrolls(bool repaint) {
  if (destroyed_ || skin_data_->FUpdating || !::IsWindowVisible(handle_))
    return;
  ReadInfo(sBarHorz);
  ReadInfo(sBarVert);
  if (repaint)
    RepaintNonClient();
}

RECT TacScrollWnd::BarRect(const TacScrollBar& bar) const {
  RECT w{};
  ::GetWindowRect(handle_, &w);
  TacNCLayout layout;
  layout.HorzVisible = sBarHorz.fScrollVisible;
  layout.VertVisible = sBarVert.fScrollVisible;
  layout.cxLeftEdge = cxLeftEdge;
  layout.cxRightEdge = cxRightEdge;
  layout.cyTopEdge = cyTopEdge;
  layout.cyBottomEdge = cyBottomEdge;
  const int thickness = GetScrollMetric(bar, true);
  const TRect r =
      bar.nBarType == 1
          ? Ac_VertBarRect(w.right - w.left, w.bottom - w.top, layout, thickness, fLeftScrollbar)
          : Ac_HorzBarRect(w.right - w.left, w.bottom - w.top, layout, thickness, fLeftScrollbar);
  return ToRECT(r);
}

RECT TacScrollWnd::ac_GetVScrollRect() const {
  RECT r = BarRect(sBarVert);
  RECT w{};
  ::GetWindowRect(handle_, &w);
  if (!::IsRectEmpty(&r))
    ::OffsetRect(&r, w.left, w.top);
  return r;
}

RECT TacScrollWnd::ac_GetHScrollRect() const {
  RECT r = BarRect(sBarHorz);
  RECT w{};
  ::GetWindowRect(handle_, &w);
  if (!::IsRectEmpty(&r))
    ::OffsetRect(&r, w.left, w.top);
  return r;
}

TacThumb TacScrollWnd::ThumbOf(const TacScrollBar& bar, const RECT& r) const {
  const bool vertical = bar.nBarType == 1;
  return Ac_CalcThumbSize(vertical ? r.top : r.left, vertical ? r.bottom : r.right,
                          GetScrollMetric(bar, false), bar.ScrollInfo, bar.nMinThumbSize);
}

POINT TacScrollWnd::CursorInWindow() const {
  POINT p{};
  ::GetCursorPos(&p);
  RECT w{};
  ::GetWindowRect(handle_, &w);
  return POINT{p.x - w.left, p.y - w.top};
}

int TacScrollWnd::PartAt(const TacScrollBar& bar, POINT pt, bool shift) const {
  const RECT r = BarRect(bar);
  const TacThumb thumb = ThumbOf(bar, r);
  const int arrow = GetScrollMetric(bar, false);
  return bar.nBarType == 1
             ? Ac_GetVertScrollPortion(ToTRect(r), TPoint{pt.x, pt.y}, arrow, thumb, shift)
             : Ac_GetHorzScrollPortion(ToTRect(r), TPoint{pt.x, pt.y}, arrow, thumb, shift);
}

// ---- Painting

void TacScrollWnd::PaintBar(HDC window_dc, TacScrollBar& bar, const int* slider_at) {
  if (!bar.fScrollVisible || (fThumbTracking && slider_at == nullptr && track_.bar == &bar))
    return;
  TacSkinData* sd = SkinDataCopy();
  const bool vertical = bar.nBarType == 1;
  if (sd == nullptr || skin_data_->SkinIndex < 0)
    return;
  const TacConstElementData& track1 = sd->Scrolls[vertical ? 1 : 0];
  const TacConstElementData& track2 = sd->Scrolls[vertical ? 3 : 2];
  const TacConstElementData& slider = sd->Sliders[vertical ? 1 : 0];
  const TacConstElementData& before = sd->ScrollBtns[vertical ? 1 : 0];
  const TacConstElementData& after = sd->ScrollBtns[vertical ? 3 : 2];
  if (track1.SkinIndex < 0)
    return;
  const RECT r = BarRect(bar);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const int length = vertical ? height : width;
  if (length <= 1 || width <= 0 || height <= 0)
    return;
  ReadInfo(bar);
  const bool active = BarActive(bar) && ::IsWindowEnabled(handle_) != FALSE;
  try {
    Bitmap bmp = CreateBmp32(width, height);
    TCacheInfo ci;
    ci.FillColor = skin_data_->GetBGColor(0);
    const auto paint = [&](int skin_index, const TacBarPart& part) {
      if (skin_index >= 0 && !part.Rect.IsEmpty())
        PaintItem(skin_index, ci, part.State, part.Rect, TPoint{part.Rect.Left, part.Rect.Top}, bmp,
                  *sd);
    };
    TacBarPaintIn in;
    in.Vertical = vertical;
    in.Width = width;
    in.Height = height;
    in.Arrow = GetScrollMetric(bar, false);
    in.Origin = vertical ? r.top : r.left;
    in.Active = active;
    in.PressedPart = track_.bar == &bar ? track_.part_now : scNone;
    in.HotPart = hover_.bar == &bar ? hover_.part : scNone;
    in.Dragging = slider_at != nullptr;
    in.ThumbWidth = sd->ThumbWidth;
    if (length > 2 * in.Arrow) {
      in.Thumb = ThumbOf(bar, r);
      if (slider_at != nullptr)
        in.Thumb.Start = *slider_at;
    }
    const TacBarPaint parts = Ac_BarPaint(in);
    paint(track1.SkinIndex, parts.TrackBefore);
    paint(track2.SkinIndex >= 0 ? track2.SkinIndex : track1.SkinIndex, parts.TrackAfter);
    paint(before.SkinIndex, parts.ButtonBefore);
    paint(after.SkinIndex, parts.ButtonAfter);
    if (parts.Arrows) {
      const auto font = [&](const TacConstElementData& e, int state) {
        if (e.SkinIndex < 0)
          return clWhite;
        const TsGeneralData& gd = sd->gd[static_cast<std::size_t>(e.SkinIndex)];
        return gd.Props[static_cast<std::size_t>(SectionState(gd, state))].FontColor.Color;
      };
      DrawArrow(bmp, parts.ButtonBefore.Rect, vertical, false,
                font(before, parts.ButtonBefore.State));
      DrawArrow(bmp, parts.ButtonAfter.Rect, vertical, true, font(after, parts.ButtonAfter.State));
    }
    if (parts.ShowSlider && slider.SkinIndex >= 0) {
      // The slider's rounded ends show the track under them.
      TCacheInfo track_ci;
      track_ci.FillColor = sd->gd[static_cast<std::size_t>(track1.SkinIndex)].Props[0].Color;
      const TRect& sr = parts.Slider.Rect;
      PaintItem(slider.SkinIndex, track_ci, parts.Slider.State, sr, TPoint{sr.Left, sr.Top}, bmp,
                *sd);
    }
    if (!active) {
      const std::uint32_t toward =
          SwapRedBlue(static_cast<std::uint32_t>(ColorToRGB(ci.FillColor)));
      const auto keep = static_cast<std::uint8_t>(255 * (100 - kInactiveFade) / 100);
      for (int y = 0; y < height; ++y) {
        std::uint32_t* row = bmp.Row32(y);
        for (int x = 0; x < width; ++x)
          row[x] = static_cast<std::uint32_t>(
              BlendColors(static_cast<TColor>(row[x]), static_cast<TColor>(toward), keep));
      }
    }
    ::BitBlt(window_dc, r.left, r.top, width, height, BitmapDC(bmp), 0, 0, SRCCOPY);
  } catch (const std::exception&) {
    // Painting never raises: a bar that cannot get its bitmap stays as it was.
  }
}

void TacScrollWnd::PaintCorner(HDC window_dc) {
  if (!sBarHorz.fScrollVisible || !sBarVert.fScrollVisible)
    return;
  const RECT v = BarRect(sBarVert);
  const RECT h = BarRect(sBarHorz);
  const RECT corner{v.left, h.top, v.right, h.bottom};
  TacSkinData* sd = SkinDataCopy();
  TColor color = clBlack;
  const TsSkinManager* manager = skin_data_->GetSkinManager();
  if (manager != nullptr)
    color = manager->GetGlobalColor();
  if (sd != nullptr && sd->Scrolls[1].SkinIndex >= 0)
    color = sd->gd[static_cast<std::size_t>(sd->Scrolls[1].SkinIndex)].Props[0].Color;
  FillDC(window_dc, ToTRect(corner), color);
}

void TacScrollWnd::RepaintNonClient() {
  if (destroyed_ || !::IsWindowVisible(handle_) || !skin_data_->Skinned())
    return;
  const platform::WindowDc window_dc(handle_, platform::WindowDc::Area::Whole);
  HDC dc = window_dc.Get();
  if (dc == nullptr)
    return;
  PaintFrame(dc);
  if (fThumbTracking && track_.bar != nullptr)
    PaintBar(dc, *track_.bar, &track_.slider_start);
  PaintBar(dc, sBarVert);
  PaintBar(dc, sBarHorz);
  PaintCorner(dc);
}

// ---- Messages

LRESULT CALLBACK TacScrollWnd::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR /*id*/, DWORD_PTR ref) {
  auto* self = reinterpret_cast<TacScrollWnd*>(ref);
  try {
    return self->WndProc(message, wparam, lparam);
  } catch (...) {
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
}

LRESULT TacScrollWnd::CallPrevious(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefSubclassProc(handle_, message, wparam, lparam);
}

LRESULT TacScrollWnd::NCCalcSize(WPARAM wparam, LPARAM lparam) {
  RECT* rc = wparam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lparam);
  if (rc == nullptr)
    return CallPrevious(WM_NCCALCSIZE, wparam, lparam);
  const RECT window = *rc;
  const LONG_PTR style = ::GetWindowLongPtrW(handle_, GWL_STYLE);
  const LONG_PTR scroll_styles = style & (WS_HSCROLL | WS_VSCROLL);
  LRESULT result;
  if (scroll_styles != 0) {
    // The system reserves no room for bars it does not know of; ours take the same room.
    bPreventStyleChange = true;
    ::SetWindowLongPtrW(handle_, GWL_STYLE, style & ~scroll_styles);
    result = CallPrevious(WM_NCCALCSIZE, wparam, lparam);
    ::SetWindowLongPtrW(handle_, GWL_STYLE, style);
    bPreventStyleChange = false;
  } else {
    result = CallPrevious(WM_NCCALCSIZE, wparam, lparam);
  }
  if (!skin_data_->Skinned())
    return result;
  TacNCLayoutIn in;
  in.Window = ToTRect(window);
  in.Client = ToTRect(*rc);
  in.HasHorzStyle = (style & WS_HSCROLL) != 0;
  in.HasVertStyle = (style & WS_VSCROLL) != 0;
  in.LeftScrollbar = fLeftScrollbar;
  in.Thickness = GetScrollMetric(sBarVert, true);
  if (const TsGeneralData* gd = skin_data_->Section())
    in.ScrollBorderOffset = gd->ScrollBorderOffset;
  const TacNCLayout layout = Ac_NCCalcSize(in);
  *rc = ToRECT(layout.Client);
  sBarHorz.fScrollVisible = layout.HorzVisible;
  sBarVert.fScrollVisible = layout.VertVisible;
  cxLeftEdge = layout.cxLeftEdge;
  cxRightEdge = layout.cxRightEdge;
  cyTopEdge = layout.cyTopEdge;
  cyBottomEdge = layout.cyBottomEdge;
  return result;
}

LRESULT TacScrollWnd::NCHitTest(WPARAM wparam, LPARAM lparam) {
  if (skin_data_->Skinned()) {
    if (TsSkinManager* manager = skin_data_->GetSkinManager())
      manager->ActiveControl = skin_data_;
    RECT w{};
    ::GetWindowRect(handle_, &w);
    const POINT p{GET_X_LPARAM(lparam) - w.left, GET_Y_LPARAM(lparam) - w.top};
    for (TacScrollBar* bar : {&sBarVert, &sBarHorz}) {
      if (!bar->fScrollVisible)
        continue;
      const RECT r = BarRect(*bar);
      if (::PtInRect(&r, p)) {
        ReadInfo(*bar);
        if (!BarActive(*bar))
          return HTNOWHERE;
        return bar->nBarType == 1 ? HTVSCROLL : HTHSCROLL;
      }
    }
  }
  return CallPrevious(WM_NCHITTEST, wparam, lparam);
}

void TacScrollWnd::NCMouseMove(int hit) {
  TacScrollBar* bar = hit == HTVSCROLL ? &sBarVert : hit == HTHSCROLL ? &sBarHorz : nullptr;
  if (bar == nullptr || bar == hover_.bar)
    return;
  hover_.bar = bar;
  hover_.rect = BarRect(*bar);
  hover_.part = PartAt(*bar, CursorInWindow(), false);
  hover_timer_.Start(handle_, kHoverInterval);
  RepaintNonClient();
}

LRESULT TacScrollWnd::NCButtonDown(UINT message, WPARAM wparam, LPARAM lparam) {
  const int hit = static_cast<int>(wparam);
  TacScrollBar* bar = hit == HTVSCROLL ? &sBarVert : hit == HTHSCROLL ? &sBarHorz : nullptr;
  if (bar == nullptr || !bar->fScrollVisible || !skin_data_->Skinned())
    return CallPrevious(message, wparam, lparam);
  ReadInfo(*bar);
  RECT w{};
  ::GetWindowRect(handle_, &w);
  const POINT p{GET_X_LPARAM(lparam) - w.left, GET_Y_LPARAM(lparam) - w.top};
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  const int part = PartAt(*bar, p, shift);
  if (part < scLineUp || part > scThumbTrack)
    return CallPrevious(message, wparam, lparam);
  if ((part == scLineUp && (bar->fScrollFlags & kSfFirstArrowDisabled) != 0) ||
      (part == scLineDown && (bar->fScrollFlags & kSfSecondArrowDisabled) != 0))
    return 0;
  if (!BarActive(*bar))
    return 0;
  track_ = Tracking{};
  track_.bar = bar;
  track_.message = hit == HTHSCROLL ? WM_HSCROLL : WM_VSCROLL;
  track_.part = part;
  track_.bar_rect = BarRect(*bar);
  track_.thumb = ThumbOf(*bar, track_.bar_rect);
  const int along = bar->nBarType == 1 ? p.y : p.x;
  capture_.Set(handle_);
  if (IsRepeating(part)) {
    JustDoIt(part);
  } else if (part == scThumbTrack) {
    fThumbTracking = true;
    bar->ScrollInfo.nTrackPos = bar->ScrollInfo.nPos;
    track_.part_now = part;
    track_.grab_offset = along - track_.thumb.Start;
    track_.slider_start = track_.thumb.Start;
    track_.last_offset = bar->ScrollInfo.nPos - bar->ScrollInfo.nMin;
    RepaintNonClient();
  } else {
    // Shift on the track: the slider's middle jumps under the mouse, as one drag step.
    track_.grab_offset = track_.thumb.Length / 2;
    track_.last_offset = -1;
    DragTo(along);
  }
  return 0;
}

void TacScrollWnd::JustDoIt(int part) {
  track_.part_now = part;
  RepaintNonClient();
  SendScrollMessage(track_.message, part, 0);
  first_repeat_timer_.Start(handle_, kFirstRepeatDelay);
}

void TacScrollWnd::DragTo(int mouse_along) {
  TacScrollBar& bar = *track_.bar;
  const int p = Ac_DragSliderStart(mouse_along, track_.grab_offset, track_.thumb);
  track_.slider_start = p;
  if (const platform::WindowDc dc(handle_, platform::WindowDc::Area::Whole); dc.Get() != nullptr)
    PaintBar(dc.Get(), bar, &track_.slider_start);
  const int offset = Ac_DragOffset(p, track_.thumb, bar.ScrollInfo);
  if (offset == track_.last_offset)
    return;
  track_.last_offset = offset;
  bar.ScrollInfo.nTrackPos = bar.ScrollInfo.nMin + offset;
  SendScrollMessage(track_.message, scThumbTrack, bar.ScrollInfo.nTrackPos);
}

void TacScrollWnd::SendScrollMessage(UINT message, int code, int position) {
  const std::shared_ptr<bool> alive = alive_;
  const auto command_arg = static_cast<std::uint16_t>(code);
  const LRESULT before =
      ::SendMessageW(handle_, SM_ALPHACMD, MakeCommandParam(AC_BEFORESCROLL, command_arg),
                     static_cast<LPARAM>(message));
  if (!*alive)
    return;
  LPARAM lparam = 0;
  if (before == 1) {
    lparam = position;
  } else if (code == scThumbTrack) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = position;
    ::SetScrollInfo(handle_, message == WM_VSCROLL ? SB_VERT : SB_HORZ, &si, FALSE);
  }
  const auto high = static_cast<WORD>(std::clamp(position, 0, 0xFFFF));
  ::SendMessageW(handle_, message, MAKEWPARAM(static_cast<WORD>(code), high), lparam);
  if (!*alive)
    return;
  ::SendMessageW(handle_, SM_ALPHACMD, MakeCommandParam(AC_AFTERSCROLL, command_arg),
                 static_cast<LPARAM>(message));
}

void TacScrollWnd::Timer(UINT_PTR id) {
  if (id == kHoverTimer) {
    const POINT p = CursorInWindow();
    if (hover_.bar != nullptr && ::PtInRect(&hover_.rect, p)) {
      const int part = PartAt(*hover_.bar, p, false);
      if (part != hover_.part) {
        hover_.part = part;
        RepaintNonClient();
      }
    } else {
      hover_timer_.Stop();
      hover_ = Hover{};
      RepaintNonClient();
    }
    return;
  }
  if (id == kFirstRepeatTimer) {
    first_repeat_timer_.Stop();
    if (track_.bar != nullptr)
      repeat_timer_.Start(handle_, kRepeatInterval);
    return;
  }
  // kRepeatTimer
  if (track_.bar == nullptr || !IsRepeating(track_.part)) {
    repeat_timer_.Stop();
    return;
  }
  const std::shared_ptr<bool> alive = alive_;
  ReadInfo(*track_.bar);
  const int part = PartAt(*track_.bar, CursorInWindow(), false);
  if (part == track_.part) {
    track_.part_now = part;
    SendScrollMessage(track_.message, part, 0);
  } else {
    track_.part_now = scNone;
  }
  if (*alive)
    UpdateScrolls(true);
}

void TacScrollWnd::MouseMove() {
  TacScrollBar& bar = *track_.bar;
  const POINT p = CursorInWindow();
  if (fThumbTracking) {
    DragTo(bar.nBarType == 1 ? p.y : p.x);
    return;
  }
  if (!IsRepeating(track_.part))
    return;
  const int now = PartAt(bar, p, false) == track_.part ? track_.part : scNone;
  if (now != track_.part_now) {
    track_.part_now = now;
    RepaintNonClient();
  }
}

void TacScrollWnd::Release(bool capture_lost) {
  if (track_.bar == nullptr)
    return;
  const Tracking t = track_;
  const bool was_tracking = fThumbTracking;
  // Cleared first: releasing the capture comes back here as WM_CAPTURECHANGED.
  track_ = Tracking{};
  fThumbTracking = false;
  first_repeat_timer_.Stop();
  repeat_timer_.Stop();
  if (capture_lost)
    capture_.Release();
  else
    capture_.Reset();
  const std::shared_ptr<bool> alive = alive_;
  if (IsRepeating(t.part)) {
    SendScrollMessage(t.message, scEndScroll, 0);
  } else if (t.part == scThumbTrack && was_tracking) {
    const int position = t.bar->ScrollInfo.nMin + std::max(0, t.last_offset);
    SendScrollMessage(t.message, scThumbPosition, position);
    if (*alive)
      SendScrollMessage(t.message, scEndScroll, position);
  }
  if (*alive)
    UpdateScrolls(true);
}

LRESULT TacScrollWnd::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (destroyed_)
    return CallPrevious(message, wparam, lparam);
  switch (message) {
    case WM_NCCALCSIZE:
      return NCCalcSize(wparam, lparam);
    case WM_NCHITTEST:
      return NCHitTest(wparam, lparam);
    case WM_NCMOUSEMOVE:
      if (skin_data_->Skinned())
        NCMouseMove(static_cast<int>(wparam));
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return NCButtonDown(message, wparam, lparam);
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
      if ((wparam == HTVSCROLL || wparam == HTHSCROLL) && skin_data_->Skinned())
        return 0;
      break;
    case WM_CONTEXTMENU:
      if (lparam != -1 && skin_data_->Skinned()) {
        const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        const RECT v = ac_GetVScrollRect();
        const RECT h = ac_GetHScrollRect();
        if (::PtInRect(&v, p) || ::PtInRect(&h, p))
          return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // The system's own tracking of its bars.
      if ((wparam & 0xFFF0) == SC_VSCROLL || (wparam & 0xFFF0) == SC_HSCROLL)
        return 0;
      break;
    case WM_TIMER:
      if (wparam == kHoverTimer || wparam == kFirstRepeatTimer || wparam == kRepeatTimer) {
        Timer(wparam);
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (track_.bar != nullptr) {
        MouseMove();
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (track_.bar != nullptr) {
        Release(false);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      // A message box, Alt+Tab or another window took the mouse: the press ends here.
      if (track_.bar != nullptr && reinterpret_cast<HWND>(lparam) != handle_)
        Release(true);
      break;
    case WM_CANCELMODE:
      Release(false);
      break;
    case WM_STYLECHANGED:
      if (!bPreventStyleChange && wparam == static_cast<WPARAM>(GWL_EXSTYLE))
        fLeftScrollbar = (::GetWindowLongPtrW(handle_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
      if (bPreventStyleChange)
        return 0;
      break;
    case WM_STYLECHANGING:
      if (bPreventStyleChange)
        return 0;
      break;
    case WM_NCDESTROY: {
      destroyed_ = true;
      track_ = Tracking{};
      hover_ = Hover{};
      procedure_.Reset();
      return CallPrevious(message, wparam, lparam);
    }
    case SM_ALPHACMD:
      switch (CommandOf(wparam)) {
        case AC_GETLISTSW:
          return reinterpret_cast<LRESULT>(this);
        case AC_SETNEWSKIN:
        case AC_REFRESH:
        case AC_ENDPARENTUPDATE: {
          const std::shared_ptr<bool> alive = alive_;
          const LRESULT result = CallPrevious(message, wparam, lparam);
          if (*alive && !destroyed_) {
            skin_data_->BGChanged = true;
            UpdateScrolls(true);
          }
          return result;
        }
        default:
          break;
      }
      break;
    default:
      break;
  }
  const std::shared_ptr<bool> alive = alive_;
  const LRESULT result = CallPrevious(message, wparam, lparam);
  if (*alive && !destroyed_ && MayDrawSystemBar(message, wparam) && skin_data_->Skinned())
    UpdateScrolls(true);
  return result;
}

// ---- The edit wrapper

TacEditWnd::TacEditWnd(HWND window, TsCommonData& skin_data, TsSkinManager* manager)
    : TacScrollWnd(window, skin_data, manager) {}

void TacEditWnd::PrepareCache() {
  TsCommonData& data = SkinData();
  TacSkinData* sd = SkinDataCopy();
  if (sd == nullptr || data.SkinIndex < 0)
    return;
  RECT w{};
  ::GetWindowRect(Handle(), &w);
  const bool stale = data.BGChanged || !data.FCacheBmp ||
                     data.FCacheBmp->Width() != w.right - w.left ||
                     data.FCacheBmp->Height() != w.bottom - w.top;
  if (!stale)
    return;
  data.InitCacheBmp();
  if (!data.FCacheBmp || data.FCacheBmp->Empty())
    return;
  const TCacheInfo ci = GetParentCache(data);
  const int state = data.ControlIsActive() ? 1 : 0;
  PaintItem(data.SkinIndex, ci, state,
            TRect{0, 0, data.FCacheBmp->Width(), data.FCacheBmp->Height()}, TPoint{0, 0},
            *data.FCacheBmp, *sd);
  data.BGChanged = false;
}

void TacEditWnd::PaintFrame(HDC window_dc) {
  PrepareCache();
  const TsCommonData& data = SkinData();
  if (!data.FCacheBmp || data.FCacheBmp->Empty())
    return;
  HDC cache = BitmapDC(*data.FCacheBmp);
  const int w = data.FCacheBmp->Width();
  const int h = data.FCacheBmp->Height();
  ::BitBlt(window_dc, 0, 0, w, cyTopEdge, cache, 0, 0, SRCCOPY);
  ::BitBlt(window_dc, 0, h - cyBottomEdge, w, cyBottomEdge, cache, 0, h - cyBottomEdge, SRCCOPY);
  ::BitBlt(window_dc, 0, 0, cxLeftEdge, h, cache, 0, 0, SRCCOPY);
  ::BitBlt(window_dc, w - cxRightEdge, 0, cxRightEdge, h, cache, w - cxRightEdge, 0, SRCCOPY);
}

LRESULT TacEditWnd::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (Destroyed())
    return CallPrevious(message, wparam, lparam);
  switch (message) {
    case WM_NCPAINT:
      if (SkinData().Skinned()) {
        UpdateScrolls(false);
        RepaintNonClient();
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case platform::CM_MOUSEENTER:
    case platform::CM_MOUSELEAVE:
    case platform::CM_ENABLEDCHANGED: {
      const LRESULT result = TacScrollWnd::WndProc(message, wparam, lparam);
      if (!Destroyed()) {
        SkinData().BGChanged = true;
        RepaintNonClient();
      }
      return result;
    }
    default:
      break;
  }
  return TacScrollWnd::WndProc(message, wparam, lparam);
}

}  // namespace kestrune::skin
