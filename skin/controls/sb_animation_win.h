#pragma once
// TacSBAnimation: the fade of one caption button. The button's new look fades in (or its old look
// fades out over the new one) in a small click-through layered window placed exactly over the
// button and just above the form, one frame every kFrameInterval milliseconds. The window lives
// only as long as its fade: when the fade ends, the owner is told and frees the animation, which
// takes its window and timer with it. Include only from Windows sources.

#include <windows.h>

#include <functional>

#include "platform/popup_window_win.h"
#include "platform/window_owners_win.h"
#include "skin/controls/caption_rules.h"
#include "skin/controls/frame_interval.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

// The class name of the fade windows (for tests that look for them).
inline constexpr wchar_t kSBAnimationClass[] = L"KestruneSBAnimation";

class TacSBAnimation {
 public:
  // Called once, from the window thread, when the last frame has been shown. The animation may
  // be freed inside it.
  using Ended = std::function<void()>;

  // Shows `look` (32-bit, premultiplied, the size of `screen_rect`) over `screen_rect` just above
  // `form` and starts fading it in or out over `steps` frames. When no window can be had,
  // Window() is null and nothing is shown; `ended` is never called then.
  TacSBAnimation(HWND form, const RECT& screen_rect, Bitmap look, bool fade_in, int steps,
                 Ended ended);
  TacSBAnimation(const TacSBAnimation&) = delete;
  TacSBAnimation& operator=(const TacSBAnimation&) = delete;

  // Turns the fade round from the opacity it has reached; a non-empty `look` replaces the image.
  void Turn(Bitmap look, bool fade_in, int steps);

  [[nodiscard]] HWND Window() const { return popup_.Handle(); }
  [[nodiscard]] bool FadingIn() const { return fade_.FadingIn(); }
  [[nodiscard]] std::uint8_t Alpha() const { return fade_.Alpha(); }
  [[nodiscard]] const RECT& ScreenRect() const { return screen_rect_; }
  // The image handed to the layered window (a test hook).
  [[nodiscard]] const Bitmap& Look() const { return look_; }

 private:
  void Tick();
  void Show();

  RECT screen_rect_{};
  Bitmap look_;
  TacSBFade fade_;
  Ended ended_;
  // Last, the timer after the window, so that both go first and the timer before the window.
  platform::ClickThroughPopup popup_;
  platform::WindowTimer timer_;
};

}  // namespace kestrune::skin
