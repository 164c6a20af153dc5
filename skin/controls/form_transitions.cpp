#include "skin/controls/form_transitions.h"

#include <algorithm>
#include <cmath>

namespace kestrune::skin {

TacActivationSteps ActivationSteps(const TacActivationInput& in) {
  TacActivationSteps s;
  s.Cover = !in.Animating && !in.OwnPaintHandler && (in.Composition || !in.ShowingPhase);
  s.RedrawOff = in.Composition ? in.CompositionLate && !in.SecondaryOfMinimizedMain
                               : in.Animating && in.Initialised;
  // The cover and a switched-off redraw are always undone, also where the steps after the
  // default handling are skipped (the main window while minimized): a cover left behind would
  // stay on the screen, and a window left without redrawing would never paint again.
  s.KillCover = s.Cover;
  if (!in.MainMinimized) {
    if (in.Composition) {
      s.RedrawChildren = s.RedrawOff;
      s.FrameFromBitmap = !in.Animating;
    } else {
      s.RedrawFrame = !in.Animating;
      s.InvalidateAll = in.Initialised;
    }
  }
  s.RedrawOnAgain = s.RedrawOff && !s.RedrawChildren;
  return s;
}

bool ActivationChangesLook(const TacSkinData& sd, int form_index, bool title_bar) {
  if (title_bar)
    return true;
  if (form_index < 0 || static_cast<std::size_t>(form_index) >= sd.gd.size())
    return false;
  const TsGeneralData& gd = sd.gd[static_cast<std::size_t>(form_index)];
  if (gd.States > 1)
    return true;
  const int border = gd.BorderIndex;
  return border >= 0 && static_cast<std::size_t>(border) < sd.ma.size() &&
         sd.ma[static_cast<std::size_t>(border)].ImageCount > 1;
}

bool CoverAllowed(const TacCoverInput& in) {
  return !in.PopupOpen && !in.Minimized && in.Showing && !in.Animating && !in.DisabledBlurred &&
         !in.ModernMode && in.NcPaintAllowed;
}

int MinimizeSteps(int time_ms) {
  return std::max(1, time_ms / kMinTimerInterval);
}

TRect MinimizeTarget(const TRect& window, const TRect& task_bar) {
  if (task_bar.IsEmpty())
    return TRect{};
  const int width = window.Width() * 3 / 4;
  const int height = window.Height() * 3 / 4;
  const int cx = task_bar.Left + task_bar.Width() / 2;
  const int cy = task_bar.Top + task_bar.Height() / 2;
  return TRect{cx - width / 2, cy - height / 2, cx - width / 2 + width, cy - height / 2 + height};
}

TacMinAnimation::TacMinAnimation(const TRect& window, const TRect& target, int steps,
                                 bool minimizing)
    : steps_(std::max(1, steps)), minimizing_(minimizing) {
  const TRect& from = minimizing ? window : target;
  end_ = minimizing ? target : window;
  left_ = from.Left;
  top_ = from.Top;
  right_ = from.Right;
  bottom_ = from.Bottom;
  alpha_ = minimizing ? 255.0 : 0.0;
  end_alpha_ = minimizing ? 0 : 255;
  d_left_ = (end_.Left - left_) / steps_;
  d_top_ = (end_.Top - top_) / steps_;
  d_right_ = (end_.Right - right_) / steps_;
  d_bottom_ = (end_.Bottom - bottom_) / steps_;
  d_alpha_ = (end_alpha_ - alpha_) / steps_;
}

bool TacMinAnimation::Step() {
  if (step_ >= steps_)
    return false;
  ++step_;
  if (step_ == steps_) {
    // The end state exactly, whatever the rounding of the steps made of it.
    left_ = end_.Left;
    top_ = end_.Top;
    right_ = end_.Right;
    bottom_ = end_.Bottom;
    alpha_ = end_alpha_;
    return false;
  }
  left_ += d_left_;
  top_ += d_top_;
  right_ += d_right_;
  bottom_ += d_bottom_;
  alpha_ += d_alpha_;
  return true;
}

TRect TacMinAnimation::Current() const {
  return TRect{static_cast<int>(std::lround(left_)), static_cast<int>(std::lround(top_)),
               static_cast<int>(std::lround(right_)), static_cast<int>(std::lround(bottom_))};
}

int TacMinAnimation::Alpha() const {
  return std::clamp(static_cast<int>(std::lround(alpha_)), 0, 255);
}

int ShowFrames(int time_ms) {
  return std::max(0, time_ms / kFrameInterval);
}

}  // namespace kestrune::skin
