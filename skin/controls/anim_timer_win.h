#pragma once
// The state-fade timer: calls a frame routine every kFrameInterval milliseconds on the window
// thread, through a window timer of the control's window, until its frames are done or it is
// stopped. Include only from Windows sources.

#include <windows.h>

#include <functional>

#include "platform/window_owners_win.h"
#include "skin/controls/state_fade.h"

namespace kestrune::skin {

class TacAnimTimer {
 public:
  // frame(step, steps) paints frame `step` (1 .. steps); the timer stops after the last one.
  using Frame = std::function<void(int step, int steps)>;

  TacAnimTimer() = default;
  TacAnimTimer(const TacAnimTimer&) = delete;
  TacAnimTimer& operator=(const TacAnimTimer&) = delete;

  // Restarts with `steps` frames on `window`. Without a window, or when the timer cannot be had,
  // the last frame is painted at once.
  void Start(HWND window, int steps, Frame frame);
  void Stop();
  [[nodiscard]] bool Running() const { return timer_.Running(); }
  [[nodiscard]] TacFadeProgress Progress() const { return progress_; }
  // Paints the remaining frames at once and stops.
  void Finish();

 private:
  static void CALLBACK Tick(HWND window, UINT message, UINT_PTR id, DWORD time);
  void Next();

  TacFadeProgress progress_;
  Frame frame_;
  // Its id is this object, which the routine is handed; killed, and its queued ticks with it,
  // before the object goes.
  platform::WindowTimer timer_{reinterpret_cast<UINT_PTR>(this)};
};

}  // namespace kestrune::skin
