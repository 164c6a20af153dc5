#pragma once
// Anti-aliased drawing through the GDI+ flat interface, bound by name at run time from
// "gdiplus.dll" and started once per process. Every wrapper does nothing when the library is
// missing. Colours are TColor values drawn with alpha 255 unless an alpha is given.

#include <windows.h>

#include <cstdint>

#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Whether the library was found and started.
[[nodiscard]] bool GdiPlusAvailable();

void acgpFillRect(HDC dc, TRect r, TColor color, std::uint8_t alpha = 255);
void acgpFillEllipse(HDC dc, float x, float y, float width, float height, TColor color,
                     std::uint8_t alpha = 255);
void acgpDrawLine(HDC dc, float x1, float y1, float x2, float y2, TColor color, float width,
                  std::uint8_t alpha = 255);
// Outline of R (exclusive) with the pen centred on the outermost pixels.
void acgpDrawRect(HDC dc, TRect r, TColor color, float width, std::uint8_t alpha = 255);
// Outline of R with 90-degree arcs of the given radius at the corners.
void acgpRoundRect(HDC dc, TRect r, TColor color, float width, float radius,
                   std::uint8_t alpha = 255);
// Linear gradients over R from the first colour to the second, left to right (H) or top to
// bottom (V); each colour carries its own alpha.
void acgpGradientRectangleH(HDC dc, TRect r, TColor color1, std::uint8_t alpha1, TColor color2,
                            std::uint8_t alpha2);
void acgpGradientRectangleV(HDC dc, TRect r, TColor color1, std::uint8_t alpha1, TColor color2,
                            std::uint8_t alpha2);
void acgpFillPolygon(HDC dc, const TPoint* points, int count, TColor color,
                     std::uint8_t alpha = 255);
void acgpDrawPolygon(HDC dc, const TPoint* points, int count, TColor color, float width,
                     std::uint8_t alpha = 255);

}  // namespace kestrune::skin
