// The results log's context menu of kestrune.exe opened from another process with real input, as
// a user would: a right click on the log, the keyboard's menu key and Shift+F10 drop the skinned
// menu (the skin's wrapper and the skin's colours, not the system's light menu), and its commands
// do what the edit control's own do: Select All then Copy puts the log's text on the clipboard,
// Delete empties the log, Undo brings its text back, Paste puts in the clipboard's.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/drop_down_win.h"
#include "tests/support/program_win.h"
#include "tests/support/real_input_win.h"
#include "tests/support/screen_shot_win.h"
#include "tests/support/wait_for.h"
#include "tests/support/windows_of_win.h"

namespace kestrune {
namespace {

using namespace std::chrono_literals;

using test::Keys;
using test::MouseTo;
using test::Press;
using test::WaitFor;

constexpr wchar_t kLogText[] = L"Processing: 10.0.0.0/30\r\nDone: 10.0.0.0/30\r\n";
constexpr wchar_t kPasted[] = L"10.1.0.0/24";

std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr))
    return L"<clipboard busy>";
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

bool PutOnClipboard(const std::wstring& text) {
  if (!::OpenClipboard(nullptr))
    return false;
  ::EmptyClipboard();
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  bool put = false;
  if (auto* chars = static_cast<wchar_t*>(::GlobalLock(data))) {
    std::copy(text.c_str(), text.c_str() + text.size() + 1, chars);
    ::GlobalUnlock(data);
    put = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
  }
  if (!put && data != nullptr)
    ::GlobalFree(data);
  ::CloseClipboard();
  return put;
}

class LogMenuInput : public ::testing::Test {
 protected:
  LogMenuInput() : program_(KESTRUNE_EXE), form_(program_.Form()) {
    program_.close_limit = 30s;
    // Away from the log, whose glow would otherwise show around it as one more window.
    MouseTo({0, 0});
    started_ = program_.Started() && program_.WaitUntilSettled();
    for (HWND child : test::ChildWindows(form_)) {
      wchar_t kind[16] = {};
      ::GetClassNameW(child, kind, 16);
      if (::lstrcmpiW(kind, L"Edit") == 0)
        log_ = child;
    }
  }
  ~LogMenuInput() override {
    for (int i = 0; i < 3 && DropDown() != nullptr; ++i)
      Press(VK_ESCAPE);
  }

  HWND DropDown() const { return test::DropDownOf(program_.Pid()); }

  HWND WaitForDropDown() const {
    HWND drop_down = nullptr;
    WaitFor([&] { return (drop_down = DropDown()) != nullptr; }, 30s);
    return drop_down;
  }

  bool WaitUntilClosed() const {
    return WaitFor([&] { return DropDown() == nullptr; }, 30s);
  }

  std::wstring LogText() const {
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(log_, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          10000, &length);
    return text;
  }

  bool SetLogText(const wchar_t* text) const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(log_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
  }

  POINT LogCentre() const {
    RECT r{};
    ::GetWindowRect(log_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  // A right click in the middle of the log, which opens its menu; the drop-down or nullptr.
  HWND RightClickLog() const {
    const POINT at = LogCentre();
    MouseTo(at);
    MouseTo(at, MOUSEEVENTF_RIGHTDOWN);
    MouseTo(at, MOUSEEVENTF_RIGHTUP);
    return WaitForDropDown();
  }

  // Chooses the item of the open menu whose accelerator is `key`; true once the menu closed.
  bool Choose(WORD key) const {
    Press(key);
    return WaitUntilClosed();
  }

  bool Focus() const {
    ::SetForegroundWindow(form_);
    return WaitFor([&] { return ::GetForegroundWindow() == form_; }, 10s);
  }

  test::RunningProgram program_;
  HWND form_ = nullptr;
  HWND log_ = nullptr;
  bool started_ = false;  // and settled
};

TEST_F(LogMenuInput, RightClickDropsTheSkinnedMenuAtTheMouse) {
  ASSERT_TRUE(started_);
  ASSERT_NE(log_, nullptr);
  ASSERT_TRUE(Focus());
  ASSERT_TRUE(SetLogText(kLogText));
  HWND drop_down = RightClickLog();
  ASSERT_NE(drop_down, nullptr);
  EXPECT_TRUE(test::SkinHandles(drop_down)) << "the skin's wrapper answers for the drop-down";
  EXPECT_NE(::GetWindowLongW(drop_down, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  RECT r{};
  ::GetWindowRect(drop_down, &r);
  const POINT mouse = LogCentre();
  EXPECT_EQ(r.left, mouse.x);
  EXPECT_EQ(r.top, mouse.y);
  // The skin's dark background and light text, not the system's light menu.
  EXPECT_TRUE(test::DrawnByTheSkin(test::ShootScreen(r)));
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntilClosed());
  EXPECT_EQ(LogText(), kLogText) << "closing the menu changes nothing";
}

TEST_F(LogMenuInput, CommandsDoWhatTheEditControlsOwnDo) {
  ASSERT_TRUE(started_);
  ASSERT_NE(log_, nullptr);
  ASSERT_TRUE(Focus());
  ASSERT_TRUE(SetLogText(kLogText));
  ASSERT_TRUE(PutOnClipboard(L"something else"));

  ASSERT_NE(RightClickLog(), nullptr);
  ASSERT_TRUE(Choose('A'));  // Select &All
  ASSERT_NE(RightClickLog(), nullptr);
  ASSERT_TRUE(Choose('C'));  // &Copy
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == kLogText; }, 10s)) << "clipboard";
  EXPECT_EQ(LogText(), kLogText);

  ASSERT_NE(RightClickLog(), nullptr);
  ASSERT_TRUE(Choose('D'));  // &Delete, the whole selection
  EXPECT_TRUE(WaitFor([&] { return LogText().empty(); }, 10s));

  // Shift+F10 drops it too; Undo brings the deleted text back.
  Keys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
  ASSERT_NE(WaitForDropDown(), nullptr);
  ASSERT_TRUE(Choose('U'));  // &Undo
  EXPECT_TRUE(WaitFor([&] { return LogText() == kLogText; }, 10s));

  // The keyboard's menu key drops it in the middle of the log; Paste puts in what the clipboard
  // holds, over the selection.
  ASSERT_TRUE(PutOnClipboard(kPasted));
  ASSERT_NE(RightClickLog(), nullptr);
  ASSERT_TRUE(Choose('A'));
  Press(VK_APPS);
  HWND drop_down = WaitForDropDown();
  ASSERT_NE(drop_down, nullptr);
  EXPECT_TRUE(test::SkinHandles(drop_down));
  RECT client{};
  ::GetClientRect(log_, &client);
  ::MapWindowPoints(log_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT r{};
  ::GetWindowRect(drop_down, &r);
  EXPECT_EQ(r.left, (client.left + client.right) / 2);
  EXPECT_EQ(r.top, (client.top + client.bottom) / 2);
  ASSERT_TRUE(Choose('P'));  // &Paste
  EXPECT_TRUE(WaitFor([&] { return LogText() == kPasted; }, 10s));
}

}  // namespace
}  // namespace kestrune
