#pragma once
// The rules of the form transitions that do not need a window: which steps an activation change
// takes with and without desktop composition, when the cover window may be made, and the
// arithmetic of the minimize and restore animation and the show animation. The Windows side
// (form_transitions_win.h) reads the live window into these inputs and carries the steps out.

#include "skin/controls/frame_interval.h"
#include "skin/data/skin_data.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// What an activation change (WM_NCACTIVATE) knows of the form.
struct TacActivationInput {
  bool Composition = false;      // desktop composition is on now
  bool CompositionLate = false;  // it came on only after the provider was made
  // A secondary form while the application's main window (shown on the task bar) is minimized.
  bool SecondaryOfMinimizedMain = false;
  bool Animating = false;        // a form animation runs
  bool OwnPaintHandler = false;  // the form paints its client area itself
  bool ShowingPhase = false;     // the form is being shown (its show animation has not ended)
  bool Initialised = false;      // the provider has painted the window once
  bool MainMinimized = false;    // this is the application's main window, minimized
};

// The steps of one activation change, in the order they are taken around the default handling.
struct TacActivationSteps {
  bool Cover = false;      // show the cover window before the default handling
  bool RedrawOff = false;  // WM_SETREDRAW 0 around the default handling
  // After it, with composition: redrawing back on and the window redrawn with its children (only
  // when it was switched off), then the frame from the bitmap and the cover removed.
  bool RedrawChildren = false;
  bool FrameFromBitmap = false;
  // Without composition: the frame redrawn and the cover removed (not animating), or redrawing
  // switched on again (animating); then the whole window invalidated once initialised.
  bool RedrawFrame = false;
  bool RedrawOnAgain = false;
  bool InvalidateAll = false;
  bool KillCover = false;
};

[[nodiscard]] TacActivationSteps ActivationSteps(const TacActivationInput& in);

// Whether an activation change repaints the bitmap: the FORM section looks different when
// inactive (more than one state, or a border image with more than one state), or the form has a
// title bar, whose caption text takes the inactive colour and whose buttons fade.
[[nodiscard]] bool ActivationChangesLook(const TacSkinData& sd, int form_index, bool title_bar);

// What decides whether the cover window may be made now.
struct TacCoverInput {
  bool PopupOpen = false;  // a skinned drop-down belonging to the form is open
  bool Minimized = false;
  bool Showing = true;  // the form is showing and its window visible
  bool Animating = false;
  bool DisabledBlurred = false;
  bool ModernMode = false;
  bool NcPaintAllowed = true;
};

[[nodiscard]] bool CoverAllowed(const TacCoverInput& in);

// ---- Minimize and restore.

inline constexpr int kMinTimerInterval = 6;  // milliseconds between steps
inline constexpr int kMinimizingTime = 80;   // the default length of the animation

// The number of steps for an animation of `time_ms`: max(1, time div 6).
[[nodiscard]] int MinimizeSteps(int time_ms);

// Where a minimizing window shrinks to: three quarters of its width and height, centred on the
// task bar; the empty rectangle at the screen origin without a task bar.
[[nodiscard]] TRect MinimizeTarget(const TRect& window, const TRect& task_bar);

// One run of the minimize (fading out, window to target) or restore (fading in, target to
// window) animation: the current rectangle and opacity moved by equal steps.
class TacMinAnimation {
 public:
  TacMinAnimation(const TRect& window, const TRect& target, int steps, bool minimizing);

  // Takes one step; false once the last one has been taken (the state is then the end state).
  bool Step();
  [[nodiscard]] TRect Current() const;
  [[nodiscard]] int Alpha() const;  // 0 .. 255
  [[nodiscard]] bool Minimizing() const { return minimizing_; }
  [[nodiscard]] int StepsLeft() const { return steps_ - step_; }

 private:
  double left_, top_, right_, bottom_, alpha_;
  double d_left_, d_top_, d_right_, d_bottom_, d_alpha_;
  TRect end_;
  int end_alpha_;
  int steps_;
  int step_ = 0;
  bool minimizing_;
};

// ---- Showing.

// The intermediate frames of a show animation of `time_ms`, kFrameInterval apart: time div
// kFrameInterval (none for 0).
[[nodiscard]] int ShowFrames(int time_ms);

}  // namespace kestrune::skin
