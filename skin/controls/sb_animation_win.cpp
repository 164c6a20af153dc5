#include "skin/controls/sb_animation_win.h"

#include <utility>

#include "skin/pixels/bitmap_win.h"

namespace kestrune::skin {
namespace {

constexpr UINT_PTR kFadeTimer = 1;

}  // namespace

TacSBAnimation::TacSBAnimation(HWND form, const RECT& screen_rect, Bitmap look, bool fade_in,
                               int steps, Ended ended)
    : screen_rect_(screen_rect),
      look_(std::move(look)),
      ended_(std::move(ended)),
      timer_(kFadeTimer) {
  fade_.Start(fade_in, steps);
  if (look_.Empty() || BitmapDC(look_) == nullptr)
    return;
  platform::PopupOptions options;
  options.class_name = kSBAnimationClass;
  // Owned by the form, so it never drops below it and goes with it.
  options.owner = form;
  options.bounds = screen_rect;
  options.extra_ex_style =
      static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE)) & WS_EX_TOPMOST;
  const bool made = popup_.Create(options, [this](UINT message, WPARAM wparam, LPARAM, LRESULT&) {
    if (message != WM_TIMER || wparam != kFadeTimer)
      return false;
    Tick();
    return true;
  });
  if (!made)
    return;
  HWND window = popup_.Handle();
  Show();
  HWND above = ::GetWindow(form, GW_HWNDPREV);
  ::SetWindowPos(window, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  if (!timer_.Start(window, kFrameInterval))
    popup_.Reset();
}

void TacSBAnimation::Turn(Bitmap look, bool fade_in, int steps) {
  if (!look.Empty())
    look_ = std::move(look);
  fade_.Turn(fade_in, steps);
  if (popup_.Handle() != nullptr)
    Show();
}

void TacSBAnimation::Show() {
  BLENDFUNCTION blend{AC_SRC_OVER, 0, fade_.Alpha(), AC_SRC_ALPHA};
  UpdateLayeredWnd(popup_.Handle(), look_, SIZE{look_.Width(), look_.Height()}, blend,
                   POINT{screen_rect_.left, screen_rect_.top});
}

void TacSBAnimation::Tick() {
  const bool done = fade_.Step();
  Show();
  if (!done)
    return;
  timer_.Stop();
  // The owner may free this animation now: nothing of it is touched afterwards.
  if (ended_)
    std::exchange(ended_, nullptr)();
}

}  // namespace kestrune::skin
