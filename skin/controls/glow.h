#pragma once
// Glow windows: while a skinned control is hot, a borderless layered top-level window slightly
// larger than the control shows its section's glow image around it, never taking the mouse or
// the focus. The registry hands out glow identifiers (the index of the entry), which controls
// keep in TsCommonData::GlowID; a hidden glow leaves an empty entry behind, so an identifier is
// never reused until the whole registry is cleared.
//
// The rules (registry, picture, placement, fades) are portable and written against
// TacGlowPlatform, the window system as the glow sees it; glow_win.h answers it from real
// windows, tests from a fake. Nothing here throws. Everything runs on the window thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "skin/paint/common_data.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The glow's opacity during a state fade, moved one step per tick, kFrameInterval apart.
struct TacGlowFade {
  double Level = 0;  // 0..255
  double Step = 0;   // signed: added on every tick
  int StepsLeft = 0;
  int Target = 0;  // the state faded to: 0 normal, ACHOT, ACPRESSED

  // Sets the steps from the current level. `from_normal`: the fade stood at or below the normal
  // state (only the hot fade reads it); `afresh`: no fade was running (only the pressed fade
  // reads it, starting from full opacity).
  void Start(int target, bool from_normal, bool fast, bool afresh);
  // One step: the level moves, is limited to 0..255, and its rounded value is the opacity.
  std::uint8_t Tick();
  [[nodiscard]] bool Running() const { return StepsLeft > 0; }
  [[nodiscard]] std::uint8_t Opacity() const;
};

// Where a glow window goes in the z-order: directly below `After`, or at the top of the
// topmost band or of the normal band.
struct TacGlowPlace {
  enum class Kind : std::uint8_t { Topmost, Top, Below };
  Kind kind = Kind::Top;
  TacWindow after = nullptr;
  friend bool operator==(const TacGlowPlace&, const TacGlowPlace&) = default;
};

// One glow window. Destroying the object destroys the window at once.
class TacGlowWindow {
 public:
  virtual ~TacGlowWindow() = default;
  // Makes the window layered and click-through, shows `picture` (premultiplied, the window's
  // size) with constant opacity `alpha` at `pos` and places it. False when the system refused.
  virtual bool Show(const Bitmap& picture, TPoint pos, std::uint8_t alpha, TacGlowPlace place) = 0;
  // The same picture again with another constant opacity.
  virtual void SetAlpha(const Bitmap& picture, std::uint8_t alpha) = 0;
  virtual void Hide() = 0;
  // Gives the window its own message procedure back (before it goes).
  virtual void RestoreWndProc() = 0;
  // Calls `tick` every kFrameInterval milliseconds until StopTimer.
  virtual void StartTimer(std::function<void()> tick) = 0;
  virtual void StopTimer() = 0;
};

// The window system as the glow sees it. Implementations never throw.
class TacGlowPlatform {
 public:
  virtual ~TacGlowPlatform() = default;
  // The platform can show per-pixel alpha windows.
  [[nodiscard]] virtual bool LayeredWindows() const = 0;
  [[nodiscard]] virtual bool MouseCaptured() const = 0;
  // The program is ending: windows are freed at once rather than after the current message.
  [[nodiscard]] virtual bool Terminating() const { return false; }
  // A new hidden glow window; nullptr when none can be made.
  virtual std::unique_ptr<TacGlowWindow> CreateGlowWindow() = 0;
  // Hides the window now and destroys it once the current message is done.
  virtual void ReleaseLater(std::unique_ptr<TacGlowWindow> window) = 0;
  [[nodiscard]] virtual bool Topmost(TacWindow form) const = 0;
  // The nearest window above `form` in the z-order that is not a glow window; nullptr when none.
  [[nodiscard]] virtual TacWindow WindowAbove(TacWindow form) const = 0;
  // The window's rectangle on the screen cut to what its window device context may paint;
  // empty when nothing of it can be seen.
  [[nodiscard]] virtual TRect VisibleWindowRect(TacWindow control) const = 0;
  // Screen rectangles of the visible windows lying above `control` inside its form (its
  // earlier siblings and those of its parents).
  [[nodiscard]] virtual std::vector<TRect> WindowsAbove(TacWindow control) const = 0;
  // The control's answer to AC_GETCOLORTONE; clNone when it gives none.
  [[nodiscard]] virtual TColor ColorTone(TacWindow control) const = 0;
};

// The base of the registry's entries: a layered window bound to a control's skin state.
class TacLayeredEffect {
 public:
  TacLayeredEffect(TacGlowPlatform& platform, TsCommonData& skin_data);
  TacLayeredEffect(const TacLayeredEffect&) = delete;
  TacLayeredEffect& operator=(const TacLayeredEffect&) = delete;
  // Sets Destroyed and frees the window: at once when the program is ending or `at_once` was
  // asked for (FreeWindow), else after the current message.
  virtual ~TacLayeredEffect();

  virtual void Repaint() = 0;
  [[nodiscard]] virtual bool IsGlow() const { return false; }
  // Restores the window's procedure and frees it (see the destructor); the effect stays.
  void FreeWindow(bool at_once);

  TsCommonData* SkinData;  // not owned; outlives the entry (its destructor hides the glow)
  std::unique_ptr<Bitmap> AlphaBmp;
  int State = 0;
  TacWindow FWndHandle = nullptr;  // the control's form: the z-order reference
  std::unique_ptr<TacGlowWindow> Wnd;
  bool Destroyed = false;
  TsSkinManager* SkinManager;  // not owned

 protected:
  TacGlowPlatform& platform_;
};

class TacGlowEffect final : public TacLayeredEffect {
 public:
  using TacLayeredEffect::TacLayeredEffect;

  // Builds the picture for the control's present place and shows it.
  void Repaint() override;
  [[nodiscard]] bool IsGlow() const override { return true; }
  // Nothing when the window exists; otherwise stores the place and shows the glow.
  void Show(TRect real_rect, std::uint8_t alpha, TacWindow wnd_handle);

  int FAlpha = 0;
  int Margin = 0;
  int MaskIndex = -1;
  TRect FRealRect;
  // The glow's own fade: in after an animated start, out after an animated HideGlow.
  TacGlowFade Fade;
  bool FadingOut = false;
};

// The registry of glow effects. One lives for the process (glow_win.h); tests make their own.
class TacGlowRegistry : public TacGlows {
 public:
  explicit TacGlowRegistry(TacGlowPlatform& platform) : platform_(platform) {}
  TacGlowRegistry(const TacGlowRegistry&) = delete;
  TacGlowRegistry& operator=(const TacGlowRegistry&) = delete;
  // Frees every glow and its window at once.
  ~TacGlowRegistry() override;

  // A glow around the control of `skin_data` from image `name` + "0" of section `skin_section`
  // (the control's own section when empty); returns its identifier, or -1 when the platform has
  // no layered windows, the mouse is captured or the section has nothing to show. Started at
  // opacity 0, the glow fades in by itself unless SetGlowAlpha drives it.
  int ShowGlow(TRect real_rect, std::string_view skin_section, std::string_view name, int margin,
               std::uint8_t alpha, TacWindow wnd_handle, TsCommonData* skin_data) override;
  // The same from an image index (the first of `mask_indexes`); -1 when that is negative.
  int ShowGlow(TRect real_rect, const std::vector<int>& mask_indexes, int margin,
               std::uint8_t alpha, TacWindow wnd_handle, TsCommonData* skin_data);
  // Fades the glow out (animated, the manager allowing it; `id` is kept until the fade ends and
  // then reset in the control) or removes it at once and sets `id` to -1, which is also all that
  // happens for -1 or an emptied entry.
  void HideGlow(int& id, bool do_animation) override;
  // The glow's constant opacity; this stops the glow's own fade (the caller drives it now).
  void SetGlowAlpha(int id, int alpha);
  void RepaintGlow(int id) override;
  // Frees every effect and resets the identifiers their controls keep. With `skip_circles` the
  // registry keeps its length (emptied entries), else it is emptied. Refused while a glow
  // window is being released.
  void ClearGlows(bool manual_freeing, bool skip_circles);
  // One step of a glow's own fade.
  void FadeTick(int id);

  [[nodiscard]] std::size_t Size() const { return effects_.size(); }
  // The entry `id`, or nullptr for an invalid or emptied one.
  [[nodiscard]] TacLayeredEffect* Entry(int id) const;
  [[nodiscard]] TacGlowEffect* Glow(int id) const;
  [[nodiscard]] bool Releasing() const { return releasing_; }

 private:
  int Append(TRect real_rect, int mask_index, int margin, std::uint8_t alpha, TacWindow wnd_handle,
             TsCommonData& skin_data);
  void StartFade(TacGlowEffect& glow, int id, int target);
  void HideAtOnce(int id);

  TacGlowPlatform& platform_;
  std::vector<std::unique_ptr<TacLayeredEffect>> effects_;
  bool releasing_ = false;  // a glow window is being freed
};

// The glow's size and where it and its image go: computed from the visible rectangle, the
// image's nine-slice widths (all 0 without an image) and the section's glow margin.
struct TacGlowGeometry {
  TRect MaxWidths;  // extents around the control on each side
  TSize BmpSize;
  TPoint NewPos;
  TRect GlowRect;  // where the image is drawn in the bitmap
};
// `outer_offsets`: the hover outer effect's offsets, or nullptr without one.
[[nodiscard]] TacGlowGeometry GlowGeometry(TRect visible, TRect image_widths, int margin,
                                           const TRect* outer_offsets);

}  // namespace kestrune::skin
