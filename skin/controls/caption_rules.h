#pragma once
// The rules of the caption buttons' interaction, apart from any window: which part of the frame
// a point lies on (the whole frame is answered here, so nothing of the system's own caption
// layout can show through the skin's title bar), which command a release gives, and the
// arithmetic of a button's fade. The window side is caption_buttons_win.h.

#include <cstdint>

#include "skin/controls/skin_provider_metrics.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The system's hit-test codes this module answers.
inline constexpr unsigned kHitNowhere = 0;
inline constexpr unsigned kHitClient = 1;
inline constexpr unsigned kHitCaption = 2;
inline constexpr unsigned kHitSysMenu = 3;
inline constexpr unsigned kHitMenu = 5;
inline constexpr unsigned kHitLeft = 10;
inline constexpr unsigned kHitRight = 11;
inline constexpr unsigned kHitTop = 12;
inline constexpr unsigned kHitTopLeft = 13;
inline constexpr unsigned kHitTopRight = 14;
inline constexpr unsigned kHitBottom = 15;
inline constexpr unsigned kHitBottomLeft = 16;
inline constexpr unsigned kHitBottomRight = 17;
inline constexpr unsigned kHitBorder = 18;  // a frame that does not size
inline constexpr unsigned kHitHelp = 21;

// The frame as the hit test sees it, measured from the live window: the laid-out title bar, and
// where the system really put the client area and the menu band (the skin's metrics can differ
// from the system's frame, so the real geometry decides everything below the title).
struct TacHitFrame {
  TacTitleLayout Layout;  // caption buttons (absent ones have Right == Left) and the icon
  TSize Window;           // the window's size
  TRect Client;           // the client area in window coordinates
  int MenuTop = 0;        // first row of the menu band; equals Client.Top without one
  int CornerSize = 0;     // how far the corner codes reach along a thick frame's edges
  bool ThickFrame = false;
  bool Maximized = false;
  bool Minimized = false;
  bool CloseEnabled = true;
  bool MaxEnabled = true;  // maximize, or restore when maximized
  bool MinEnabled = true;
  bool MainForm = true;  // the application's main window (no owner)
  TRect Grip;            // the size grip in window coordinates; empty: none
};

// The hit-test code of a point in window coordinates: a caption button's code where its action
// is enabled (a disabled button is caption), sizing codes on a thick frame's edges (client when
// maximized), caption or system menu (on the icon) in the title zone, menu on the band, client
// inside the client area (bottom right over a grip), and the plain border elsewhere. Points
// outside the window are nowhere.
[[nodiscard]] unsigned HTProcess(const TacHitFrame& frame, TPoint window_point);

// Whether `hit` is a caption button's code (minimize, maximize, close, help).
[[nodiscard]] bool IsCaptionButtonHit(unsigned hit);

// The system command a release at `window_point` gives after a press of the button `pressed`, or
// 0: only a release over the pressed button, while its action is enabled, acts. Maximize gives
// restore on a maximized window; minimize gives restore on a minimized window that is not the
// application's main window.
[[nodiscard]] unsigned ReleaseCommand(const TacHitFrame& frame, unsigned pressed,
                                      TPoint window_point);

// How many frames a caption button's change of look takes: pressed at once; hot and back to
// normal over kSBFadeSteps, or at once when the manager's animation switch is off.
inline constexpr int kSBFadeSteps = 10;
[[nodiscard]] int SBFadeSteps(int to_state, bool animation_allowed);

// The opacity of a caption button's fade window: each frame raises (fade in) or lowers it by
// 255 div steps, within 0..255. Turning a running fade round keeps the opacity reached.
class TacSBFade {
 public:
  // A fresh fade in starts transparent, a fresh fade out opaque.
  void Start(bool fade_in, int steps);
  // Turns a running fade round (or restarts a finished one) from the opacity it has reached.
  void Turn(bool fade_in, int steps);
  // One frame; true when the fade has ended (its frames are done or the opacity reached its end).
  bool Step();

  [[nodiscard]] std::uint8_t Alpha() const { return static_cast<std::uint8_t>(alpha_); }
  [[nodiscard]] bool FadingIn() const { return fade_in_; }
  [[nodiscard]] bool Done() const { return step_ >= steps_; }

 private:
  int alpha_ = 0;
  int steps_ = 0;
  int step_ = 0;
  bool fade_in_ = true;
};

}  // namespace kestrune::skin
