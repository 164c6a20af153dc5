#pragma once
// The cover window (TacCaptForm): while the system activates a form or stores its new caption it
// may draw its own caption into the frame for a moment. A borderless window shaped like the
// frame's visible part, showing the provider's window bitmap, lies over the frame meanwhile, so
// that nothing of the system's drawing reaches the screen. It exists for one such change only;
// destroying the object destroys the window. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi_win.h"
#include "skin/paint/bitmap.h"

namespace kestrune::skin {

// The cover's window class; tests and the z-order readers recognise its windows by it.
inline constexpr wchar_t kCaptFormClass[] = L"KestruneCaptForm";

using UniqueRgn = platform::UniqueRegion;

// The part of `form`'s frame that is on the screen, in window coordinates: the window region
// (the work area for a maximized form, the window rectangle without a region) minus the windows
// above the form (covers and glow windows excepted) minus the client area. Null when nothing of
// the frame shows.
[[nodiscard]] UniqueRgn CoverRegion(HWND form);

class TacCaptForm {
 public:
  // What the cover shows: the window bitmap as it is now (window coordinates), or null.
  using Source = std::function<const Bitmap*()>;

  // Places a cover over `form`, shaped by `region` (taken), shows it without activating it and
  // paints it at once. Handle() is null when the system gave no window; the form then goes
  // without a cover.
  TacCaptForm(HWND form, std::string name, UniqueRgn region, Source source);
  TacCaptForm(const TacCaptForm&) = delete;
  TacCaptForm& operator=(const TacCaptForm&) = delete;
  ~TacCaptForm();

  [[nodiscard]] HWND Handle() const { return window_; }
  [[nodiscard]] const std::string& Name() const { return name_; }

 private:
  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Paint(HDC dc) const;

  HWND window_ = nullptr;
  std::string name_;
  Source source_;
};

}  // namespace kestrune::skin
