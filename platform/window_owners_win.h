#pragma once
// Owners of what a window lends out for a while: timers, properties, procedures put in front of
// its own, the mouse capture and the thread's hooks. Each gives back what it took at the end of
// scope (Reset() does it earlier) and nothing that another has taken since; Release() forgets
// without giving back, for what went with its window or passed to someone else. None is copyable:
// the window or the system knows their addresses. Include only from Windows sources; a target
// that uses an owner links the library it calls (user32, comctl32 for the subclasses).

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <utility>

#include "platform/gdi_win.h"

namespace kestrune::platform {

// A timer of a window under a fixed id: without a routine its ticks come as WM_TIMER.
class WindowTimer {
 public:
  explicit WindowTimer(UINT_PTR id) : id_(id) {}
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;
  ~WindowTimer() { Stop(); }

  // Starts the timer on `window`, or restarts it there with the new interval; one running on
  // another window is stopped first. False, and no timer running, when the system refuses.
  bool Start(HWND window, UINT interval, TIMERPROC routine = nullptr) {
    if (window_ != nullptr && window_ != window)
      Stop();
    if (window == nullptr || ::SetTimer(window, id_, interval, routine) == 0) {
      Stop();
      return false;
    }
    window_ = window;
    return true;
  }
  void Stop() {
    if (window_ != nullptr)
      ::KillTimer(std::exchange(window_, nullptr), id_);
  }
  // Forgets the timer without killing it: it went with its window.
  void Release() { window_ = nullptr; }
  [[nodiscard]] bool Running() const { return window_ != nullptr; }
  [[nodiscard]] UINT_PTR Id() const { return id_; }

 private:
  UINT_PTR id_;
  HWND window_ = nullptr;  // while running
};

// A window property (SetPropW) that leads from the window to an object.
class WindowProperty {
 public:
  WindowProperty() = default;
  WindowProperty(const WindowProperty&) = delete;
  WindowProperty& operator=(const WindowProperty&) = delete;
  ~WindowProperty() { Reset(); }

  // Puts `value` under `name` (a text that outlives the owner) on `window`, taking the property
  // off the window it was on before. False when there is no window or the system refuses.
  bool Set(HWND window, const wchar_t* name, void* value) {
    if (window_ != window || name_ != name)
      Reset();
    if (window == nullptr || ::SetPropW(window, name, value) == FALSE)
      return false;
    window_ = window;
    name_ = name;
    value_ = value;
    return true;
  }
  // Takes the property off, unless someone has put another value there since.
  void Reset() {
    if (window_ != nullptr && ::GetPropW(window_, name_) == value_)
      ::RemovePropW(window_, name_);
    Release();
  }
  void Release() {
    window_ = nullptr;
    name_ = nullptr;
    value_ = nullptr;
  }
  [[nodiscard]] HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
  const wchar_t* name_ = nullptr;
  void* value_ = nullptr;
};

// A procedure in front of a window's own through SetWindowSubclass. The system keeps the chain
// sound whichever order subclasses are taken out in, so Reset() takes this one out even when
// another came after it.
class WindowSubclass {
 public:
  WindowSubclass() = default;
  WindowSubclass(const WindowSubclass&) = delete;
  WindowSubclass& operator=(const WindowSubclass&) = delete;
  ~WindowSubclass() { Reset(); }

  // Puts `procedure` (called with `data`) in front of `window`'s; taken off the window it was on
  // before. False when there is no window or the system refuses.
  bool Set(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    if (window_ != window || procedure_ != procedure || id_ != id)
      Reset();
    if (window == nullptr || ::SetWindowSubclass(window, procedure, id, data) == FALSE)
      return false;
    window_ = window;
    procedure_ = procedure;
    id_ = id;
    return true;
  }
  void Reset() {
    if (window_ != nullptr)
      ::RemoveWindowSubclass(window_, procedure_, id_);
    Release();
  }
  void Release() {
    window_ = nullptr;
    procedure_ = nullptr;
    id_ = 0;
  }
  // The window the procedure sits on; nullptr while it sits on none.
  [[nodiscard]] HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
  SUBCLASSPROC procedure_ = nullptr;
  UINT_PTR id_ = 0;
};

// A subclass and the property by which the window leads to its object. The property is put on
// before the procedure and taken off after it, so the procedure always finds its object.
class SubclassWithProperty {
 public:
  SubclassWithProperty() = default;
  SubclassWithProperty(const SubclassWithProperty&) = delete;
  SubclassWithProperty& operator=(const SubclassWithProperty&) = delete;
  ~SubclassWithProperty() { Reset(); }

  // Sets the property (a new value when it is there already), then the subclass; false when the
  // subclass was refused (the property stays until Reset).
  bool Set(HWND window, const wchar_t* name, void* value, SUBCLASSPROC procedure, UINT_PTR id,
           DWORD_PTR data) {
    if (subclass_.Window() != nullptr && subclass_.Window() != window)
      Reset();
    property_.Set(window, name, value);
    return subclass_.Set(window, procedure, id, data);
  }
  void Reset() {
    subclass_.Reset();
    property_.Reset();
  }
  [[nodiscard]] bool Subclassed() const { return subclass_.Window() != nullptr; }

 private:
  // In this order, so that the subclass goes first whichever way the owner ends.
  WindowProperty property_;
  WindowSubclass subclass_;
};

// A procedure put in front of a window's own by exchanging GWLP_WNDPROC. Unlike a subclass it can
// only be taken out while it is in front: a procedure put in front of it later calls it, so it
// then stays, and must keep passing messages on after its owner has gone.
class ProcedureSwap {
 public:
  ProcedureSwap() = default;
  ProcedureSwap(const ProcedureSwap&) = delete;
  ProcedureSwap& operator=(const ProcedureSwap&) = delete;
  ~ProcedureSwap() { Reset(); }

  // Puts `procedure` in front of `window`'s own; false when the system refused.
  bool Set(HWND window, WNDPROC procedure) {
    Reset();
    if (window == nullptr)
      return false;
    const auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (previous == nullptr)
      return false;
    window_ = window;
    procedure_ = procedure;
    previous_ = previous;
    return true;
  }
  // Gives the window its previous procedure back when this one is still in front; true then.
  bool Reset() {
    const bool restored =
        window_ != nullptr &&
        ::GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure_) &&
        ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_)) != 0;
    Release();
    return restored;
  }
  void Release() {
    window_ = nullptr;
    procedure_ = nullptr;
    previous_ = nullptr;
  }
  // The procedure to pass messages on to; nullptr while none is swapped.
  [[nodiscard]] WNDPROC Previous() const { return previous_; }

 private:
  HWND window_ = nullptr;
  WNDPROC procedure_ = nullptr;
  WNDPROC previous_ = nullptr;
};

// The mouse capture, held for one window from Set() on. Given back only while that window still
// holds it: a window that took it since keeps it.
class MouseCapture {
 public:
  MouseCapture() = default;
  MouseCapture(const MouseCapture&) = delete;
  MouseCapture& operator=(const MouseCapture&) = delete;
  ~MouseCapture() { Reset(); }

  void Set(HWND window) {
    ::SetCapture(window);
    window_ = window;
  }
  void Reset() {
    if (Held())
      ::ReleaseCapture();
    Release();
  }
  // Forgets the capture without giving it back (it was lost to another window).
  void Release() { window_ = nullptr; }
  [[nodiscard]] bool Held() const { return window_ != nullptr && ::GetCapture() == window_; }

 private:
  HWND window_ = nullptr;
};

struct UnhookWindowsHook {
  void operator()(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
};
// A hook from SetWindowsHookExW.
using UniqueHook = UniqueResource<HHOOK, UnhookWindowsHook>;

}  // namespace kestrune::platform
