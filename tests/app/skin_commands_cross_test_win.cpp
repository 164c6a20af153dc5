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
#include "skin/paint/skin_commands.h"
#include "tests/app/test_paths_win.h"
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

// kestrune.exe started in an empty folder (so Extract shows its "no list" message box).
class Program {
 public:
  explicit Program(const std::filesystem::path& folder) {
    const std::wstring exe = platform::Widen(test::WindowsPath(KESTRUNE_EXE));
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.wstring().c_str(), &startup, &process_))
      return;
    ::CloseHandle(process_.hThread);
    WaitFor(
        [&] {
          const auto forms = test::VisibleTopLevelWindows(process_.dwProcessId, L"KestruneForm");
          form = forms.empty() ? nullptr : forms.front();
          if (form == nullptr)
            return false;
          for (HWND child : test::ChildWindows(form)) {
            const std::wstring kind = ClassOf(child);
            if (::lstrcmpiW(kind.c_str(), L"Edit") == 0)
              log = child;
            else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Extract")
              extract = child;
            else if (::lstrcmpiW(kind.c_str(), L"Button") == 0 && TextOf(child) == "Results")
              group = child;
          }
          return log != nullptr && extract != nullptr && group != nullptr;
        },
        60s);
    ::WaitForInputIdle(process_.hProcess, 10000);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (process_.hProcess == nullptr)
      return;
    if (Alive()) {
      ::PostMessageW(form, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(process_.hProcess, 1);
    }
    ::CloseHandle(process_.hProcess);
  }

  [[nodiscard]] DWORD Pid() const { return process_.dwProcessId; }
  [[nodiscard]] bool Alive() const {
    return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
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

  HWND form = nullptr;
  HWND log = nullptr;
  HWND extract = nullptr;
  HWND group = nullptr;

 private:
  PROCESS_INFORMATION process_{};
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
  }

  // The screen inside `areas`, once all are painted and two looks a while apart agree.
  static std::vector<test::ScreenShot> StillPictures(const std::vector<RECT>& areas) {
    std::vector<test::ScreenShot> last = Shoot(areas);
    const bool still = WaitFor(
        [&] {
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
      for (std::size_t i = 0; i < before.size(); ++i) {
        test::SaveShot(before[i], name + "_" + std::to_string(i) + "_before");
        test::SaveShot(after[i], name + "_" + std::to_string(i) + "_after");
      }
    }
    EXPECT_TRUE(SamePictures(after, before)) << "the window looks different";
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
