#pragma once
// What a caption button shows: the skin's title glyph for its kind and state, or, when the skin
// cannot supply a glyph that shows (no entry, no picture, a frame outside its picture or with no
// visible pixel), a built-in glyph in the caption's text colour, so that a window always has
// visible close and minimise buttons. Portable; the form provider paints through it.

#include "skin/controls/skin_provider_metrics.h"
#include "skin/data/skin_data.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The look of one caption button at one paint.
struct TsCaptionLook {
  int State = 0;          // 0 normal, 1 hot, 2 pressed
  bool Faded = false;     // an inactive window or a disabled button
  TColor Text = 0;        // the caption's text colour, for built-in glyphs
  TColor Background = 0;  // the title's colour under the button
};

// Paints the button of `glyph` over `box` of target (the skin's glyph at the box's top left,
// or a built-in one centred in it).
void PaintCaptionGlyph(Bitmap& target, TRect box, TacTitleGlyph glyph, const TsCaptionLook& look,
                       const TacSkinData& sd);

}  // namespace kestrune::skin
