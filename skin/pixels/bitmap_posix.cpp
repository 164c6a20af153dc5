#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {

std::unique_ptr<BitmapStorage> AllocateStorage(int width, int height, TPixelFormat format) {
  return AllocateHeapStorage(width, height, format, RowOrder::TopDown);
}

TColor ColorToRGB(TColor color) {
  return color < 0 ? clBlack : color;
}

bool DesktopCompositionEnabled() {
  return true;
}

}  // namespace kestrune::skin
