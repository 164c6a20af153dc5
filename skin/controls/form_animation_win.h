#pragma once
// The pieces of the form animations: the desktop-composition seam, the picture of a whole window
// (frame and children), and the click-through layered window that shows such a picture while the
// form itself is hidden, transparent or minimized. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/popup_window_win.h"
#include "platform/window_owners_win.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Desktop composition as the transitions ask it. Which steps an activation takes and whether
// minimizing is animated depend on it; tests put in one that answers as they wish and records
// the calls. Under Wine composition is off.
class TacComposition {
 public:
  virtual ~TacComposition() = default;
  [[nodiscard]] virtual bool Enabled() = 0;
  // Switches the compositor's own transition animations of `window` off (true) or on again.
  virtual void ForceDisableTransitions(HWND window, bool disable) = 0;
};

// The system's answer (DwmIsCompositionEnabled, DwmSetWindowAttribute), bound at run time.
[[nodiscard]] std::shared_ptr<TacComposition> SystemComposition();

// The whole window as the user sees it: `frame` (the provider's window bitmap, window
// coordinates) with the form's graphic controls, printed by `print_client`, and its child windows
// painted over the client area. Every pixel is opaque except those the window region cuts off,
// which are cleared. Empty when a bitmap cannot be had. The result is a bitmap of its own:
// `frame` is not touched.
[[nodiscard]] Bitmap CaptureWindowImage(HWND form, const Bitmap& frame,
                                        const std::function<void(HDC)>& print_client);

// A click-through layered window that shows a picture; destroyed with the object.
class TacImageWindow {
 public:
  // Made hidden; topmost when `topmost`. Handle() is null when the system gave no window.
  explicit TacImageWindow(bool topmost);
  TacImageWindow(const TacImageWindow&) = delete;
  TacImageWindow& operator=(const TacImageWindow&) = delete;

  // Shows `image` stretched to `at` (screen coordinates) at opacity `alpha`, without activating.
  void Show(const Bitmap& image, const TRect& at, int alpha);
  // Calls `tick` every `interval` milliseconds until StopTimer or the end of the window.
  void StartTimer(int interval, std::function<void()> tick);
  void StopTimer();
  [[nodiscard]] HWND Handle() const { return popup_.Handle(); }
  // The picture last handed to the system (a test hook).
  [[nodiscard]] const Bitmap& Shown() const { return shown_; }

 private:
  bool Message(UINT message, WPARAM wparam);

  Bitmap shown_;
  std::function<void()> tick_;
  // Last, the timer after the window, so that both go first and the timer before the window.
  platform::ClickThroughPopup popup_;
  platform::WindowTimer timer_;
};

}  // namespace kestrune::skin
