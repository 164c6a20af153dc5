#include "skin/paint/gdiplus_win.h"

namespace kestrune::skin {
namespace {

// The flat interface's own types, as opaque pointers and plain values.
struct GpGraphics;
struct GpBrush;
struct GpPen;
using GpStatus = int;
using ARGB = std::uint32_t;
constexpr GpStatus kOk = 0;
constexpr int kSmoothingModeAntiAlias = 4;
constexpr int kUnitPixel = 2;

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
    module_ = ::LoadLibraryW(L"gdiplus.dll");
    if (module_ == nullptr)
      return;
    bool bound = Bind(startup_, "GdiplusStartup") && Bind(create_from_hdc_, "GdipCreateFromHDC") &&
                 Bind(delete_graphics_, "GdipDeleteGraphics") &&
                 Bind(set_smoothing_mode_, "GdipSetSmoothingMode") &&
                 Bind(create_solid_fill_, "GdipCreateSolidFill") &&
                 Bind(delete_brush_, "GdipDeleteBrush") &&
                 Bind(fill_rectangle_, "GdipFillRectangle") &&
                 Bind(fill_ellipse_, "GdipFillEllipse") && Bind(create_pen_, "GdipCreatePen1") &&
                 Bind(delete_pen_, "GdipDeletePen") && Bind(draw_line_, "GdipDrawLine");
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

 private:
  template <class Proc>
  bool Bind(Proc& proc, const char* name) {
    proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    return proc != nullptr;
  }

  HMODULE module_ = nullptr;
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
  Graphics graphics(dc);
  GpPen* pen = nullptr;
  if (graphics.Get() == nullptr ||
      graphics.Api().create_pen_(ToArgb(color, alpha), width, kUnitPixel, &pen) != kOk)
    return;
  graphics.Api().draw_line_(graphics.Get(), pen, x1, y1, x2, y2);
  graphics.Api().delete_pen_(pen);
}

}  // namespace kestrune::skin
