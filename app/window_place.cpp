#include "app/window_place.h"

#include <algorithm>

namespace kestrune {
namespace {

// The new start of a span [start, start + length) inside [low, high).
int Fit(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

ScreenRect PlaceInWorkArea(const ScreenRect& window, const ScreenRect& work) {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = Fit(window.left, width, work.left, work.right);
  const int top = Fit(window.top, height, work.top, work.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace kestrune
