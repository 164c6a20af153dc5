#pragma once
// The rules of a text box's skinned context menu, apart from any window: its lines (the edit
// control's own items with their accelerator texts), which items are enabled for the box's state
// and where the menu drops. Pure and portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The commands, in the menu's order.
enum TacEditItem : std::uint8_t { eiUndo, eiCut, eiCopy, eiPaste, eiDelete, eiSelectAll };
inline constexpr std::size_t kEditItemCount = 6;

// One line of the menu: an item, or a separator (Name, Caption and ShortCut empty).
struct TacEditMenuLine {
  bool Separator = false;
  TacEditItem Item = eiUndo;
  const char* Name = "";
  const char* Caption = "";
  const char* ShortCut = "";
};

// Undo, a separator, Cut, Copy, Paste, Delete, a separator, Select All.
[[nodiscard]] std::span<const TacEditMenuLine> EditMenuLines();

// What the rules read of the text box.
struct TacEditState {
  bool ReadOnly = false;
  bool Password = false;  // shows its text masked
  bool CanUndo = false;   // the box has a change to undo
  int SelStart = 0;       // the selection, in characters; start may follow end
  int SelEnd = 0;
  int TextLength = 0;
  bool ClipboardHasText = false;
};

// Enabled state of each item, by TacEditItem: Undo with a change to undo, Cut and Delete with a
// selection, Paste with text on the clipboard, none of these four in a read-only box; Copy with a
// selection; Cut and Copy never in a box that masks its text; Select All unless the whole text
// is selected already (so not in an empty box).
[[nodiscard]] std::array<bool, kEditItemCount> EditMenuEnabled(const TacEditState& state);

// A context-menu request that comes from the keyboard (the menu key, Shift+F10) carries the
// point (-1, -1) in the low 32 bits of its lParam instead of the mouse's.
[[nodiscard]] bool IsKeyboardContextMenu(std::intptr_t lparam);

// Where the menu's top-left corner goes (screen coordinates): at the mouse for a mouse request,
// at the middle of the box's client area (`client`, screen coordinates) for a keyboard one.
[[nodiscard]] TPoint EditMenuDropPoint(bool from_keyboard, TPoint mouse, const TRect& client);

}  // namespace kestrune::skin
