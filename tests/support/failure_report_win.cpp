// Linked into every Windows test program: when a check fails, the test's output says what the
// session looked like at that moment (every visible window with its class, styles and place, the
// cursor, the foreground window) and where a picture of the screen was saved, so that one failure
// in CI is enough to understand it.

#include "tests/support/failure_report_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/build_path.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/windows_of_win.h"

namespace kestrune::test {
namespace {

std::string SessionReport() {
  std::string report = "--- the session when the check failed ---\n";
  POINT cursor{};
  ::GetCursorPos(&cursor);
  report += "cursor (" + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + "), screen " +
            std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
            std::to_string(::GetSystemMetrics(SM_CYSCREEN)) + ", window under the cursor ";
  HWND under = ::WindowFromPoint(cursor);
  report += under != nullptr ? DescribeWindow(under) : std::string("none");
  HWND foreground = ::GetForegroundWindow();
  report +=
      "\nforeground " + (foreground != nullptr ? DescribeWindow(foreground) : std::string("none"));
  report += "\nvisible top-level windows, top first:\n";
  std::size_t hidden = 0;
  for (HWND window : TopLevelWindows(0, true)) {
    if (::IsWindowVisible(window) == FALSE) {
      ++hidden;
      continue;
    }
    report += "  " + DescribeWindow(window) + "\n";
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
      report += "    " + DescribeWindow(child) + "\n";
  }
  report += "and " + std::to_string(hidden) + " hidden top-level windows\n";
  return report;
}

class FailureReporter : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& /*test*/) override { reported_ = false; }

  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (!result.failed() || reported_)
      return;
    reported_ = true;  // the first failure of a test shows the state that caused it
    std::string report = SessionReport();
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name()
                                       : std::string("outside-a-test");
    for (char& c : name)
      c = (c == '/' || c == '\\' || c == ':') ? '_' : c;
    const std::string folder = FailureFolder();
    const ScreenShot shot =
        ShootScreen(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    if (SaveShotTo(shot, folder + "\\" + name + ".png"))
      report += "screen saved as " + folder + "\\" + name + ".png\n";
    std::fputs(report.c_str(), stdout);
    std::fflush(stdout);
  }

  bool reported_ = false;
};

const bool kRegistered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new FailureReporter);
  return true;
}();

}  // namespace

std::string FailureFolder() {
  std::string folder;
  if (const char* named = std::getenv("KESTRUNE_FAILURE_DIR"); named != nullptr && *named != 0) {
    folder = BuildPath(named);
  } else {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::string program = Narrow(std::wstring(path, length));
    const std::size_t slash = program.find_last_of("\\/");
    folder =
        (slash == std::string::npos ? std::string(".") : program.substr(0, slash)) + "\\failures";
  }
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

}  // namespace kestrune::test
