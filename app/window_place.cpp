#include "app/window_place.h"

#include <algorithm>

namespace kestrune {
namespace {

// The new start of a span [start, start + length) inside [low, high).
int Fit(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

skin::TRect PlaceInWorkArea(const skin::TRect& window, const skin::TRect& work) {
  const int left = Fit(window.Left, window.Width(), work.Left, work.Right);
  const int top = Fit(window.Top, window.Height(), work.Top, work.Bottom);
  return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace kestrune
