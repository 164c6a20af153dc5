#pragma once
// The form's transitions: activation and caption changes without the system's own caption
// reaching the screen (the cover window), the show animation, the picture taken on close, and
// the minimize and restore animation. The provider hands the matching messages over and answers
// what the transitions need of it through TacTransitionHost. Include only from Windows sources.
//
// Everything runs on the form's thread. No window of these outlives the change it was made for.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "skin/controls/caption_form_win.h"
#include "skin/controls/form_animation_win.h"
#include "skin/controls/form_transitions.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

// What the transitions ask of the form's provider.
class TacTransitionHost {
 public:
  virtual ~TacTransitionHost() = default;
  [[nodiscard]] virtual HWND Window() const = 0;
  [[nodiscard]] virtual std::string FormName() const = 0;
  // The window bitmap as it is (null without one), and the same painted first when stale.
  [[nodiscard]] virtual const Bitmap* CurrentBitmap() const = 0;
  virtual const Bitmap* FreshBitmap() = 0;
  // The active look; setting it marks the bitmap stale when the looks differ.
  [[nodiscard]] virtual bool FormActive() const = 0;
  virtual void SetFormActive(bool active) = 0;
  virtual void MarkStale() = 0;
  // The form's procedure behind the provider.
  virtual LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // The frame from the bitmap, now, unless painting is blocked.
  virtual void RepaintFrame() = 0;
  virtual void ForgetMenuRows() = 0;
  // The provider has painted the window once.
  [[nodiscard]] virtual bool Initialised() const = 0;
  [[nodiscard]] virtual bool NcPaintAllowed() const = 0;
  // A skinned drop-down opened from one of the form's controls is open.
  [[nodiscard]] virtual bool PopupOpen() const = 0;
  // The window's size is the one recorded at its last position change.
  [[nodiscard]] virtual bool SizeSettled() const = 0;
  virtual void DropGlowCaches() = 0;
  // The manager's switches: its animation switch and its form animations.
  [[nodiscard]] virtual bool ManagerAllowsAnimation() const = 0;
  [[nodiscard]] virtual TacAnimEffects AnimEffects() const = 0;
  // The children may take their background from the bitmap again.
  virtual void BackgroundReady() = 0;
};

class TacFormTransitions {
 public:
  explicit TacFormTransitions(TacTransitionHost& host,
                              std::shared_ptr<TacComposition> composition = SystemComposition());
  TacFormTransitions(const TacFormTransitions&) = delete;
  TacFormTransitions& operator=(const TacFormTransitions&) = delete;
  // Removes the cover and every animation window at once.
  ~TacFormTransitions();

  // The provider's own animation switch.
  bool AllowAnimation = true;
  // Fired when the show animation has ended.
  std::function<void()> OnAfterAnimation;
  // Fired with each cover window once it shows, and with the opacity of each picture the show
  // animation puts up (test hooks).
  std::function<void(HWND cover)> OnCoverShown;
  std::function<void(int alpha)> OnShowFrame;

  // Message handlers, called by the provider in place of the default handling.
  LRESULT AC_WMNCActivate(WPARAM wparam, LPARAM lparam);
  LRESULT SetText(WPARAM wparam, LPARAM lparam);
  // WM_SHOWWINDOW: a top-level form about to show turns transparent for the show animation.
  LRESULT ShowWindowMessage(WPARAM wparam, LPARAM lparam);
  // The window has just become visible (WM_WINDOWPOSCHANGED with SWP_SHOWWINDOW).
  void WindowShown();
  LRESULT Close(WPARAM wparam, LPARAM lparam);
  // WM_SYSCOMMAND: true when the command was a minimize or restore handled here.
  bool SysCommand(WPARAM wparam, LPARAM lparam, LRESULT& result);
  // The next minimize goes without the animation (a command the system menu sends).
  void SkipMinimizeAnimation() { skip_minimize_ = true; }

  // The cover window over the frame; made only where CoverAllowed says so.
  void MakeCaptForm();
  void KillCaptForm();

  void AnimShowForm(int time, int opacity, int mode);

  void SetComposition(std::shared_ptr<TacComposition> composition);
  [[nodiscard]] bool Animating() const { return animating_; }
  [[nodiscard]] const TacCaptForm* CaptForm() const { return capt_form_.get(); }
  [[nodiscard]] bool MinTimerRunning() const { return min_timer_ != nullptr; }
  // The picture taken when a close was asked for: a bitmap of its own, never the window bitmap
  // that the children borrow as their background.
  [[nodiscard]] const Bitmap& CloseImage() const { return close_image_; }

 private:
  struct MinTimer;
  [[nodiscard]] bool MainForm() const;
  [[nodiscard]] bool Showing() const;
  [[nodiscard]] bool AnimationAllowed() const;
  [[nodiscard]] Bitmap WindowImage();
  void StartMinTimer(bool minimizing);
  void MinTick();
  void EndMinTimer();

  TacTransitionHost& host_;
  std::shared_ptr<TacComposition> composition_;
  bool composition_at_start_ = false;
  std::unique_ptr<TacCaptForm> capt_form_;
  bool animating_ = false;
  bool showing_phase_ = false;  // from WM_SHOWWINDOW to the end of the show animation
  bool show_pending_ = false;
  int own_opacity_ = -1;  // the form's constant opacity before the show, -1 none
  bool skip_minimize_ = false;
  std::unique_ptr<MinTimer> min_timer_;
  Bitmap min_image_;  // the window's picture, taken when it was minimized
  TRect normal_rect_;
  Bitmap close_image_;
};

}  // namespace kestrune::skin
