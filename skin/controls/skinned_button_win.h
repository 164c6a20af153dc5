#pragma once
// TsButton: a push button of the window framework drawn from the skin's BUTTON section. It keeps
// a picture of its whole area (the cache), rebuilt only when stale and copied to the screen on
// every paint; hover, press and focus changes repaint it, cross-faded when the manager allows
// animation. While no skin is active the system draws the button as before. Include only from
// Windows sources.

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/controls_win.h"
#include "skin/controls/anim_timer_win.h"
#include "skin/controls/button_layout.h"
#include "skin/paint/common_data.h"
#include "skin/paint/skin_owner_win.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

// The pictures a skinned control draws: an image list seen from the skin side.
struct TsGlyphSource {
  int Count = 0;
  // The picture size at a density.
  std::function<TSize(int ppi)> Size;
  // Renders picture `index` at target's size with straight alpha; false when it cannot.
  std::function<bool(int index, Bitmap& target)> Render;
};

class TsButton final : private TacStateFade {
 public:
  // Skins `button` (which outlives this object) with the default manager's skin.
  explicit TsButton(platform::Button& button);
  TsButton(const TsButton&) = delete;
  TsButton& operator=(const TsButton&) = delete;
  ~TsButton() override;

  [[nodiscard]] TsCtrlSkinData& SkinData() { return *data_; }
  [[nodiscard]] HWND Handle() const { return button_.Handle(); }

  // 2 pressed, 1 hot, 3 default button, 0 normal (before the section reduces it).
  [[nodiscard]] int CurrentState() const;
  // The picture for the current state; may be invalid (no glyph).
  [[nodiscard]] int CurrentImageIndex() const;
  // Fills the cache; false (and marked updating) while the parent has no background to lend.
  bool PrepareCache();

  // Properties.
  int ContentMargin = 6;
  int FocusMargin = 1;
  bool ShowFocus = true;
  TsDisabledKind DisabledKind = dkBlended;
  bool Down = false;
  bool WordWrap = true;
  bool IsDefault = false;
  TsGlyphSource Images;
  TsButtonImages ImageIndexes;  // Count is taken from Images
  TacImageAlignment ImageAlignment = iaLeft;
  TRect ImageMargins;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

  // The glyph and caption rectangles of the last cache.
  [[nodiscard]] const TsButtonLayout& Layout() const { return layout_; }

 private:
  bool HandleMessage(TacMessage& message);
  // After a skin came, went or changed.
  void FollowSkin();
  void PaintWindow(HDC dc);
  // The state shown changed: the cache is rebuilt and shown, faded when `animate`.
  void StateChanged(bool animate);
  [[nodiscard]] bool Skinned() const;
  void UpdateStyle();
  void DrawCaption(Bitmap& cache, int state, const TsGeneralData& gd);
  void DrawGlyph(Bitmap& cache, int state);
  [[nodiscard]] TsButtonImages Indexes() const;

  // TacStateFade
  void FadeToCurrentState() override { StateChanged(true); }
  void Stop() override { timer_.Stop(); }
  [[nodiscard]] bool Running() const override { return timer_.Running(); }

  platform::Button& button_;
  std::unique_ptr<WinSkinOwner> owner_;
  std::unique_ptr<TsCtrlSkinData> data_;
  TacAnimTimer timer_;
  Bitmap fade_from_;   // the look the running fade leaves
  Bitmap fade_frame_;  // the frame on screen while it runs
  TsButtonLayout layout_;
  int shown_state_ = -1;
  bool releasing_ = false;  // inside the system's handling of the left button's release
};

}  // namespace kestrune::skin
