#include "skin/controls/glow_win.h"

#include <utility>

#include "platform/gdi_win.h"
#include "platform/popup_window_win.h"
#include "platform/window_owners_win.h"
#include "skin/controls/frame_interval.h"
#include "skin/data/skin_commands.h"
#include "skin/pixels/bitmap_win.h"

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

// The glow effect's procedure in front of the glow form's own: the mouse passes through.
LRESULT CALLBACK GlowEffectProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCHITTEST)
    return HTTRANSPARENT;
  // It stands in front of the form's class procedure, whether or not its glow is still there.
  const auto form_proc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(window, GCLP_WNDPROC));
  return ::CallWindowProcW(form_proc, window, message, wparam, lparam);
}

bool IsGlowForm(HWND window) {
  return platform::HasWindowClass(window, kGlowFormClass);
}

class WinGlowWindow final : public TacGlowWindow {
 public:
  WinGlowWindow() : timer_(kFadeTimer) {
    platform::PopupOptions options;
    options.class_name = kGlowFormClass;
    options.layered = false;  // made so when first shown
    if (popup_.Create(options, [this](UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
          return Message(message, wparam, result);
        }))
      effect_proc_.Set(popup_.Handle(), GlowEffectProc);
  }
  WinGlowWindow(const WinGlowWindow&) = delete;
  WinGlowWindow& operator=(const WinGlowWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return popup_.Handle(); }

  bool Show(const Bitmap& picture, TPoint pos, std::uint8_t alpha, TacGlowPlace place) override {
    HWND window = Handle();
    const LONG_PTR ex_style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    constexpr LONG_PTR kLayered = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if ((ex_style & kLayered) != kLayered)
      ::SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style | kLayered);
    if (PictureObserver())
      PictureObserver()(window, picture);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    const bool shown = UpdateLayeredWnd(window, picture, SIZE{picture.Width(), picture.Height()},
                                        blend, POINT{pos.X, pos.Y});
    HWND after = HWND_TOP;
    if (place.kind == TacGlowPlace::Kind::Topmost)
      after = HWND_TOPMOST;
    else if (place.kind == TacGlowPlace::Kind::Below)
      after = AsWindow(place.after);
    ::SetWindowPos(window, after, pos.X, pos.Y, 0, 0, kShowFlags);
    return shown;
  }

  void SetAlpha(const Bitmap& picture, std::uint8_t alpha) override {
    SetFormBlendValue(Handle(), &picture, alpha, nullptr);
  }

  void Hide() override {
    if (::IsWindowVisible(Handle()) != FALSE)
      ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kHideFlags | SWP_NOZORDER);
  }

  void RestoreWndProc() override { effect_proc_.Reset(); }

  void StartTimer(std::function<void()> tick) override {
    tick_ = std::move(tick);
    timer_.Start(Handle(), kFrameInterval);
  }

  void StopTimer() override {
    timer_.Stop();
    tick_ = nullptr;
  }

 private:
  // The glow form's own handling: hiding itself without the usual notifications, the fade ticks
  // and the deferred release. A window being destroyed no longer reaches here.
  bool Message(UINT message, WPARAM wparam, LRESULT& result) {
    result = 0;
    switch (message) {
      case WM_SHOWWINDOW:
        if (wparam != 0 || ::IsWindowVisible(Handle()) == FALSE)
          return false;
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kHideFlags | SWP_NOZORDER);
        return true;
      case WM_TIMER:
        if (wparam != kFadeTimer)
          return false;
        Tick();
        return true;
      case kReleaseMessage:
        delete this;
        return true;
      default:
        return false;
    }
  }

  void Tick() {
    if (tick_) {
      // The tick may free this window's effect; keep the callback alive until it returns.
      const std::function<void()> tick = tick_;
      tick();
    }
  }

  std::function<void()> tick_;
  // In this order, so that the timer goes first, then the effect's procedure, then the window.
  platform::ClickThroughPopup popup_;
  platform::ProcedureSwap effect_proc_;
  platform::WindowTimer timer_;
};

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

TacGlowRegistry& InstallGlowWindows(TsSkinManager& manager) {
  static WinGlowPlatform platform;
  static TacGlowRegistry registry(platform);
  manager.Glows = &registry;
  return registry;
}

TacGlowRegistry& InstallGlowWindows(TsSkinManager& manager,
                                    WinSkinManagerPlatform& manager_platform) {
  TacGlowRegistry& registry = InstallGlowWindows(manager);
  manager_platform.clear_glow_windows = [&registry] { registry.ClearGlows(false, false); };
  return registry;
}

void SetGlowPictureObserver(std::function<void(HWND window, const Bitmap& picture)> observer) {
  PictureObserver() = std::move(observer);
}

}  // namespace kestrune::skin
