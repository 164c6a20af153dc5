#include "skin/controls/edit_menu_rules.h"

#include <algorithm>

namespace kestrune::skin {

std::span<const TacEditMenuLine> EditMenuLines() {
  constexpr TacEditMenuLine kSeparator{true, eiUndo, "", "", ""};
  static constexpr TacEditMenuLine kLines[] = {
      {false, eiUndo, "acEditUndo", "&Undo", "Ctrl+Z"},
      kSeparator,
      {false, eiCut, "acEditCut", "Cu&t", "Ctrl+X"},
      {false, eiCopy, "acEditCopy", "&Copy", "Ctrl+C"},
      {false, eiPaste, "acEditPaste", "&Paste", "Ctrl+V"},
      {false, eiDelete, "acEditDelete", "&Delete", "Del"},
      kSeparator,
      {false, eiSelectAll, "acEditSelectAll", "Select &All", "Ctrl+A"},
  };
  return kLines;
}

std::array<bool, kEditItemCount> EditMenuEnabled(const TacEditState& state) {
  const int first = std::min(state.SelStart, state.SelEnd);
  const int last = std::max(state.SelStart, state.SelEnd);
  const bool selection = first != last;
  const bool writable = !state.ReadOnly;
  std::array<bool, kEditItemCount> enabled{};
  enabled[eiUndo] = writable && state.CanUndo;
  enabled[eiCut] = writable && selection && !state.Password;
  enabled[eiCopy] = selection && !state.Password;
  enabled[eiPaste] = writable && state.ClipboardHasText;
  enabled[eiDelete] = writable && selection;
  enabled[eiSelectAll] = first > 0 || last < state.TextLength;
  return enabled;
}

bool IsKeyboardContextMenu(std::intptr_t lparam) {
  return (static_cast<std::uint64_t>(lparam) & 0xFFFFFFFFu) == 0xFFFFFFFFu;
}

TPoint EditMenuDropPoint(bool from_keyboard, TPoint mouse, const TRect& client) {
  if (!from_keyboard)
    return mouse;
  return TPoint{client.Left + client.Width() / 2, client.Top + client.Height() / 2};
}

}  // namespace kestrune::skin
