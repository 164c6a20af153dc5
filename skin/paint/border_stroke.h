#pragma once
// The coloured border of a section: an anti-aliased stroke along a rectangle, with quarter arcs
// at rounded corners. Coverage is exact for straight parts (the area of each pixel under the
// stroke) and sampled 8 x 8 per pixel in the rounded corners, so every build gives the same
// bytes. Pixel centres lie on integer coordinates, so a 1-pixel stroke on an integer line is
// crisp.

#include "skin/paint/round_masks.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Strokes the border of r with a pen of `width` in `color` (a TColor, drawn opaque over the
// pixels it covers): the stroke runs along r moved in by width div 2 on the left and top and by
// width on the right and bottom; corners with a radius above 0 are quarter arcs of that radius.
// A width of 0 or less draws nothing.
void DrawBorderStroke(Bitmap& bmp, TRect r, int width, TColor color, const TCornerRadii& radii);

}  // namespace kestrune::skin
