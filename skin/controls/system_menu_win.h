#pragma once
// TsSystemMenu: the form provider's skinned system menu. It takes its items from the window's
// own system menu (the standard commands, then the window's extra items, then Close), shows and
// enables them by the form's border style, border icons and window state, and drops down
// through the skinned menus; when the manager does not skin popup menus, the window's own
// system menu is shown instead. Include only from Windows sources.

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/form_win.h"
#include "platform/popup_menu_win.h"
#include "skin/controls/system_menu_rules.h"

namespace kestrune::skin {

class TsSkinManager;

class TsSystemMenu {
 public:
  // `form` (its window made) and `manager` (null: the default manager) outlive the menu.
  TsSystemMenu(platform::Form& form, TsSkinManager* manager);
  TsSystemMenu(const TsSystemMenu&) = delete;
  TsSystemMenu& operator=(const TsSystemMenu&) = delete;

  // Shows the menu with its top-left corner at (x, y) (screen coordinates) and carries out the
  // chosen command; only while the form is the application's active window.
  void DropSysMenu(int x, int y);

  // Makes the items again from the window's system menu.
  void Generate();
  // Shows and enables the standard items by the form's state now; generates the items first
  // when `full` or when there are none yet.
  void UpdateItems(bool full = false);
  // What choosing `item` does: WM_SYSCOMMAND with its command, sent to the form for a standard
  // item (restore, maximize and minimize then update the items), posted for an extra item.
  void ItemClick(platform::MenuItem& item);
  // Runs just before a minimize chosen here is sent: the provider's own minimize animation is
  // skipped for it.
  void SetBeforeMinimize(std::function<void()> hook) { before_minimize_ = std::move(hook); }

  // The rules' view of the form and its window now.
  [[nodiscard]] TacSysMenuForm FormState() const;
  // The window's own system menu as the rules read it (separators and sub-menus included).
  [[nodiscard]] std::vector<TacSysMenuEntry> WindowMenu() const;

  [[nodiscard]] platform::PopupMenu& Menu() { return menu_; }
  [[nodiscard]] const platform::PopupMenu& Menu() const { return menu_; }
  [[nodiscard]] unsigned Command(const platform::MenuItem& item) const {
    return static_cast<unsigned>(menu_.Tag(item));
  }

  // The standard items (null before Generate) and the number of extra items.
  platform::MenuItem* ItemRestore = nullptr;
  platform::MenuItem* ItemMove = nullptr;
  platform::MenuItem* ItemSize = nullptr;
  platform::MenuItem* ItemMinimize = nullptr;
  platform::MenuItem* ItemMaximize = nullptr;
  platform::MenuItem* ItemClose = nullptr;
  int ExtItemsCount = 0;

 private:
  [[nodiscard]] platform::MenuItem* StandardItem(TacSysItem item) const;
  void HideLoneSeparators();
  void DropWindowMenu(int x, int y);

  platform::Form& form_;
  TsSkinManager* manager_;
  platform::PopupMenu menu_;
  std::vector<TacSysMenuEntry> taken_;  // the window's menu the items were made from
  std::function<void()> before_minimize_;
};

}  // namespace kestrune::skin
