// The About drop-down of kestrune.exe opened from another process with the keyboard, as a user
// would: the drop-down window carries the skin's wrapper, opacity and rounded region, and Escape
// closes it.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "skin/data/skin_commands.h"
#include "tests/support/program_win.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;

using test::WaitFor;

void PostKey(HWND window, UINT key, bool system) {
  ::PostMessageW(window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
  ::PostMessageW(window, system ? WM_SYSKEYUP : WM_KEYUP, key, LPARAM{1} | (LPARAM{3} << 30));
}

TEST(MenuKeyboard, AboutDropDownIsSkinnedAndEscapeClosesIt) {
  test::RunningProgram program(KESTRUNE_EXE);
  program.close_limit = 30s;
  const HWND form = program.Form();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(program.WaitUntilSettled());

  PostKey(form, VK_F10, true);
  PostKey(form, VK_DOWN, false);
  HWND drop_down = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        const auto menus = test::VisibleTopLevelWindows(program.Pid(), L"#32768");
        drop_down = menus.empty() ? nullptr : menus.front();
        return drop_down != nullptr;
      },
      30s));

  DWORD_PTR handled = 0;
  EXPECT_NE(::SendMessageTimeoutW(drop_down, skin::SM_ALPHACMD,
                                  skin::MakeCommandParam(skin::AC_CTRLHANDLED), 0, SMTO_ABORTIFHUNG,
                                  10000, &handled),
            0);
  EXPECT_EQ(handled, 1u);  // the skin's wrapper answers for the drop-down
  EXPECT_NE(::GetWindowLongW(drop_down, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(::GetLayeredWindowAttributes(drop_down, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 254);
  EXPECT_EQ(::GetClassLongPtrW(drop_down, GCL_STYLE) & CS_DROPSHADOW, 0u);
  // The region loses the corner pixels and keeps the rest.
  ASSERT_TRUE(WaitFor(
      [&] {
        HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
        const int kind = ::GetWindowRgn(drop_down, probe);
        ::DeleteObject(probe);
        return kind != ERROR;
      },
      10s));
  RECT window{};
  ::GetWindowRect(drop_down, &window);
  const int w = window.right - window.left;
  const int h = window.bottom - window.top;
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(drop_down, region), ERROR);
  for (const POINT corner : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
    EXPECT_FALSE(::PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
  EXPECT_TRUE(::PtInRegion(region, w / 2, 0));
  EXPECT_TRUE(::PtInRegion(region, 0, h / 2));
  EXPECT_TRUE(::PtInRegion(region, w / 2, h / 2));
  ::DeleteObject(region);

  PostKey(form, VK_ESCAPE, false);
  EXPECT_TRUE(
      WaitFor([&] { return test::VisibleTopLevelWindows(program.Pid(), L"#32768").empty(); }, 30s));
  PostKey(form, VK_ESCAPE, false);
}

}  // namespace
}  // namespace kestrune
