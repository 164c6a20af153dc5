// The corner gradient through msimg32's GradientFill, bound by name so that a system without
// it draws nothing instead of failing to start. GDI draws into a scratch DIB section of the
// rectangle's size, whose pixels are then copied into the bitmap with alpha 255; that works for
// heap bitmaps and DIB-backed ones alike.

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "skin/paint/gradient_platform.h"

namespace kestrune::skin {
namespace {

using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

GradientFillProc BindGradientFill() {
  HMODULE module = ::LoadLibraryW(L"msimg32.dll");
  if (module == nullptr)
    return nullptr;
  // The library stays loaded for the process, as the pointer is kept.
  return reinterpret_cast<GradientFillProc>(
      reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
}

GradientFillProc GradientFillEntry() {
  static const GradientFillProc entry = BindGradientFill();
  return entry;
}

TRIVERTEX Vertex(LONG x, LONG y, TColor color) {
  const auto c = static_cast<std::uint32_t>(color);
  return TRIVERTEX{x,
                   y,
                   static_cast<COLOR16>((c & 0xFFu) << 8),
                   static_cast<COLOR16>(((c >> 8) & 0xFFu) << 8),
                   static_cast<COLOR16>(((c >> 16) & 0xFFu) << 8),
                   static_cast<COLOR16>(0xFF00)};
}

class MemoryDC {
 public:
  MemoryDC() : dc_(::CreateCompatibleDC(nullptr)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_ != nullptr)
      ::DeleteDC(dc_);
  }
  [[nodiscard]] HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class DibSection {
 public:
  DibSection(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    handle_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  }
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;
  ~DibSection() {
    if (handle_ != nullptr)
      ::DeleteObject(handle_);
  }
  [[nodiscard]] HBITMAP Get() const { return handle_; }
  [[nodiscard]] const std::uint32_t* Pixels() const {
    return static_cast<const std::uint32_t*>(bits_);
  }

 private:
  HBITMAP handle_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace

void PaintCornerGradient(Bitmap& bmp, TRect r, const TsGradArray& data) {
  const GradientFillProc gradient_fill = GradientFillEntry();
  if (gradient_fill == nullptr)
    return;
  const int w = r.Width();
  const int h = r.Height();
  MemoryDC dc;
  DibSection dib(w, h);
  if (dc.Get() == nullptr || dib.Get() == nullptr)
    return;
  const HGDIOBJ old = ::SelectObject(dc.Get(), dib.Get());
  // Top-left, centre, top-right, bottom-right, bottom-left, in the scratch's coordinates.
  TRIVERTEX vertices[5] = {Vertex(0, 0, data[0].Color), Vertex(w / 2, h / 2, data[1].Color),
                           Vertex(w, 0, data[2].Color), Vertex(w, h, data[3].Color),
                           Vertex(0, h, data[4].Color)};
  GRADIENT_TRIANGLE triangles[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  const BOOL ok = gradient_fill(dc.Get(), vertices, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
  ::GdiFlush();
  ::SelectObject(dc.Get(), old);
  if (!ok)
    return;
  const std::uint32_t* src = dib.Pixels();
  for (int y = 0; y < h; ++y) {
    std::uint32_t* row = bmp.Row32(r.Top + y) + r.Left;
    for (int x = 0; x < w; ++x)
      row[x] = src[static_cast<std::ptrdiff_t>(y) * w + x] | 0xFF000000u;
  }
}

}  // namespace kestrune::skin
