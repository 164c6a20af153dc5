#include "skin/pixels/gdiplus_win.h"

#include <vector>

#include "platform/gdi_win.h"

namespace kestrune::skin {
namespace {

// The flat interface's own types, as opaque pointers and plain values.
struct GpGraphics;
struct GpBrush;
struct GpPen;
struct GpPointF {
  float X, Y;
};
using GpStatus = int;
using ARGB = std::uint32_t;
constexpr GpStatus kOk = 0;
constexpr int kSmoothingModeAntiAlias = 4;
constexpr int kUnitPixel = 2;
constexpr int kWrapModeTileFlipXY = 3;
constexpr int kFillModeAlternate = 0;

struct StartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

// The bound entry points. The library stays loaded and started for the life of the process, as
// the drawing may come from any paint; the system releases it at exit.
class GdiPlus {
 public:
  GdiPlus() {
    const bool bound =
        Bind(startup_, "GdiplusStartup") && Bind(create_from_hdc_, "GdipCreateFromHDC") &&
        Bind(delete_graphics_, "GdipDeleteGraphics") &&
        Bind(set_smoothing_mode_, "GdipSetSmoothingMode") &&
        Bind(create_solid_fill_, "GdipCreateSolidFill") && Bind(delete_brush_, "GdipDeleteBrush") &&
        Bind(fill_rectangle_, "GdipFillRectangle") && Bind(fill_ellipse_, "GdipFillEllipse") &&
        Bind(create_pen_, "GdipCreatePen1") && Bind(delete_pen_, "GdipDeletePen") &&
        Bind(draw_line_, "GdipDrawLine") && Bind(draw_arc_, "GdipDrawArc") &&
        Bind(create_line_brush_, "GdipCreateLineBrush") && Bind(fill_polygon_, "GdipFillPolygon") &&
        Bind(draw_polygon_, "GdipDrawPolygon");
    StartupInput input;
    ULONG_PTR token = 0;
    ready_ = bound && startup_(&token, &input, nullptr) == kOk;
  }

  bool ready_ = false;
  GpStatus(WINAPI* startup_)(ULONG_PTR*, const StartupInput*, void*) = nullptr;
  GpStatus(WINAPI* create_from_hdc_)(HDC, GpGraphics**) = nullptr;
  GpStatus(WINAPI* delete_graphics_)(GpGraphics*) = nullptr;
  GpStatus(WINAPI* set_smoothing_mode_)(GpGraphics*, int) = nullptr;
  GpStatus(WINAPI* create_solid_fill_)(ARGB, GpBrush**) = nullptr;
  GpStatus(WINAPI* delete_brush_)(GpBrush*) = nullptr;
  GpStatus(WINAPI* fill_rectangle_)(GpGraphics*, GpBrush*, float, float, float, float) = nullptr;
  GpStatus(WINAPI* fill_ellipse_)(GpGraphics*, GpBrush*, float, float, float, float) = nullptr;
  GpStatus(WINAPI* create_pen_)(ARGB, float, int, GpPen**) = nullptr;
  GpStatus(WINAPI* delete_pen_)(GpPen*) = nullptr;
  GpStatus(WINAPI* draw_line_)(GpGraphics*, GpPen*, float, float, float, float) = nullptr;
  GpStatus(WINAPI* draw_arc_)(GpGraphics*, GpPen*, float, float, float, float, float,
                              float) = nullptr;
  GpStatus(WINAPI* create_line_brush_)(const GpPointF*, const GpPointF*, ARGB, ARGB, int,
                                       GpBrush**) = nullptr;
  GpStatus(WINAPI* fill_polygon_)(GpGraphics*, GpBrush*, const GpPointF*, int, int) = nullptr;
  GpStatus(WINAPI* draw_polygon_)(GpGraphics*, GpPen*, const GpPointF*, int) = nullptr;

 private:
  template <class Proc>
  static bool Bind(Proc& proc, const char* name) {
    proc = platform::BindProc<Proc>(L"gdiplus.dll", name);
    return proc != nullptr;
  }
};

const GdiPlus& GdiPlusApi() {
  static const GdiPlus api;
  return api;
}

ARGB ToArgb(TColor color, std::uint8_t alpha) {
  const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
  return (std::uint32_t{alpha} << 24) | SwapRedBlue(c & 0x00FFFFFFu);
}

// An anti-aliased drawing surface on a DC for one call.
class Graphics {
 public:
  explicit Graphics(HDC dc) : api_(GdiPlusApi()) {
    if (api_.ready_ && dc != nullptr && api_.create_from_hdc_(dc, &graphics_) == kOk)
      api_.set_smoothing_mode_(graphics_, kSmoothingModeAntiAlias);
    else
      graphics_ = nullptr;
  }
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  ~Graphics() {
    if (graphics_ != nullptr)
      api_.delete_graphics_(graphics_);
    ::GdiFlush();
  }

  GpGraphics* Get() const { return graphics_; }
  const GdiPlus& Api() const { return api_; }

 private:
  const GdiPlus& api_;
  GpGraphics* graphics_ = nullptr;
};

template <class Draw>
void WithBrush(HDC dc, ARGB color, Draw draw) {
  Graphics graphics(dc);
  GpBrush* brush = nullptr;
  if (graphics.Get() == nullptr || graphics.Api().create_solid_fill_(color, &brush) != kOk)
    return;
  draw(graphics, brush);
  graphics.Api().delete_brush_(brush);
}

template <class Draw>
void WithPen(HDC dc, ARGB color, float width, Draw draw) {
  Graphics graphics(dc);
  GpPen* pen = nullptr;
  if (graphics.Get() == nullptr ||
      graphics.Api().create_pen_(color, width, kUnitPixel, &pen) != kOk)
    return;
  draw(graphics, pen);
  graphics.Api().delete_pen_(pen);
}

void FillGradient(HDC dc, TRect r, GpPointF from, GpPointF to, ARGB color1, ARGB color2) {
  if (r.IsEmpty())
    return;
  Graphics graphics(dc);
  GpBrush* brush = nullptr;
  if (graphics.Get() == nullptr ||
      graphics.Api().create_line_brush_(&from, &to, color1, color2, kWrapModeTileFlipXY, &brush) !=
          kOk)
    return;
  graphics.Api().fill_rectangle_(graphics.Get(), brush, static_cast<float>(r.Left),
                                 static_cast<float>(r.Top), static_cast<float>(r.Width()),
                                 static_cast<float>(r.Height()));
  graphics.Api().delete_brush_(brush);
}

std::vector<GpPointF> ToPointsF(const TPoint* points, int count) {
  std::vector<GpPointF> out;
  for (int i = 0; points != nullptr && i < count; ++i)
    out.push_back({static_cast<float>(points[i].X), static_cast<float>(points[i].Y)});
  return out;
}

}  // namespace

bool GdiPlusAvailable() {
  return GdiPlusApi().ready_;
}

void acgpFillRect(HDC dc, TRect r, TColor color, std::uint8_t alpha) {
  if (r.IsEmpty())
    return;
  WithBrush(dc, ToArgb(color, alpha), [&](const Graphics& g, GpBrush* brush) {
    g.Api().fill_rectangle_(g.Get(), brush, static_cast<float>(r.Left), static_cast<float>(r.Top),
                            static_cast<float>(r.Width()), static_cast<float>(r.Height()));
  });
}

void acgpFillEllipse(HDC dc, float x, float y, float width, float height, TColor color,
                     std::uint8_t alpha) {
  WithBrush(dc, ToArgb(color, alpha), [&](const Graphics& g, GpBrush* brush) {
    g.Api().fill_ellipse_(g.Get(), brush, x, y, width, height);
  });
}

void acgpDrawLine(HDC dc, float x1, float y1, float x2, float y2, TColor color, float width,
                  std::uint8_t alpha) {
  WithPen(dc, ToArgb(color, alpha), width,
          [&](const Graphics& g, GpPen* pen) { g.Api().draw_line_(g.Get(), pen, x1, y1, x2, y2); });
}

void acgpDrawRect(HDC dc, TRect r, TColor color, float width, std::uint8_t alpha) {
  if (r.IsEmpty())
    return;
  const float l = static_cast<float>(r.Left) + 0.5f, t = static_cast<float>(r.Top) + 0.5f;
  const float rr = static_cast<float>(r.Right) - 0.5f, b = static_cast<float>(r.Bottom) - 0.5f;
  const GpPointF corners[] = {{l, t}, {rr, t}, {rr, b}, {l, b}};
  WithPen(dc, ToArgb(color, alpha), width,
          [&](const Graphics& g, GpPen* pen) { g.Api().draw_polygon_(g.Get(), pen, corners, 4); });
}

void acgpRoundRect(HDC dc, TRect r, TColor color, float width, float radius, std::uint8_t alpha) {
  if (r.IsEmpty())
    return;
  const float l = static_cast<float>(r.Left) + 0.5f, t = static_cast<float>(r.Top) + 0.5f;
  const float rr = static_cast<float>(r.Right) - 0.5f, b = static_cast<float>(r.Bottom) - 0.5f;
  const float d = 2 * radius;
  WithPen(dc, ToArgb(color, alpha), width, [&](const Graphics& g, GpPen* pen) {
    const auto& api = g.Api();
    if (radius <= 0) {
      const GpPointF corners[] = {{l, t}, {rr, t}, {rr, b}, {l, b}};
      api.draw_polygon_(g.Get(), pen, corners, 4);
      return;
    }
    api.draw_arc_(g.Get(), pen, l, t, d, d, 180, 90);
    api.draw_line_(g.Get(), pen, l + radius, t, rr - radius, t);
    api.draw_arc_(g.Get(), pen, rr - d, t, d, d, 270, 90);
    api.draw_line_(g.Get(), pen, rr, t + radius, rr, b - radius);
    api.draw_arc_(g.Get(), pen, rr - d, b - d, d, d, 0, 90);
    api.draw_line_(g.Get(), pen, rr - radius, b, l + radius, b);
    api.draw_arc_(g.Get(), pen, l, b - d, d, d, 90, 90);
    api.draw_line_(g.Get(), pen, l, b - radius, l, t + radius);
  });
}

void acgpGradientRectangleH(HDC dc, TRect r, TColor color1, std::uint8_t alpha1, TColor color2,
                            std::uint8_t alpha2) {
  const auto top = static_cast<float>(r.Top);
  FillGradient(dc, r, {static_cast<float>(r.Left), top}, {static_cast<float>(r.Right), top},
               ToArgb(color1, alpha1), ToArgb(color2, alpha2));
}

void acgpGradientRectangleV(HDC dc, TRect r, TColor color1, std::uint8_t alpha1, TColor color2,
                            std::uint8_t alpha2) {
  const auto left = static_cast<float>(r.Left);
  FillGradient(dc, r, {left, static_cast<float>(r.Top)}, {left, static_cast<float>(r.Bottom)},
               ToArgb(color1, alpha1), ToArgb(color2, alpha2));
}

void acgpFillPolygon(HDC dc, const TPoint* points, int count, TColor color, std::uint8_t alpha) {
  const std::vector<GpPointF> shape = ToPointsF(points, count);
  if (shape.size() < 3)
    return;
  WithBrush(dc, ToArgb(color, alpha), [&](const Graphics& g, GpBrush* brush) {
    g.Api().fill_polygon_(g.Get(), brush, shape.data(), count, kFillModeAlternate);
  });
}

void acgpDrawPolygon(HDC dc, const TPoint* points, int count, TColor color, float width,
                     std::uint8_t alpha) {
  const std::vector<GpPointF> shape = ToPointsF(points, count);
  if (shape.size() < 2)
    return;
  WithPen(dc, ToArgb(color, alpha), width, [&](const Graphics& g, GpPen* pen) {
    g.Api().draw_polygon_(g.Get(), pen, shape.data(), count);
  });
}

}  // namespace kestrune::skin
