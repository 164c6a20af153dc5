#include "skin/controls/caption_buttons_win.h"

#include <utility>

#include "platform/gdi_win.h"

namespace kestrune::skin {
namespace {

const TsCaptionButton* ButtonIn(const TacHitFrame& frame, unsigned hit) {
  const TacCaptionButtons& b = frame.Layout.Buttons;
  for (const TsCaptionButton* button : {&b.Close, &b.Max, &b.Min, &b.Help}) {
    if (button->cpHitCode == hit && button->Present())
      return button;
  }
  return nullptr;
}

TPoint ScreenToWindow(HWND window, POINT p) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  return TPoint{p.x - frame.left, p.y - frame.top};
}

POINT PointOf(LPARAM lparam) {
  return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// Pixels of the look that the form's window region cuts away (the rounded corners) become
// transparent; the rest is opaque.
void ClipToRegion(Bitmap& look, HWND window, const TRect& r) {
  const platform::UniqueRegion region = platform::WindowRegionOf(window);
  for (int y = 0; y < look.Height(); ++y) {
    std::uint32_t* row = look.Row32(y);
    for (int x = 0; x < look.Width(); ++x) {
      const bool inside =
          region.Get() == nullptr || ::PtInRegion(region.Get(), r.Left + x, r.Top + y) != FALSE;
      row[x] = inside ? (row[x] | 0xFF000000u) : 0u;
    }
  }
}

}  // namespace

bool TacCaptionCycle::Message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  HWND window = host_.CaptionWindow();
  result = 0;
  switch (message) {
    case WM_NCHITTEST:
      result = static_cast<LRESULT>(HTProcess(PointOf(lparam)));
      return true;
    case WM_NCMOUSEMOVE: {
      const TPoint p = ScreenToWindow(window, PointOf(lparam));
      if (bi_clicked_) {
        PressedMove(p);
        return true;
      }
      const unsigned hit = skin::HTProcess(host_.HitFrame(), p);
      if (IsCaptionButtonHit(hit)) {
        SetHotHT(hit);
        TrackLeave();
        return true;
      }
      SetHotHT(0);
      return false;
    }
    case WM_MOUSEMOVE:
      if (bi_clicked_) {
        // Captured: client coordinates, wherever the mouse is.
        const TRect client = host_.HitFrame().Client;
        const POINT p = PointOf(lparam);
        PressedMove(TPoint{p.x + client.Left, p.y + client.Top});
        return true;
      }
      SetHotHT(0);
      return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const auto hit = static_cast<unsigned>(wparam);
      if (!IsCaptionButtonHit(hit) || ButtonIn(host_.HitFrame(), hit) == nullptr)
        return false;  // the icon, the caption and the frame are the system's (or others')
      SetPressedHT(hit);
      return true;
    }
    case WM_NCLBUTTONUP:
      if (!bi_clicked_)
        return false;
      AC_WMLButtonUp(ScreenToWindow(window, PointOf(lparam)));
      return true;
    case WM_LBUTTONUP:
      if (!bi_clicked_)
        return false;
      {
        const TRect client = host_.HitFrame().Client;
        const POINT p = PointOf(lparam);
        AC_WMLButtonUp(TPoint{p.x + client.Left, p.y + client.Top});
      }
      return true;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the press ends without its action.
      if (bi_clicked_ && reinterpret_cast<HWND>(lparam) != window)
        EndPress();
      return false;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      // A press holding the capture ends only with its release, wherever that happens.
      if (bi_clicked_ && ::GetCapture() == window)
        return false;
      MouseLeave();
      return false;
    default:
      return false;
  }
}

void TacCaptionCycle::MouseLeave() {
  if (bi_clicked_)
    EndPress();
  SetHotHT(0);
}

unsigned TacCaptionCycle::HTProcess(POINT screen_point) {
  return skin::HTProcess(host_.HitFrame(), ScreenToWindow(host_.CaptionWindow(), screen_point));
}

void TacCaptionCycle::SetHotHT(unsigned code) {
  if (code == current_ht_)
    return;
  const unsigned previous = std::exchange(current_ht_, code);
  if (IsCaptionButtonHit(previous))
    RepaintButton(previous, 0);
  if (!bi_clicked_ && IsCaptionButtonHit(code))
    RepaintButton(code, 1);
}

void TacCaptionCycle::SetPressedHT(unsigned code) {
  const TacHitFrame frame = host_.HitFrame();
  const TsCaptionButton* button = ButtonIn(frame, code);
  if (button == nullptr)
    return;
  if (current_ht_ != code && IsCaptionButtonHit(current_ht_))
    RepaintButton(current_ht_, 0);
  current_ht_ = code;
  bi_clicked_ = true;
  // A disabled button hit-tests as caption, so only an enabled one answers its own code.
  const TPoint inside{button->cpRect.Left, button->cpRect.Top};
  RepaintButton(code, skin::HTProcess(frame, inside) == code ? 2 : 0);
  // Held until the release, so that a release over a child control or outside the window still
  // comes here and ends the press.
  capture_.Set(host_.CaptionWindow());
}

void TacCaptionCycle::AC_WMLButtonUp(TPoint window_point) {
  if (!bi_clicked_)
    return;
  const unsigned pressed = current_ht_;
  const unsigned command = ReleaseCommand(host_.HitFrame(), pressed, window_point);
  bi_clicked_ = false;
  current_ht_ = 0;
  // A button that acts goes back without a fade: the window is about to change.
  RepaintButton(pressed, 0, command == 0);
  capture_.Reset();
  if (command != 0)
    ::PostMessageW(host_.CaptionWindow(), WM_SYSCOMMAND, command, 0);
}

void TacCaptionCycle::PressedMove(TPoint window_point) {
  const TacHitFrame frame = host_.HitFrame();
  const TsCaptionButton* button = ButtonIn(frame, current_ht_);
  if (button == nullptr)
    return;
  // Only the pressed button answers while the press lasts: pressed over it, normal off it.
  const bool over = skin::HTProcess(frame, window_point) == current_ht_;
  RepaintButton(current_ht_, over ? 2 : 0, false);
}

void TacCaptionCycle::EndPress() {
  const unsigned pressed = current_ht_;
  bi_clicked_ = false;
  current_ht_ = 0;
  if (IsCaptionButtonHit(pressed))
    RepaintButton(pressed, 0);
  capture_.Reset();
}

void TacCaptionCycle::TrackLeave() {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE | TME_NONCLIENT;
  track.hwndTrack = host_.CaptionWindow();
  ::TrackMouseEvent(&track);
}

std::unique_ptr<TacSBAnimation>* TacCaptionCycle::FadeOf(unsigned hit) {
  switch (hit) {
    case kHitClose:
      return &fades_[0];
    case kHitMaxButton:
      return &fades_[1];
    case kHitMinButton:
      return &fades_[2];
    case kHitHelp:
      return &fades_[3];
    default:
      return nullptr;
  }
}

const TacSBAnimation* TacCaptionCycle::Animation(unsigned hit) const {
  auto* fade = const_cast<TacCaptionCycle*>(this)->FadeOf(hit);
  return fade != nullptr ? fade->get() : nullptr;
}

void TacCaptionCycle::RepaintButton(unsigned hit, int state, bool fade) {
  std::unique_ptr<TacSBAnimation>* slot = FadeOf(hit);
  const TacHitFrame frame = host_.HitFrame();
  const TsCaptionButton* button = ButtonIn(frame, hit);
  if (slot == nullptr || button == nullptr)
    return;
  const int old_state = button->cpState < 0 ? 0 : button->cpState;
  if (button->cpState == state && *slot == nullptr)
    return;
  HWND window = host_.CaptionWindow();
  const int steps = SBFadeSteps(state, host_.AnimationAllowed());
  const bool fades = fade && steps > 1 && host_.FadesAllowed() &&
                     ::IsWindowVisible(window) != FALSE && ::IsIconic(window) == FALSE;
  // Fading in shows the new look over the normal one; fading out shows the old look going.
  const bool fade_in = state > 0;
  if (!fades || (!fade_in && old_state == 0 && *slot == nullptr)) {
    slot->reset();
    host_.ShowButton(hit, state, nullptr);
    return;
  }
  Bitmap look;
  if (fade_in || *slot == nullptr) {
    look = host_.ButtonLook(hit, fade_in ? state : old_state);
    if (look.Empty()) {
      slot->reset();
      host_.ShowButton(hit, state, nullptr);
      return;
    }
    ClipToRegion(look, window, button->cpRect);
  }
  if (*slot != nullptr) {
    (*slot)->Turn(std::move(look), fade_in, steps);
  } else {
    RECT frame_rect{};
    ::GetWindowRect(window, &frame_rect);
    const TRect& r = button->cpRect;
    const RECT screen{frame_rect.left + r.Left, frame_rect.top + r.Top, frame_rect.left + r.Right,
                      frame_rect.top + r.Bottom};
    *slot = std::make_unique<TacSBAnimation>(window, screen, std::move(look), fade_in, steps,
                                             [this, hit] { FadeEnded(hit); });
    if ((*slot)->Window() == nullptr) {
      slot->reset();
      host_.ShowButton(hit, state, nullptr);
      return;
    }
  }
  host_.ShowButton(hit, state, slot->get());
}

void TacCaptionCycle::FadeEnded(unsigned hit) {
  std::unique_ptr<TacSBAnimation>* slot = FadeOf(hit);
  if (slot == nullptr || *slot == nullptr)
    return;
  const bool faded_in = (*slot)->FadingIn();
  const RECT over = (*slot)->ScreenRect();
  slot->reset();
  const TsCaptionButton* button = ButtonIn(host_.HitFrame(), hit);
  host_.ShowButton(hit, button != nullptr ? button->cpState : 0, nullptr);
  // A leave can slip past while the look fades in (the mouse quickly off the window's edge).
  POINT cursor{};
  if (faded_in && current_ht_ == hit && !bi_clicked_ && ::GetCursorPos(&cursor) != FALSE &&
      ::PtInRect(&over, cursor) == FALSE)
    ::PostMessageW(host_.CaptionWindow(), WM_MOUSELEAVE, 0, 0);
}

void TacCaptionCycle::FinishFades() {
  for (unsigned hit : {kHitClose, kHitMaxButton, kHitMinButton, kHitHelp}) {
    std::unique_ptr<TacSBAnimation>* slot = FadeOf(hit);
    if (*slot == nullptr)
      continue;
    slot->reset();
    const TsCaptionButton* button = ButtonIn(host_.HitFrame(), hit);
    host_.ShowButton(hit, button != nullptr ? button->cpState : 0, nullptr);
  }
}

}  // namespace kestrune::skin
