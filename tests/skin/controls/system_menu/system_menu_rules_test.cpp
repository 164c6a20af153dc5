// The system menu's rules: the lines taken from a window's system menu and the table of
// visible and enabled items by border style, border icons and window state.

#include "skin/controls/system_menu_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrune::skin {
namespace {

// The system menu a window of the system has: texts with accelerators, Close with its shortcut.
std::vector<TacSysMenuEntry> StandardWindowMenu() {
  return {
      {kScRestore, "&Restore", false},     {kScMove, "&Move", false},
      {kScSize, "&Size", false},           {kScMinimize, "Mi&nimize", false},
      {kScMaximize, "Ma&ximize", false},   {0, "", true},
      {kScClose, "&Close\tAlt+F4", false},
  };
}

std::string Describe(const std::vector<TacSysMenuLine>& lines) {
  std::string text;
  for (const TacSysMenuLine& line : lines) {
    text += line.Name + "|" + line.Caption + "|" + line.ShortCut + "|" +
            std::to_string(line.Command) + "\n";
  }
  return text;
}

TEST(SystemMenuGenerate, StandardItemsTakeTheWindowsCaptionsInTheirOrder) {
  const std::vector<TacSysMenuLine> lines = GenerateSysMenu(StandardWindowMenu());
  EXPECT_EQ(Describe(lines),
            "acIR|&Restore||61728\n"
            "acIM|&Move||61456\n"
            "acIS|&Size||61440\n"
            "acIN|Mi&nimize||61472\n"
            "acIX|Ma&ximize||61488\n"
            "|-||0\n"
            "acIC|&Close|Alt+F4|61536\n");
  EXPECT_EQ(lines[5].What, TacSysMenuLine::Separator);
  EXPECT_EQ(lines[6].Item, siClose);
}

TEST(SystemMenuGenerate, MissingCommandsGetDefaultCaptionsAndExternalItemsKeepTheirShortcuts) {
  // A window whose menu lost Size and Close and gained two items of its own, a separator and a
  // sub-menu between them, and a command of the system's range that the skinned menu leaves out.
  const std::vector<TacSysMenuEntry> window_menu{
      {kScRestore, "&Restore\tignored", false},
      {kScMove, "&Move", false},
      {kScMinimize, "Mi&nimize", false},
      {kScMaximize, "Ma&ximize", false},
      {0, "", true},
      {0x0100, "&Always on top\tCtrl+T", false},
      {0xF140, "Screen saver", false},
      {0, "", true},
      {0x0120, "More", false, true},
      {0x0110, "About", false},
  };
  const std::vector<TacSysMenuLine> lines = GenerateSysMenu(window_menu);
  EXPECT_EQ(Describe(lines),
            "acIR|&Restore||61728\n"  // only Close and external items keep a shortcut
            "acIM|&Move||61456\n"
            "acIS|Size||61440\n"
            "acIN|Mi&nimize||61472\n"
            "acIX|Ma&ximize||61488\n"
            "|-||0\n"
            "|&Always on top|Ctrl+T|256\n"
            "|About||272\n"
            "|-||0\n"
            "acIC|Close||61536\n");
  EXPECT_EQ(lines[6].What, TacSysMenuLine::External);
  EXPECT_EQ(lines[8].What, TacSysMenuLine::Separator);
}

TEST(SystemMenuGenerate, AnEmptyWindowMenuGivesTheDefaults) {
  EXPECT_EQ(Describe(GenerateSysMenu({})),
            "acIR|Restore||61728\n"
            "acIM|Move||61456\n"
            "acIS|Size||61440\n"
            "acIN|Minimize||61472\n"
            "acIX|Maximize||61488\n"
            "|-||0\n"
            "acIC|Close||61536\n");
}

// "v" visible and enabled, "d" visible and disabled, "-" hidden, for Restore, Move, Size,
// Minimize, Maximize, Close.
std::string Table(const TacSysItemStates& states) {
  std::string text;
  for (const TacSysItemState& s : states)
    text += !s.Visible ? '-' : s.Enabled ? 'v' : 'd';
  return text;
}

TacSysMenuForm MainWindow() {
  TacSysMenuForm f;
  f.BorderStyle = bsSingle;
  f.IconMaximize = false;
  f.MainOnTaskBar = true;
  return f;
}

TEST(SystemMenuItems, TableByBorderStyleIconsAndState) {
  struct Case {
    const char* name;
    TacSysMenuForm form;
    const char* expected;
  };
  const auto with = [](TacSysMenuForm f, auto change) {
    change(f);
    return f;
  };
  const TacSysMenuForm sizeable;  // all icons, normal
  const std::vector<Case> cases{
      {"main window", MainWindow(), "dvdv-v"},
      // Maximize stays hidden: the main window on the task bar restores, it does not maximize.
      {"main window minimized", with(MainWindow(), [](auto& f) { f.State = wsMinimized; }),
       "vvdv-v"},
      {"sizeable", sizeable, "dvvvvv"},
      {"sizeable maximized", with(sizeable, [](auto& f) { f.State = wsMaximized; }), "vdvvvv"},
      {"sizeable minimized", with(sizeable, [](auto& f) { f.State = wsMinimized; }), "vvdvvv"},
      {"single with maximize", with(sizeable, [](auto& f) { f.BorderStyle = bsSingle; }), "dvdvvv"},
      {"dialog", with(sizeable, [](auto& f) { f.BorderStyle = bsDialog; }), "-v---v"},
      {"tool window", with(sizeable, [](auto& f) { f.BorderStyle = bsToolWindow; }), "-v---v"},
      {"sizeable tool window", with(sizeable, [](auto& f) { f.BorderStyle = bsSizeToolWin; }),
       "-vv--v"},
      {"no border", with(sizeable, [](auto& f) { f.BorderStyle = bsNone; }), "-v---v"},
      {"no system menu", with(sizeable, [](auto& f) { f.IconSystemMenu = false; }), "-vv---"},
      {"no maximize icon", with(sizeable, [](auto& f) { f.IconMaximize = false; }), "dvvv-v"},
      {"no icons minimized",
       with(sizeable,
            [](auto& f) {
              f.IconMinimize = false;
              f.IconMaximize = false;
              f.State = wsMinimized;
            }),
       "vvdddv"},
      {"multi-document child dialog",
       with(sizeable,
            [](auto& f) {
              f.MDIChild = true;
              f.BorderStyle = bsDialog;
            }),
       "dvvvvv"},
      {"close greyed", with(sizeable, [](auto& f) { f.CloseGreyed = true; }), "dvvvvd"},
      {"no close item", with(sizeable, [](auto& f) { f.HasCloseItem = false; }), "dvvvv-"},
      {"no window menu", with(sizeable, [](auto& f) { f.WindowMenu = false; }), "dvvvv-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Table(SysMenuItemStates(c.form)), c.expected);
  }
}

TEST(SystemMenuItems, WindowsOwnMenuGreysWhatTheTableHidesOrDisables) {
  struct Case {
    const char* name;
    TacWindowState state;
    TacBorderStyle border;
    const char* expected;  // "1" enabled, "0" greyed, by item
  };
  const std::vector<Case> cases{
      {"sizeable normal", wsNormal, bsSizeable, "011111"},
      {"sizeable maximized", wsMaximized, bsSizeable, "100111"},
      // Move and Size are greyed while minimized, though the table enables Move.
      {"sizeable minimized", wsMinimized, bsSizeable, "100111"},
      {"single normal", wsNormal, bsSingle, "010111"},
      {"dialog normal", wsNormal, bsDialog, "010001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TacSysMenuForm form;
    form.State = c.state;
    form.BorderStyle = c.border;
    std::string text;
    for (bool enabled : NativeSysMenuEnabled(form))
      text += enabled ? '1' : '0';
    EXPECT_EQ(text, c.expected);
  }
}

// Which messages drop the skinned menu: the icon press and Alt+Space under the icon, a right
// click on the title at the mouse; everything near them leaves the menu alone.
TEST(SystemMenuDrop, MessagesThatDropTheMenu) {
  constexpr unsigned kMsgNcRButtonUp = 0x00A5;
  constexpr std::intptr_t kMouseAt = (20 << 16) | 200;  // x 200, y 20 on the screen
  using enum TacSysMenuDrop;
  struct DropCase {
    const char* what;
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    unsigned hit;
    TacSysMenuDrop drop;
  };
  const DropCase cases[] = {
      {"press on the icon", kMsgNcLButtonDown, kHitSysMenu, kMouseAt, kHitNowhere, UnderIcon},
      {"press on the caption", kMsgNcLButtonDown, kHitCaption, kMouseAt, kHitNowhere, None},
      {"press on close", kMsgNcLButtonDown, kHitClose, kMouseAt, kHitNowhere, None},
      {"right release on the icon", kMsgNcRButtonUp, kHitSysMenu, kMouseAt, kHitNowhere, None},
      {"Alt+Space", kMsgSysCommand, kScKeyMenu, ' ', kHitNowhere, UnderIcon},
      {"Alt+Space, low bits set", kMsgSysCommand, kScKeyMenu | 0xF, ' ', kHitNowhere, UnderIcon},
      {"Alt with a letter opens the menu band", kMsgSysCommand, kScKeyMenu, 'f', kHitNowhere, None},
      {"Alt alone", kMsgSysCommand, kScKeyMenu, 0, kHitNowhere, None},
      {"another command with a space", kMsgSysCommand, kScMove, ' ', kHitNowhere, None},
      {"right click on the caption", kMsgContextMenu, 0, kMouseAt, kHitCaption, AtMouse},
      {"right click on the icon", kMsgContextMenu, 0, kMouseAt, kHitSysMenu, AtMouse},
      {"right click in the client", kMsgContextMenu, 0, kMouseAt, kHitClient, None},
      {"right click on the menu band", kMsgContextMenu, 0, kMouseAt, kHitMenu, None},
      {"right click on a caption button", kMsgContextMenu, 0, kMouseAt, kHitClose, None},
      {"context menu key, whatever the hit", kMsgContextMenu, 0, -1, kHitCaption, None},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SysMenuDropOf(c.message, c.wparam, c.lparam, c.hit), c.drop);
  }
  EXPECT_TRUE(SysMenuNeedsHit(kMsgContextMenu, kMouseAt));
  EXPECT_TRUE(SysMenuNeedsHit(kMsgContextMenu, 0)) << "the screen's top left corner is a point";
  EXPECT_FALSE(SysMenuNeedsHit(kMsgContextMenu, -1)) << "the keyboard's context menu";
  EXPECT_FALSE(SysMenuNeedsHit(kMsgNcLButtonDown, kMouseAt));
}

// Under the icon: at the frame's inner left edge, below the icon by the frame rules or by the
// icon's real bottom, whichever is lower.
TEST(SystemMenuDrop, PointUnderTheIcon) {
  struct PointCase {
    const char* what;
    int border_height;
    int sys_border;
    TRect icon;
    TPoint at;
  };
  const PointCase cases[] = {
      {"96 dots per inch: the rules' frame", 3, 3, TRect{3, 2, 19, 18}, TPoint{103, 222}},
      {"the icon's bottom is lower", 2, 2, TRect{4, 6, 20, 22}, TPoint{102, 222}},
      {"both the same", 3, 3, TRect{3, 6, 19, 22}, TPoint{103, 222}},
      {"no icon", 3, 3, TRect{}, TPoint{103, 206}},
  };
  for (const PointCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(
        SysMenuIconDropPoint(TPoint{100, 200}, c.border_height, c.sys_border, c.sys_border, c.icon),
        c.at);
  }
}

}  // namespace
}  // namespace kestrune::skin
