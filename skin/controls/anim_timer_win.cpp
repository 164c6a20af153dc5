#include "skin/controls/anim_timer_win.h"

#include <algorithm>

namespace kestrune::skin {

void TacAnimTimer::Start(HWND window, int steps, Frame frame) {
  Stop();
  frame_ = std::move(frame);
  progress_ = TacFadeProgress{0, std::max(1, steps)};
  // The timer's id is this object: Stop kills it (and its queued ticks) before the object goes.
  if (window != nullptr && ::SetTimer(window, reinterpret_cast<UINT_PTR>(this), kFrameInterval,
                                      &TacAnimTimer::Tick) != 0) {
    window_ = window;
    return;
  }
  Finish();
}

void TacAnimTimer::Stop() {
  if (window_ != nullptr) {
    ::KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
    window_ = nullptr;
  }
}

void TacAnimTimer::Finish() {
  Stop();
  if (progress_.Step < progress_.Steps) {
    progress_.Step = progress_.Steps;
    if (frame_)
      frame_(progress_.Step, progress_.Steps);
  }
}

void CALLBACK TacAnimTimer::Tick(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
  reinterpret_cast<TacAnimTimer*>(id)->Next();
}

void TacAnimTimer::Next() {
  if (window_ == nullptr)
    return;
  ++progress_.Step;
  if (progress_.Step >= progress_.Steps)
    Stop();
  if (frame_)
    frame_(progress_.Step, progress_.Steps);
}

}  // namespace kestrune::skin
