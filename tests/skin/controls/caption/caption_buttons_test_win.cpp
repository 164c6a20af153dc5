// The main window's caption buttons under the real mouse (SendInput): a press acts only when
// released over its button, holds the capture so that a release anywhere ends it, leaves the
// other button alone, and the hot look fades in over the button in a window that goes when the
// fade is done.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "skin/controls/skin_provider_win.h"
#include "skin/data/skin_commands.h"
#include "skin/data/skin_manager.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"

namespace kestrune::skin {
namespace {

using namespace std::chrono_literals;

constexpr UINT_PTR kRecorderId = 0x5C0D;

// Pumps this thread's messages (only the mouse's when `input_only`, so that no timer runs)
// until `condition` holds or `limit` has passed.
template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds limit, bool input_only = false) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end)
      return condition();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message{};
    const auto take = [&](UINT first, UINT last) {
      return ::PeekMessageW(&message, nullptr, first, last, PM_REMOVE) != FALSE;
    };
    while (input_only
               ? take(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK) || take(WM_MOUSEFIRST, WM_MOUSELAST) ||
                     take(WM_NCMOUSELEAVE, WM_MOUSELEAVE)
               : take(0, 0)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

void Pump(std::chrono::milliseconds time) {
  PumpUntil([] { return false; }, time);
}

void MouseAt(POINT p, DWORD buttons = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((p.x * 65535LL + (w - 1) / 2) / (w - 1));
  input.mi.dy = static_cast<LONG>((p.y * 65535LL + (h - 1) / 2) / (h - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  ::SendInput(1, &input, sizeof input);
}

POINT Centre(const RECT& r) {
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<HWND> FadeWindows() {
  std::vector<HWND> found;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (std::wstring(name) == kSBAnimationClass)
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Whether a pixel of a 32-bit bitmap (blue, green, red, alpha in memory) is red, as the hot
// close button's background is.
bool Reddish(const Bitmap& bmp, int x, int y) {
  const std::uint32_t c = GetAPixel(bmp, x, y).C;
  const int b = static_cast<int>(c & 0xFF), g = static_cast<int>((c >> 8) & 0xFF),
            r = static_cast<int>((c >> 16) & 0xFF);
  return r > 150 && g < 90 && b < 90;
}

class CaptionButtonsTest : public ::testing::Test {
 protected:
  CaptionButtonsTest() {
    // The second ctest entry runs at 144 dots per inch: the window at the real density.
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_);
    application_.SetMainWindow(form_->Handle());
    window_ = form_->Handle();
    // In front of the provider: every system command the form gets is noted.
    ::SetWindowSubclass(window_, Recorder, kRecorderId, reinterpret_cast<DWORD_PTR>(&commands_));
  }
  ~CaptionButtonsTest() override {
    ::ReleaseCapture();
    MouseAt(away_);
  }

  void SetUp() override {
    form_->Show();
    ::SetForegroundWindow(window_);
    ASSERT_TRUE(test::PumpUntilShown(window_)) << "the window did not finish showing";
    ::RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    away_ = POINT{frame.right + 40, frame.bottom + 40};
    MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
    Pump(150ms);
  }

  static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR ref) {
    if (message == WM_SYSCOMMAND)
      reinterpret_cast<std::vector<UINT>*>(ref)->push_back(static_cast<UINT>(wparam & 0xFFF0));
    return ::DefSubclassProc(window, message, wparam, lparam);
  }

  static RECT ScreenRectOf(const platform::WinControl& control) {
    RECT r{};
    ::GetWindowRect(control.Handle(), &r);
    return r;
  }

  TsSkinProvider& Provider() { return *form_->SkinProvider; }
  const TacCaptionCycle& Caption() { return Provider().Caption(); }

  const TsCaptionButton& Button(unsigned hit) {
    const TacCaptionButtons& b = Provider().Layout().Buttons;
    return hit == kHitClose ? b.Close : b.Min;
  }

  // The button's rectangle on the screen.
  RECT ButtonOnScreen(unsigned hit) {
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    const TRect r = Button(hit).cpRect;
    return RECT{frame.left + r.Left, frame.top + r.Top, frame.left + r.Right, frame.top + r.Bottom};
  }

  // Moves onto the button and presses it.
  void Press(unsigned hit) {
    const POINT at = Centre(ButtonOnScreen(hit));
    MouseAt(at);
    Pump(60ms);
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Caption().biClicked(); }, 3s)) << "the press arrived";
    EXPECT_EQ(Caption().CurrentHT(), hit);
    EXPECT_EQ(Button(hit).cpState, 2);
    EXPECT_EQ(::GetCapture(), window_) << "the press holds the mouse";
  }

  // Moves to `to` in a few steps with the button held, and lets go there.
  void ReleaseAt(POINT to) {
    POINT from{};
    ::GetCursorPos(&from);
    for (int step = 1; step <= 3; ++step) {
      MouseAt(POINT{from.x + (to.x - from.x) * step / 3, from.y + (to.y - from.y) * step / 3});
      Pump(40ms);
    }
    MouseAt(to, MOUSEEVENTF_LEFTUP);
    PumpUntil([&] { return !Caption().biClicked(); }, 3s);
    Pump(200ms);  // a command would have been posted by now
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
  HWND window_ = nullptr;
  POINT away_{};
  std::vector<UINT> commands_;
};

TEST_F(CaptionButtonsTest, CloseReleasedOverItClosesTheWindowOnce) {
  Press(kHitClose);
  MouseAt(Centre(ButtonOnScreen(kHitClose)), MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return ::IsWindow(window_) == FALSE; }, 3s);
  Pump(100ms);
  EXPECT_FALSE(::IsWindow(window_));
  EXPECT_EQ(commands_, (std::vector<UINT>{SC_CLOSE}));
}

// Moving off the pressed button cancels it, wherever the release happens: over the caption, the
// log, the other button or outside the window. Nothing acts and no button stays pressed.
TEST_F(CaptionButtonsTest, ReleaseAwayFromThePressedButtonDoesNothing) {
  RECT frame{};
  ::GetWindowRect(window_, &frame);
  const RECT min = ButtonOnScreen(kHitMinButton);
  struct ReleaseCase {
    const char* what;
    unsigned pressed;
    POINT at;
  };
  const ReleaseCase cases[] = {
      {"minimise, over the caption", kHitMinButton, POINT{min.left - 60, min.top + 8}},
      {"minimise, over the log", kHitMinButton, Centre(ScreenRectOf(*form_->MemoResults))},
      {"minimise, below the window", kHitMinButton, POINT{frame.left + 50, frame.bottom + 30}},
      {"close, over the log", kHitClose, Centre(ScreenRectOf(*form_->MemoResults))},
      {"close, over minimise", kHitClose, Centre(min)},
      {"close, right of the window", kHitClose, POINT{frame.right + 30, frame.top + 8}},
  };
  for (const ReleaseCase& c : cases) {
    SCOPED_TRACE(c.what);
    Press(c.pressed);
    ReleaseAt(c.at);
    EXPECT_FALSE(Caption().biClicked());
    EXPECT_EQ(Button(c.pressed).cpState, 0);
    EXPECT_NE(Button(kHitClose).cpState, 2);
    EXPECT_NE(Button(kHitMinButton).cpState, 2);
    EXPECT_NE(::GetCapture(), window_);
    ASSERT_TRUE(::IsWindow(window_));
    EXPECT_FALSE(::IsIconic(window_));
    EXPECT_TRUE(commands_.empty());
    MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
    Pump(100ms);
  }
}

TEST_F(CaptionButtonsTest, WhileOneButtonIsPressedTheOtherStaysNormal) {
  Press(kHitClose);
  const POINT min = Centre(ButtonOnScreen(kHitMinButton));
  MouseAt(POINT{min.x + 10, min.y});
  Pump(40ms);
  MouseAt(min);
  ASSERT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 0; }, 3s))
      << "off its button the pressed one looks normal";
  Pump(300ms);  // long enough for any fade to have shown
  EXPECT_LE(Button(kHitMinButton).cpState, 0) << "normal (or never drawn otherwise)";
  EXPECT_EQ(Caption().Animation(kHitMinButton), nullptr);
  EXPECT_TRUE(Caption().biClicked()) << "the press lasts";
  EXPECT_EQ(Caption().CurrentHT(), kHitClose);

  MouseAt(Centre(ButtonOnScreen(kHitClose)));
  EXPECT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 2; }, 3s))
      << "back over it, it looks pressed again";
  ReleaseAt(min);
  EXPECT_TRUE(::IsWindow(window_));
  EXPECT_TRUE(commands_.empty());
}

// A press also ends, without its action, when another window takes the capture or the skin's
// mouse-leave command arrives; the release that follows does nothing.
TEST_F(CaptionButtonsTest, PressEndedByTheCaptureOrTheLeaveCommandDoesNothing) {
  for (const bool by_capture : {true, false}) {
    SCOPED_TRACE(by_capture ? "capture taken by the log" : "mouse-leave command");
    Press(kHitMinButton);
    HWND memo = form_->MemoResults->Handle();
    if (by_capture)
      ::SetCapture(memo);
    else
      ::SendMessageW(window_, SM_ALPHACMD, MakeCommandParam(AC_MOUSELEAVE), 0);
    EXPECT_FALSE(Caption().biClicked());
    EXPECT_EQ(Caption().CurrentHT(), 0u);
    EXPECT_EQ(Button(kHitMinButton).cpState, 0);
    if (!by_capture) {
      EXPECT_NE(::GetCapture(), window_) << "the capture is given back";
    }
    MouseAt(Centre(ButtonOnScreen(kHitMinButton)), MOUSEEVENTF_LEFTUP);
    Pump(200ms);
    ::ReleaseCapture();
    EXPECT_FALSE(::IsIconic(window_));
    EXPECT_TRUE(commands_.empty());
    MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
    Pump(100ms);
  }
}

// With the effects on, the hot look fades in over the button in a click-through window just
// above the form; when the fade is done the window goes and the frame shows the hot look.
TEST_F(CaptionButtonsTest, HotCloseFadesInOverTheButtonAndTheWindowGoes) {
  ASSERT_TRUE(form_->SkinManager->Effects.AllowGlowing);
  ASSERT_TRUE(form_->SkinManager->Effects.AllowAnimation);
  const RECT close = ButtonOnScreen(kHitClose);
  const TRect in_window = Button(kHitClose).cpRect;
  const auto pixels_of = [this](const TRect& r) {
    std::vector<std::uint32_t> pixels;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        pixels.push_back(GetAPixel(Provider().WindowBitmap(), x, y).C);
    return pixels;
  };
  const TRect min_in_window = Button(kHitMinButton).cpRect;
  const std::vector<std::uint32_t> min_before = pixels_of(min_in_window);
  MouseAt(Centre(close));
  ASSERT_TRUE(PumpUntil([&] { return Caption().Animation(kHitClose) != nullptr; }, 3s, true));
  const TacSBAnimation& fade = *Caption().Animation(kHitClose);
  HWND shown = fade.Window();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(fade.FadingIn());
  EXPECT_LT(fade.Alpha(), 255);
  EXPECT_TRUE(::IsWindowVisible(shown));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(shown, GWL_EXSTYLE));
  const DWORD wanted = WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  EXPECT_EQ(ex_style & wanted, wanted);
  RECT placed{};
  ::GetWindowRect(shown, &placed);
  EXPECT_TRUE(::EqualRect(&placed, &close)) << "exactly over the button";
  EXPECT_EQ(::GetWindow(shown, GW_HWNDNEXT), window_) << "just above the form";
  EXPECT_EQ(::SendMessageW(shown, WM_NCHITTEST, 0, MAKELPARAM(Centre(close).x, Centre(close).y)),
            HTTRANSPARENT);
  const Bitmap& look = fade.Look();
  ASSERT_EQ(look.Width(), close.right - close.left);
  ASSERT_EQ(look.Height(), close.bottom - close.top);
  EXPECT_TRUE(Reddish(look, 3, 3)) << "the hot close look";
  EXPECT_FALSE(Reddish(Provider().WindowBitmap(), in_window.Left + 3, in_window.Top + 3))
      << "the frame keeps the normal look under the fade";

  ASSERT_TRUE(PumpUntil([&] { return Caption().Animation(kHitClose) == nullptr; }, 5s));
  EXPECT_FALSE(::IsWindow(shown));
  EXPECT_TRUE(FadeWindows().empty());
  EXPECT_EQ(Button(kHitClose).cpState, 1);
  EXPECT_TRUE(Reddish(Provider().WindowBitmap(), in_window.Left + 3, in_window.Top + 3))
      << "the frame shows the hot look";

  // Away again: the hot look fades out over the normal one, and that window goes too.
  MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
  ASSERT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 0; }, 3s, true));
  const TacSBAnimation* out = Caption().Animation(kHitClose);
  ASSERT_NE(out, nullptr);
  EXPECT_FALSE(out->FadingIn());
  EXPECT_TRUE(Reddish(out->Look(), 3, 3)) << "the old look is the one fading";
  ASSERT_TRUE(PumpUntil([&] { return Caption().Animation(kHitClose) == nullptr; }, 5s));
  EXPECT_TRUE(FadeWindows().empty());
  for (const int y :
       {in_window.Top, in_window.Top + in_window.Height() / 2, in_window.Bottom - 1}) {
    SCOPED_TRACE(::testing::Message() << "row " << y);
    for (const int x :
         {in_window.Left + 1, in_window.Left + in_window.Width() / 2, in_window.Right - 2})
      EXPECT_FALSE(Reddish(Provider().WindowBitmap(), x, y)) << "nothing of the hot look stays";
  }
  EXPECT_EQ(pixels_of(min_in_window), min_before) << "the other button was left as it was";
}

// A leave that slips past while the hot look fades in is caught at the fade's end: the form gets
// WM_MOUSELEAVE when the mouse is no longer over the button.
TEST_F(CaptionButtonsTest, FadeInEndingWithTheMouseElsewhereTellsTheFormItLeft) {
  MouseAt(Centre(ButtonOnScreen(kHitClose)));
  ASSERT_TRUE(PumpUntil([&] { return Caption().Animation(kHitClose) != nullptr; }, 3s, true));
  // The mouse goes, but its messages stay queued: only the fade's timer runs.
  MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
  ASSERT_TRUE(PumpUntil(
      [&] {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        const RECT close = ButtonOnScreen(kHitClose);
        return ::PtInRect(&close, cursor) == FALSE;
      },
      3s, true));
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (Caption().Animation(kHitClose) != nullptr && std::chrono::steady_clock::now() < end) {
    MSG message{};
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_TIMER);
    while (::PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE)
      ::DispatchMessageW(&message);
  }
  ASSERT_EQ(Caption().Animation(kHitClose), nullptr) << "the fade ended";
  MSG leave{};
  EXPECT_NE(::PeekMessageW(&leave, window_, WM_MOUSELEAVE, WM_MOUSELEAVE, PM_NOREMOVE), FALSE);
  EXPECT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 0; }, 3s));
}

// Without glow effects, or with the animation switch off, the look changes at once.
TEST_F(CaptionButtonsTest, HotLookWithoutFadeWhenTheEffectsAreOff) {
  struct Switches {
    bool glowing;
    bool animation;
  };
  for (const Switches s : {Switches{false, true}, Switches{true, false}}) {
    SCOPED_TRACE(::testing::Message() << "glowing " << s.glowing << ", animation " << s.animation);
    form_->SkinManager->Effects.AllowGlowing = s.glowing;
    form_->SkinManager->Effects.AllowAnimation = s.animation;
    MouseAt(Centre(ButtonOnScreen(kHitMinButton)));
    ASSERT_TRUE(
        PumpUntil([&] { return Button(kHitMinButton).cpState == 1; }, 3s, /*input_only=*/true));
    EXPECT_EQ(Caption().Animation(kHitMinButton), nullptr);
    EXPECT_TRUE(FadeWindows().empty());
    MouseAt(Centre(ScreenRectOf(*form_->MemoResults)));
    ASSERT_TRUE(PumpUntil([&] { return Button(kHitMinButton).cpState == 0; }, 3s, true));
    EXPECT_TRUE(FadeWindows().empty());
  }
}

// The mouse leaving the window straight from a hot button (the close button touches the window's
// top and right edges) is noticed: the button does not stay hot.
TEST_F(CaptionButtonsTest, LeavingTheWindowFromAHotButtonClearsIt) {
  const RECT close = ButtonOnScreen(kHitClose);
  MouseAt(Centre(close));
  ASSERT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 1; }, 3s));
  MouseAt(POINT{close.right + 30, close.top + 5});
  EXPECT_TRUE(PumpUntil([&] { return Button(kHitClose).cpState == 0; }, 3s));
  EXPECT_TRUE(PumpUntil([&] { return FadeWindows().empty(); }, 3s));
  EXPECT_EQ(Caption().CurrentHT(), 0u);
}

}  // namespace
}  // namespace kestrune::skin
