#pragma once
// The gradient drawing that needs the platform's triangle gradient fill.

#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"
#include "skin/pixels/gradient.h"

namespace kestrune::skin {

// Direction 2 of PaintGrad without the overlay flag: r is clipped to the bitmap and data has at
// least five points. Draws nothing where the platform has no such fill.
void PaintCornerGradient(Bitmap& bmp, TRect r, const TsGradArray& data);

}  // namespace kestrune::skin
