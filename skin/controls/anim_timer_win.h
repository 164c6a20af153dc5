#pragma once
// The state-fade timer: calls a frame routine every kFrameInterval milliseconds on the window
// thread, through a window timer of the control's window, until its frames are done or it is
// stopped. Include only from Windows sources.

#include <windows.h>

#include <functional>

#include "skin/controls/state_fade.h"

namespace kestrune::skin {

class TacAnimTimer {
 public:
  // frame(step, steps) paints frame `step` (1 .. steps); the timer stops after the last one.
  using Frame = std::function<void(int step, int steps)>;

  TacAnimTimer() = default;
  TacAnimTimer(const TacAnimTimer&) = delete;
  TacAnimTimer& operator=(const TacAnimTimer&) = delete;
  ~TacAnimTimer() { Stop(); }

  // Restarts with `steps` frames on `window`. Without a window, or when the timer cannot be had,
  // the last frame is painted at once.
  void Start(HWND window, int steps, Frame frame);
  void Stop();
  [[nodiscard]] bool Running() const { return window_ != nullptr; }
  [[nodiscard]] TacFadeProgress Progress() const { return progress_; }
  // Paints the remaining frames at once and stops.
  void Finish();

 private:
  static void CALLBACK Tick(HWND window, UINT message, UINT_PTR id, DWORD time);
  void Next();

  HWND window_ = nullptr;  // while running
  TacFadeProgress progress_;
  Frame frame_;
};

}  // namespace kestrune::skin
