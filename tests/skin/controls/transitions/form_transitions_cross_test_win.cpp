// The real program seen from another process: after start-up, after a deactivation and after a
// caption change sent from here, the main window is not layered, the program shows exactly one
// window, and (inside a Wine desktop, the only place Wine shows a frame) the title bar on the
// screen is the skin's, with the caption in the active or inactive text colour.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/program_win.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kTitleColour = 0x202020;  // the title section's colour
constexpr int kActiveText = 0xF2;                 // its caption colours, active and inactive
constexpr int kInactiveText = 0x9E;

using kestrune::test::WaitFor;

std::string Hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", v);
  return text;
}

// Kestrune in a process of its own, closed at the end.
class Program {
 public:
  Program() : program_(KESTRUNE_EXE, work_.Folder()), form(program_.Form()) {
    program_.close_limit = 20s;
  }

  // Start-up ends with the first paint, the show animation and the first activation.
  [[nodiscard]] bool Settle() { return program_.WaitUntilSettled(); }
  [[nodiscard]] DWORD Pid() const { return program_.Pid(); }

 private:
  kestrune::test::TempDir work_;
  kestrune::test::RunningProgram program_;

 public:
  HWND form = nullptr;
};

class TransitionsFromOutside : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    in_desktop_ = std::getenv("KESTRUNE_IN_DESKTOP") != nullptr;
  }

  // The window's state as another program sees it; `text` is the caption colour the title must
  // show (inside a Wine desktop). Returns the last column of the caption text on the screen.
  // `text_beyond`: the caption's text is expected to reach right of that column.
  int Check(const Program& program, const std::string& stage, int text, int text_beyond = 0) {
    SCOPED_TRACE(stage);
    HWND form = program.form;
    EXPECT_EQ(::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "not layered";
    EXPECT_EQ(kestrune::test::TopLevelWindows(program.Pid()), std::vector<HWND>{form})
        << "exactly one visible window";
    if (!in_desktop_)
      return 0;
    RECT frame{};
    ::GetWindowRect(form, &frame);
    const int dpi = static_cast<int>(::GetDpiForWindow(form));
    const int left = 40 * dpi / 96;
    const int right = (frame.right - frame.left) - 100 * dpi / 96;
    const int caption = ::GetSystemMetricsForDpi(SM_CYCAPTION, static_cast<UINT>(dpi));
    // The caption text lies right of the icon and left of the caption buttons (two of 45
    // pixels at 96 dots per inch); the rest of the title is the title section's colour.
    kestrune::test::ScreenShot shot;
    int brightest = 0;
    int last_text = 0;
    int foreign = 0;
    std::uint32_t foreign_pixel = 0;
    const auto read = [&] {
      shot = kestrune::test::ShootScreen(frame);
      brightest = last_text = foreign = 0;
      for (int y = 2; y < caption; ++y) {
        for (int x = left; x < right; ++x) {
          const std::uint32_t p = shot.At(x, y);
          const int r = static_cast<int>(p >> 16), g = static_cast<int>((p >> 8) & 0xFF),
                    b = static_cast<int>(p & 0xFF);
          if (std::max({r, g, b}) - std::min({r, g, b}) > 12) {
            ++foreign;
            foreign_pixel = p;
          }
          brightest = std::max(brightest, b);
          if (b > 0x60)
            last_text = std::max(last_text, x);
        }
      }
      return std::abs(brightest - text) <= 2 && last_text > text_beyond;
    };
    // The desktop shows what the program drew a moment later.
    WaitFor(read, 5s);
    kestrune::test::SaveShot(shot, "transitions_" + std::to_string(dpi) + "_" + stage);
    EXPECT_EQ(foreign, 0) << "coloured pixels in the title (the system's caption?), e.g. "
                          << Hex(foreign_pixel);
    EXPECT_NEAR(brightest, text, 2) << "the caption's colour";
    EXPECT_EQ(shot.At((left + right) / 2 + 60 * dpi / 96, 3), kTitleColour)
        << "the title's colour beside the caption";
    return last_text;
  }

  bool in_desktop_ = false;
};

TEST_F(TransitionsFromOutside, StartUpDeactivationAndCaptionChange) {
  Program program;
  ASSERT_NE(program.form, nullptr) << "Kestrune's window did not show";
  ASSERT_TRUE(program.Settle()) << "Kestrune's window did not settle after start-up";
  Check(program, "started", kActiveText);

  DWORD_PTR answer = 0;
  ASSERT_NE(
      ::SendMessageTimeoutW(program.form, WM_NCACTIVATE, FALSE, 0, SMTO_NORMAL, 10000, &answer), 0);
  const int before = Check(program, "inactive", kInactiveText);

  const wchar_t* caption = L"Kestrune: a caption changed from another program";
  ASSERT_NE(::SendMessageTimeoutW(program.form, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption),
                                  SMTO_NORMAL, 10000, &answer),
            0);
  wchar_t text[128] = {};
  ::GetWindowTextW(program.form, text, 128);
  EXPECT_STREQ(text, caption);
  const int after = Check(program, "caption_changed", kInactiveText, before + 40);
  if (in_desktop_) {
    EXPECT_GT(after, before + 40) << "the new, longer caption is on the screen";
  }

  ASSERT_NE(
      ::SendMessageTimeoutW(program.form, WM_NCACTIVATE, TRUE, 0, SMTO_NORMAL, 10000, &answer), 0);
  Check(program, "active_again", kActiveText);
}

}  // namespace
