#include "skin/paint/bg_info.h"

namespace kestrune::skin {

void CopyBitmapToDC(TacDC dc, const Bitmap& bmp, TRect src, TPoint dst) {
  const auto* target = static_cast<const HeadlessDC*>(dc);
  if (target == nullptr || target->Target == nullptr)
    return;
  CopyPixels(*target->Target, TPoint{dst.X + target->Origin.X, dst.Y + target->Origin.Y}, bmp, src);
}

}  // namespace kestrune::skin
