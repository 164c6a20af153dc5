#pragma once
// Where the window goes on its monitor: at its designed place while that lies inside the work
// area, otherwise moved just enough to lie inside it (a small screen at a high density).

#include "skin/pixels/geometry.h"

namespace kestrune {

// `window` moved, not resized, into `work`. A window wider or taller than the work area keeps
// its left or top edge at the work area's, so that its caption and menu stay reachable.
[[nodiscard]] skin::TRect PlaceInWorkArea(const skin::TRect& window, const skin::TRect& work);

}  // namespace kestrune
