// The corner gradient through msimg32's GradientFill, bound by name so that a system without
// it draws nothing instead of failing to start. GDI draws into a scratch DIB section of the
// rectangle's size, whose pixels are then copied into the bitmap with alpha 255; that works for
// heap bitmaps and DIB-backed ones alike.

#include <windows.h>

#include <cstdint>

#include "platform/gdi_win.h"
#include "skin/pixels/gradient_platform.h"

namespace kestrune::skin {
namespace {

using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

TRIVERTEX Vertex(LONG x, LONG y, TColor color) {
  const auto c = static_cast<std::uint32_t>(color);
  return TRIVERTEX{x,
                   y,
                   static_cast<COLOR16>((c & 0xFFu) << 8),
                   static_cast<COLOR16>(((c >> 8) & 0xFFu) << 8),
                   static_cast<COLOR16>(((c >> 16) & 0xFFu) << 8),
                   static_cast<COLOR16>(0xFF00)};
}

}  // namespace

void PaintCornerGradient(Bitmap& bmp, TRect r, const TsGradArray& data) {
  static const auto gradient_fill =
      platform::BindProc<GradientFillProc>(L"msimg32.dll", "GradientFill");
  if (gradient_fill == nullptr)
    return;
  const int w = r.Width();
  const int h = r.Height();
  const platform::MemoryDc dc;
  const platform::DibSection dib = platform::DibSection::TopDown32(w, h);
  if (dc.Get() == nullptr || dib.Bits() == nullptr)
    return;
  BOOL ok = FALSE;
  {
    const platform::SelectedObject selected(dc.Get(), dib.Get());
    // Top-left, centre, top-right, bottom-right, bottom-left, in the scratch's coordinates.
    TRIVERTEX vertices[5] = {Vertex(0, 0, data[0].Color), Vertex(w / 2, h / 2, data[1].Color),
                             Vertex(w, 0, data[2].Color), Vertex(w, h, data[3].Color),
                             Vertex(0, h, data[4].Color)};
    GRADIENT_TRIANGLE triangles[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    ok = gradient_fill(dc.Get(), vertices, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
    ::GdiFlush();
  }
  if (!ok)
    return;
  const auto* src = static_cast<const std::uint32_t*>(dib.Bits());
  for (int y = 0; y < h; ++y) {
    std::uint32_t* row = bmp.Row32(r.Top + y) + r.Left;
    for (int x = 0; x < w; ++x)
      row[x] = src[static_cast<std::ptrdiff_t>(y) * w + x] | 0xFF000000u;
  }
}

}  // namespace kestrune::skin
