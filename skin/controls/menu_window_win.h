#pragma once
// TacMnuWnd: the wrapper put around each drop-down menu window as it is created, giving it the
// skin's frame, its rounded region and its opacity. Include only from Windows sources.

#include <windows.h>

#include "platform/window_owners_win.h"

namespace kestrune::skin {

class TsSkinableMenus;

class TacMnuWnd {
 public:
  // Puts the wrapper's procedure in front of the window's; `menus` outlives the wrapper.
  TacMnuWnd(TsSkinableMenus& menus, HWND wnd);
  TacMnuWnd(const TacMnuWnd&) = delete;
  TacMnuWnd& operator=(const TacMnuWnd&) = delete;

  [[nodiscard]] HWND Handle() const { return wnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR data);
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  void DroppedDown();

  TsSkinableMenus& menus_;
  HWND wnd_;
  platform::WindowSubclass subclass_;
};

// The thread's window-creation hook that reports each new drop-down window to the default skin
// manager's menus; empty when the system refuses it.
[[nodiscard]] platform::UniqueHook InstallMenuWindowHook();

}  // namespace kestrune::skin
