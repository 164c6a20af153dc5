#include "platform/popup_window_win.h"

#include <utility>

namespace kestrune::platform {
namespace {

bool RegisterPopupClass(const wchar_t* name, WNDPROC procedure) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExW(instance, name, &wc) != FALSE)
    return true;
  wc.style = 0;  // no CS_DROPSHADOW
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

bool ClickThroughPopup::Create(const PopupOptions& options, Handler handler) {
  Reset();
  if (options.class_name == nullptr ||
      !RegisterPopupClass(options.class_name, &ClickThroughPopup::Procedure))
    return false;
  DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | options.extra_ex_style;
  if (options.layered)
    ex_style |= WS_EX_LAYERED | WS_EX_TRANSPARENT;
  const RECT& r = options.bounds;
  window_ = ::CreateWindowExW(ex_style, options.class_name, options.title.c_str(), WS_POPUP, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, options.owner, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr)
    return false;
  handler_ = std::move(handler);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void ClickThroughPopup::Reset() {
  HWND window = std::exchange(window_, nullptr);
  handler_ = nullptr;
  if (window == nullptr)
    return;
  // Unhooked first: what the window hears while it is destroyed is no longer the object's.
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  ::DestroyWindow(window);
}

LRESULT CALLBACK ClickThroughPopup::Procedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      break;
  }
  auto* popup = reinterpret_cast<ClickThroughPopup*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (popup == nullptr)
    return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // Destroyed with its owner: the object must not destroy it again.
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    popup->window_ = nullptr;
  }
  if (popup->handler_) {
    // The handler may free the popup; its routine is kept alive until it returns.
    const Handler handler = popup->handler_;
    LRESULT result = 0;
    if (handler(message, wparam, lparam, result))
      return result;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

bool HasWindowClass(HWND window, const wchar_t* class_name) {
  wchar_t name[64] = {};
  return ::GetClassNameW(window, name, 64) != 0 && ::lstrcmpiW(name, class_name) == 0;
}

}  // namespace kestrune::platform
