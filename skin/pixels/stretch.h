#pragma once
// Resampling in two separable integer passes: the Mitchell-Netravali filter (B = C = 1/3) for
// pictures, the Hermite filter for masks.

#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

enum TFilterType { ftMitchell, ftHermite };

// Makes dst a new_width x new_height 32-bit picture of src. Nothing happens for a new size of 0
// or less or a source below 2 x 2 pixels; a source of the same size is copied.
void Stretch(const Bitmap& src, Bitmap& dst, int new_width, int new_height,
             TFilterType filter = ftMitchell);

}  // namespace kestrune::skin
