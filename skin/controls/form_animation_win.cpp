#include "skin/controls/form_animation_win.h"

#include <algorithm>
#include <utility>

#include "platform/gdi_win.h"
#include "skin/paint/bg_info.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"
#include "skin/pixels/stretch.h"

namespace kestrune::skin {
namespace {

constexpr wchar_t kImageWindowClass[] = L"KestruneAnimForm";
constexpr UINT_PTR kImageTimerId = 1;
constexpr DWORD kTransitionsForceDisabled = 3;  // DWMWA_TRANSITIONS_FORCEDISABLED

class DwmComposition final : public TacComposition {
 public:
  bool Enabled() override { return DesktopCompositionEnabled(); }
  void ForceDisableTransitions(HWND window, bool disable) override {
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static const auto set_attribute =
        platform::BindProc<SetAttribute>(L"dwmapi.dll", "DwmSetWindowAttribute");
    if (set_attribute == nullptr || window == nullptr)
      return;
    const BOOL value = disable ? TRUE : FALSE;
    set_attribute(window, kTransitionsForceDisabled, &value, sizeof value);
  }
};

// The window's region as a mask of the window's size: non-zero inside; empty without a region.
Bitmap RegionMask(HWND form, int width, int height) {
  const platform::UniqueRegion region = platform::WindowRegionOf(form);
  if (region.Get() == nullptr)
    return Bitmap();
  Bitmap mask = CreateBmp32(width, height);
  HDC dc = BitmapDC(mask);
  if (dc == nullptr)
    return Bitmap();
  ::FillRgn(dc, region.Get(), static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::GdiFlush();
  return mask;
}

}  // namespace

std::shared_ptr<TacComposition> SystemComposition() {
  return std::make_shared<DwmComposition>();
}

Bitmap CaptureWindowImage(HWND form, const Bitmap& frame,
                          const std::function<void(HDC)>& print_client) {
  if (frame.Empty() || BitmapDC(frame) == nullptr)
    return Bitmap();
  Bitmap image;
  try {
    image = CreateBmp32(frame.Width(), frame.Height());
  } catch (const std::exception&) {
    return Bitmap();
  }
  HDC dc = BitmapDC(image);
  if (dc == nullptr)
    return Bitmap();
  CopyPixels(image, TPoint{}, frame, TRect{0, 0, frame.Width(), frame.Height()});

  RECT window{};
  ::GetWindowRect(form, &window);
  POINT client{0, 0};
  ::ClientToScreen(form, &client);
  client.x -= window.left;
  client.y -= window.top;
  const auto at = [&](int x, int y, int width, int height) {
    ::SetViewportOrgEx(dc, x, y, nullptr);
    ::SelectClipRgn(dc, nullptr);
    ::IntersectClipRect(dc, 0, 0, width, height);  // logical, after the origin moved
  };
  const int saved = ::SaveDC(dc);
  RECT client_rect{};
  ::GetClientRect(form, &client_rect);
  if (print_client) {
    at(client.x, client.y, client_rect.right, client_rect.bottom);
    print_client(dc);
  }
  // Bottom of the z-order first, so the upper children end on top; each child before its own
  // children (the default printing does not go down to them).
  const auto print_children = [&](const auto& self, HWND parent) -> void {
    for (HWND child = ::GetWindow(::GetWindow(parent, GW_CHILD), GW_HWNDLAST); child != nullptr;
         child = ::GetWindow(child, GW_HWNDPREV)) {
      if (::IsWindowVisible(child) == FALSE)
        continue;
      RECT r{};
      ::GetWindowRect(child, &r);
      at(r.left - window.left, r.top - window.top, r.right - r.left, r.bottom - r.top);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      self(self, child);
    }
  };
  print_children(print_children, form);
  ::RestoreDC(dc, saved);
  ::GdiFlush();

  // GDI leaves alpha 0 where it drew: the whole picture is opaque but for the cut corners.
  const Bitmap mask = RegionMask(form, image.Width(), image.Height());
  for (int y = 0; y < image.Height(); ++y) {
    std::uint32_t* row = image.Row32(y);
    const std::uint32_t* inside = mask.Empty() ? nullptr : mask.Row32(y);
    for (int x = 0; x < image.Width(); ++x)
      row[x] = inside != nullptr && (inside[x] & 0xFFFFFFu) == 0 ? 0u : row[x] | 0xFF000000u;
  }
  return image;
}

TacImageWindow::TacImageWindow(bool topmost) : timer_(kImageTimerId) {
  platform::PopupOptions options;
  options.class_name = kImageWindowClass;
  options.extra_ex_style = topmost ? WS_EX_TOPMOST : 0;
  popup_.Create(options, [this](UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    result = 0;
    return Message(message, wparam);
  });
}

void TacImageWindow::Show(const Bitmap& image, const TRect& at, int alpha) {
  HWND window = popup_.Handle();
  if (window == nullptr || image.Empty() || at.IsEmpty())
    return;
  try {
    if (at.Width() == image.Width() && at.Height() == image.Height()) {
      shown_ = CreateBmp32(image.Width(), image.Height());
      CopyPixels(shown_, TPoint{}, image, TRect{0, 0, image.Width(), image.Height()});
    } else {
      Stretch(image, shown_, at.Width(), at.Height(), ftHermite);
    }
  } catch (const std::exception&) {
    return;  // no picture to show; the window stays as it was
  }
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)),
                            AC_SRC_ALPHA};
  UpdateLayeredWnd(window, shown_, SIZE{shown_.Width(), shown_.Height()}, blend,
                   POINT{at.Left, at.Top});
  if (::IsWindowVisible(window) == FALSE)
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
}

void TacImageWindow::StartTimer(int interval, std::function<void()> tick) {
  if (popup_.Handle() == nullptr)
    return;
  tick_ = std::move(tick);
  timer_.Start(popup_.Handle(), static_cast<UINT>(interval));
}

void TacImageWindow::StopTimer() {
  timer_.Stop();
}

bool TacImageWindow::Message(UINT message, WPARAM wparam) {
  if (message != WM_TIMER)
    return false;
  if (wparam == kImageTimerId && timer_.Running() && tick_) {
    // The tick may end the animation and with it this window: keep the routine alive.
    const std::function<void()> tick = tick_;
    tick();
  }
  return true;
}

}  // namespace kestrune::skin
