#include "skin/controls/anim_timer_win.h"

#include <algorithm>

namespace kestrune::skin {

void TacAnimTimer::Start(HWND window, int steps, Frame frame) {
  Stop();
  frame_ = std::move(frame);
  progress_ = TacFadeProgress{0, std::max(1, steps)};
  if (timer_.Start(window, kFrameInterval, &TacAnimTimer::Tick))
    return;
  Finish();
}

void TacAnimTimer::Stop() {
  timer_.Stop();
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
  if (!timer_.Running())
    return;
  ++progress_.Step;
  if (progress_.Step >= progress_.Steps)
    Stop();
  if (frame_)
    frame_(progress_.Step, progress_.Steps);
}

}  // namespace kestrune::skin
