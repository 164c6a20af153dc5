// The system menu of kestrune.exe opened from another process with real input, as a user
// would: Alt+Space and a press on the title icon drop the skinned menu, Escape closes it, and
// choosing Minimize from it minimizes the window.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/drop_down_win.h"
#include "tests/support/program_win.h"
#include "tests/support/real_input_win.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;

using test::Keys;
using test::MouseTo;
using test::Press;
using test::WaitFor;

void AltSpace() {
  Keys({{VK_MENU, true}, {VK_SPACE, true}, {VK_SPACE, false}, {VK_MENU, false}});
}

class SystemMenuInput : public ::testing::Test {
 protected:
  SystemMenuInput() : program_(KESTRUNE_EXE), form_(program_.Form()) {
    program_.close_limit = 30s;
    started_ = program_.Started() && program_.WaitUntilSettled();
  }
  ~SystemMenuInput() override {
    for (int i = 0; i < 3 && DropDown() != nullptr; ++i)
      Press(VK_ESCAPE);
  }

  HWND DropDown() const { return test::DropDownOf(program_.Pid()); }

  // Brings the form to the front as a click on its caption would.
  bool Focus() const {
    ::SetForegroundWindow(form_);
    return WaitFor([&] { return ::GetForegroundWindow() == form_; }, 10s);
  }

  // The title icon's rectangle on the screen, found by asking the window's hit test.
  bool IconRect(RECT& icon) const {
    RECT frame{};
    ::GetWindowRect(form_, &frame);
    icon = RECT{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = frame.top; y < frame.top + 60; ++y) {
      for (int x = frame.left; x < frame.left + 80; ++x) {
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutW(form_, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000,
                              &hit);
        if (hit == HTSYSMENU) {
          icon.left = std::min<LONG>(icon.left, x);
          icon.top = std::min<LONG>(icon.top, y);
          icon.right = std::max<LONG>(icon.right, x + 1);
          icon.bottom = std::max<LONG>(icon.bottom, y + 1);
        }
      }
    }
    return icon.right > icon.left;
  }

  // Where the menu drops: at the frame's inner left edge, below the icon by the frame's width
  // (the fixed frame of the main window's single border), not where the system puts its own.
  POINT ExpectedDrop(const RECT& icon) const {
    RECT frame{};
    ::GetWindowRect(form_, &frame);
    const int border = ::GetSystemMetrics(SM_CXFIXEDFRAME);
    return {frame.left + border, frame.top + border + (icon.bottom - icon.top) + border};
  }

  static POINT TopLeft(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left, r.top};
  }

  test::RunningProgram program_;
  HWND form_ = nullptr;
  bool started_ = false;  // and settled
};

TEST_F(SystemMenuInput, AltSpaceOpensTheSkinnedMenuAndEscapeClosesIt) {
  ASSERT_TRUE(started_);
  ASSERT_NE(form_, nullptr);
  ASSERT_TRUE(Focus());
  AltSpace();
  HWND drop_down = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (drop_down = DropDown()) != nullptr; }, 30s));
  EXPECT_TRUE(test::SkinHandles(drop_down));
  EXPECT_NE(::GetWindowLongW(drop_down, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  RECT icon{};
  ASSERT_TRUE(IconRect(icon));
  const POINT expected = ExpectedDrop(icon);
  const POINT at = TopLeft(drop_down);
  EXPECT_EQ(at.x, expected.x);
  EXPECT_EQ(at.y, expected.y);

  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return DropDown() == nullptr; }, 30s));
  EXPECT_FALSE(::IsIconic(form_));
}

TEST_F(SystemMenuInput, PressOnTheTitleIconOpensIt) {
  ASSERT_TRUE(started_);
  ASSERT_NE(form_, nullptr);
  ASSERT_TRUE(Focus());
  RECT icon{};
  ASSERT_TRUE(IconRect(icon));
  const POINT press{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
  MouseTo(press);
  MouseTo(press, MOUSEEVENTF_LEFTDOWN);
  HWND drop_down = nullptr;
  const bool opened = WaitFor([&] { return (drop_down = DropDown()) != nullptr; }, 30s);
  MouseTo(press, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(test::SkinHandles(drop_down));
  const POINT expected = ExpectedDrop(icon);
  const POINT at = TopLeft(drop_down);
  EXPECT_EQ(at.x, expected.x);
  EXPECT_EQ(at.y, expected.y);
  std::this_thread::sleep_for(300ms);
  EXPECT_NE(DropDown(), nullptr) << "the release over the icon leaves the menu open";
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return DropDown() == nullptr; }, 30s));
}

TEST_F(SystemMenuInput, ChoosingMinimizeMinimizesTheWindow) {
  ASSERT_TRUE(started_);
  ASSERT_NE(form_, nullptr);
  ASSERT_TRUE(Focus());
  AltSpace();
  ASSERT_TRUE(WaitFor([&] { return DropDown() != nullptr; }, 30s));
  Press('N');  // Mi&nimize
  EXPECT_TRUE(WaitFor([&] { return ::IsIconic(form_) != FALSE; }, 30s));
  EXPECT_EQ(DropDown(), nullptr);
}

}  // namespace
}  // namespace kestrune
