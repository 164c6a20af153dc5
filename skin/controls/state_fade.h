#pragma once
// The arithmetic of a faded state change: a cross-fade from the control's previous look to its
// newly prepared one, one frame every kFrameInterval milliseconds. Portable; the timer that drives
// it is anim_timer_win.h.

#include <cstdint>

#include "skin/controls/frame_interval.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

inline constexpr int kFadeInSteps = 6;    // towards hot or pressed
inline constexpr int kFadeOutSteps = 18;  // back to normal

// Where a fade stands: frame Step of Steps has been shown (Step = Steps: finished).
struct TacFadeProgress {
  int Step = 0;
  int Steps = 0;
  [[nodiscard]] bool Running() const { return Steps > 0 && Step < Steps; }
};

// The frames of a fade to `to_state`. A fade that turns back one still `running` starts from a
// part-way look, so it needs only the share of its frames that the running one has covered (at
// least one).
[[nodiscard]] int FadeStepCount(int to_state, const TacFadeProgress& running);

// The weight (0..255) of the new look in frame `step` of `steps`: linear, 255 at the last frame.
[[nodiscard]] std::uint8_t FadeWeight(int step, int steps);

// out := from and to mixed by `weight` (0: from, 255: to), all four bytes. The three bitmaps are
// 32-bit and of one size; otherwise out takes `to` where it can and nothing else happens.
void CrossFade(Bitmap& out, const Bitmap& from, const Bitmap& to, std::uint8_t weight);

}  // namespace kestrune::skin
