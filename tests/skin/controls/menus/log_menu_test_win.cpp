// The results log's context menu on the real main window: the items it shows enabled for the
// log's state, read from the open drop-down, and, in a Wine desktop, its picture.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "app/main_form_win.h"
#include "platform/application_win.h"
#include "skin/controls/memo_win.h"
#include "tests/support/drop_down_win.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/screen_shot_win.h"

namespace kestrune {
namespace {

using test::PumpMessages;
using test::WhileMenuOpen;

constexpr wchar_t kLogText[] = L"Processing: 10.0.0.0/30\r\nDone: 10.0.0.0/30\r\n";

bool PutOnClipboard(HWND owner, const wchar_t* text) {
  if (!::OpenClipboard(owner))
    return false;
  ::EmptyClipboard();
  bool put = false;
  if (text != nullptr) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (void* chars = ::GlobalLock(data)) {
      std::memcpy(chars, text, bytes);
      ::GlobalUnlock(data);
      put = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    }
    if (!put && data != nullptr)
      ::GlobalFree(data);
  }
  ::CloseClipboard();
  return put || text == nullptr;
}

class LogMenu : public ::testing::Test {
 protected:
  LogMenu() {
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_);
    application_.SetMainWindow(form_->Handle());
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    PumpMessages();
  }
  ~LogMenu() override {
    ::DestroyWindow(form_->Handle());
    PumpMessages();
  }

  HWND Log() const { return form_->MemoResults->Handle(); }

  // A right click in the middle of the log, as the system reports it.
  void RightClick() const {
    RECT r{};
    ::GetWindowRect(Log(), &r);
    ::SendMessageW(Log(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Log()),
                   MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }

  // The open drop-down's items, one letter each by accelerator, '-' for a greyed one; "|" for
  // a separator; "?" for an item the system draws itself.
  static std::string Items(HWND drop_down) {
    auto* menu = reinterpret_cast<HMENU>(::SendMessageW(drop_down, MN_GETHMENU, 0, 0));
    std::string shown;
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    const char letters[] = "UXCPDA";
    int next = 0;
    for (int i = 0; i < count; ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STATE;
      ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      if ((info.fType & MFT_OWNERDRAW) == 0)
        shown += '?';
      else if ((info.fType & MFT_SEPARATOR) != 0)
        shown += '|';
      else
        shown += (info.fState & MFS_GRAYED) != 0 ? '-' : letters[next % 6];
      if ((info.fType & MFT_SEPARATOR) == 0)
        ++next;
    }
    return shown;
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(LogMenu, ItemsAreEnabledByTheLogsState) {
  ASSERT_NE(form_->MemoResults, nullptr);
  const struct {
    const char* name;
    const wchar_t* text;
    int sel_start, sel_end;
    const wchar_t* clipboard;  // nullptr: empty
    bool read_only;
    const char* items;
  } cases[] = {
      {"empty log, empty clipboard", L"", 0, 0, nullptr, false, "-|----|-"},
      {"empty log, text on the clipboard", L"", 0, 0, L"x", false, "-|--P-|-"},
      {"text, caret only", kLogText, 3, 3, nullptr, false, "-|----|A"},
      {"a selection", kLogText, 3, 9, L"x", false, "-|XCPD|A"},
      {"everything selected", kLogText, 0, -1, nullptr, false, "-|XC-D|-"},
      {"read-only, a selection", kLogText, 3, 9, L"x", true, "-|-C--|A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::SetWindowTextW(Log(), c.text);  // leaves nothing to undo
    ::SendMessageW(Log(), EM_SETREADONLY, c.read_only, 0);
    ::SendMessageW(Log(), EM_SETSEL, static_cast<WPARAM>(c.sel_start), c.sel_end);
    ASSERT_TRUE(PutOnClipboard(form_->Handle(), c.clipboard));
    std::string items;
    const bool ran = WhileMenuOpen([&] { RightClick(); },
                                   [&](HWND drop_down) {
                                     if (drop_down != nullptr)
                                       items = Items(drop_down);
                                   });
    ASSERT_TRUE(ran);
    EXPECT_EQ(items, c.items);
  }
  ::SendMessageW(Log(), EM_SETREADONLY, FALSE, 0);
  // A change to undo enables Undo.
  ::SetWindowTextW(Log(), kLogText);
  ::SendMessageW(Log(), EM_SETSEL, 0, 5);
  ::SendMessageW(Log(), WM_CLEAR, 0, 0);
  std::string items;
  ASSERT_TRUE(WhileMenuOpen([&] { RightClick(); },
                            [&](HWND drop_down) {
                              if (drop_down != nullptr)
                                items = Items(drop_down);
                            }));
  EXPECT_EQ(items.substr(0, 1), "U");
}

TEST_F(LogMenu, WithoutSkinnedPopupsTheSystemsOwnMenuShows) {
  form_->SkinManager->SkinnedPopups = false;
  ::SetWindowTextW(Log(), kLogText);
  std::string items;
  ASSERT_TRUE(WhileMenuOpen([&] { RightClick(); },
                            [&](HWND drop_down) {
                              if (drop_down != nullptr)
                                items = Items(drop_down);
                            }));
  EXPECT_FALSE(items.empty());
  EXPECT_EQ(items.find_first_not_of('?'), std::string::npos) << items;
}

// The main window with the log's menu open over a selection, as it shows in a Wine desktop.
TEST_F(LogMenu, PictureWithTheMenuOpen) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "needs a Wine desktop";
  HWND window = form_->Handle();
  ::SetWindowTextW(Log(), kLogText);
  ::SetFocus(Log());
  ::SendMessageW(Log(), EM_SETSEL, 0, 23);
  ASSERT_TRUE(PutOnClipboard(window, L"10.1.0.0/24"));
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  test::ScreenShot shot;
  test::ScreenShot menu;
  const bool ran = WhileMenuOpen([&] { RightClick(); },
                                 [&](HWND drop_down) {
                                   if (drop_down != nullptr)
                                     shot = test::ShotWithDropDown(window, drop_down, menu);
                                 });
  ASSERT_TRUE(ran);
  ASSERT_GT(menu.width, 0);
  test::SaveShot(shot, "log_menu_" + std::to_string(form_->PixelsPerInch()));
  EXPECT_TRUE(test::DrawnByTheSkin(menu));
}

}  // namespace
}  // namespace kestrune
