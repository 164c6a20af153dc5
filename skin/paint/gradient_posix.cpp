#include "skin/paint/gradient_platform.h"

namespace kestrune::skin {

void PaintCornerGradient(const Bitmap&, TRect, const TsGradArray&) {}

}  // namespace kestrune::skin
