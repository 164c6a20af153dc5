// What the glow reads from real windows: the windows lying above a control, its visible part and
// the window above a form.

#include "skin/controls/glow_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kestrune::skin {
namespace {

TRect ScreenRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return Rect(r.left, r.top, r.right, r.bottom);
}

class GlowWinTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(form_, nullptr);
    control_ = Child(50, 50, 150, 50, true);
    hidden_ = Child(0, 60, 300, 10, false);
    strip_ = Child(0, 80, 300, 10, true);  // crosses the control without a corner inside it
    beside_ = Child(250, 0, 40, 40, true);
    // Top to bottom: beside, strip, hidden, control.
    for (HWND w : {hidden_, strip_, beside_})
      ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(control_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  void TearDown() override { ::DestroyWindow(form_); }

  HWND Child(int x, int y, int w, int h, bool visible) {
    return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | (visible ? WS_VISIBLE : 0), x, y, w, h,
                             form_, nullptr, nullptr, nullptr);
  }

  WinGlowPlatform platform_;
  HWND form_ = nullptr;
  HWND control_ = nullptr;
  HWND hidden_ = nullptr;
  HWND strip_ = nullptr;
  HWND beside_ = nullptr;
};

TEST_F(GlowWinTest, WindowsAboveSkipHiddenOnesAndGoOnPastThem) {
  const std::vector<TRect> above = platform_.WindowsAbove(control_);
  EXPECT_EQ(above, (std::vector<TRect>{ScreenRect(strip_), ScreenRect(beside_)}));
}

TEST_F(GlowWinTest, TheVisiblePartOfAHiddenControlIsEmpty) {
  EXPECT_EQ(platform_.VisibleWindowRect(control_), ScreenRect(control_));
  ::ShowWindow(control_, SW_HIDE);
  EXPECT_TRUE(platform_.VisibleWindowRect(control_).IsEmpty());
}

TEST_F(GlowWinTest, TheWindowAboveAFormIsNeverAGlow) {
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                 nullptr, nullptr, nullptr);
  ::SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(form_, other, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(::GetWindow(form_, GW_HWNDPREV), other);

  std::unique_ptr<TacGlowWindow> glow = platform_.CreateGlowWindow();
  ASSERT_NE(glow, nullptr);
  Bitmap picture = CreateBmp32(10, 10);
  glow->Show(picture, TPoint{60, 60}, 255, TacGlowPlace{TacGlowPlace::Kind::Below, other});
  EXPECT_EQ(platform_.WindowAbove(form_), other);
  glow.reset();
  ::DestroyWindow(other);
}

}  // namespace
}  // namespace kestrune::skin
