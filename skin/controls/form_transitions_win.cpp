#include "skin/controls/form_transitions_win.h"

#include <algorithm>
#include <utility>

namespace kestrune::skin {
namespace {

// How long the cover stays on the screen before the system is let draw under it, so that a
// compositor has presented it.
constexpr DWORD kCoverSettleMs = 40;

TRect WindowRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect TaskBarRect() {
  HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  return tray != nullptr ? WindowRect(tray) : TRect{};
}

bool Layered(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

bool Topmost(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

}  // namespace

// One run of the minimize or restore animation: the picture in its layered window and the
// window timer that moves it.
struct TacFormTransitions::MinTimer {
  MinTimer(const TRect& window, const TRect& target, int steps, bool minimizing, bool topmost)
      : animation(window, target, steps, minimizing), image_window(topmost) {}
  TacMinAnimation animation;
  TacImageWindow image_window;
};

TacFormTransitions::TacFormTransitions(TacTransitionHost& host,
                                       std::shared_ptr<TacComposition> composition)
    : host_(host) {
  SetComposition(std::move(composition));
}

TacFormTransitions::~TacFormTransitions() {
  capt_form_.reset();
  min_timer_.reset();
}

void TacFormTransitions::SetComposition(std::shared_ptr<TacComposition> composition) {
  composition_ = composition != nullptr ? std::move(composition) : SystemComposition();
  composition_at_start_ = composition_->Enabled();
}

bool TacFormTransitions::MainForm() const {
  return ::GetWindow(host_.Window(), GW_OWNER) == nullptr;
}

bool TacFormTransitions::Showing() const {
  return ::IsWindowVisible(host_.Window()) != FALSE;
}

bool TacFormTransitions::AnimationAllowed() const {
  return AllowAnimation && host_.ManagerAllowsAnimation() && host_.NcPaintAllowed();
}

// ---- The cover window.

void TacFormTransitions::MakeCaptForm() {
  HWND window = host_.Window();
  TacCoverInput in;
  in.PopupOpen = host_.PopupOpen();
  in.Minimized = ::IsIconic(window) != FALSE;
  in.Showing = Showing();
  in.Animating = animating_;
  in.NcPaintAllowed = host_.NcPaintAllowed();
  if (!CoverAllowed(in))
    return;
  if (capt_form_ == nullptr) {
    platform::UniqueRegion region = CoverRegion(window);
    if (region.Get() == nullptr)
      return;  // nothing of the frame shows
    host_.FreshBitmap();
    const std::string name = host_.FormName() + "CaptForm" + std::to_string(::GetTickCount64());
    auto cover = std::make_unique<TacCaptForm>(window, name, std::move(region),
                                               [this] { return host_.CurrentBitmap(); });
    if (cover->Handle() == nullptr)
      return;  // no window: the change goes without a cover
    capt_form_ = std::move(cover);
    if (OnCoverShown)
      OnCoverShown(capt_form_->Handle());
  }
  ::Sleep(kCoverSettleMs);
}

void TacFormTransitions::KillCaptForm() {
  capt_form_.reset();
}

// ---- Activation and caption changes.

LRESULT TacFormTransitions::AC_WMNCActivate(WPARAM wparam, LPARAM /*lparam*/) {
  HWND window = host_.Window();
  host_.SetFormActive(wparam != 0 || host_.PopupOpen());
  LRESULT result = 0;
  if (Showing()) {
    const bool composition = composition_->Enabled();
    TacActivationInput in;
    in.Composition = composition;
    in.CompositionLate = composition && !composition_at_start_;
    HWND owner = ::GetWindow(window, GW_OWNER);
    in.SecondaryOfMinimizedMain = owner != nullptr && ::IsIconic(owner);
    in.Animating = animating_;
    in.ShowingPhase = showing_phase_;
    in.Initialised = host_.Initialised();
    in.MainMinimized = MainForm() && ::IsIconic(window);
    const TacActivationSteps steps = ActivationSteps(in);
    if (steps.Cover)
      MakeCaptForm();
    if (steps.RedrawOff)
      ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    // -1: the default handling changes the state without drawing the system's caption.
    result = host_.CallDefault(WM_NCACTIVATE, wparam, -1);
    if (steps.RedrawChildren) {
      ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
      ::RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    if (steps.FrameFromBitmap) {
      host_.RepaintFrame();
      if (capt_form_ != nullptr)
        ::Sleep(kCoverSettleMs);
    }
    if (steps.RedrawFrame)
      ::RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE | RDW_UPDATENOW);
    if (steps.RedrawOnAgain)
      ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    if (steps.KillCover)
      KillCaptForm();
    if (steps.InvalidateAll)
      ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
  } else {
    result = host_.CallDefault(WM_NCACTIVATE, wparam, -1);
  }
  if (Layered(window))
    host_.RepaintFrame();
  host_.SetFormActive(wparam != 0 || host_.PopupOpen());
  host_.ForgetMenuRows();
  if (min_timer_ == nullptr && host_.SizeSettled())
    host_.RepaintFrame();
  return result;
}

LRESULT TacFormTransitions::SetText(WPARAM wparam, LPARAM lparam) {
  host_.DropGlowCaches();
  // The system paints its caption with the new text only into a visible window, so the visible
  // bit is off for the call instead of a cover window going up: making the cover and waiting for
  // it took 60 of the 70 ms a caption change cost under Wine.
  HWND window = host_.Window();
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible)
    ::SetWindowLongPtrW(window, GWL_STYLE, style & ~WS_VISIBLE);
  const LRESULT result = host_.CallDefault(WM_SETTEXT, wparam, lparam);
  if (visible)
    ::SetWindowLongPtrW(window, GWL_STYLE, ::GetWindowLongPtrW(window, GWL_STYLE) | WS_VISIBLE);
  host_.MarkStale();
  host_.RepaintFrame();
  return result;
}

// ---- Showing.

LRESULT TacFormTransitions::ShowWindowMessage(WPARAM wparam, LPARAM lparam) {
  HWND window = host_.Window();
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const TacAnimEffects effects = host_.AnimEffects();
  if (wparam != 0 && lparam == 0 && (style & (WS_CHILD | WS_VISIBLE)) == 0 &&
      effects.FormShow.Active && AnimationAllowed() && !show_pending_) {
    // Transparent before the system shows it, so that its first paint is not seen.
    own_opacity_ = -1;
    if (Layered(window)) {
      BYTE alpha = 255;
      DWORD flags = 0;
      if (::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA))
        own_opacity_ = alpha;
    } else {
      ::SetWindowLongPtrW(window, GWL_EXSTYLE,
                          ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    }
    ::SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
    animating_ = true;
    showing_phase_ = true;
    show_pending_ = true;
  }
  return host_.CallDefault(WM_SHOWWINDOW, wparam, lparam);
}

void TacFormTransitions::WindowShown() {
  if (!show_pending_)
    return;
  const TacAnimEffects effects = host_.AnimEffects();
  AnimShowForm(effects.FormShow.Time, own_opacity_, effects.FormShow.Mode);
}

Bitmap TacFormTransitions::WindowImage() {
  const Bitmap* frame = host_.FreshBitmap();
  if (frame == nullptr)
    return Bitmap();
  return CaptureWindowImage(host_.Window(), *frame, [this](HDC dc) {
    host_.CallDefault(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
}

void TacFormTransitions::AnimShowForm(int time, int opacity, int /*mode*/) {
  HWND window = host_.Window();
  show_pending_ = false;
  {
    host_.MarkStale();
    const Bitmap image = WindowImage();
    const TRect at = WindowRect(window);
    TacImageWindow image_window(Topmost(window));
    // Fading in over `frames` frames; with none the finished picture shows at once.
    const int frames = ShowFrames(time);
    const auto show = [&](int alpha) {
      image_window.Show(image, at, alpha);
      if (OnShowFrame)
        OnShowFrame(alpha);
    };
    show(frames > 0 ? 0 : 255);
    for (int frame = 1; frame <= frames; ++frame) {
      ::Sleep(kFrameInterval);
      show(255 * frame / frames);
    }
    if (image_window.Handle() != nullptr)
      ::SetWindowPos(window, image_window.Handle(), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Opaque again: its own opacity, or no layered style at all.
    if (opacity >= 0 && opacity < 255) {
      ::SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(opacity), LWA_ALPHA);
    } else {
      ::SetWindowLongPtrW(window, GWL_EXSTYLE,
                          ::GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    }
    animating_ = false;
    host_.BackgroundReady();
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  showing_phase_ = false;
  if (OnAfterAnimation)
    OnAfterAnimation();
}

// ---- Closing.

LRESULT TacFormTransitions::Close(WPARAM wparam, LPARAM lparam) {
  HWND window = host_.Window();
  const LRESULT result = host_.CallDefault(WM_CLOSE, wparam, lparam);
  if (::IsWindow(window) == FALSE || ::IsWindowVisible(window) == FALSE ||
      (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0 || !host_.NcPaintAllowed() ||
      !host_.AnimEffects().FormHide.Active)
    return result;
  // The close was not carried out (yet): keep the picture for the hide animation, apart from
  // the window bitmap the children draw their background from.
  close_image_ = WindowImage();
  return result;
}

// ---- Minimize and restore.

bool TacFormTransitions::SysCommand(WPARAM wparam, LPARAM lparam, LRESULT& result) {
  const WPARAM command = wparam & 0xFFF0;
  if (command != SC_MINIMIZE && command != SC_RESTORE)
    return false;
  HWND window = host_.Window();
  if (min_timer_ != nullptr) {
    // A new command while the picture still moves: the old one ends at once.
    EndMinTimer();
    return false;
  }
  const bool skip = std::exchange(skip_minimize_, false);
  const bool minimizing = command == SC_MINIMIZE;
  const TacAnimEffects effects = host_.AnimEffects();
  // Without composition nothing is animated: the system shows the change itself.
  if (skip || MainForm() || !effects.Minimizing.Active || !AnimationAllowed() ||
      (minimizing ? ::IsIconic(window) : !::IsIconic(window)) || !composition_->Enabled())
    return false;

  if (minimizing) {
    normal_rect_ = WindowRect(window);
    min_image_ = WindowImage();
    composition_->ForceDisableTransitions(window, true);
    animating_ = true;
    StartMinTimer(true);
    result = host_.CallDefault(WM_SYSCOMMAND, wparam, lparam);
    composition_->ForceDisableTransitions(window, false);
    if (min_timer_ != nullptr)
      min_timer_->image_window.StartTimer(kMinTimerInterval, [this] { MinTick(); });
    return true;
  }
  // Restoring: the picture grows back first; the window follows at the end.
  if (normal_rect_.IsEmpty()) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window, &placement);
    const RECT& r = placement.rcNormalPosition;
    normal_rect_ = TRect{r.left, r.top, r.right, r.bottom};
  }
  if (min_image_.Empty())
    min_image_ = WindowImage();
  animating_ = true;
  StartMinTimer(false);
  if (min_timer_ == nullptr) {
    animating_ = false;
    return false;
  }
  min_timer_->image_window.StartTimer(kMinTimerInterval, [this] { MinTick(); });
  result = 0;
  return true;
}

void TacFormTransitions::StartMinTimer(bool minimizing) {
  HWND window = host_.Window();
  const TRect target = MinimizeTarget(normal_rect_, TaskBarRect());
  const int steps = MinimizeSteps(host_.AnimEffects().Minimizing.Time);
  auto timer = std::make_unique<MinTimer>(normal_rect_, target, steps, minimizing, Topmost(window));
  if (timer->image_window.Handle() == nullptr || min_image_.Empty())
    return;  // nothing to animate with; the command goes on without
  timer->image_window.Show(min_image_, timer->animation.Current(), timer->animation.Alpha());
  min_timer_ = std::move(timer);
}

void TacFormTransitions::MinTick() {
  if (min_timer_ == nullptr)
    return;
  TacMinAnimation& animation = min_timer_->animation;
  const bool more = animation.Step();
  min_timer_->image_window.Show(min_image_, animation.Current(), animation.Alpha());
  if (!more)
    EndMinTimer();
}

void TacFormTransitions::EndMinTimer() {
  if (min_timer_ == nullptr)
    return;
  const bool minimizing = min_timer_->animation.Minimizing();
  HWND window = host_.Window();
  if (!minimizing) {
    // The window takes the picture's place: shown in its former state, active and focused.
    composition_->ForceDisableTransitions(window, true);
    host_.CallDefault(WM_SYSCOMMAND, SC_RESTORE, 0);
    composition_->ForceDisableTransitions(window, false);
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
    ::SetFocus(window);
    min_image_ = Bitmap();
  }
  min_timer_.reset();
  animating_ = false;
}

}  // namespace kestrune::skin
