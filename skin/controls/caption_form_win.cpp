#include "skin/controls/caption_form_win.h"

#include <utility>

#include "platform/win_util.h"
#include "skin/paint/bitmap_win.h"

namespace kestrune::skin {
namespace {

ATOM RegisterCoverClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;  // replaced per window once it knows its cover
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kCaptFormClass;
    return ::RegisterClassExW(&wc);
  }();
  return atom;
}

bool SkippedAbove(HWND window) {
  if (::IsWindowVisible(window) == FALSE)
    return true;
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (::lstrcmpiW(name, kCaptFormClass) == 0)
    return true;
  // Click-through layered windows (glows, fades) lie over the frame without hiding it.
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  return (ex_style & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

}  // namespace

UniqueRgn CoverRegion(HWND form) {
  RECT frame{};
  if (::GetWindowRect(form, &frame) == FALSE)
    return UniqueRgn();
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  UniqueRgn region(::CreateRectRgn(0, 0, width, height));
  if (region.Get() == nullptr)
    return UniqueRgn();
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
    return UniqueRgn();
  return region;
}

TacCaptForm::TacCaptForm(HWND form, std::string name, UniqueRgn region, Source source)
    : name_(std::move(name)), source_(std::move(source)) {
  if (RegisterCoverClass() == 0 || region.Get() == nullptr)
    return;
  RECT frame{};
  ::GetWindowRect(form, &frame);
  const auto form_ex = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE));
  const DWORD ex_style =
      WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (form_ex & WS_EX_TOPMOST) | (form_ex & WS_EX_LAYOUTRTL);
  // Owned by the form, so it stays above it and never gets a task-bar button.
  window_ =
      ::CreateWindowExW(ex_style, kCaptFormClass, platform::Widen(name_).c_str(), WS_POPUP,
                        frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                        form, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr)
    return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TacCaptForm::WndProc));
  // The system takes the region it is given; ours goes with `region`.
  UniqueRgn shape(::CreateRectRgn(0, 0, 0, 0));
  if (shape.Get() != nullptr && ::CombineRgn(shape.Get(), region.Get(), nullptr, RGN_COPY) != ERROR)
    platform::SetWindowRegion(window_, std::move(shape), false);
  // Just above the form: under whatever already lay over it (the new window may be that one).
  HWND above = ::GetWindow(form, GW_HWNDPREV);
  if (above != window_)
    ::SetWindowPos(window_, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::ShowWindow(window_, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window_);
}

TacCaptForm::~TacCaptForm() {
  if (window_ == nullptr)
    return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void TacCaptForm::Paint(HDC dc) const {
  const Bitmap* bmp = source_ ? source_() : nullptr;
  HDC source = bmp != nullptr ? BitmapDC(*bmp) : nullptr;
  if (source == nullptr)
    return;
  ::BitBlt(dc, 0, 0, bmp->Width(), bmp->Height(), source, 0, 0, SRCCOPY);
}

LRESULT CALLBACK TacCaptForm::WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* cover =
      reinterpret_cast<const TacCaptForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = ::BeginPaint(window, &ps);
      if (cover != nullptr && dc != nullptr)
        cover->Paint(dc);
      ::EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace kestrune::skin
