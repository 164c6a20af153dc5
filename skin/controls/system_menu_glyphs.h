#pragma once
// The built-in glyphs of the skinned system menu's items (move, minimize, maximize, restore,
// close), drawn as thin anti-aliased strokes that scale with the glyph box. Portable.

#include <string_view>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Draws the glyph of the standard item named `item_name` ("acIM", "acIN", "acIX", "acIR",
// "acIC") centred in `box` in `color`; any other name draws nothing. Never throws.
void DrawSysMenuGlyph(Bitmap& bmp, TRect box, std::string_view item_name, TColor color) noexcept;

}  // namespace kestrune::skin
