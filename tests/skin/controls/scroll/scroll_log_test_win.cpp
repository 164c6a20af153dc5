// The results log's skinned scroll bar and the skinned memo, in the real main window: driven
// by a user at the mouse and keyboard in another process (mouse_client), checked through what
// any program can ask the window, and, inside a Wine desktop, by the pixels on the screen.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/main_form_win.h"
#include "platform/own_messages_win.h"
#include "platform/process_services.h"
#include "platform/win_util.h"
#include "skin/controls/scroll_wnd_win.h"
#include "skin/data/skin_manager.h"
#include "skin/paint/skin_owner_win.h"
#include "tests/support/build_path.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/screen_shot_win.h"

namespace kestrune::skin {
namespace {

using namespace std::chrono_literals;

// The built-in skin's colours (decimal BGR in the skin, TColor here).
constexpr TColor kTrackColor = 2894892;
constexpr TColor kSliderColor = 10461087;
constexpr TColor kEditColor = 2960685;
constexpr TColor kEditFont = 15921648;
constexpr TColor kEditHotFont = 16777215;
constexpr TColor kEditBorder = 3815994;
constexpr TColor kEditFocusedBorder = 16761420;

void Pump() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void PumpFor(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  while (std::chrono::steady_clock::now() < end) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
}

// Runs the mouse client with `steps`, answering this window's messages meanwhile; its exit code.
int RunClient(const std::string& steps) {
  std::wstring command = L"\"" + platform::Widen(test::BuildPath(KESTRUNE_MOUSE_CLIENT)) + L"\" " +
                         platform::Widen(steps);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    ADD_FAILURE() << "cannot start the mouse client";
    return -1;
  }
  ::CloseHandle(process.hThread);
  for (;;) {
    const DWORD woken =
        ::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 60000, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0)
      break;
    if (woken == WAIT_TIMEOUT) {
      ::TerminateProcess(process.hProcess, 1);
      ADD_FAILURE() << "the mouse client hangs: " << steps;
      break;
    }
    Pump();
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  // Input the client sent just before it ended is still on its way: wait until this thread has
  // taken the last left-button change and move it made, however late a loaded machine brings
  // them. Absolute mouse coordinates come back within a pixel of what was sent.
  std::istringstream words(steps);
  std::optional<bool> button_down;
  std::optional<POINT> cursor;
  for (std::string word; words >> word;) {
    if (word == "down" || word == "up") {
      button_down = word == "down";
    } else if (word == "move") {
      POINT p{};
      words >> p.x >> p.y;
      cursor = p;
    }
  }
  const bool arrived = test::PumpUntil([&] {
    POINT now{};
    return (!button_down || ((::GetKeyState(VK_LBUTTON) & 0x8000) != 0) == *button_down) &&
           (!cursor || (::GetCursorPos(&now) && std::abs(now.x - cursor->x) <= 1 &&
                        std::abs(now.y - cursor->y) <= 1));
  });
  POINT now{};
  ::GetCursorPos(&now);
  EXPECT_TRUE(arrived) << "the client's input did not arrive: " << steps << "; the cursor is at "
                       << now.x << "," << now.y << ", the left button "
                       << ((::GetKeyState(VK_LBUTTON) & 0x8000) != 0 ? "down" : "up") << " (async "
                       << ((::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 ? "down" : "up") << ")";
  PumpFor(100ms);
  return static_cast<int>(code);
}

std::string Point(POINT p) {
  return std::to_string(p.x) + " " + std::to_string(p.y);
}

class ScrollLogTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_);
    ::ShowWindow(form_->Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(form_->Handle());
    ::UpdateWindow(form_->Handle());
    ASSERT_TRUE(test::PumpUntilShown(form_->Handle())) << "the window did not finish showing";
    ASSERT_NE(Wrapper(), nullptr);
  }
  void TearDown() override {
    form_.reset();
    Pump();
  }

  [[nodiscard]] HWND Memo() const { return form_->MemoResults->Handle(); }
  [[nodiscard]] TacScrollWnd* Wrapper() const { return GetScrollWnd(Memo()); }
  [[nodiscard]] RECT Bar() const { return Wrapper()->ac_GetVScrollRect(); }
  [[nodiscard]] int FirstLine() const {
    return static_cast<int>(::SendMessageW(Memo(), EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  [[nodiscard]] SCROLLINFO Info() const {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(Memo(), SB_VERT, &si);
    return si;
  }
  // The slider on the screen, from the bar and the scroll information.
  [[nodiscard]] TacThumb Thumb() const {
    const RECT bar = Bar();
    const SCROLLINFO si = Info();
    return Ac_CalcThumbSize(bar.top, bar.bottom, 0,
                            TacScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos});
  }

  void AppendLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text +=
          "Processing: 10." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ".0/30\r\n";
    form_->MemoResults->AppendLines(text);
    PumpFor(50ms);
  }
  void ScrollToTop() {
    ::SendMessageW(Memo(), WM_VSCROLL, SB_TOP, 0);
    PumpFor(50ms);
    ASSERT_EQ(FirstLine(), 0);
  }

  platform::Application application_{"Kestrune"};
  const platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(ScrollLogTest, BarHitTestsOnlyOnceTheLogOverflows) {
  AppendLines(3);
  const RECT bar = Bar();
  ASSERT_FALSE(::IsRectEmpty(&bar));
  const POINT middle{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
  const std::string memo = std::to_string(reinterpret_cast<std::uintptr_t>(Memo()));
  EXPECT_EQ(RunClient("hittest " + memo + " " + Point(middle)), HTNOWHERE);
  AppendLines(300);
  EXPECT_EQ(RunClient("hittest " + memo + " " + Point(middle)), HTVSCROLL);
  EXPECT_EQ(RunClient("hittest " + memo + " " + Point({bar.left - 20, middle.y})), HTCLIENT);
}

// The log after the window went to 144 and 192 pixels per inch and back to 96: its range still
// covers every line at the final size, wrapped ones too, so one hidden line shows the bar.
TEST_F(ScrollLogTest, OneHiddenLineKeepsItsBarAfterADensityRoundTrip) {
  const std::string memo = std::to_string(reinterpret_cast<std::uintptr_t>(Memo()));
  const struct {
    const char* log;
    const char* first;  // the first line; the rest are short
  } cases[] = {
      {"short lines", "Processing: 10.0.0.0/30\r\n"},
      {"a wrapped line",
       "ALL DONE. Output file: Z:\\work\\kestrune\\build\\windows\\app\\"
       "11122026055500_IPs.txt\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    form_->MemoResults->SetText(c.first);
    const auto hidden = [&] {
      const SCROLLINFO si = Info();
      return si.nMax - static_cast<int>(si.nPage) + 1;
    };
    for (int i = 0; i < 100 && hidden() < 1; ++i)
      AppendLines(1);
    ASSERT_EQ(hidden(), 1);
    const int lines = static_cast<int>(::SendMessageW(Memo(), EM_GETLINECOUNT, 0, 0));
    for (const int density : {144, 192, static_cast<int>(::GetDpiForWindow(form_->Handle()))}) {
      RECT suggested{};
      ::GetWindowRect(form_->Handle(), &suggested);
      ::SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(density, density),
                     reinterpret_cast<LPARAM>(&suggested));
      PumpFor(100ms);
    }
    EXPECT_EQ(::SendMessageW(Memo(), EM_GETLINECOUNT, 0, 0), lines);
    EXPECT_EQ(Info().nMax + 1, lines) << "the range covers every line";
    EXPECT_EQ(hidden(), 1);
    EXPECT_TRUE(Wrapper()->BarActive(Wrapper()->sBarVert));
    const RECT bar = Bar();
    EXPECT_EQ(RunClient("hittest " + memo + " " +
                        Point({(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2})),
              HTVSCROLL);
  }
}

TEST_F(ScrollLogTest, PressBelowTheSliderScrollsAPageThenRepeatsWhileHeld) {
  AppendLines(300);
  ScrollToTop();
  const RECT bar = Bar();
  const POINT below{(bar.left + bar.right) / 2, bar.bottom - 3};
  RunClient("move " + Point(below) + " down");
  const int first = FirstLine();
  EXPECT_GT(first, 0);
  EXPECT_LT(first, 30);  // a page, not the whole way at once
  EXPECT_TRUE(test::PumpUntil([&] { return FirstLine() > first; }, 30s))
      << "held, the press did not repeat";
  RunClient("up");
  const int released = FirstLine();
  PumpFor(400ms);
  EXPECT_EQ(FirstLine(), released);
}

TEST_F(ScrollLogTest, CaptureLostMidPressStopsTheRepeat) {
  AppendLines(300);
  ScrollToTop();
  const RECT bar = Bar();
  RunClient("move " + Point({(bar.left + bar.right) / 2, bar.bottom - 3}) + " down");
  ASSERT_GT(FirstLine(), 0);
  // Something else takes the mouse (a message box, Alt+Tab) while the button stays down.
  ::ReleaseCapture();
  PumpFor(50ms);
  const int stopped = FirstLine();
  PumpFor(800ms);
  EXPECT_EQ(FirstLine(), stopped);
  RunClient("up");
  EXPECT_EQ(FirstLine(), stopped);
}

TEST_F(ScrollLogTest, DraggingTheSliderToTheEndShowsTheLastLine) {
  AppendLines(300);
  ScrollToTop();
  const RECT bar = Bar();
  const TacThumb thumb = Thumb();
  const int x = (bar.left + bar.right) / 2;
  const POINT grab{x, thumb.Start + thumb.Length / 2};
  RunClient("move " + Point(grab) + " down sleep 50 move " + Point({x, grab.y + 40}) +
            " sleep 50 move " + Point({x, bar.bottom + 60}) + " sleep 100 up");
  const SCROLLINFO si = Info();
  EXPECT_EQ(si.nPos, si.nMax - static_cast<int>(si.nPage) + 1);
  const int lines = static_cast<int>(::SendMessageW(Memo(), EM_GETLINECOUNT, 0, 0));
  EXPECT_EQ(FirstLine() + static_cast<int>(si.nPage), lines);
}

TEST_F(ScrollLogTest, RightClickOnTheBarOpensNoMenu) {
  AppendLines(300);
  const RECT bar = Bar();
  const POINT middle{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
  const int first = FirstLine();
  EXPECT_EQ(RunClient("move " + Point(middle) + " rdown sleep 50 rup sleep 400 menu " +
                      std::to_string(::GetCurrentProcessId())),
            0);
  EXPECT_EQ(FirstLine(), first);
}

// ---- Pixels on the screen (inside a Wine desktop only: without one Wine shows no frames)

using test::ScreenShot;

std::uint32_t Rgb(TColor c) {
  return SwapRedBlue(static_cast<std::uint32_t>(c)) & 0xFFFFFFu;
}

std::string Hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", v);
  return text;
}

class ScrollPixelsTest : public ScrollLogTest {
 protected:
  // The bar on the screen: the track in the skin's colour over the whole width, a slider of the
  // skin's thickness centred and at least 19 pixels long, nothing lighter anywhere in the bar or
  // the frame beside it (the system's own bar is light grey).
  void CheckBar(const std::string& stage) {
    SCOPED_TRACE(stage);
    PumpFor(300ms);
    RECT window{};
    ::GetWindowRect(form_->Handle(), &window);
    const ScreenShot whole = test::ShootScreen(window);
    const int dpi = static_cast<int>(::GetDpiForWindow(Memo()));
    test::SaveShot(whole, "log_" + std::to_string(dpi) + "_" + stage);
    const RECT bar = Bar();
    RECT memo{};
    ::GetWindowRect(Memo(), &memo);
    TacSkinData* sd = GetCommonData(Memo())->GetCommonSkinData();
    ASSERT_NE(sd, nullptr);
    EXPECT_EQ(bar.right - bar.left, sd->ScrollsWidth);
    const ScreenShot shot = test::ShootScreen(RECT{bar.left, memo.top, memo.right, memo.bottom});
    const int width = bar.right - bar.left;
    const int top = bar.top - memo.top;
    const int bottom = bar.bottom - memo.top;
    const int radius = GetCommonData(Memo())->Section()->BorderRadius;
    // The bar's rows, the bar and the frame beside it (the rounded corners above and below show
    // the parent, which is not this control's).
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < shot.width; ++x) {
        const std::uint32_t p = shot.At(x, y);
        const bool light = (p & 0xFF) > 0xA0 || ((p >> 8) & 0xFF) > 0xA0 || (p >> 16) > 0xA0;
        const bool corner = x >= width && (y < top + radius || y >= bottom - radius);
        if (light && !corner && !(x >= width && p == Rgb(kEditFocusedBorder))) {
          ADD_FAILURE() << "light pixel " << Hex(p) << " at " << x << "," << y;
          return;
        }
      }
    }
    int slider_rows = 0;  // rows the slider covers, its rounded ends too
    int solid_rows = 0;
    int slider_width = 0;
    for (int y = top; y < bottom; ++y) {
      EXPECT_EQ(shot.At(0, y), Rgb(kTrackColor)) << "row " << y;
      EXPECT_EQ(shot.At(width - 1, y), Rgb(kTrackColor)) << "row " << y;
      slider_rows += shot.At(width / 2, y) != Rgb(kTrackColor) ? 1 : 0;
      if (shot.At(width / 2, y) == Rgb(kSliderColor)) {
        ++solid_rows;
        int across = 0;
        for (int x = 0; x < width; ++x)
          across += shot.At(x, y) == Rgb(kSliderColor) ? 1 : 0;
        slider_width = std::max(slider_width, across);
      }
    }
    EXPECT_GE(slider_rows, 19);
    EXPECT_GE(solid_rows, slider_rows - 2);
    // Nothing but track and slider colours (and their blend at the slider's ends) in the bar.
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = shot.At(x, y) & 0xFF;
        EXPECT_TRUE(p >= (Rgb(kTrackColor) & 0xFF) && p <= (Rgb(kSliderColor) & 0xFF))
            << Hex(shot.At(x, y)) << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(slider_width, sd->ThumbWidth);
  }
};

TEST_F(ScrollPixelsTest, BarInTheSkinsColoursAfterAppendingWheelAndPageDown) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "needs a Wine desktop";
  AppendLines(300);
  CheckBar("appended");
  RECT memo{};
  ::GetWindowRect(Memo(), &memo);
  ::SendMessageW(Memo(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 3)),
                 MAKELPARAM(memo.left + 30, memo.top + 30));
  CheckBar("wheel");
  ScrollToTop();
  ::SetFocus(Memo());
  ::SendMessageW(Memo(), EM_SETSEL, 0, 0);
  ::SendMessageW(Memo(), WM_KEYDOWN, VK_NEXT, 0);
  ::SendMessageW(Memo(), WM_KEYUP, VK_NEXT, 0);
  EXPECT_GT(FirstLine(), 0);
  CheckBar("pagedown");
}

// ---- The memo

[[nodiscard]] std::uint32_t CachePixel(HWND memo, int x, int y) {
  TsCommonData* data = GetCommonData(memo);
  if (data == nullptr || !data->FCacheBmp || data->FCacheBmp->Empty())
    return 0xDEADBEEF;
  return SwapRedBlue(data->FCacheBmp->Row32(y)[x]) & 0xFFFFFFu;
}

TEST_F(ScrollLogTest, MemoTakesTheEditColoursOfItsStateAndFramesFocusInTheFocusColour) {
  ::SetFocus(form_->ButtonExtract->Handle());
  ::RedrawWindow(Memo(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  PumpFor(50ms);
  const int middle =
      form_->MemoResults->BoundsRect().bottom / 2 - form_->MemoResults->BoundsRect().top / 2;
  EXPECT_EQ(form_->MemoResults->Color(), kEditColor);
  EXPECT_EQ(form_->MemoResults->FontColor(), kEditFont);
  EXPECT_EQ(CachePixel(Memo(), 0, middle), static_cast<std::uint32_t>(kEditBorder));

  ::SetFocus(Memo());
  ::RedrawWindow(Memo(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  PumpFor(50ms);
  EXPECT_EQ(form_->MemoResults->Color(), kEditColor);
  EXPECT_EQ(form_->MemoResults->FontColor(), kEditHotFont);
  EXPECT_EQ(CachePixel(Memo(), 0, middle), static_cast<std::uint32_t>(kEditFocusedBorder));
}

TEST_F(ScrollLogTest, CtrlAFromAnotherProcessSelectsAllAndInsertsNothing) {
  form_->MemoResults->SetText("Processing: 10.0.0.5/30\r\nDone: 10.0.0.5/30\r\n");
  ::SetForegroundWindow(form_->Handle());
  ::SetFocus(Memo());
  ::SendMessageW(Memo(), EM_SETSEL, 3, 3);
  PumpFor(50ms);
  const std::string before = form_->MemoResults->Text();
  RunClient("ctrl_a sleep 100");
  DWORD start = 1;
  DWORD end = 0;
  ::SendMessageW(Memo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, static_cast<DWORD>(::GetWindowTextLengthW(Memo())));
  EXPECT_EQ(form_->MemoResults->Text(), before);
}

TEST_F(ScrollLogTest, LogTextSurvivesRemovingTheSkinAndRefreshing) {
  AppendLines(300);
  const std::string text = form_->MemoResults->Text();
  TsSkinManager& manager = *form_->SkinManager;
  // The program's own commands, as the manager sends them.
  platform::SendOwnMessage(Memo(), SM_ALPHACMD, AC_REMOVESKIN_HI,
                           reinterpret_cast<LPARAM>(&manager));
  Pump();
  EXPECT_EQ(GetScrollWnd(Memo()), nullptr);
  EXPECT_EQ(form_->MemoResults->Text(), text);
  EXPECT_NE(::GetWindowLongPtrW(Memo(), GWL_STYLE) & WS_VSCROLL, 0);
  platform::SendOwnMessage(Memo(), SM_ALPHACMD, AC_REFRESH_HI, reinterpret_cast<LPARAM>(&manager));
  Pump();
  EXPECT_EQ(form_->MemoResults->Text(), text);

  // The whole way round, as the manager does it: the bar comes back on the new window.
  manager.SetActive(false);
  Pump();
  EXPECT_EQ(GetScrollWnd(Memo()), nullptr);
  manager.SetActive(true);
  Pump();
  EXPECT_NE(GetScrollWnd(Memo()), nullptr);
  EXPECT_EQ(form_->MemoResults->Text(), text);
}

}  // namespace
}  // namespace kestrune::skin
