// Skin commands with junk pointers from another process, as any program on the desktop can post
// or send them to kestrune.exe's windows: in the main loop, in a drop-down menu's loop and in a
// message box's loop the program must go on running, answering and looking the same.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/win_util.h"
#include "skin/data/skin_commands.h"
#include "tests/support/failure_report_win.h"
#include "tests/support/program_win.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;
using test::WaitFor;

// Not addresses of the program: low, unmapped, and in the kernel's half.
constexpr LPARAM kJunkPointers[] = {1, static_cast<LPARAM>(0xDEADBEEF),
                                    static_cast<LPARAM>(0xFFFF800000001000ull)};
constexpr std::uint16_t kLastCommand = 100;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::string TextOf(HWND window) {
  wchar_t text[64] = {};
  ::GetWindowTextW(window, text, 64);
  return platform::Narrow(text);
}

void PostKey(HWND window, UINT key, bool system) {
  ::PostMessageW(window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
  ::PostMessageW(window, system ? WM_SYSKEYUP : WM_KEYUP, key, LPARAM{1} | (LPARAM{3} << 30));
}

bool SamePicture(const test::ScreenShot& a, const test::ScreenShot& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// kestrune.exe started in an empty folder (so Extract shows its "no list" message box), looked
// at only once it has settled: the window's pictures before and after must not differ by the end
// of its start-up.
class Program {
 public:
  explicit Program(const std::filesystem::path& folder) : program_(KESTRUNE_EXE, folder.string()) {
    form = program_.Form();
    if (form == nullptr)
      return;
    for (HWND child : test::ChildWindows(form)) {
      const std::wstring kind = ClassOf(child);
      if (::lstrcmpiW(kind.c_str(), L"Edit") == 0)
        log = child;
      else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Extract")
        extract = child;
      else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Results")
        group = child;
    }
    settled = program_.WaitUntilSettled();
  }

  [[nodiscard]] DWORD Pid() const { return program_.Pid(); }
  [[nodiscard]] bool Alive() const { return program_.Running(); }
  [[nodiscard]] bool Answers() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
  }
  // Every window of the program: its top-level windows, shown or not, and all their children.
  [[nodiscard]] std::vector<HWND> Windows() const {
    std::vector<HWND> all;
    for (HWND top : test::TopLevelWindows(Pid(), true)) {
      all.push_back(top);
      for (HWND child : test::ChildWindows(top))
        all.push_back(child);
    }
    return all;
  }
  // Waits for a visible top-level window of the program of class `class_name`; nullptr if none.
  [[nodiscard]] HWND Shown(const wchar_t* class_name) const {
    HWND shown = nullptr;
    WaitFor(
        [&] {
          const auto windows = test::VisibleTopLevelWindows(Pid(), class_name);
          shown = windows.empty() ? nullptr : windows.front();
          return shown != nullptr;
        },
        30s);
    return shown;
  }
  [[nodiscard]] bool Gone(const wchar_t* class_name) const {
    return WaitFor([&] { return test::VisibleTopLevelWindows(Pid(), class_name).empty(); }, 30s);
  }
  // Waits until the program has taken every message posted to it before: a marker posted last
  // reaches the log after all of them (one queue, in order), and the log's limit, which the
  // program never reads, tells that it came.
  [[nodiscard]] bool TakeAllPosted() const {
    DWORD_PTR limit = 0;
    if (::SendMessageTimeoutW(log, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 10000, &limit) == 0)
      return false;
    const DWORD_PTR marker = limit == 0x7654321 ? 0x7654322 : 0x7654321;
    ::PostMessageW(log, EM_SETLIMITTEXT, marker, 0);
    const bool taken = WaitFor(
        [&] {
          DWORD_PTR now = 0;
          return ::SendMessageTimeoutW(log, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 10000, &now) !=
                     0 &&
                 now == marker;
        },
        60s);
    ::PostMessageW(log, EM_SETLIMITTEXT, limit, 0);
    return taken;
  }

  // Every posted message taken and no shown window of the program waiting for a paint: what the
  // screen shows now is what the program drew. A drop-down that has just opened shows white until
  // its first paint, however long a loaded machine keeps it so.
  [[nodiscard]] bool DoneDrawing() const {
    if (!TakeAllPosted())
      return false;
    const std::vector<HWND> windows = Windows();
    return std::none_of(windows.begin(), windows.end(), [](HWND window) {
      return ::IsWindowVisible(window) && ::GetUpdateRect(window, nullptr, FALSE);
    });
  }

  HWND form = nullptr;
  HWND log = nullptr;
  HWND extract = nullptr;
  HWND group = nullptr;
  bool settled = false;

 private:
  test::RunningProgram program_;
};

RECT WindowArea(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

// The screen inside `areas`, one picture after the other.
std::vector<test::ScreenShot> Shoot(const std::vector<RECT>& areas) {
  std::vector<test::ScreenShot> shots;
  for (const RECT& area : areas)
    shots.push_back(test::ShootScreen(area));
  return shots;
}

bool SamePictures(const std::vector<test::ScreenShot>& a, const std::vector<test::ScreenShot>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SamePicture);
}

// More than a background colour in each picture.
bool Painted(const std::vector<test::ScreenShot>& shots) {
  return std::all_of(shots.begin(), shots.end(), [](const test::ScreenShot& shot) {
    return std::set<std::uint32_t>(shot.pixels.begin(), shot.pixels.end()).size() > 2;
  });
}

std::vector<std::uint16_t> EveryCommand() {
  std::vector<std::uint16_t> commands;
  for (std::uint16_t command = 0; command <= kLastCommand; ++command)
    commands.push_back(command);
  return commands;
}

class SkinCommandsFromAnotherProcess : public testing::Test {
 protected:
  SkinCommandsFromAnotherProcess() : program_(folder_.path()) {}

  void SetUp() override {
    ASSERT_NE(program_.form, nullptr) << "the program did not show its window";
    ASSERT_NE(program_.log, nullptr);
    ASSERT_NE(program_.extract, nullptr);
    ASSERT_NE(program_.group, nullptr);
    ASSERT_TRUE(program_.settled) << "the program did not settle after its start";
  }

  // The screen inside `areas`, once the program has drawn everything and two looks a while apart
  // agree.
  std::vector<test::ScreenShot> StillPictures(const std::vector<RECT>& areas) const {
    std::vector<test::ScreenShot> last = Shoot(areas);
    const bool still = WaitFor(
        [&] {
          if (!program_.DoneDrawing())
            return false;
          std::vector<test::ScreenShot> now = Shoot(areas);
          const bool same = SamePictures(now, last) && Painted(now);
          last = std::move(now);
          return same;
        },
        30s, 500ms);
    EXPECT_TRUE(still) << "the window did not come to rest";
    return last;
  }

  // Posts, then sends, each of `commands` with every junk pointer to every window of the
  // program; then the program must still be running and answering, and show `areas` as before.
  void ExpectUnharmedBy(const std::vector<std::uint16_t>& commands, const std::vector<RECT>& areas,
                        const std::string& name) const {
    const std::vector<test::ScreenShot> before = StillPictures(areas);
    const std::vector<HWND> windows = program_.Windows();
    for (HWND window : {program_.form, program_.log, program_.extract, program_.group})
      EXPECT_NE(std::find(windows.begin(), windows.end(), window), windows.end());
    int refused = 0;
    for (HWND window : windows) {
      for (const std::uint16_t command : commands) {
        for (const LPARAM junk : kJunkPointers) {
          if (!::PostMessageW(window, skin::SM_ALPHACMD, skin::MakeCommandParam(command), junk))
            ++refused;
        }
      }
    }
    EXPECT_EQ(refused, 0) << "posts the queue did not take";
    ASSERT_TRUE(program_.TakeAllPosted()) << "the program no longer takes posted messages";
    ASSERT_TRUE(program_.Alive()) << "the program ended";
    for (HWND window : windows) {
      for (const std::uint16_t command : commands) {
        for (const LPARAM junk : kJunkPointers) {
          DWORD_PTR ignored = 0;
          ::SendMessageTimeoutW(window, skin::SM_ALPHACMD, skin::MakeCommandParam(command), junk,
                                SMTO_ABORTIFHUNG, 10000, &ignored);
        }
      }
    }
    ASSERT_TRUE(program_.Alive()) << "the program ended";
    EXPECT_TRUE(program_.Answers());
    const std::vector<test::ScreenShot> after = StillPictures(areas);
    if (!SamePictures(after, before)) {
      const std::string folder = test::FailureFolder();
      for (std::size_t i = 0; i < before.size(); ++i) {
        for (const auto& [shot, when] : {std::pair{&before[i], "before"}, {&after[i], "after"}})
          test::SaveShotTo(*shot,
                           folder + "\\" + name + "_" + std::to_string(i) + "_" + when + ".png");
      }
      ADD_FAILURE() << "the window looks different after " << name << "; its pictures before and "
                    << "after are in " << folder;
    }
  }

  test::TempDir folder_;
  Program program_;
};

TEST_F(SkinCommandsFromAnotherProcess, MainLoopTakesThemUnharmed) {
  const std::vector<RECT> window{WindowArea(program_.form)};
  // Alone, with no command after it that would skin the window again.
  ExpectUnharmedBy({skin::AC_REMOVESKIN}, window, "remove_skin");
  ExpectUnharmedBy(EveryCommand(), window, "main_loop");
}

TEST_F(SkinCommandsFromAnotherProcess, DropDownMenuLoopTakesThemUnharmed) {
  PostKey(program_.form, VK_F10, true);
  PostKey(program_.form, VK_DOWN, false);
  const HWND drop_down = program_.Shown(L"#32768");
  ASSERT_NE(drop_down, nullptr);
  // The drop-down and the client area: a repaint of the frame while a drop-down is open shows
  // its menu-bar item as not selected, whoever asks for it.
  RECT client{};
  ::GetClientRect(program_.form, &client);
  ::MapWindowPoints(program_.form, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ExpectUnharmedBy(EveryCommand(), {WindowArea(drop_down), client}, "menu_loop");
  EXPECT_TRUE(::IsWindowVisible(drop_down)) << "the drop-down is still open";
  PostKey(program_.form, VK_ESCAPE, false);
  PostKey(program_.form, VK_ESCAPE, false);
  EXPECT_TRUE(program_.Gone(L"#32768"));
}

TEST_F(SkinCommandsFromAnotherProcess, MessageBoxLoopTakesThemUnharmed) {
  // Posted, the click runs the box's loop outside any message another process sent.
  ::PostMessageW(program_.extract, BM_CLICK, 0, 0);
  const HWND box = program_.Shown(L"#32770");
  ASSERT_NE(box, nullptr);
  ExpectUnharmedBy(EveryCommand(), {WindowArea(program_.form), WindowArea(box)},
                   "message_box_loop");
  ASSERT_TRUE(::IsWindowVisible(box)) << "the message box is still open";
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program_.Gone(L"#32770"));
  EXPECT_TRUE(program_.Answers());
}

}  // namespace
}  // namespace kestrune
