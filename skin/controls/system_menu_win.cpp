#include "skin/controls/system_menu_win.h"

#include <string>

#include "platform/application_win.h"
#include "platform/win_util.h"
#include "skin/controls/skinable_menus_win.h"
#include "skin/data/skin_manager.h"

namespace kestrune::skin {
namespace {

TacBorderStyle BorderStyleOf(DWORD style, DWORD ex_style) {
  const bool thick = (style & WS_THICKFRAME) != 0;
  if ((ex_style & WS_EX_TOOLWINDOW) != 0)
    return thick ? bsSizeToolWin : bsToolWindow;
  if (thick)
    return bsSizeable;
  if ((ex_style & WS_EX_DLGMODALFRAME) != 0)
    return bsDialog;
  if ((style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME)) == 0)
    return bsNone;
  return bsSingle;
}

bool Greyed(UINT state) {
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

}  // namespace

TsSystemMenu::TsSystemMenu(platform::Form& form, TsSkinManager* manager)
    : form_(form),
      manager_(manager != nullptr ? manager : DefaultManager()),
      menu_(form, std::string(kSysMenuPrefix) + form.Name()) {}

std::vector<TacSysMenuEntry> TsSystemMenu::WindowMenu() const {
  std::vector<TacSysMenuEntry> entries;
  HMENU menu = form_.Handle() != nullptr ? ::GetSystemMenu(form_.Handle(), FALSE) : nullptr;
  if (menu == nullptr)
    return entries;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
      continue;
    TacSysMenuEntry entry;
    entry.Command = info.wID;
    entry.Separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.SubMenu = info.hSubMenu != nullptr;
    if (!entry.Separator && info.cch > 0) {
      std::wstring text(info.cch + 1, L'\0');
      info.dwTypeData = text.data();
      info.cch += 1;
      info.fMask = MIIM_STRING;
      if (::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
        text.resize(info.cch);
        entry.Text = platform::Narrow(text);
      }
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

TacSysMenuForm TsSystemMenu::FormState() const {
  TacSysMenuForm f;
  HWND window = form_.Handle();
  if (window == nullptr)
    return f;
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  f.BorderStyle = BorderStyleOf(style, ex_style);
  f.IconSystemMenu = (style & WS_SYSMENU) != 0;
  f.IconMinimize = (style & WS_MINIMIZEBOX) != 0;
  f.IconMaximize = (style & WS_MAXIMIZEBOX) != 0;
  f.State = ::IsIconic(window) ? wsMinimized : ::IsZoomed(window) ? wsMaximized : wsNormal;
  f.MDIChild = (ex_style & WS_EX_MDICHILD) != 0;
  f.MainOnTaskBar = form_.App().MainWindow() == window;
  HMENU menu = ::GetSystemMenu(window, FALSE);
  f.WindowMenu = menu != nullptr;
  const UINT close =
      menu != nullptr ? ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : static_cast<UINT>(-1);
  f.HasCloseItem = close != static_cast<UINT>(-1);
  f.CloseGreyed = Greyed(close);
  return f;
}

void TsSystemMenu::Generate() {
  taken_ = WindowMenu();
  ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
  ExtItemsCount = 0;
  menu_.Clear();
  platform::MenuItem** fields[kSysItemCount] = {&ItemRestore,  &ItemMove,     &ItemSize,
                                                &ItemMinimize, &ItemMaximize, &ItemClose};
  for (const TacSysMenuLine& line : GenerateSysMenu(taken_)) {
    std::string caption = line.Caption;
    if (!line.ShortCut.empty())
      caption += "\t" + line.ShortCut;
    platform::MenuItem& item = menu_.Add(line.Name, std::move(caption), line.Command);
    if (line.What == TacSysMenuLine::Standard)
      *fields[line.Item] = &item;
    else if (line.What == TacSysMenuLine::External)
      ++ExtItemsCount;
  }
}

platform::MenuItem* TsSystemMenu::StandardItem(TacSysItem item) const {
  platform::MenuItem* const items[kSysItemCount] = {ItemRestore,  ItemMove,     ItemSize,
                                                    ItemMinimize, ItemMaximize, ItemClose};
  return items[item];
}

void TsSystemMenu::UpdateItems(bool full) {
  if (full || menu_.Empty())
    Generate();
  const TacSysItemStates states = SysMenuItemStates(FormState());
  for (std::size_t i = 0; i < kSysItemCount; ++i) {
    if (platform::MenuItem* item = StandardItem(static_cast<TacSysItem>(i))) {
      menu_.SetVisible(*item, states[i].Visible);
      menu_.SetEnabled(*item, states[i].Enabled);
    }
  }
  HideLoneSeparators();
}

// A separator shows only between visible items (Close may be hidden).
void TsSystemMenu::HideLoneSeparators() {
  bool item_before = false;
  platform::MenuItem* pending = nullptr;
  for (platform::MenuItem* item : menu_.Items()) {
    if (platform::PopupMenu::IsSeparator(*item)) {
      menu_.SetVisible(*item, false);
      if (item_before && pending == nullptr)
        pending = item;
      continue;
    }
    if (!menu_.Visible(*item))
      continue;
    if (pending != nullptr)
      menu_.SetVisible(*pending, true);
    pending = nullptr;
    item_before = true;
  }
}

void TsSystemMenu::ItemClick(platform::MenuItem& item) {
  HWND window = form_.Handle();
  const unsigned command = Command(item);
  if (window == nullptr || platform::PopupMenu::IsSeparator(item))
    return;
  bool standard = false;
  for (std::size_t i = 0; i < kSysItemCount; ++i)
    standard = standard || StandardItem(static_cast<TacSysItem>(i)) == &item;
  if (!standard) {
    ::PostMessageW(window, WM_SYSCOMMAND, command, 0);
    return;
  }
  if (command == kScMinimize && before_minimize_)
    before_minimize_();
  ::SendMessageW(window, WM_SYSCOMMAND, command, 0);
  if ((command == kScRestore || command == kScMaximize || command == kScMinimize) &&
      ::IsWindow(window))
    UpdateItems();
}

void TsSystemMenu::DropSysMenu(int x, int y) {
  HWND window = form_.Handle();
  if (window == nullptr || ::GetActiveWindow() != window)
    return;
  TsSkinableMenus* menus = TsSkinableMenus::Of(manager_);
  if (menus == nullptr || !menus->SkinsPopups()) {
    DropWindowMenu(x, y);
    return;
  }
  // The window's menu may have changed since the items were made from it.
  if (menu_.Empty() || ExtItemsCount > 0 || WindowMenu() != taken_)
    Generate();
  UpdateItems();
  menus->HookPopupMenu(form_, menu_, true);
  const bool right_to_left = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  platform::MenuItem* chosen =
      menu_.Popup(POINT{x, y}, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                   (right_to_left ? static_cast<UINT>(TPM_LAYOUTRTL) : 0u));
  if (chosen != nullptr)
    ItemClick(*chosen);
}

void TsSystemMenu::DropWindowMenu(int x, int y) {
  HWND window = form_.Handle();
  HMENU menu = ::GetSystemMenu(window, FALSE);
  if (menu == nullptr)
    return;
  const std::array<bool, kSysItemCount> enabled = NativeSysMenuEnabled(FormState());
  // Without the visible bit the system does not repaint its caption for the menu's changes.
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  ::SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
  for (std::size_t i = 0; i < kSysItemCount; ++i) {
    ::EnableMenuItem(menu, SysItemKind(static_cast<TacSysItem>(i)).Command,
                     static_cast<UINT>(MF_BYCOMMAND | (enabled[i] ? MF_ENABLED : MF_GRAYED)));
  }
  ::SetWindowLongPtrW(window, GWL_STYLE, style);
  const auto command = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, window, nullptr));
  if (command != 0)
    ::PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

}  // namespace kestrune::skin
