#include "skin/controls/system_menu_rules.h"

#include <algorithm>

namespace kestrune::skin {
namespace {

constexpr std::array<TacSysItemKind, kSysItemCount> kKinds{{
    {"acIR", kScRestore, "Restore"},
    {"acIM", kScMove, "Move"},
    {"acIS", kScSize, "Size"},
    {"acIN", kScMinimize, "Minimize"},
    {"acIX", kScMaximize, "Maximize"},
    {"acIC", kScClose, "Close"},
}};

// The system's own range of commands; items outside it are the window's extra ones.
bool StandardCommand(unsigned command) {
  return command >= 0xF000 && command <= 0xF1FF;
}

TacSysMenuLine StandardLine(TacSysItem item, const std::vector<TacSysMenuEntry>& window_menu) {
  const TacSysItemKind& kind = SysItemKind(item);
  TacSysMenuLine line;
  line.Item = item;
  line.Name = kind.Name;
  line.Command = kind.Command;
  line.Caption = kind.DefaultCaption;
  for (const TacSysMenuEntry& entry : window_menu) {
    if (!entry.Separator && !entry.SubMenu && entry.Command == kind.Command) {
      line.Caption = std::string(CaptionPart(entry.Text));
      if (item == siClose)
        line.ShortCut = std::string(ShortCutPart(entry.Text));
      break;
    }
  }
  return line;
}

TacSysMenuLine SeparatorLine() {
  TacSysMenuLine line;
  line.What = TacSysMenuLine::Separator;
  line.Caption = "-";
  return line;
}

// Shown for these styles only on multi-document children.
bool NarrowFrame(TacBorderStyle style) {
  return style == bsNone || style == bsDialog || style == bsToolWindow || style == bsSizeToolWin;
}

}  // namespace

const TacSysItemKind& SysItemKind(TacSysItem item) {
  return kKinds[item];
}

std::string_view CaptionPart(std::string_view text) {
  return text.substr(0, text.find('\t'));
}

std::string_view ShortCutPart(std::string_view text) {
  const std::size_t tab = text.find('\t');
  return tab == std::string_view::npos ? std::string_view() : text.substr(tab + 1);
}

std::vector<TacSysMenuLine> GenerateSysMenu(const std::vector<TacSysMenuEntry>& window_menu) {
  std::vector<TacSysMenuLine> lines;
  for (TacSysItem item : {siRestore, siMove, siSize, siMinimize, siMaximize})
    lines.push_back(StandardLine(item, window_menu));
  lines.push_back(SeparatorLine());
  bool external = false;
  for (const TacSysMenuEntry& entry : window_menu) {
    if (entry.Separator || entry.SubMenu || StandardCommand(entry.Command))
      continue;
    TacSysMenuLine line;
    line.What = TacSysMenuLine::External;
    line.Caption = std::string(CaptionPart(entry.Text));
    line.ShortCut = std::string(ShortCutPart(entry.Text));
    line.Command = entry.Command;
    lines.push_back(std::move(line));
    external = true;
  }
  if (external)
    lines.push_back(SeparatorLine());
  lines.push_back(StandardLine(siClose, window_menu));
  return lines;
}

TacSysItemStates SysMenuItemStates(const TacSysMenuForm& f) {
  const bool minimized = f.State == wsMinimized;
  const bool wide_frame = !NarrowFrame(f.BorderStyle);
  TacSysItemStates s;
  s[siRestore].Visible = (f.IconSystemMenu && wide_frame) || f.MDIChild;
  s[siRestore].Enabled = (f.IconMaximize && f.State != wsNormal) || minimized;
  s[siMove] = {true, f.State != wsMaximized};
  s[siSize].Visible =
      (f.BorderStyle != bsNone && f.BorderStyle != bsDialog && f.BorderStyle != bsToolWindow) ||
      f.MDIChild;
  s[siSize].Enabled = f.BorderStyle != bsSingle && !minimized;
  s[siMinimize].Visible =
      (f.IconSystemMenu && f.IconMinimize && wide_frame) || minimized || f.MDIChild;
  s[siMinimize].Enabled = f.IconMinimize;
  s[siMaximize].Visible = (f.IconSystemMenu && f.IconMaximize && wide_frame) ||
                          (minimized && !f.MainOnTaskBar) || f.MDIChild;
  s[siMaximize].Enabled =
      f.IconMaximize && (f.BorderStyle == bsSingle || f.BorderStyle == bsSizeable || f.MDIChild);
  s[siClose].Visible = f.IconSystemMenu && f.WindowMenu && f.HasCloseItem;
  s[siClose].Enabled = f.WindowMenu ? !f.CloseGreyed : f.IconSystemMenu;
  return s;
}

std::array<bool, kSysItemCount> NativeSysMenuEnabled(const TacSysMenuForm& form) {
  const TacSysItemStates states = SysMenuItemStates(form);
  std::array<bool, kSysItemCount> enabled{};
  for (std::size_t i = 0; i < kSysItemCount; ++i)
    enabled[i] = states[i].Visible && states[i].Enabled;
  if (form.State == wsMinimized)
    enabled[siMove] = false;
  if (form.State != wsNormal)
    enabled[siSize] = false;
  return enabled;
}

bool SysMenuNeedsHit(unsigned message, std::intptr_t lparam) {
  return message == kMsgContextMenu && lparam != -1;
}

TacSysMenuDrop SysMenuDropOf(unsigned message, std::uintptr_t wparam, std::intptr_t lparam,
                             unsigned hit) {
  if (SysMenuNeedsHit(message, lparam) && (hit == kHitCaption || hit == kHitSysMenu))
    return TacSysMenuDrop::AtMouse;
  if ((message == kMsgNcLButtonDown && wparam == kHitSysMenu) ||
      (message == kMsgSysCommand && (wparam & 0xFFF0) == kScKeyMenu && lparam == ' '))
    return TacSysMenuDrop::UnderIcon;
  return TacSysMenuDrop::None;
}

TPoint SysMenuIconDropPoint(TPoint window_origin, int border_height, int sys_border_width,
                            int sys_border_height, const TRect& icon) {
  const int below_icon = std::max(border_height + icon.Height() + sys_border_height, icon.Bottom);
  return TPoint{window_origin.X + sys_border_width, window_origin.Y + below_icon};
}

}  // namespace kestrune::skin
