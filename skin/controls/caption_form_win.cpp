#include "skin/controls/caption_form_win.h"

#include <utility>

#include "platform/win_util.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune::skin {
namespace {

using platform::UniqueRegion;

bool SkippedAbove(HWND window) {
  if (::IsWindowVisible(window) == FALSE)
    return true;
  if (platform::HasWindowClass(window, kCaptFormClass))
    return true;
  // Click-through layered windows (glows, fades) lie over the frame without hiding it.
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  return (ex_style & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

}  // namespace

UniqueRegion CoverRegion(HWND form) {
  RECT frame{};
  if (::GetWindowRect(form, &frame) == FALSE)
    return UniqueRegion();
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  UniqueRegion region(::CreateRectRgn(0, 0, width, height));
  if (region.Get() == nullptr)
    return UniqueRegion();
  if (::IsZoomed(form)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor))
      ::SetRectRgn(region.Get(), monitor.rcWork.left - frame.left, monitor.rcWork.top - frame.top,
                   monitor.rcWork.right - frame.left, monitor.rcWork.bottom - frame.top);
  } else if (::GetWindowRgn(form, region.Get()) == ERROR) {
    ::SetRectRgn(region.Get(), 0, 0, width, height);
  }
  const auto cut = [&](RECT r) {
    ::OffsetRect(&r, -frame.left, -frame.top);
    platform::CutRects(region.Get(), {&r, 1});
  };
  for (HWND above = ::GetWindow(form, GW_HWNDPREV); above != nullptr;
       above = ::GetWindow(above, GW_HWNDPREV)) {
    RECT r{};
    if (!SkippedAbove(above) && ::GetWindowRect(above, &r))
      cut(r);
  }
  RECT client{};
  ::GetClientRect(form, &client);
  ::MapWindowPoints(form, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  cut(client);
  RECT box{};
  if (::GetRgnBox(region.Get(), &box) == NULLREGION)
    return UniqueRegion();
  return region;
}

TacCaptForm::TacCaptForm(HWND form, std::string name, UniqueRegion region, Source source)
    : name_(std::move(name)), source_(std::move(source)) {
  if (region.Get() == nullptr)
    return;
  platform::PopupOptions options;
  options.class_name = kCaptFormClass;
  options.title = platform::Widen(name_);
  // Owned by the form, so it stays above it and never gets a task-bar button.
  options.owner = form;
  ::GetWindowRect(form, &options.bounds);
  // It paints itself over the frame's shape, opaque.
  options.layered = false;
  const auto form_ex = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE));
  options.extra_ex_style = form_ex & (WS_EX_TOPMOST | WS_EX_LAYOUTRTL);
  if (!popup_.Create(options, [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        return Message(message, result);
      }))
    return;
  HWND window = popup_.Handle();
  platform::SetWindowRegion(window, std::move(region), false);
  // Just above the form: under whatever already lay over it (the new window may be that one).
  HWND above = ::GetWindow(form, GW_HWNDPREV);
  if (above != window)
    ::SetWindowPos(window, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window);
}

bool TacCaptForm::Message(UINT message, LRESULT& result) const {
  switch (message) {
    case WM_PAINT: {
      const platform::PaintDc dc(popup_.Handle());
      if (dc.Get() != nullptr)
        Paint(dc.Get());
      result = 0;
      return true;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      result = 1;
      return true;
    default:
      return false;
  }
}

void TacCaptForm::Paint(HDC dc) const {
  const Bitmap* bmp = source_ ? source_() : nullptr;
  HDC source = bmp != nullptr ? BitmapDC(*bmp) : nullptr;
  if (source == nullptr)
    return;
  ::BitBlt(dc, 0, 0, bmp->Width(), bmp->Height(), source, 0, 0, SRCCOPY);
}

}  // namespace kestrune::skin
