#pragma once
// The rules of the skinned system menu, apart from any window: which items it holds, in what
// order and with which captions, taken from the window's own system menu; which of them show and
// react for a form's border style, border icons and window state; and which messages drop the
// menu, and where. Pure and portable.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/controls/caption_rules.h"
#include "skin/controls/skin_provider_metrics.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The name every skinned system menu's name begins with; the menu painter gives the items of
// such a menu their built-in glyphs.
inline constexpr char kSysMenuPrefix[] = "acSysMenu";

// The standard items, in the menu's order.
enum TacSysItem : std::uint8_t { siRestore, siMove, siSize, siMinimize, siMaximize, siClose };
inline constexpr std::size_t kSysItemCount = 6;

// Item name, command and default caption of each standard item.
struct TacSysItemKind {
  const char* Name;
  unsigned Command;
  const char* DefaultCaption;
};
[[nodiscard]] const TacSysItemKind& SysItemKind(TacSysItem item);

// One item of the window's own system menu.
struct TacSysMenuEntry {
  unsigned Command = 0;
  std::string Text;  // caption, then after a tab the shortcut text
  bool Separator = false;
  bool SubMenu = false;  // opens a menu of its own: no command to send
  friend bool operator==(const TacSysMenuEntry&, const TacSysMenuEntry&) = default;
};

// One item of the skinned menu, as Generate makes it.
struct TacSysMenuLine {
  enum Kind : std::uint8_t { Standard, External, Separator };
  Kind What = Standard;
  TacSysItem Item = siRestore;  // for standard items
  std::string Name;             // empty for external items and separators
  std::string Caption;
  std::string ShortCut;
  unsigned Command = 0;
};

// The skinned menu's lines from the window's system menu: Restore, Move, Size, Minimize,
// Maximize, a separator, the external items (commands outside 0xF000..0xF1FF; separators and
// sub-menus of the window's menu left out) and a separator after them when there is one, then
// Close. Captions are the window's texts up to the tab, or the default ones; Close and the external
// items keep the text after the tab as their shortcut.
[[nodiscard]] std::vector<TacSysMenuLine> GenerateSysMenu(
    const std::vector<TacSysMenuEntry>& window_menu);

// The caption part (before the first tab) and the shortcut part (after it) of a menu text.
[[nodiscard]] std::string_view CaptionPart(std::string_view text);
[[nodiscard]] std::string_view ShortCutPart(std::string_view text);

enum TacWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };

// What the rules read of a form and its window.
struct TacSysMenuForm {
  TacBorderStyle BorderStyle = bsSizeable;
  bool IconSystemMenu = true;  // border icons
  bool IconMinimize = true;
  bool IconMaximize = true;
  TacWindowState State = wsNormal;
  bool MDIChild = false;
  bool MainOnTaskBar = false;  // the application's main window, shown on the task bar
  bool WindowMenu = true;      // the window has a system menu of its own
  bool HasCloseItem = true;    // ... and it holds a close item
  bool CloseGreyed = false;    // ... which it greys
};

struct TacSysItemState {
  bool Visible = false;
  bool Enabled = false;
  friend bool operator==(const TacSysItemState&, const TacSysItemState&) = default;
};
using TacSysItemStates = std::array<TacSysItemState, kSysItemCount>;

// Visibility and enabled state of each standard item, by TacSysItem.
[[nodiscard]] TacSysItemStates SysMenuItemStates(const TacSysMenuForm& form);

// Whether each standard command is enabled in the window's own system menu when that menu is
// shown instead of the skinned one: visible and enabled by the table, move never while
// minimized, size only in the normal state.
[[nodiscard]] std::array<bool, kSysItemCount> NativeSysMenuEnabled(const TacSysMenuForm& form);

// The messages that can drop the skinned system menu, and the keyboard-menu command (the
// system's values).
inline constexpr unsigned kMsgContextMenu = 0x007B;
inline constexpr unsigned kMsgNcLButtonDown = 0x00A1;
inline constexpr unsigned kMsgSysCommand = 0x0112;
inline constexpr unsigned kScKeyMenu = 0xF100;

enum class TacSysMenuDrop : std::uint8_t { None, UnderIcon, AtMouse };

// Whether SysMenuDropOf needs the hit code of the message's point: only for a context menu that
// comes from the mouse (the keyboard's has the position -1).
[[nodiscard]] bool SysMenuNeedsHit(unsigned message, std::intptr_t lparam);

// Where a message drops the skinned system menu: a non-client press on the title icon (the
// system-menu hit code) and Alt+Space (the keyboard-menu command, whatever its low four bits,
// with a space) under the icon; a context menu from the mouse whose point `hit` is the caption
// or the icon at the mouse, where the system would drop its own; anything else not at all.
[[nodiscard]] TacSysMenuDrop SysMenuDropOf(unsigned message, std::uintptr_t wparam,
                                           std::intptr_t lparam, unsigned hit);

// The screen point the menu drops at under the icon: the frame's inner left edge (the window's
// left plus the system border), and below the icon by the frame rules (border + icon height +
// system border) but never above the icon's real bottom: off 96 dots per inch the frame the
// rules compute may be thinner than the real frame the icon stands below. `icon` is in window
// coordinates.
[[nodiscard]] TPoint SysMenuIconDropPoint(TPoint window_origin, int border_height,
                                          int sys_border_width, int sys_border_height,
                                          const TRect& icon);

}  // namespace kestrune::skin
