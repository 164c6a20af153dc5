#pragma once
// The skinned memo: a framework memo bound to a scroll-window skin state (section EDIT) with the
// wrapper that paints its frame and scroll bars. The system edit control still draws the text,
// in the section's colours of the current state, set before every paint. Its context menu is the
// skinned edit menu while the memo is skinned and the menus skin popups. Include only from
// Windows sources.

#include <memory>

#include "platform/controls_win.h"
#include "skin/controls/edit_menu_win.h"
#include "skin/controls/scroll_wnd_win.h"
#include "skin/paint/skin_owner_win.h"

namespace kestrune::skin {

class TsSkinManager;

class TsMemo {
 public:
  // `memo` outlives this object; `manager` null means the default manager.
  explicit TsMemo(platform::Memo& memo, TsSkinManager* manager = nullptr);
  TsMemo(const TsMemo&) = delete;
  TsMemo& operator=(const TsMemo&) = delete;
  ~TsMemo();

  [[nodiscard]] TsScrollWndData& SkinData() { return *data_; }
  // The frame and scroll-bar wrapper; null while the memo is not skinned.
  [[nodiscard]] TacEditWnd* ListSW() const { return list_sw_.get(); }
  // The context menu; null when the memo stands on no form.
  [[nodiscard]] TacEditMenu* PopupMenu() const { return popup_menu_.get(); }

 private:
  bool OnMessage(TacMessage& message);
  void SetPaintColors();
  [[nodiscard]] bool Updating() const;

  platform::Memo& memo_;
  WinSkinOwner owner_;  // goes after the state and the wrapper
  std::unique_ptr<TsScrollWndData> data_;
  std::unique_ptr<TacEditWnd> list_sw_;
  std::unique_ptr<TacEditMenu> popup_menu_;
};

}  // namespace kestrune::skin
