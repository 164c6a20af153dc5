#pragma once
// What lies behind a control: the parent's cache bitmap and where the control sits in it, or a
// flat colour when the parent gives no picture.

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

struct TCacheInfo {
  const Bitmap* Bmp = nullptr;  // not owned: the parent's cache bitmap
  int X = 0;                    // the control's origin in Bmp
  int Y = 0;
  TColor FillColor = clFuchsia;
  TRect FillRect;  // widths of the parent's border strips that hold real pixels
  bool Ready = false;
};

inline constexpr TCacheInfo EmptyCI{};

[[nodiscard]] inline TCacheInfo MakeCacheInfo(const Bitmap& bmp, int x = 0, int y = 0) {
  TCacheInfo ci;
  ci.Bmp = &bmp;
  ci.X = x;
  ci.Y = y;
  ci.Ready = true;
  return ci;
}

}  // namespace kestrune::skin
