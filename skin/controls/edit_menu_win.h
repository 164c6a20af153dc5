#pragma once
// TacEditMenu: the skinned context menu of a text box. It holds the edit control's own items
// (Undo, Cut, Copy, Paste, Delete, Select All, with their accelerator texts) in a popup menu of
// the box's form, enables them by the box's state as the edit control does, drops down through
// the skinned menus and has the box carry out the chosen command. When the manager does not skin
// popup menus it drops nothing, and the box shows the system's own menu. Include only from
// Windows sources.

#include <windows.h>

#include <array>
#include <string>

#include "platform/form_win.h"
#include "platform/popup_menu_win.h"
#include "skin/controls/edit_menu_rules.h"

namespace kestrune::skin {

class TsSkinManager;

class TacEditMenu {
 public:
  // `form` (the box's form) and `manager` (null: the default manager) outlive the menu.
  TacEditMenu(platform::Form& form, std::string name, TsSkinManager* manager);
  TacEditMenu(const TacEditMenu&) = delete;
  TacEditMenu& operator=(const TacEditMenu&) = delete;

  // Answers a context-menu request (WM_CONTEXTMENU's lParam) to the edit control `edit`: shows
  // the skinned menu at the mouse, or in the middle of the box for the keyboard, and carries out
  // the chosen command. False, showing nothing, when the manager does not skin popup menus.
  bool DropDown(HWND edit, LPARAM request);

  // The rules' view of `edit` now (its styles, undo buffer, selection, text and the clipboard).
  [[nodiscard]] static TacEditState StateOf(HWND edit);
  // Enables the items by `edit`'s state now.
  void UpdateItems(HWND edit);
  // What choosing `item` does: the edit control's own command, sent to `edit`.
  static void ItemClick(HWND edit, TacEditItem item);

  [[nodiscard]] platform::PopupMenu& Menu() { return menu_; }
  // The command of one of the menu's items.
  [[nodiscard]] TacEditItem Command(const platform::MenuItem& item) const {
    return static_cast<TacEditItem>(menu_.Tag(item));
  }

 private:
  platform::Form& form_;
  TsSkinManager* manager_;
  platform::PopupMenu menu_;
  std::array<platform::MenuItem*, kEditItemCount> items_{};  // by TacEditItem
};

}  // namespace kestrune::skin
