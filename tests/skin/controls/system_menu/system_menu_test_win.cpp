// The skinned system menu on real windows: the items it takes from the window's system menu,
// what it shows and enables for the main window and for other frames and states, what choosing
// an item does, and the drop-down it opens (skinned, or the window's own menu).

#include "skin/controls/system_menu_win.h"

#include <commctrl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "assets/skin/builtin_skin.h"
#include "platform/application_win.h"
#include "platform/error.h"
#include "platform/form_description.h"
#include "platform/form_win.h"
#include "platform/win_util.h"
#include "skin/controls/skinable_menus_win.h"
#include "skin/data/skin_commands.h"
#include "tests/support/drop_down_win.h"
#include "tests/support/main_layout.h"
#include "tests/support/pump_messages_win.h"
#include "tests/support/screen_shot_win.h"

namespace kestrune::skin {
namespace {

using test::PumpMessages;

// The system menu `menu` as it shows now, one item per line: "-" for a separator, else the
// caption with " (disabled)" when greyed and " [owner]" when owner-drawn.
std::string Shown(HMENU menu, const platform::PopupMenu* popup = nullptr) {
  std::string text;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if ((info.fType & MFT_SEPARATOR) != 0) {
      text += "-\n";
      continue;
    }
    std::string caption;
    if (popup != nullptr) {
      const platform::MenuItem* item = popup->ItemById(info.wID);
      caption = item != nullptr ? item->Caption() : "?";
    } else {
      wchar_t buffer[128] = {};
      ::GetMenuStringW(menu, static_cast<UINT>(i), buffer, 128, MF_BYPOSITION);
      caption = platform::Narrow(buffer);
    }
    text += caption;
    if ((info.fState & MFS_GRAYED) != 0)
      text += " (disabled)";
    if ((info.fType & MFT_OWNERDRAW) != 0)
      text += " [owner]";
    text += "\n";
  }
  return text;
}

// Records the WM_SYSCOMMAND messages a window gets (and lets them through).
class SysCommandLog {
 public:
  explicit SysCommandLog(HWND window) : window_(window) {
    ::SetWindowSubclass(window_, Procedure, kId, reinterpret_cast<DWORD_PTR>(this));
  }
  ~SysCommandLog() { ::RemoveWindowSubclass(window_, Procedure, kId); }
  std::vector<unsigned> commands;

 private:
  static constexpr UINT_PTR kId = 0x5359;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR /*id*/, DWORD_PTR data) {
    if (message == WM_SYSCOMMAND)
      reinterpret_cast<SysCommandLog*>(data)->commands.push_back(
          static_cast<unsigned>(wparam & 0xFFF0));
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  HWND window_;
};

using test::Grab;
using test::ScreenShot;
using test::WhileMenuOpen;

constexpr char kSmallLayout[] = R"(
[TestForm]
kind = form
caption = "System menu"
position = 60, 60
client_size = 300, 160
border = sizeable
border_icons = system_menu, minimize, maximize
font = "Segoe UI", 12
)";

// A sizeable form with every border icon and a skin manager whose menus skin popups.
class SystemMenuTest : public ::testing::Test {
 protected:
  SystemMenuTest() {
    manager_ = std::make_unique<TsSkinManager>(platform_);
    manager_->BeginLoading();
    manager_->InternalSkins.Items.push_back(BuiltinStoredSkin());
    manager_->SetSkinName(std::string(kBuiltinSkinName));
    manager_->Loaded();
    form_ = std::make_unique<platform::Form>(application_);
    form_->Load(platform::ParseFormDescription(kSmallLayout), {}, {});
    manager_->SkinableMenus = std::make_unique<TsSkinableMenus>(*manager_);
    system_menu_ = std::make_unique<TsSystemMenu>(*form_, manager_.get());
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    PumpMessages();
  }
  ~SystemMenuTest() override {
    system_menu_.reset();
    manager_.reset();
  }

  HWND Window() const { return form_->Handle(); }
  std::string Items() { return Shown(system_menu_->Menu().Handle(), &system_menu_->Menu()); }

  platform::Application application_{"System menu test"};
  HeadlessSkinPlatform platform_{96};
  std::unique_ptr<platform::Form> form_;
  std::unique_ptr<TsSkinManager> manager_;
  std::unique_ptr<TsSystemMenu> system_menu_;
};

TEST_F(SystemMenuTest, PopupMenusKeepTheirItemsApartAndRefuseOneTooMany) {
  platform::PopupMenu first(*form_, "First");
  platform::MenuItem& a = first.Add("a", "A", 1);
  UINT b_id = 0;
  {
    platform::PopupMenu second(*form_, "Second");
    platform::MenuItem& b = second.Add("b", "B", 2);
    b_id = b.Id();
    EXPECT_NE(a.Id(), b.Id());
    EXPECT_EQ(form_->MenuItemById(a.Id()), &a);
    EXPECT_EQ(form_->MenuItemById(b.Id()), &b);
    EXPECT_THROW(static_cast<void>(first.Visible(b)), Error) << "not an item of this menu";
  }
  EXPECT_EQ(form_->MenuItemById(b_id), nullptr) << "gone with its menu";

  for (UINT i = 1; i < platform::PopupMenu::kMaxItems; ++i)
    first.Add("", "x", i);
  HMENU handle = first.Handle();
  try {
    first.Add("", "one too many", 0);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Popup menu First: more than 256 items");
  }
  EXPECT_EQ(first.Items().size(), platform::PopupMenu::kMaxItems);
  EXPECT_EQ(::GetMenuItemCount(first.Handle()), 256);
  first.SetVisible(a, false);
  EXPECT_EQ(::GetMenuItemCount(first.Handle()), 255);
  EXPECT_EQ(first.Handle(), handle) << "the same menu, filled again";
}

TEST_F(SystemMenuTest, ItemsFollowTheFrameTheIconsAndTheWindowState) {
  struct Case {
    const char* name;
    std::function<void(HWND)> change;
    const char* expected;
  };
  HMENU window_menu = ::GetSystemMenu(Window(), FALSE);
  const std::vector<Case> cases{
      {"sizeable, normal", [](HWND) {},
       "&Restore (disabled)\n&Move\n&Size\nMi&nimize\nMa&ximize\n-\n&Close\tAlt+F4\n"},
      {"maximized", [](HWND w) { ::ShowWindow(w, SW_MAXIMIZE); },
       "&Restore\n&Move (disabled)\n&Size\nMi&nimize\nMa&ximize\n-\n&Close\tAlt+F4\n"},
      {"minimized", [](HWND w) { ::ShowWindow(w, SW_MINIMIZE); },
       "&Restore\n&Move\n&Size (disabled)\nMi&nimize\nMa&ximize\n-\n&Close\tAlt+F4\n"},
      {"tool window",
       [](HWND w) {
         ::SetWindowLongPtrW(w, GWL_EXSTYLE,
                             ::GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
       },
       "&Move\n&Size\n-\n&Close\tAlt+F4\n"},
      {"close greyed, no maximize box",
       [window_menu](HWND w) {
         ::SetWindowLongPtrW(w, GWL_STYLE, ::GetWindowLongPtrW(w, GWL_STYLE) & ~WS_MAXIMIZEBOX);
         ::EnableMenuItem(window_menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
       },
       "&Restore (disabled)\n&Move\n&Size\nMi&nimize\n-\n&Close\tAlt+F4 (disabled)\n"},
      {"no system menu",
       [](HWND w) {
         ::SetWindowLongPtrW(w, GWL_STYLE, ::GetWindowLongPtrW(w, GWL_STYLE) & ~WS_SYSMENU);
       },
       "&Move\n&Size\n"},
  };
  const LONG_PTR style = ::GetWindowLongPtrW(Window(), GWL_STYLE);
  const LONG_PTR ex_style = ::GetWindowLongPtrW(Window(), GWL_EXSTYLE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change(Window());
    PumpMessages();
    system_menu_->UpdateItems(true);
    EXPECT_EQ(Items(), c.expected);
    ::ShowWindow(Window(), SW_RESTORE);
    ::SetWindowLongPtrW(Window(), GWL_STYLE, style);
    ::SetWindowLongPtrW(Window(), GWL_EXSTYLE, ex_style);
    ::EnableMenuItem(::GetSystemMenu(Window(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    PumpMessages();
  }
}

TEST_F(SystemMenuTest, ExtraItemsComeBeforeCloseAndTheirCommandIsPosted) {
  HMENU window_menu = ::GetSystemMenu(Window(), FALSE);
  ASSERT_TRUE(::AppendMenuW(window_menu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(::AppendMenuW(window_menu, MF_STRING, 0x0100, L"&Pin\tCtrl+P"));
  system_menu_->UpdateItems(true);
  EXPECT_EQ(Items(),
            "&Restore (disabled)\n&Move\n&Size\nMi&nimize\nMa&ximize\n-\n&Pin\tCtrl+P\n-\n"
            "&Close\tAlt+F4\n");
  EXPECT_EQ(system_menu_->ExtItemsCount, 1);
  EXPECT_EQ(system_menu_->ItemClose->Name(), "acIC");
  EXPECT_EQ(system_menu_->Command(*system_menu_->ItemClose), static_cast<unsigned>(SC_CLOSE));
  EXPECT_EQ(system_menu_->Menu().Name().rfind("acSysMenu", 0), 0u);

  platform::MenuItem* pin = nullptr;
  for (platform::MenuItem* item : system_menu_->Menu().Items()) {
    if (item->Caption() == "&Pin\tCtrl+P")
      pin = item;
  }
  ASSERT_NE(pin, nullptr);
  SysCommandLog log(Window());
  system_menu_->ItemClick(*pin);
  EXPECT_TRUE(log.commands.empty()) << "an extra item's command is posted, not sent";
  PumpMessages();
  EXPECT_EQ(log.commands, std::vector<unsigned>{0x0100});
}

TEST_F(SystemMenuTest, ChoosingMinimizeMinimizesAndUpdatesTheItems) {
  system_menu_->UpdateItems();
  ASSERT_FALSE(system_menu_->Menu().Enabled(*system_menu_->ItemRestore));
  SysCommandLog log(Window());
  // The provider skips its own minimize animation for a minimize chosen here.
  std::optional<std::vector<unsigned>> seen_before_minimize;
  system_menu_->SetBeforeMinimize([&] { seen_before_minimize = log.commands; });
  system_menu_->ItemClick(*system_menu_->ItemMinimize);
  EXPECT_EQ(log.commands, std::vector<unsigned>{SC_MINIMIZE});
  ASSERT_TRUE(seen_before_minimize.has_value());
  EXPECT_TRUE(seen_before_minimize->empty()) << "the hook runs before the command";
  EXPECT_TRUE(::IsIconic(Window()));
  EXPECT_TRUE(system_menu_->Menu().Enabled(*system_menu_->ItemRestore));
  EXPECT_FALSE(system_menu_->Menu().Enabled(*system_menu_->ItemSize));
  system_menu_->ItemClick(*system_menu_->ItemRestore);
  EXPECT_FALSE(::IsIconic(Window()));
  EXPECT_FALSE(system_menu_->Menu().Enabled(*system_menu_->ItemRestore));
}

TEST_F(SystemMenuTest, DropsTheSkinnedMenuOwnerDrawnAndWrapped) {
  std::string items;
  LRESULT handled = 0;
  RECT drop_rect{};
  const bool ran = WhileMenuOpen([&] { system_menu_->DropSysMenu(100, 120); },
                                 [&](HWND drop_down) {
                                   items = Items();
                                   if (drop_down != nullptr) {
                                     handled = ::SendMessageW(drop_down, SM_ALPHACMD,
                                                              MakeCommandParam(AC_CTRLHANDLED), 0);
                                     ::GetWindowRect(drop_down, &drop_rect);
                                   }
                                 });
  ASSERT_TRUE(ran);
  EXPECT_EQ(items,
            "&Restore (disabled) [owner]\n&Move [owner]\n&Size [owner]\nMi&nimize [owner]\n"
            "Ma&ximize [owner]\n-\n&Close\tAlt+F4 [owner]\n");
  EXPECT_EQ(handled, 1) << "the drop-down carries the skin's wrapper";
  EXPECT_EQ(drop_rect.left, 100);
  EXPECT_EQ(drop_rect.top, 120);
}

TEST_F(SystemMenuTest, DropsNothingForAFormThatIsNotActive) {
  platform::Form other(application_);
  other.Load(platform::ParseFormDescription(kSmallLayout), {}, {});
  other.Show();
  ::SetActiveWindow(other.Handle());
  PumpMessages();
  ASSERT_NE(::GetActiveWindow(), Window());
  HWND seen = reinterpret_cast<HWND>(1);
  WhileMenuOpen([&] { system_menu_->DropSysMenu(100, 120); }, [&](HWND d) { seen = d; });
  EXPECT_EQ(seen, nullptr) << "no menu opened";
}

TEST_F(SystemMenuTest, WithoutSkinnedPopupsTheWindowsOwnMenuIsGreyedByTheTable) {
  manager_->SkinnedPopups = false;
  ::SetWindowLongPtrW(Window(), GWL_STYLE,
                      ::GetWindowLongPtrW(Window(), GWL_STYLE) & ~WS_MAXIMIZEBOX);
  HMENU window_menu = ::GetSystemMenu(Window(), FALSE);
  std::string states;
  bool visible_meanwhile = false;
  const bool ran =
      WhileMenuOpen([&] { system_menu_->DropSysMenu(100, 120); },
                    [&](HWND drop_down) {
                      visible_meanwhile = ::IsWindowVisible(Window()) != FALSE;
                      if (drop_down == nullptr)
                        return;
                      for (const UINT command :
                           {kScRestore, kScMove, kScSize, kScMinimize, kScMaximize, kScClose}) {
                        const UINT state = ::GetMenuState(window_menu, command, MF_BYCOMMAND);
                        states += (state & MF_GRAYED) != 0 ? '0' : '1';
                      }
                    });
  ASSERT_TRUE(ran);
  EXPECT_EQ(states, "011101") << "restore and maximize greyed, the rest enabled";
  EXPECT_TRUE(visible_meanwhile);
  EXPECT_NE(::GetWindowLongPtrW(Window(), GWL_STYLE) & WS_VISIBLE, 0);
}

// The real main window: its provider, its skin and its frame.
class SystemMenuMainWindow : public ::testing::Test {
 protected:
  SystemMenuMainWindow() {
    application_.SetMessageBoxFunction(
        [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    form_ = std::make_unique<TMainForm>(application_, test::MainDescription(), services_);
    application_.SetMainWindow(form_->Handle());
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    PumpMessages();
  }
  ~SystemMenuMainWindow() override {
    ::DestroyWindow(form_->Handle());
    PumpMessages();
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(SystemMenuMainWindow, ShowsRestoreDisabledMoveSizeDisabledMinimizeAndClose) {
  TsSystemMenu menu(*form_, form_->SkinManager.get());
  menu.UpdateItems();
  EXPECT_EQ(Shown(menu.Menu().Handle(), &menu.Menu()),
            "&Restore (disabled)\n&Move\n&Size (disabled)\nMi&nimize\n-\n&Close\tAlt+F4\n");
  EXPECT_EQ(menu.ItemMaximize->Name(), "acIX");
  EXPECT_FALSE(menu.Menu().Visible(*menu.ItemMaximize));
}

// The provider drops its own menu for each, not the system's: the open drop-down shows the
// skinned popup's owner-drawn items.
TEST_F(SystemMenuMainWindow, AltSpaceAPressOnTheIconAndARightClickDropTheProvidersMenu) {
  HWND window = form_->Handle();
  RECT frame{};
  ::GetWindowRect(window, &frame);
  const TRect icon = form_->SkinProvider->Layout().IconRect;
  ASSERT_FALSE(icon.IsEmpty());
  const LPARAM icon_point = MAKELPARAM(frame.left + (icon.Left + icon.Right) / 2,
                                       frame.top + (icon.Top + icon.Bottom) / 2);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };
  const TacTitleLayout& layout = form_->SkinProvider->Layout();
  const POINT title_point{frame.left + (layout.TextLeft + layout.TextRight) / 2,
                          frame.top + layout.VCenter};
  for (const Case& c : {Case{"Alt+Space", WM_SYSCOMMAND, SC_KEYMENU, ' '},
                        Case{"press on the icon", WM_NCLBUTTONDOWN, HTSYSMENU, icon_point},
                        Case{"right click on the title", WM_CONTEXTMENU, 0,
                             MAKELPARAM(title_point.x, title_point.y)}}) {
    SCOPED_TRACE(c.name);
    std::string items;
    POINT at{};
    const bool ran = WhileMenuOpen(
        [&] { ::SendMessageW(window, c.message, c.wparam, c.lparam); },
        [&](HWND drop_down) {
          if (drop_down == nullptr)
            return;
          auto* menu = reinterpret_cast<HMENU>(::SendMessageW(drop_down, MN_GETHMENU, 0, 0));
          const platform::PopupMenu* popup = nullptr;
          for (const platform::PopupMenu* p : form_->PopupMenus())
            popup = p->Name().rfind("acSysMenu", 0) == 0 ? p : popup;
          items = Shown(menu, popup);
          RECT r{};
          ::GetWindowRect(drop_down, &r);
          at = {r.left, r.top};
        });
    ASSERT_TRUE(ran);
    EXPECT_EQ(items,
              "&Restore (disabled) [owner]\n&Move [owner]\n&Size (disabled) [owner]\n"
              "Mi&nimize [owner]\n-\n&Close\tAlt+F4 [owner]\n");
    if (c.message == WM_CONTEXTMENU) {
      EXPECT_EQ(at.x, title_point.x) << "at the mouse";
      EXPECT_EQ(at.y, title_point.y);
      continue;
    }
    const TacFrameMetrics metrics = form_->SkinProvider->Metrics();
    EXPECT_EQ(at.x, frame.left + metrics.SysBorderWidth());
    EXPECT_EQ(at.y, frame.top +
                        std::max(metrics.BorderHeight() + icon.Height() + metrics.SysBorderHeight(),
                                 icon.Bottom));
    EXPECT_GE(at.y, frame.top + icon.Bottom) << "below the icon";
  }
}

// The main window with its system menu open, as it shows in a Wine desktop. A screen grab shows
// the layered drop-down black there, so its own pixels (inside its region) are put over the
// screen's picture of the window.
TEST_F(SystemMenuMainWindow, PictureWithTheMenuOpen) {
  if (std::getenv("KESTRUNE_IN_DESKTOP") == nullptr)
    GTEST_SKIP() << "needs a Wine desktop";
  HWND window = form_->Handle();
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  ScreenShot shot;
  ScreenShot menu;
  const bool ran = WhileMenuOpen([&] { ::SendMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' '); },
                                 [&](HWND drop_down) {
                                   if (drop_down != nullptr)
                                     shot = test::ShotWithDropDown(window, drop_down, menu);
                                 });
  ASSERT_TRUE(ran);
  ASSERT_GT(menu.width, 0);
  test::SaveShot(shot, "system_menu_" + std::to_string(form_->PixelsPerInch()));
  EXPECT_TRUE(test::DrawnByTheSkin(menu));
}

}  // namespace
}  // namespace kestrune::skin
