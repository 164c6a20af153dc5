#include "skin/pixels/gradient_platform.h"

namespace kestrune::skin {

void PaintCornerGradient(Bitmap&, TRect, const TsGradArray&) {}

}  // namespace kestrune::skin
