#include "skin/controls/sb_animation_win.h"

#include <utility>

#include "skin/paint/bitmap_win.h"

namespace kestrune::skin {
namespace {

constexpr UINT_PTR kFadeTimer = 1;

ATOM AnimationClass(WNDPROC proc) {
  static const ATOM atom = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kSBAnimationClass;
    return ::RegisterClassExW(&wc);
  }();
  return atom;
}

}  // namespace

TacSBAnimation::TacSBAnimation(HWND form, const RECT& screen_rect, Bitmap look, bool fade_in,
                               int steps, Ended ended)
    : screen_rect_(screen_rect), look_(std::move(look)), ended_(std::move(ended)) {
  fade_.Start(fade_in, steps);
  if (AnimationClass(&WndProc) == 0 || look_.Empty() || BitmapDC(look_) == nullptr)
    return;
  const bool topmost = (::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  // Owned by the form, so it never drops below it and goes with it.
  window_ =
      ::CreateWindowExW(WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                            (topmost ? WS_EX_TOPMOST : 0),
                        kSBAnimationClass, L"", WS_POPUP, screen_rect.left, screen_rect.top,
                        screen_rect.right - screen_rect.left, screen_rect.bottom - screen_rect.top,
                        form, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr)
    return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Show();
  HWND above = ::GetWindow(form, GW_HWNDPREV);
  ::SetWindowPos(window_, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  if (::SetTimer(window_, kFadeTimer, kFrameInterval, nullptr) == 0) {
    ::DestroyWindow(std::exchange(window_, nullptr));
  }
}

TacSBAnimation::~TacSBAnimation() {
  if (window_ == nullptr)
    return;
  ::KillTimer(window_, kFadeTimer);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void TacSBAnimation::Turn(Bitmap look, bool fade_in, int steps) {
  if (!look.Empty())
    look_ = std::move(look);
  fade_.Turn(fade_in, steps);
  if (window_ != nullptr)
    Show();
}

void TacSBAnimation::Show() {
  BLENDFUNCTION blend{AC_SRC_OVER, 0, fade_.Alpha(), AC_SRC_ALPHA};
  UpdateLayeredWnd(window_, look_, SIZE{look_.Width(), look_.Height()}, blend,
                   POINT{screen_rect_.left, screen_rect_.top});
}

void TacSBAnimation::Tick() {
  const bool done = fade_.Step();
  Show();
  if (!done)
    return;
  ::KillTimer(window_, kFadeTimer);
  // The owner may free this animation now: nothing of it is touched afterwards.
  if (ended_)
    std::exchange(ended_, nullptr)();
}

LRESULT CALLBACK TacSBAnimation::WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TacSBAnimation*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_TIMER:
      if (self != nullptr && wparam == kFadeTimer) {
        self->Tick();
        return 0;
      }
      break;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCDESTROY:
      // Destroyed with its owner: the object must not destroy it again.
      if (self != nullptr)
        self->window_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kestrune::skin
