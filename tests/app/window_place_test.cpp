#include "app/window_place.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kestrune {

namespace skin {
void PrintTo(const TRect& r, std::ostream* out) {
  *out << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}
}  // namespace skin

namespace {

using skin::TRect;

TEST(PlaceInWorkArea, KeepsTheDesignedPlaceWhileItFitsAndMovesJustEnoughOtherwise) {
  struct Case {
    const char* name;
    TRect window;
    TRect work;
    TRect placed;
  };
  // The window at 96 dpi is about 432 x 340 at (523, 133); at 144 dpi about 640 x 490.
  const Case cases[] = {
      {"fits", {523, 133, 955, 473}, {0, 0, 1024, 728}, {523, 133, 955, 473}},
      {"touches the right and bottom edges",
       {523, 133, 1024, 728},
       {0, 0, 1024, 728},
       {523, 133, 1024, 728}},
      {"past the right edge", {523, 133, 1163, 623}, {0, 0, 800, 600}, {160, 110, 800, 600}},
      {"past the bottom edge only", {523, 133, 955, 473}, {0, 0, 1280, 400}, {523, 60, 955, 400}},
      // A task-bar at the top or left: the work area does not start at 0.
      {"above and left of the work area",
       {523, 133, 955, 473},
       {600, 200, 1600, 900},
       {600, 200, 1032, 540}},
      {"on a second monitor left of the first",
       {523, 133, 955, 473},
       {-1280, 0, 0, 1024},
       {-432, 133, 0, 473}},
      // Larger than the work area: the caption and menu (top left) stay on the screen.
      {"larger than the work area", {523, 133, 1163, 623}, {0, 0, 600, 400}, {0, 0, 640, 490}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PlaceInWorkArea(c.window, c.work), c.placed);
  }
}

}  // namespace
}  // namespace kestrune
