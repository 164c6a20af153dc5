// The glow seen from another process, as any program on the desktop sees it: the real cursor
// moved over a skinned memo of the glow host and away again. The test runs at the density of
// its Wine prefix (96, and 144 in the second ctest entry).

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "skin/controls/glow_win.h"
#include "skin/data/skin_manager.h"
#include "tests/support/program_win.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune::skin {
namespace {

using namespace std::chrono_literals;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
  return test::WaitFor(condition, limit, 5ms);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// Top-level windows, visible ones only unless `hidden_too`, of process `pid` (0: all).
std::set<HWND> TopLevelWindows(DWORD pid, bool hidden_too) {
  const std::vector<HWND> found = test::TopLevelWindows(pid, hidden_too);
  return {found.begin(), found.end()};
}

void MoveCursor(POINT to) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((to.x * 65535LL + (w - 1) / 2) / (w - 1));
  input.mi.dy = static_cast<LONG>((to.y * 65535LL + (h - 1) / 2) / (h - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof input);
}

POINT Centre(const RECT& r) {
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

RECT WindowRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

// The glow host (or the program) in a process of its own, settled before it is hovered, closed
// with its form.
class GlowHost {
 public:
  explicit GlowHost(const char* program) : program_(program) {
    form = program_.Form();
    if (form == nullptr || !program_.WaitUntilSettled())
      return;
    ::EnumChildWindows(
        form,
        [](HWND child, LPARAM param) -> BOOL {
          if (::lstrcmpiW(ClassOf(child).c_str(), L"EDIT") != 0)
            return TRUE;
          *reinterpret_cast<HWND*>(param) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&memo));
  }

  [[nodiscard]] DWORD Pid() const { return program_.Pid(); }
  [[nodiscard]] std::set<HWND> Windows() const { return TopLevelWindows(Pid(), true); }
  // The GDI objects the host holds, as it counts them itself (-1 when it does not answer).
  [[nodiscard]] long long GdiObjects() const {
    static const UINT message = ::RegisterWindowMessageW(L"KestruneGlowHostGdiObjects");
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutW(form, message, 0, 0, SMTO_NORMAL, 10000, &answer) == 0)
      return -1;
    return static_cast<long long>(answer);
  }
  // The host's visible glow windows.
  [[nodiscard]] std::vector<HWND> Glows() const {
    std::vector<HWND> glows;
    for (HWND window : TopLevelWindows(Pid(), false))
      if (ClassOf(window) == kGlowFormClass)
        glows.push_back(window);
    return glows;
  }

  HWND form = nullptr;
  HWND memo = nullptr;

 private:
  test::RunningProgram program_;
};

// How far the built-in skin's EDIT glow reaches beyond the control at this density.
int GlowSide(int ppi) {
  HeadlessSkinPlatform platform(ppi);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SetSkinName(std::string(kBuiltinSkinName));
  const TacSkinData& sd = manager.CommonSkinData(ppi);
  const int edit = sd.GetSkinIndex("EDIT");
  const int image = sd.GetMaskIndex(edit, "GLOW0");
  if (edit < 0 || image < 0)
    return -1;
  return sd.ma[static_cast<std::size_t>(image)].WL -
         sd.gd[static_cast<std::size_t>(edit)].GlowMargin;
}

// The program hovered: the glow host, or the program's main window with its results log.
class GlowCrossProcessTest : public testing::TestWithParam<const char*> {
 protected:
  GlowCrossProcessTest() : away_(ParkCursor()), host_(GetParam()) {}

  void SetUp() override {
    ASSERT_NE(host_.form, nullptr) << "the glow host did not show its form";
    ASSERT_NE(host_.memo, nullptr) << "the program did not settle, or has no memo";
  }

  // The cursor is moved off the program's place before the program starts: a window that
  // appears under the cursor is hovered at once, and its glow would be counted as the test's.
  static POINT ParkCursor() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const POINT away{::GetSystemMetrics(SM_CXSCREEN) - 20, ::GetSystemMetrics(SM_CYSCREEN) - 20};
    MoveCursor(away);
    return away;
  }

  // Hovers the memo and returns the one glow window that came, or nullptr.
  HWND Hover() {
    POINT centre = Centre(WindowRect(host_.memo));
    MoveCursor(centre);
    std::vector<HWND> glows;
    // On a loaded machine a move can reach the window before it tracks the mouse again; one
    // more move then tells it.
    for (int attempt = 0; attempt < 3 && glows.empty(); ++attempt) {
      if (attempt > 0) {
        ++centre.x;
        MoveCursor(centre);
      }
      WaitFor([&] { return !(glows = host_.Glows()).empty(); }, 3s);
    }
    return glows.size() == 1 ? glows.front() : nullptr;
  }

  POINT away_{};
  GlowHost host_;
};

TEST_P(GlowCrossProcessTest, OneClickThroughToolWindowAroundTheMemoThatGoesWithTheCursor) {
  const int ppi = static_cast<int>(::GetDpiForWindow(host_.form));
  SCOPED_TRACE(std::to_string(ppi) + " PPI");
  RecordProperty("ppi", ppi);
  // The glow comes from the skin copy the control paints with: the window's density, also for
  // the program's log, which first asks for it before its window shows.
  const int side = GlowSide(ppi);
  ASSERT_GT(side, 0);
  RecordProperty("margin", side);
  const std::set<HWND> before = TopLevelWindows(0, false);

  MoveCursor(Centre(WindowRect(host_.memo)));
  // Every new window, described when first seen: one that comes and goes is named too.
  std::map<HWND, std::string> added;
  const auto look = [&] {
    for (HWND window : TopLevelWindows(0, false))
      if (!before.contains(window) && !added.contains(window))
        added.emplace(window, test::DescribeWindow(window));
    return !added.empty();
  };
  WaitFor(look, 5s);
  // Whatever else the hover brings comes within this time; nothing should.
  const auto quiet_until = std::chrono::steady_clock::now() + 200ms;
  WaitFor([&] { return look() && std::chrono::steady_clock::now() >= quiet_until; }, 1s);
  std::string seen;
  for (const auto& [window, description] : added)
    seen += "\n  " + description;
  ASSERT_EQ(added.size(), 1u) << "exactly one new top-level window; came:" << seen;
  HWND glow = added.begin()->first;

  DWORD owner = 0;
  ::GetWindowThreadProcessId(glow, &owner);
  EXPECT_EQ(owner, host_.Pid());
  const LONG_PTR ex_style = ::GetWindowLongPtrW(glow, GWL_EXSTYLE);
  EXPECT_NE(ex_style & WS_EX_LAYERED, 0) << "layered";
  EXPECT_NE(ex_style & WS_EX_TRANSPARENT, 0) << "click-through";
  EXPECT_NE(ex_style & WS_EX_TOOLWINDOW, 0) << "no task-bar button";
  EXPECT_NE(ex_style & WS_EX_NOACTIVATE, 0) << "never activated";
  EXPECT_EQ(::GetWindowLongPtrW(glow, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_CHILD), 0);
  EXPECT_EQ(::GetClassLongPtrW(glow, GCL_STYLE) & CS_DROPSHADOW, 0);
  EXPECT_NE(::GetForegroundWindow(), glow);

  const RECT memo = WindowRect(host_.memo);
  const RECT got = WindowRect(glow);
  const auto around = [&](int m) {
    const RECT expected{memo.left - m, memo.top - m, memo.right + m, memo.bottom + m};
    return ::EqualRect(&got, &expected) != FALSE;
  };
  EXPECT_TRUE(around(side)) << "glow (" << got.left << "," << got.top << ")-(" << got.right << ","
                            << got.bottom << "), memo (" << memo.left << "," << memo.top << ")-("
                            << memo.right << "," << memo.bottom << "), margin " << side;
  EXPECT_EQ(::GetWindow(host_.form, GW_HWNDPREV), glow) << "directly above the form";

  for (const POINT border : {POINT{got.left + 1, (got.top + got.bottom) / 2},
                             POINT{(got.left + got.right) / 2, got.top + 1}}) {
    const HWND under = ::WindowFromPoint(border);
    EXPECT_NE(under, glow);
    EXPECT_TRUE(under != host_.memo && (under == host_.form || ::IsChild(host_.form, under)))
        << "the form's windows lie under the glow's border";
  }
  EXPECT_EQ(::WindowFromPoint(Centre(memo)), host_.memo);

  MoveCursor(away_);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindow(glow) == FALSE || ::IsWindowVisible(glow) == FALSE; },
                      1000ms))
      << "gone within a second after the cursor left";
  EXPECT_TRUE(WaitFor([&] { return ::IsWindow(glow) == FALSE; }, 3s)) << "and destroyed";
}

using GlowHostTest = GlowCrossProcessTest;

TEST_P(GlowHostTest, FiftyVisitsLeaveNoWindowOrGdiObjectBehind) {
  // One visit first: the window class, the skin's pictures and caches are made once.
  ASSERT_NE(Hover(), nullptr);
  MoveCursor(away_);
  // Its glow window is destroyed a moment after it hides.
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND window : host_.Windows())
          if (ClassOf(window) == kGlowFormClass)
            return false;
        return true;
      },
      3s));
  const std::size_t windows = host_.Windows().size();
  const long long gdi = host_.GdiObjects();
  ASSERT_GT(gdi, 0);

  for (int visit = 0; visit < 50; ++visit) {
    SCOPED_TRACE(visit);
    HWND glow = Hover();
    ASSERT_NE(glow, nullptr);
    MoveCursor(away_);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindow(glow) == FALSE; }, 3s));
  }
  // The last glow's objects go with its deferred release.
  WaitFor([&] { return host_.Windows().size() == windows && host_.GdiObjects() == gdi; }, 3s);
  EXPECT_EQ(host_.Windows().size(), windows);
  EXPECT_EQ(host_.GdiObjects(), gdi);
  RecordProperty("gdi_objects", static_cast<int>(gdi));
  RecordProperty("windows", static_cast<int>(windows));
}

INSTANTIATE_TEST_SUITE_P(Programs, GlowCrossProcessTest,
                         testing::Values(KESTRUNE_GLOW_HOST, KESTRUNE_EXE));
// The host counts its GDI objects on request; the program's window does not.
INSTANTIATE_TEST_SUITE_P(Host, GlowHostTest, testing::Values(KESTRUNE_GLOW_HOST));

}  // namespace
}  // namespace kestrune::skin
