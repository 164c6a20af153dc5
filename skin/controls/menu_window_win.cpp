#include "skin/controls/menu_window_win.h"

#include <commctrl.h>

#include <cstdint>

#include "skin/controls/skinable_menus_win.h"
#include "skin/data/skin_commands.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune::skin {
namespace {

constexpr UINT_PTR kSubclassId = 0x4D4E55;  // one wrapper per window

LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const auto wnd = reinterpret_cast<HWND>(wparam);
    if (::GetClassLongPtrW(wnd, GCW_ATOM) == kPopupMenuAtom) {
      if (TsSkinableMenus* menus = TsSkinableMenus::Of(DefaultManager()))
        menus->WindowCreated(wnd);
    }
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

platform::UniqueHook InstallMenuWindowHook() {
  return platform::UniqueHook(
      ::SetWindowsHookExW(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId()));
}

TacMnuWnd::TacMnuWnd(TsSkinableMenus& menus, HWND wnd) : menus_(menus), wnd_(wnd) {
  subclass_.Set(wnd, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TacMnuWnd::Procedure(HWND /*wnd*/, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR /*id*/, DWORD_PTR data) {
  return reinterpret_cast<TacMnuWnd*>(data)->WindowProc(message, wparam, lparam);
}

void TacMnuWnd::DroppedDown() {
  const std::uint8_t alpha = menus_.manager_.MenuSupport.AlphaBlend;
  const LONG ex_style = ::GetWindowLongW(wnd_, GWL_EXSTYLE);
  if (alpha == 255) {
    if ((ex_style & WS_EX_LAYERED) != 0)
      ::SetWindowLongW(wnd_, GWL_EXSTYLE, ex_style & ~WS_EX_LAYERED);
  } else {
    if ((ex_style & WS_EX_LAYERED) == 0)
      ::SetWindowLongW(wnd_, GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(wnd_, 0, alpha, LWA_ALPHA);
  }
  if (menus_.manager_.MenuSupport.SkinnedShadows) {
    // The skin draws its own shadow; the class style is shared by every drop-down.
    const ULONG_PTR class_style = ::GetClassLongPtrW(wnd_, GCL_STYLE);
    if ((class_style & CS_DROPSHADOW) != 0)
      ::SetClassLongPtrW(wnd_, GCL_STYLE,
                         static_cast<LONG_PTR>(class_style & ~ULONG_PTR{CS_DROPSHADOW}));
  }
}

LRESULT TacMnuWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == SM_ALPHACMD) {
    switch (CommandOf(static_cast<std::uint32_t>(wparam))) {
      case AC_CTRLHANDLED:
        return 1;
      case AC_DROPPEDDOWN:
        DroppedDown();
        return 0;
      default:
        break;
    }
  }
  switch (message) {
    case WM_CREATE: {
      const LRESULT result = ::DefSubclassProc(wnd_, message, wparam, lparam);
      ::SendMessageW(wnd_, SM_ALPHACMD, MakeCommandParam(AC_DROPPEDDOWN), 0);
      return result;
    }
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = ::DefSubclassProc(wnd_, message, wparam, lparam);
      if ((reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) != 0)
        DroppedDown();
      return result;
    }
    case WM_NCPAINT:
      if (menus_.InfoOfWindow(wnd_) != nullptr) {
        menus_.DrawWndBorder(wnd_);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (TacMenuInfo* info = menus_.InfoOfWindow(wnd_); info != nullptr && info->Bmp != nullptr) {
        const TacDropDownFrame frame = menus_.FrameOf(*info);
        RECT client{};
        ::GetClientRect(wnd_, &client);
        ::BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, client.right, client.bottom,
                 BitmapDC(*info->Bmp), frame.ClientOffset.x, frame.ClientOffset.y, SRCCOPY);
        return 1;
      }
      break;
    case WM_PAINT: {
      // Where the system keeps its frame inside the client area, the skin's frame goes over it.
      const LRESULT result = ::DefSubclassProc(wnd_, message, wparam, lparam);
      menus_.DrawWndBorder(wnd_);
      return result;
    }
    case WM_NCDESTROY: {
      subclass_.Reset();
      const LRESULT result = ::DefSubclassProc(wnd_, message, wparam, lparam);
      TsSkinableMenus& menus = menus_;
      const HWND wnd = wnd_;
      menus.WindowDestroyed(wnd);  // frees this wrapper
      return result;
    }
    default:
      break;
  }
  return ::DefSubclassProc(wnd_, message, wparam, lparam);
}

}  // namespace kestrune::skin
