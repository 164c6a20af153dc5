#include "skin/controls/glow_win.h"

#include <utility>

#include "platform/gdi_win.h"
#include "skin/controls/frame_interval.h"
#include "skin/paint/bitmap_win.h"
#include "skin/paint/skin_commands.h"

namespace kestrune::skin {
namespace {

constexpr UINT kReleaseMessage = WM_APP + 0x47;  // the deferred release of a glow window
constexpr UINT_PTR kFadeTimer = 1;
// Shown: no size change (UpdateLayeredWindow sized it), no redraw, no activation.
constexpr UINT kShowFlags = SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                            SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
constexpr UINT kHideFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE |
                            SWP_HIDEWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

std::function<void(HWND, const Bitmap&)>& PictureObserver() {
  static std::function<void(HWND, const Bitmap&)> observer;
  return observer;
}

HWND AsWindow(TacWindow window) {
  return static_cast<HWND>(window);
}

TRect FromRect(const RECT& r) {
  return Rect(r.left, r.top, r.right, r.bottom);
}

class WinGlowWindow;

LRESULT CALLBACK GlowFormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK GlowEffectProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

ATOM GlowFormClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = 0;  // no CS_DROPSHADOW
    wc.lpfnWndProc = GlowFormProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kGlowFormClass;
    return ::RegisterClassExW(&wc);
  }();
  return atom;
}

bool IsGlowForm(HWND window) {
  return static_cast<ATOM>(::GetClassLongPtrW(window, GCW_ATOM)) == GlowFormClass();
}

class WinGlowWindow final : public TacGlowWindow {
 public:
  WinGlowWindow() {
    if (GlowFormClass() == 0)
      return;
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kGlowFormClass, L"", WS_POPUP,
                                0, 0, 0, 0, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr)
      return;
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    old_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GlowEffectProc)));
  }
  WinGlowWindow(const WinGlowWindow&) = delete;
  WinGlowWindow& operator=(const WinGlowWindow&) = delete;
  ~WinGlowWindow() override {
    destroying_ = true;
    tick_ = nullptr;
    if (window_ != nullptr && ::IsWindow(window_) != FALSE) {
      ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      ::KillTimer(window_, kFadeTimer);
      ::DestroyWindow(window_);
    }
  }

  [[nodiscard]] HWND Handle() const { return window_; }
  [[nodiscard]] bool Destroying() const { return destroying_; }

  bool Show(const Bitmap& picture, TPoint pos, std::uint8_t alpha, TacGlowPlace place) override {
    const LONG_PTR ex_style = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
    constexpr LONG_PTR kLayered = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if ((ex_style & kLayered) != kLayered)
      ::SetWindowLongPtrW(window_, GWL_EXSTYLE, ex_style | kLayered);
    if (PictureObserver())
      PictureObserver()(window_, picture);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    const bool shown = UpdateLayeredWnd(window_, picture, SIZE{picture.Width(), picture.Height()},
                                        blend, POINT{pos.X, pos.Y});
    HWND after = HWND_TOP;
    if (place.kind == TacGlowPlace::Kind::Topmost)
      after = HWND_TOPMOST;
    else if (place.kind == TacGlowPlace::Kind::Below)
      after = AsWindow(place.after);
    ::SetWindowPos(window_, after, pos.X, pos.Y, 0, 0, kShowFlags);
    return shown;
  }

  void SetAlpha(const Bitmap& picture, std::uint8_t alpha) override {
    SetFormBlendValue(window_, &picture, alpha, nullptr);
  }

  void Hide() override {
    if (::IsWindowVisible(window_) != FALSE)
      ::SetWindowPos(window_, nullptr, 0, 0, 0, 0, kHideFlags | SWP_NOZORDER);
  }

  void RestoreWndProc() override {
    if (old_proc_ != nullptr && window_ != nullptr)
      ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc_));
    old_proc_ = nullptr;
  }

  void StartTimer(std::function<void()> tick) override {
    tick_ = std::move(tick);
    ::SetTimer(window_, kFadeTimer, kFrameInterval, nullptr);
  }

  void StopTimer() override {
    ::KillTimer(window_, kFadeTimer);
    tick_ = nullptr;
  }

  void Tick() {
    if (tick_) {
      // The tick may free this window's effect; keep the callback alive until it returns.
      const std::function<void()> tick = tick_;
      tick();
    }
  }

  [[nodiscard]] WNDPROC OldProc() const { return old_proc_; }

 private:
  HWND window_ = nullptr;
  WNDPROC old_proc_ = nullptr;
  std::function<void()> tick_;
  bool destroying_ = false;
};

WinGlowWindow* GlowOf(HWND window) {
  return reinterpret_cast<WinGlowWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The glow form's own procedure: click-through, never activated, hiding itself without the
// usual notifications, and the fade ticks and deferred release of its glow.
LRESULT CALLBACK GlowFormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_SHOWWINDOW:
      if (wparam == 0 && ::IsWindowVisible(window) != FALSE) {
        const WinGlowWindow* glow = GlowOf(window);
        if (glow == nullptr || !glow->Destroying()) {
          ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kHideFlags | SWP_NOZORDER);
          return 0;
        }
      }
      break;
    case WM_TIMER:
      if (wparam == kFadeTimer) {
        if (WinGlowWindow* glow = GlowOf(window))
          glow->Tick();
        return 0;
      }
      break;
    case kReleaseMessage:
      delete GlowOf(window);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// The glow effect's procedure in front of the form's: the mouse passes through.
LRESULT CALLBACK GlowEffectProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCHITTEST)
    return HTTRANSPARENT;
  const WinGlowWindow* glow = GlowOf(window);
  const WNDPROC old =
      glow != nullptr && glow->OldProc() != nullptr ? glow->OldProc() : GlowFormProc;
  return ::CallWindowProcW(old, window, message, wparam, lparam);
}

}  // namespace

bool WinGlowPlatform::LayeredWindows() const {
  using UpdateLayeredWindowProc =
      BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
  static const auto update =
      platform::BindProc<UpdateLayeredWindowProc>(L"user32.dll", "UpdateLayeredWindow");
  return update != nullptr;
}

bool WinGlowPlatform::MouseCaptured() const {
  return ::GetCapture() != nullptr;
}

std::unique_ptr<TacGlowWindow> WinGlowPlatform::CreateGlowWindow() {
  auto window = std::make_unique<WinGlowWindow>();
  if (window->Handle() == nullptr)
    return nullptr;
  return window;
}

void WinGlowPlatform::ReleaseLater(std::unique_ptr<TacGlowWindow> window) {
  auto* glow = static_cast<WinGlowWindow*>(window.get());
  glow->StopTimer();
  glow->Hide();
  if (::PostMessageW(glow->Handle(), kReleaseMessage, 0, 0) != FALSE)
    window.release();  // the window's procedure frees it
}

bool WinGlowPlatform::Topmost(TacWindow form) const {
  return (::GetWindowLongPtrW(AsWindow(form), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TacWindow WinGlowPlatform::WindowAbove(TacWindow form) const {
  HWND above = ::GetWindow(AsWindow(form), GW_HWNDPREV);
  while (above != nullptr && IsGlowForm(above))
    above = ::GetWindow(above, GW_HWNDPREV);
  return above;
}

TRect WinGlowPlatform::VisibleWindowRect(TacWindow control) const {
  HWND window = AsWindow(control);
  RECT bounds{};
  if (::IsWindowVisible(window) == FALSE || ::GetWindowRect(window, &bounds) == FALSE)
    return {};
  // The window's device context, frame included: what the system lets it paint.
  RECT clip{};
  int kind = ERROR;
  if (const platform::WindowDc dc(window, platform::WindowDc::Area::Whole); dc.Get() != nullptr)
    kind = ::GetClipBox(dc.Get(), &clip);
  if (kind == ERROR || kind == NULLREGION)
    return {};
  ::OffsetRect(&clip, bounds.left, bounds.top);
  RECT visible{};
  if (::IntersectRect(&visible, &bounds, &clip) == FALSE)
    return {};
  return FromRect(visible);
}

std::vector<TRect> WinGlowPlatform::WindowsAbove(TacWindow control) const {
  std::vector<TRect> rects;
  HWND root = ::GetAncestor(AsWindow(control), GA_ROOT);
  for (HWND window = AsWindow(control); window != nullptr && window != root;
       window = ::GetParent(window)) {
    for (HWND above = ::GetWindow(window, GW_HWNDPREV); above != nullptr;
         above = ::GetWindow(above, GW_HWNDPREV)) {
      RECT r{};
      if (::IsWindowVisible(above) != FALSE && ::GetWindowRect(above, &r) != FALSE)
        rects.push_back(FromRect(r));
    }
  }
  return rects;
}

TColor WinGlowPlatform::ColorTone(TacWindow control) const {
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(AsWindow(control), SM_ALPHACMD, MakeCommandParam(AC_GETCOLORTONE), 0,
                            SMTO_ABORTIFHUNG, 100, &answer) == 0 ||
      answer == 0)
    return clNone;
  return static_cast<TColor>(answer);
}

TacGlowRegistry& InstallGlowWindows() {
  static WinGlowPlatform platform;
  static TacGlowRegistry registry(platform);
  static const bool installed = [] {
    registry.InstallHooks();
    return true;
  }();
  (void)installed;
  return registry;
}

TacGlowRegistry& InstallGlowWindows(WinSkinManagerPlatform& manager_platform) {
  TacGlowRegistry& registry = InstallGlowWindows();
  manager_platform.clear_glow_windows = [&registry] { registry.ClearGlows(false, false); };
  return registry;
}

void SetGlowPictureObserver(std::function<void(HWND window, const Bitmap& picture)> observer) {
  PictureObserver() = std::move(observer);
}

}  // namespace kestrune::skin
