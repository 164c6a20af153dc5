#pragma once
// Anti-aliased drawing through the GDI+ flat interface, bound by name at run time from
// "gdiplus.dll" and started once per process. Every wrapper does nothing when the library is
// missing. Colours are TColor values drawn with alpha 255 unless an alpha is given.

#include <windows.h>

#include <cstdint>

#include "skin/paint/colors.h"
#include "skin/paint/geometry.h"

namespace kestrune::skin {

// Whether the library was found and started.
[[nodiscard]] bool GdiPlusAvailable();

void acgpFillRect(HDC dc, TRect r, TColor color, std::uint8_t alpha = 255);
void acgpFillEllipse(HDC dc, float x, float y, float width, float height, TColor color,
                     std::uint8_t alpha = 255);
void acgpDrawLine(HDC dc, float x1, float y1, float x2, float y2, TColor color, float width,
                  std::uint8_t alpha = 255);

}  // namespace kestrune::skin
