// The real program's place seen from another process, inside a Wine desktop (whose size sets the
// work area): at its designed place where it fits, moved just enough to lie inside a desktop too
// small for it at its density.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "tests/support/program_win.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

TEST(WindowPlace, LiesInsideTheWorkAreaAndMovesOnlyWhenItMust) {
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  kestrune::test::TempDir work;
  kestrune::test::RunningProgram program(KESTRUNE_EXE, work.Folder());
  program.close_limit = 20s;
  ASSERT_NE(program.Form(), nullptr);
  ASSERT_TRUE(program.WaitUntilSettled());
  RECT window{};
  ASSERT_TRUE(::GetWindowRect(program.Form(), &window));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(
      ::GetMonitorInfoW(::MonitorFromWindow(program.Form(), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work_area = monitor.rcWork;
  SCOPED_TRACE(testing::Message() << "window (" << window.left << ", " << window.top << ")-("
                                  << window.right << ", " << window.bottom << "), work area ("
                                  << work_area.left << ", " << work_area.top << ")-("
                                  << work_area.right << ", " << work_area.bottom << ")");
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  ASSERT_LE(width, work_area.right - work_area.left) << "these desktops are wide enough";
  ASSERT_LE(height, work_area.bottom - work_area.top) << "these desktops are high enough";
  // Each edge: the designed place when the window fits there, else against the work area's edge.
  EXPECT_EQ(window.left, std::min(523L, work_area.right - width));
  EXPECT_EQ(window.top, std::min(133L, work_area.bottom - height));
}

}  // namespace
