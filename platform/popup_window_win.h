#pragma once
// Click-through popups: borderless top-level tool windows that are never activated and let the
// mouse through to what lies below, for pictures laid over other windows. Each kind has a window
// class of its own, by which the z-order readers and the tests tell them apart; the class is
// registered when its first window is made. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <string>

namespace kestrune::platform {

struct PopupOptions {
  // The window class's name: a text that outlives the popup.
  const wchar_t* class_name = nullptr;
  std::wstring title;
  // An owned popup stays above its owner and goes with it.
  HWND owner = nullptr;
  RECT bounds{};  // screen coordinates
  // Layered and transparent to the mouse from the start; a popup that paints through WM_PAINT,
  // or becomes layered only once it has a picture, goes without.
  bool layered = true;
  DWORD extra_ex_style = 0;  // WS_EX_TOPMOST, WS_EX_LAYOUTRTL
};

// One click-through popup; destroying the object destroys the window.
class ClickThroughPopup {
 public:
  // The popup's own answer to a message: true when handled, the answer in `result`. It may free
  // the object that holds the popup. Hit tests and activation never reach it.
  using Handler = std::function<bool(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)>;

  ClickThroughPopup() = default;
  ClickThroughPopup(const ClickThroughPopup&) = delete;
  ClickThroughPopup& operator=(const ClickThroughPopup&) = delete;
  ~ClickThroughPopup() { Reset(); }

  // Makes the window, hidden, in place of any made before; false when the system gives none.
  bool Create(const PopupOptions& options, Handler handler);
  // Destroys the window now; the handler hears nothing more of it.
  void Reset();
  // Null without a window, and once the window went with its owner.
  [[nodiscard]] HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  Handler handler_;
};

// The window's class is `class_name` (letter case aside).
[[nodiscard]] bool HasWindowClass(HWND window, const wchar_t* class_name);

}  // namespace kestrune::platform
