#pragma once
// TacMnuWnd: the wrapper put around each drop-down menu window as it is created, giving it the
// skin's frame, its rounded region and its opacity. Include only from Windows sources.

#include <windows.h>

namespace kestrune::skin {

class TsSkinableMenus;

class TacMnuWnd {
 public:
  // Puts the wrapper's procedure in front of the window's; `menus` outlives the wrapper.
  TacMnuWnd(TsSkinableMenus& menus, HWND wnd);
  TacMnuWnd(const TacMnuWnd&) = delete;
  TacMnuWnd& operator=(const TacMnuWnd&) = delete;
  ~TacMnuWnd();

  [[nodiscard]] HWND Handle() const { return wnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR data);
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  void DroppedDown();
  void Detach();

  TsSkinableMenus& menus_;
  HWND wnd_;
  bool attached_ = false;
};

// The thread's window-creation hook that reports each new drop-down window to the default skin
// manager's menus; nullptr when the system refuses it.
[[nodiscard]] HHOOK InstallMenuWindowHook();

}  // namespace kestrune::skin
