#pragma once
// Where the window goes on its monitor: at its designed place while that lies inside the work
// area, otherwise moved just enough to lie inside it (a small screen at a high density).

namespace kestrune {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// `window` moved, not resized, into `work`. A window wider or taller than the work area keeps
// its left or top edge at the work area's, so that its caption and menu stay reachable.
[[nodiscard]] ScreenRect PlaceInWorkArea(const ScreenRect& window, const ScreenRect& work);

}  // namespace kestrune
