#include "skin/controls/edit_menu_win.h"

#include <windowsx.h>

#include <utility>

#include "skin/controls/skinable_menus_win.h"
#include "skin/data/skin_manager.h"

namespace kestrune::skin {

TacEditMenu::TacEditMenu(platform::Form& form, std::string name, TsSkinManager* manager)
    : form_(form),
      manager_(manager != nullptr ? manager : DefaultManager()),
      menu_(form, std::move(name)) {
  for (const TacEditMenuLine& line : EditMenuLines()) {
    if (line.Separator) {
      menu_.Add("", "-", kEditItemCount);
      continue;
    }
    items_[line.Item] =
        &menu_.Add(line.Name, std::string(line.Caption) + "\t" + line.ShortCut, line.Item);
  }
}

TacEditState TacEditMenu::StateOf(HWND edit) {
  TacEditState state;
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(edit, GWL_STYLE));
  state.ReadOnly = (style & ES_READONLY) != 0;
  state.Password = ::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0) != 0;
  state.CanUndo = ::SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  state.SelStart = static_cast<int>(start);
  state.SelEnd = static_cast<int>(end);
  state.TextLength = ::GetWindowTextLengthW(edit);
  state.ClipboardHasText =
      ::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT);
  return state;
}

void TacEditMenu::UpdateItems(HWND edit) {
  const std::array<bool, kEditItemCount> enabled = EditMenuEnabled(StateOf(edit));
  for (std::size_t i = 0; i < kEditItemCount; ++i)
    menu_.SetEnabled(*items_[i], enabled[i]);
}

void TacEditMenu::ItemClick(HWND edit, TacEditItem item) {
  switch (item) {
    case eiUndo:
      ::SendMessageW(edit, WM_UNDO, 0, 0);
      break;
    case eiCut:
      ::SendMessageW(edit, WM_CUT, 0, 0);
      break;
    case eiCopy:
      ::SendMessageW(edit, WM_COPY, 0, 0);
      break;
    case eiPaste:
      ::SendMessageW(edit, WM_PASTE, 0, 0);
      break;
    case eiDelete:
      ::SendMessageW(edit, WM_CLEAR, 0, 0);
      break;
    case eiSelectAll:
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      break;
  }
}

bool TacEditMenu::DropDown(HWND edit, LPARAM request) {
  TsSkinableMenus* menus = TsSkinableMenus::Of(manager_);
  if (edit == nullptr || form_.Handle() == nullptr || menus == nullptr || !menus->SkinsPopups())
    return false;
  // As the edit control does, the box takes the focus first.
  if (::GetFocus() != edit)
    ::SetFocus(edit);
  UpdateItems(edit);
  menus->HookPopupMenu(form_, menu_, true);
  RECT client{};
  ::GetClientRect(edit, &client);
  ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const TPoint at = EditMenuDropPoint(IsKeyboardContextMenu(request),
                                      TPoint{GET_X_LPARAM(request), GET_Y_LPARAM(request)},
                                      Rect(client.left, client.top, client.right, client.bottom));
  const bool right_to_left =
      (::GetWindowLongPtrW(form_.Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  platform::MenuItem* chosen =
      menu_.Popup(POINT{at.X, at.Y}, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                         (right_to_left ? static_cast<UINT>(TPM_LAYOUTRTL) : 0u));
  // The box may have gone while the menu was open.
  if (chosen != nullptr && !platform::PopupMenu::IsSeparator(*chosen) && ::IsWindow(edit))
    ItemClick(edit, Command(*chosen));
  return true;
}

}  // namespace kestrune::skin
