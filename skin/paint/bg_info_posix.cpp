#include "skin/paint/bg_info.h"

#include "skin/paint/masked_copy.h"

namespace kestrune::skin {

void CopyBitmapToDC(TacDC dc, const Bitmap& bmp, TRect src, TPoint dst) {
  const auto* target = static_cast<const HeadlessDC*>(dc);
  if (target == nullptr || target->Target == nullptr)
    return;
  CopyPixels(*target->Target, TPoint{dst.X + target->Origin.X, dst.Y + target->Origin.Y}, bmp, src);
}

void CopyDCToBitmap(TacDC dc, TPoint src, Bitmap& bmp) {
  const auto* source = static_cast<const HeadlessDC*>(dc);
  if (source == nullptr || source->Target == nullptr)
    return;
  const int x = src.X + source->Origin.X, y = src.Y + source->Origin.Y;
  CopyRect32(bmp, 0, 0, *source->Target, Rect(x, y, x + bmp.Width(), y + bmp.Height()));
}

}  // namespace kestrune::skin
