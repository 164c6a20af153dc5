// kestrune-skin preview opened with each skin archive of the build, from another process, and
// driven with the real mouse as a user would: what shows is the skin's (no pixel in a system
// colour but the progress bar's), the border and the grip resize it, the caption buttons maximise
// and restore it, and the user's title buttons answer their hit codes and their clicks.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/build_path.h"
#include "tests/support/program_win.h"
#include "tests/support/real_input_win.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;

using test::MouseTo;
using test::WaitFor;

// The archives, separated by '|'.
std::vector<std::string> PreviewSkins() {
  std::vector<std::string> skins;
  std::stringstream list(KESTRUNE_PREVIEW_SKINS);
  for (std::string skin; std::getline(list, skin, '|');)
    skins.push_back(skin);
  return skins;
}

std::string NameOf(const std::string& archive) {
  const std::size_t slash = archive.find_last_of("/\\");
  std::string name = archive.substr(slash == std::string::npos ? 0 : slash + 1);
  return name.substr(0, name.size() - 4);  // ".asz"
}

// Presses the left button at `from`, moves in steps to `to` and lets go there.
void Drag(POINT from, POINT to) {
  MouseTo(from);
  MouseTo(from, MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 4; ++step)
    MouseTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  MouseTo(to, MOUSEEVENTF_LEFTUP);
}

void Click(POINT p) {
  MouseTo(p);
  MouseTo(p, MOUSEEVENTF_LEFTDOWN);
  MouseTo(p, MOUSEEVENTF_LEFTUP);
}

POINT Centre(const RECT& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

SIZE SizeOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The system colours the system draws its controls and frames with, each replaced by a colour no
// skin would give, and given back at the end.
class KeyedSystemColours {
 public:
  KeyedSystemColours() {
    for (std::size_t i = 0; i < kElements.size(); ++i) {
      saved_[i] = ::GetSysColor(kElements[i]);
      const auto step = static_cast<int>(i);
      keys_[i] = RGB(0x13 + 9 * step, 0xE1 - 7 * step, 0x5B + 5 * step);
    }
    ::SetSysColors(static_cast<int>(kElements.size()), kElements.data(), keys_.data());
  }
  KeyedSystemColours(const KeyedSystemColours&) = delete;
  KeyedSystemColours& operator=(const KeyedSystemColours&) = delete;
  ~KeyedSystemColours() {
    ::SetSysColors(static_cast<int>(kElements.size()), kElements.data(), saved_.data());
  }

  // The element whose key `pixel` (0x00RRGGBB) is, or -1.
  [[nodiscard]] int ElementOf(std::uint32_t pixel) const {
    const COLORREF colour = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      if (keys_[i] == colour)
        return kElements[i];
    }
    return -1;
  }

 private:
  static constexpr std::array<int, 23> kElements = {COLOR_SCROLLBAR,
                                                    COLOR_ACTIVECAPTION,
                                                    COLOR_INACTIVECAPTION,
                                                    COLOR_MENU,
                                                    COLOR_WINDOW,
                                                    COLOR_WINDOWFRAME,
                                                    COLOR_MENUTEXT,
                                                    COLOR_WINDOWTEXT,
                                                    COLOR_CAPTIONTEXT,
                                                    COLOR_ACTIVEBORDER,
                                                    COLOR_INACTIVEBORDER,
                                                    COLOR_BTNFACE,
                                                    COLOR_BTNSHADOW,
                                                    COLOR_GRAYTEXT,
                                                    COLOR_BTNTEXT,
                                                    COLOR_BTNHIGHLIGHT,
                                                    COLOR_3DDKSHADOW,
                                                    COLOR_3DLIGHT,
                                                    COLOR_GRADIENTACTIVECAPTION,
                                                    COLOR_MENUBAR,
                                                    COLOR_MENUHILIGHT,
                                                    COLOR_HIGHLIGHT,
                                                    COLOR_HIGHLIGHTTEXT};
  std::array<COLORREF, kElements.size()> saved_{};
  std::array<COLORREF, kElements.size()> keys_{};
};

// The system's classic look for the programs started meanwhile: a theme draws the system's
// controls in its own colours, not in the system colours that KeyedSystemColours marks. The
// setting is read when a program starts; it is given back at the end.
class ClassicLook {
 public:
  ClassicLook() {
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof saved_;
    had_value_ = ::RegQueryValueExW(key_, L"ThemeActive", nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
    saved_size_ = size;
    Set(L"0", sizeof L"0");
  }
  ClassicLook(const ClassicLook&) = delete;
  ClassicLook& operator=(const ClassicLook&) = delete;
  ~ClassicLook() {
    if (key_ == nullptr)
      return;
    if (had_value_)
      Set(saved_, saved_size_);
    else
      ::RegDeleteValueW(key_, L"ThemeActive");
    ::RegCloseKey(key_);
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
  void Set(const wchar_t* value, DWORD size) {
    ::RegSetValueExW(key_, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size);
  }

  HKEY key_ = nullptr;
  bool had_value_ = false;
  wchar_t saved_[16] = {};
  DWORD saved_size_ = 0;
};

class SkinPreview : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  }

  // Starts the preview of the test's skin and waits until it has settled.
  void Open() {
    const std::wstring archive = Wide(test::BuildPath(GetParam()));
    program_.emplace(KESTRUNE_SKIN_TOOL_PATH, std::string(), L"preview \"" + archive + L"\"");
    program_->close_limit = 30s;
    ASSERT_TRUE(program_->Started());
    form_ = program_->Form();
    ASSERT_NE(form_, nullptr) << "the preview did not show";
    ASSERT_TRUE(program_->WaitUntilSettled());
  }

  static std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

  [[nodiscard]] unsigned HitAt(POINT p) const {
    DWORD_PTR hit = 0;
    ::SendMessageTimeoutW(form_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), SMTO_ABORTIFHUNG, 5000,
                          &hit);
    return static_cast<unsigned>(hit);
  }

  // The screen rectangle where the form answers `code`, searched in `area`; empty when nowhere.
  [[nodiscard]] RECT AreaOf(unsigned code, const RECT& area) const {
    RECT found{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (LONG y = area.top; y < area.bottom; ++y) {
      for (LONG x = area.left; x < area.right; ++x) {
        if (HitAt({x, y}) != code)
          continue;
        found.left = std::min(found.left, x);
        found.top = std::min(found.top, y);
        found.right = std::max(found.right, x + 1);
        found.bottom = std::max(found.bottom, y + 1);
      }
    }
    return found.right > found.left ? found : RECT{};
  }

  // The middle row of the title bar, on the screen, where its buttons stand.
  [[nodiscard]] RECT TitleRow() const {
    RECT frame{};
    ::GetWindowRect(form_, &frame);
    const int dpi = static_cast<int>(::GetDpiForWindow(form_));
    const int middle = frame.top + ::GetSystemMetricsForDpi(SM_CYFRAME, static_cast<UINT>(dpi)) +
                       ::GetSystemMetricsForDpi(SM_CYCAPTION, static_cast<UINT>(dpi)) / 2;
    return {frame.left, middle, frame.right, middle + 1};
  }

  [[nodiscard]] bool Focus() const {
    ::SetForegroundWindow(form_);
    return WaitFor([&] { return ::GetForegroundWindow() == form_; }, 10s);
  }

  [[nodiscard]] std::string Label(const wchar_t* name) const {
    return test::ControlText(form_, name);
  }

  std::optional<test::RunningProgram> program_;
  HWND form_ = nullptr;
};

TEST_P(SkinPreview, CaptionNamesTheSkin) {
  Open();
  wchar_t caption[256] = {};
  ::GetWindowTextW(form_, caption, 256);
  EXPECT_EQ(test::Narrow(caption), "Skin preview - " + NameOf(GetParam()));
}

// Inside a Wine desktop only: elsewhere Wine shows no frame on the screen.
TEST_P(SkinPreview, NoPixelInASystemColourButTheProgressBars) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "the frame reaches the screen only inside a Wine desktop";
  const ClassicLook classic;
  const KeyedSystemColours keys;
  Open();
  HWND progress = nullptr;
  for (HWND child : test::ChildWindows(form_)) {
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (std::wstring(name) == PROGRESS_CLASSW)
      progress = child;
  }
  ASSERT_NE(progress, nullptr);
  RECT frame{};
  ::GetWindowRect(form_, &frame);
  RECT bar{};
  ::GetWindowRect(progress, &bar);
  // Corners cut by the window's region show the desktop, which is not the window's.
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  const bool has_region = ::GetWindowRgn(form_, region) != ERROR;
  test::ScreenShot shot;
  int found = 0;
  std::string first;
  const auto read = [&] {
    shot = test::ShootScreen(frame);
    found = 0;
    first.clear();
    for (int y = 0; y < shot.height; ++y) {
      for (int x = 0; x < shot.width; ++x) {
        const POINT p{frame.left + x, frame.top + y};
        if (::PtInRect(&bar, p) || (has_region && !::PtInRegion(region, x, y)))
          continue;
        const int element = keys.ElementOf(shot.At(x, y));
        if (element < 0)
          continue;
        if (found++ == 0) {
          char text[96];
          std::snprintf(text, sizeof text, "(%d, %d) in system colour %d", x, y, element);
          first = text;
        }
      }
    }
    return found == 0;
  };
  // The desktop shows what the program drew a moment later.
  WaitFor(read, 10s, 500ms);
  ::DeleteObject(region);
  test::SaveShot(shot,
                 "preview_" + NameOf(GetParam()) + "_" + std::to_string(::GetDpiForWindow(form_)));
  EXPECT_EQ(found, 0) << "pixels in a system colour, the first at " << first;
}

TEST_P(SkinPreview, ResizesByItsBorderWithTheMouse) {
  Open();
  ASSERT_TRUE(Focus());
  RECT frame{};
  ::GetWindowRect(form_, &frame);
  const SIZE before = SizeOf(form_);
  const RECT right_edge{frame.right - 12, (frame.top + frame.bottom) / 2, frame.right,
                        (frame.top + frame.bottom) / 2 + 1};
  const RECT border = AreaOf(HTRIGHT, right_edge);
  ASSERT_LT(border.left, border.right) << "no right border answers HTRIGHT";
  const POINT from{(border.left + border.right) / 2, border.top};
  Drag(from, {from.x + 60, from.y});
  EXPECT_TRUE(WaitFor([&] { return SizeOf(form_).cx >= before.cx + 50; }, 10s))
      << "width " << before.cx << " -> " << SizeOf(form_).cx;

  ::GetWindowRect(form_, &frame);
  const RECT bottom_edge{(frame.left + frame.right) / 2, frame.bottom - 12,
                         (frame.left + frame.right) / 2 + 1, frame.bottom};
  const RECT lower = AreaOf(HTBOTTOM, bottom_edge);
  ASSERT_LT(lower.top, lower.bottom) << "no lower border answers HTBOTTOM";
  const SIZE wider = SizeOf(form_);
  const POINT down{lower.left, (lower.top + lower.bottom) / 2};
  Drag(down, {down.x, down.y + 40});
  EXPECT_TRUE(WaitFor([&] { return SizeOf(form_).cy >= wider.cy + 30; }, 10s))
      << "height " << wider.cy << " -> " << SizeOf(form_).cy;
}

TEST_P(SkinPreview, ResizesByItsGripWithTheMouse) {
  Open();
  ASSERT_TRUE(Focus());
  RECT client{};
  ::GetClientRect(form_, &client);
  ::MapWindowPoints(form_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const RECT corner{client.right - 24, client.bottom - 24, client.right, client.bottom};
  const RECT grip = AreaOf(HTBOTTOMRIGHT, corner);
  if (grip.right <= grip.left)
    GTEST_SKIP() << "no size grip answers in the client's corner yet";
  const SIZE before = SizeOf(form_);
  const POINT from = Centre(grip);
  Drag(from, {from.x + 50, from.y + 30});
  EXPECT_TRUE(WaitFor(
      [&] {
        const SIZE now = SizeOf(form_);
        return now.cx >= before.cx + 40 && now.cy >= before.cy + 20;
      },
      10s));
}

// Inside a Wine desktop only: elsewhere Wine shows no frame to click.
TEST_P(SkinPreview, MaximisesAndRestoresByItsCaptionButtons) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "the frame reaches the screen only inside a Wine desktop";
  Open();
  ASSERT_TRUE(Focus());
  RECT before{};
  ::GetWindowRect(form_, &before);
  const RECT maximise = AreaOf(HTMAXBUTTON, TitleRow());
  ASSERT_LT(maximise.left, maximise.right) << "no maximise button in the title";
  Click(Centre(maximise));
  ASSERT_TRUE(WaitFor([&] { return ::IsZoomed(form_) != FALSE; }, 10s)) << "not maximised";
  // The restore button stands where the maximise button stood, relative to the right edge.
  RECT restore{};
  ASSERT_TRUE(WaitFor(
      [&] {
        restore = AreaOf(HTMAXBUTTON, TitleRow());
        return restore.left < restore.right;
      },
      10s))
      << "no restore button in the maximised title";
  Click(Centre(restore));
  ASSERT_TRUE(WaitFor([&] { return ::IsZoomed(form_) == FALSE; }, 10s)) << "not restored";
  RECT after{};
  EXPECT_TRUE(WaitFor(
      [&] {
        ::GetWindowRect(form_, &after);
        return ::EqualRect(&after, &before) != FALSE;
      },
      10s))
      << "restored to " << after.left << "," << after.top << " " << after.right << ","
      << after.bottom;
}

// A user's title button answers 1000 + its index and, clicked, tells the window.
TEST_P(SkinPreview, UserTitleButtonsAnswerTheirHitCodesAndClick) {
  Open();
  ASSERT_TRUE(Focus());
  const RECT first = AreaOf(1000, TitleRow());
  if (first.right <= first.left)
    GTEST_SKIP() << "no user title button in the title yet";
  const RECT second = AreaOf(1001, TitleRow());
  ASSERT_LT(second.left, second.right) << "the second user title button";
  Click(Centre(first));
  EXPECT_TRUE(WaitFor([&] { return Label(L"LabelTitleButtons") == "Title button 1 pressed"; }, 10s))
      << Label(L"LabelTitleButtons");
  Click(Centre(second));
  EXPECT_TRUE(WaitFor([&] { return Label(L"LabelTitleButtons") == "Title button 2 pressed"; }, 10s))
      << Label(L"LabelTitleButtons");
}

INSTANTIATE_TEST_SUITE_P(EachSkin, SkinPreview, ::testing::ValuesIn(PreviewSkins()),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           std::string name = NameOf(row.param);
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kestrune
