// Measures whether the platform's anti-aliasing library smooths strokes and fills drawn into a
// 32-bit DIB section, next to our own border and round-mask code. Each shape is drawn in black on
// white with smoothing asked for; the figures are the pixels that came out grey (partly covered):
// 0 means the edges are jagged.
//   stroke_probe

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>

#include "platform/gdi_win.h"
#include "skin/paint/border_stroke.h"
#include "skin/paint/round_masks.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/bitmap_win.h"

namespace {

using namespace kestrune::skin;

struct GpGraphics;
struct GpPen;
struct GpBrush;
struct GpImage;
using GpStatus = int;

struct StartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

constexpr int kSide = 64;
constexpr int kAntiAlias = 4;
constexpr int kUnitPixel = 2;
constexpr int kFormat32bppARGB = 0x26200A;
constexpr std::uint32_t kBlack = 0xFF000000;

template <class Proc>
Proc Bind(const char* name) {
  return kestrune::platform::BindProc<Proc>(L"gdiplus.dll", name);
}

struct Api {
  GpStatus(WINAPI* startup)(ULONG_PTR*, const StartupInput*,
                            void*) = Bind<decltype(startup)>("GdiplusStartup");
  GpStatus(WINAPI* from_hdc)(HDC, GpGraphics**) = Bind<decltype(from_hdc)>("GdipCreateFromHDC");
  GpStatus(WINAPI* from_scan0)(int, int, int, int, BYTE*,
                               GpImage**) = Bind<decltype(from_scan0)>("GdipCreateBitmapFromScan0");
  GpStatus(WINAPI* image_graphics)(GpImage*, GpGraphics**) =
      Bind<decltype(image_graphics)>("GdipGetImageGraphicsContext");
  GpStatus(WINAPI* dispose_image)(GpImage*) = Bind<decltype(dispose_image)>("GdipDisposeImage");
  GpStatus(WINAPI* delete_graphics)(GpGraphics*) =
      Bind<decltype(delete_graphics)>("GdipDeleteGraphics");
  GpStatus(WINAPI* smoothing)(GpGraphics*, int) = Bind<decltype(smoothing)>("GdipSetSmoothingMode");
  GpStatus(WINAPI* create_pen)(std::uint32_t, float, int,
                               GpPen**) = Bind<decltype(create_pen)>("GdipCreatePen1");
  GpStatus(WINAPI* delete_pen)(GpPen*) = Bind<decltype(delete_pen)>("GdipDeletePen");
  GpStatus(WINAPI* solid_fill)(std::uint32_t,
                               GpBrush**) = Bind<decltype(solid_fill)>("GdipCreateSolidFill");
  GpStatus(WINAPI* delete_brush)(GpBrush*) = Bind<decltype(delete_brush)>("GdipDeleteBrush");
  GpStatus(WINAPI* draw_line)(GpGraphics*, GpPen*, float, float, float,
                              float) = Bind<decltype(draw_line)>("GdipDrawLine");
  GpStatus(WINAPI* draw_arc)(GpGraphics*, GpPen*, float, float, float, float, float,
                             float) = Bind<decltype(draw_arc)>("GdipDrawArc");
  GpStatus(WINAPI* fill_ellipse)(GpGraphics*, GpBrush*, float, float, float,
                                 float) = Bind<decltype(fill_ellipse)>("GdipFillEllipse");

  [[nodiscard]] bool Complete() const {
    return startup && from_hdc && from_scan0 && image_graphics && dispose_image &&
           delete_graphics && smoothing && create_pen && delete_pen && solid_fill && delete_brush &&
           draw_line && draw_arc && fill_ellipse;
  }
};

enum class Shape { Line, Arc, Disc };

void DrawShape(const Api& api, GpGraphics* g, Shape shape) {
  api.smoothing(g, kAntiAlias);
  GpPen* pen = nullptr;
  GpBrush* brush = nullptr;
  api.create_pen(kBlack, 1.0f, kUnitPixel, &pen);
  api.solid_fill(kBlack, &brush);
  switch (shape) {
    case Shape::Line:
      api.draw_line(g, pen, 4, 4, 60, 40);
      break;
    case Shape::Arc:
      api.draw_arc(g, pen, 10, 10, 40, 40, 180, 90);
      break;
    case Shape::Disc:
      api.fill_ellipse(g, brush, 10, 10, 40, 40);
      break;
  }
  api.delete_brush(brush);
  api.delete_pen(pen);
}

Bitmap White() {
  Bitmap bmp = CreateBmp32(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    FillLongword(bmp.Row32(y), kSide, 0xFFFFFFFF);
  return bmp;
}

// What a shape left: pixels whose green byte lies strictly between black and white (grey,
// partly covered) and pixels that are no longer white. For the arc only the top-left quarter
// counts, where the one arc lies (our border has an arc at every corner).
struct Count {
  int grey = -1;
  int drawn = -1;
};

Count Pixels(const Bitmap& bmp, Shape shape) {
  const int end = shape == Shape::Arc ? kSide / 2 : kSide;
  Count count{0, 0};
  for (int y = 0; y < end; ++y)
    for (int x = 0; x < end; ++x) {
      const std::uint32_t g = (bmp.Row32(y)[x] >> 8) & 0xFF;
      count.grey += g > 0 && g < 255 ? 1 : 0;
      count.drawn += g < 255 ? 1 : 0;
    }
  return count;
}

Count ThroughDC(const Api& api, Shape shape) {
  Bitmap bmp = White();
  GpGraphics* g = nullptr;
  if (api.from_hdc(BitmapDC(bmp), &g) != 0)
    return {};
  DrawShape(api, g, shape);
  api.delete_graphics(g);
  ::GdiFlush();
  return Pixels(bmp, shape);
}

Count OverBits(const Api& api, Shape shape) {
  Bitmap bmp = White();
  GpImage* image = nullptr;
  GpGraphics* g = nullptr;
  if (api.from_scan0(kSide, kSide, static_cast<int>(bmp.RowDelta()), kFormat32bppARGB, bmp.Row8(0),
                     &image) != 0)
    return {};
  if (api.image_graphics(image, &g) == 0) {
    DrawShape(api, g, shape);
    api.delete_graphics(g);
  }
  api.dispose_image(image);
  return Pixels(bmp, shape);
}

Count Own(Shape shape) {
  Bitmap bmp = White();
  switch (shape) {
    case Shape::Line:
      return {};  // borders have no slanted lines
    case Shape::Arc:
      DrawBorderStroke(bmp, Rect(10, 10, 51, 51), 1, 0, {20, 20, 20, 20});
      break;
    case Shape::Disc: {
      const auto mask = GetRoundMask(20);
      for (int y = 0; y < mask->Side; ++y)
        for (int x = 0; x < mask->Side; ++x) {
          const std::uint32_t m = mask->At(x, y);
          bmp.Row32(10 + y)[10 + x] = 0xFF000000u | m << 16 | m << 8 | m;
        }
      break;
    }
  }
  return Pixels(bmp, shape);
}

}  // namespace

int main() {
  const Api api;
  StartupInput input;
  ULONG_PTR token = 0;
  if (!api.Complete() || api.startup(&token, &input, nullptr) != 0) {
    std::printf("gdiplus.dll is missing or incomplete\n");
    return 1;
  }
  std::printf(
      "black on white, %d x %d, smoothing on: grey (partly covered) / drawn pixels;\n"
      "no grey pixels means jagged edges\n",
      kSide, kSide);
  std::printf("%-32s %9s %9s %9s\n", "route", "line", "arc", "disc");
  const auto row = [](const char* name, const std::function<Count(Shape)>& run) {
    std::printf("%-32s", name);
    for (const Shape shape : {Shape::Line, Shape::Arc, Shape::Disc}) {
      const Count c = run(shape);
      std::printf(" %4d/%-4d", c.grey, c.drawn);
    }
    std::printf("\n");
  };
  row("library on the DIB's DC", [&](Shape s) { return ThroughDC(api, s); });
  row("library over the DIB's bits", [&](Shape s) { return OverBits(api, s); });
  row("own border stroke / round mask", Own);
  return 0;
}
