// The rules of a text box's skinned context menu: its lines, which items are enabled for the
// box's state, and where a mouse or keyboard request drops it.

#include "skin/controls/edit_menu_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune::skin {
namespace {

TEST(EditMenuLines, TheEditControlsItemsWithTheirAcceleratorTexts) {
  std::string shown;
  for (const TacEditMenuLine& line : EditMenuLines()) {
    shown += line.Separator ? std::string("-") : std::string(line.Caption) + "\t" + line.ShortCut;
    shown += "\n";
  }
  EXPECT_EQ(shown,
            "&Undo\tCtrl+Z\n-\nCu&t\tCtrl+X\n&Copy\tCtrl+C\n&Paste\tCtrl+V\n&Delete\tDel\n-\n"
            "Select &All\tCtrl+A\n");
  bool seen[kEditItemCount] = {};
  for (const TacEditMenuLine& line : EditMenuLines()) {
    if (line.Separator)
      continue;
    SCOPED_TRACE(line.Caption);
    EXPECT_FALSE(seen[line.Item]) << "each command once";
    seen[line.Item] = true;
  }
}

TEST(EditMenuEnabled, ByTheBoxsState) {
  // Columns of `enabled`: Undo, Cut, Copy, Paste, Delete, Select All.
  const struct {
    const char* name;
    TacEditState state;
    const char* enabled;
  } cases[] = {
      {"empty box, empty clipboard", {}, "------"},
      {"empty box, text on the clipboard", {.ClipboardHasText = true}, "---P--"},
      {"text, no selection", {.SelStart = 3, .SelEnd = 3, .TextLength = 10}, "-----A"},
      {"a selection in the middle", {.SelStart = 2, .SelEnd = 5, .TextLength = 10}, "-XC-DA"},
      {"a selection given backwards", {.SelStart = 5, .SelEnd = 2, .TextLength = 10}, "-XC-DA"},
      {"all selected", {.SelStart = 0, .SelEnd = 10, .TextLength = 10}, "-XC-D-"},
      {"all selected, backwards", {.SelStart = 10, .SelEnd = 0, .TextLength = 10}, "-XC-D-"},
      {"from the start, not to the end", {.SelStart = 0, .SelEnd = 9, .TextLength = 10}, "-XC-DA"},
      {"to the end, not from the start", {.SelStart = 1, .SelEnd = 10, .TextLength = 10}, "-XC-DA"},
      {"a change to undo", {.CanUndo = true, .TextLength = 4}, "U----A"},
      {"everything at once",
       {.CanUndo = true, .SelStart = 1, .SelEnd = 2, .TextLength = 4, .ClipboardHasText = true},
       "UXCPDA"},
      {"read-only, selection and clipboard",
       {.ReadOnly = true,
        .CanUndo = true,
        .SelStart = 1,
        .SelEnd = 2,
        .TextLength = 4,
        .ClipboardHasText = true},
       "--C--A"},
      {"read-only, all selected",
       {.ReadOnly = true, .SelStart = 0, .SelEnd = 4, .TextLength = 4},
       "--C---"},
      {"masked text",
       {.Password = true,
        .CanUndo = true,
        .SelStart = 0,
        .SelEnd = 2,
        .TextLength = 4,
        .ClipboardHasText = true},
       "U--PDA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto enabled = EditMenuEnabled(c.state);
    std::string shown;
    const char letters[] = "UXCPDA";
    for (std::size_t i = 0; i < kEditItemCount; ++i)
      shown += enabled[i] ? letters[i] : '-';
    EXPECT_EQ(shown, c.enabled);
  }
}

TEST(EditMenuDrop, AtTheMouseOrInTheMiddleOfTheBoxForTheKeyboard) {
  const TRect client = Rect(100, 200, 301, 451);
  const struct {
    const char* name;
    std::intptr_t lparam;
    bool keyboard;
    TPoint at;
  } cases[] = {
      {"mouse", static_cast<std::intptr_t>(0x00C80096), false, {0x96, 0xC8}},
      {"keyboard, 32 bits", static_cast<std::intptr_t>(0xFFFFFFFFu), true, {200, 325}},
      {"keyboard, sign-extended", -1, true, {200, 325}},
      {"mouse left of the screen", static_cast<std::intptr_t>(0x0010FFF0), false, {-16, 16}},
      {"mouse at (-1, 0)", static_cast<std::intptr_t>(0x0000FFFF), false, {-1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsKeyboardContextMenu(c.lparam), c.keyboard);
    const auto x = static_cast<short>(c.lparam & 0xFFFF);
    const auto y = static_cast<short>((c.lparam >> 16) & 0xFFFF);
    EXPECT_EQ(EditMenuDropPoint(c.keyboard, TPoint{x, y}, client), c.at);
  }
}

}  // namespace
}  // namespace kestrune::skin
