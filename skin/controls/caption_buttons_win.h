#pragma once
// The caption buttons of a skinned form as the mouse meets them: the whole frame's hit test, the
// hot button while the mouse is over it, the press that holds the mouse capture until its
// release, the command of a release over the pressed button, and the fades between the looks.
// The form provider hands it the messages it takes and serves it through TacCaptionHost.
// Include only from Windows sources; everything runs on the form's thread.

#include <windows.h>

#include <array>
#include <memory>

#include "platform/window_owners_win.h"
#include "skin/controls/caption_rules.h"
#include "skin/controls/sb_animation_win.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

// What the caption buttons need of the form they sit on.
class TacCaptionHost {
 public:
  virtual ~TacCaptionHost() = default;

  [[nodiscard]] virtual HWND CaptionWindow() const = 0;
  // The frame as it is now, the title layout brought up to date first (buttons with their
  // states in Layout.Buttons).
  [[nodiscard]] virtual TacHitFrame HitFrame() = 0;
  // Records the button's state and fade (null: none) and shows it: the button is drawn into the
  // window bitmap over the saved title strip, normal while a fade runs, and copied to the screen.
  virtual void ShowButton(unsigned hit, int state, const TacSBAnimation* fade) = 0;
  // The button's look in `state` over the title behind it, 32-bit and of the button's size;
  // empty when there is none to show.
  [[nodiscard]] virtual Bitmap ButtonLook(unsigned hit, int state) = 0;
  // Whether a change of look fades (the manager allows glow effects and the form is top-level),
  // and whether the manager's animation switch is on.
  [[nodiscard]] virtual bool FadesAllowed() const = 0;
  [[nodiscard]] virtual bool AnimationAllowed() const = 0;
};

class TacCaptionCycle {
 public:
  // `host` is not owned and outlives the cycle.
  explicit TacCaptionCycle(TacCaptionHost& host) : host_(host) {}
  TacCaptionCycle(const TacCaptionCycle&) = delete;
  TacCaptionCycle& operator=(const TacCaptionCycle&) = delete;

  // Takes one of the form's mouse messages (WM_NCHITTEST, the non-client and client moves,
  // presses and releases, leaves, WM_CAPTURECHANGED). True when the message is answered here
  // with `result` and goes no further; false passes it on.
  bool Message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  // The mouse went elsewhere (AC_MOUSELEAVE): no hot button, no press.
  void MouseLeave();

  // The hit-test code of a point in screen coordinates.
  [[nodiscard]] unsigned HTProcess(POINT screen_point);
  // Makes the button `code` hot (any other code: none), unless a press is in progress.
  void SetHotHT(unsigned code);
  // Presses the button `code` and takes the mouse capture.
  void SetPressedHT(unsigned code);
  // Ends a press at `window_point`: the button acts only when the point is over it.
  void AC_WMLButtonUp(TPoint window_point);
  // Shows the button `hit` in `state`, fading when the manager allows it and `fade` is set.
  void RepaintButton(unsigned hit, int state, bool fade = true);
  // Ends every running fade at once, each button showing its final look (the form moves, hides
  // or loses its skin).
  void FinishFades();

  // The caption element hot or pressed; 0 none.
  [[nodiscard]] unsigned CurrentHT() const { return current_ht_; }
  // A button is pressed and not yet released.
  [[nodiscard]] bool biClicked() const { return bi_clicked_; }
  // The running fade of the button `hit`, or null (a test hook).
  [[nodiscard]] const TacSBAnimation* Animation(unsigned hit) const;

 private:
  [[nodiscard]] std::unique_ptr<TacSBAnimation>* FadeOf(unsigned hit);
  void FadeEnded(unsigned hit);
  void PressedMove(TPoint window_point);
  // Ends a press without its action; the capture is given back when this window holds it.
  void EndPress();
  void TrackLeave();

  TacCaptionHost& host_;
  unsigned current_ht_ = 0;
  bool bi_clicked_ = false;
  // Close, maximize, minimize, help.
  std::array<std::unique_ptr<TacSBAnimation>, 4> fades_;
  platform::MouseCapture capture_;  // held while a press lasts
};

}  // namespace kestrune::skin
