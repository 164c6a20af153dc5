#pragma once
// TsSkinableMenus: the skin manager's menu painter. It installs owner-draw handlers into a
// form's menu items (the menu band's items and the drop-downs' items), measures and draws them
// from the skin with their pictures, and wraps every drop-down window the system makes so that
// it gets the skin's frame, rounded region and opacity. Include only from Windows sources.
//
// Painting never throws: a missing section, picture or window draws less, never fails.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/form_win.h"
#include "platform/gdi_win.h"
#include "platform/popup_menu_win.h"
#include "platform/window_owners_win.h"
#include "skin/controls/menu_rules.h"
#include "skin/data/skin_manager.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

// Posted to the form when an item is drawn before its drop-down window is known, so that the
// frame is drawn once the window exists (at most one pending).
inline constexpr UINT WM_DRAWMENUBORDER = 0xBCB3;
// Owner-draw state bit set by the form provider when it draws the band into its own bitmap.
inline constexpr UINT ODS_PROVIDERBITMAP = 0x400;
// The system's class atom of drop-down menu windows.
inline constexpr ATOM kPopupMenuAtom = 0x8000;

// The pictures of a form's menus: the image list as the menus see it.
struct TacMenuPictures {
  std::function<int(const platform::MenuItem&)> ImageIndex;  // -1: no picture
  std::function<SIZE(int ppi)> ListSize;                     // the list's picture size at ppi
  // Renders picture `index` (straight alpha) at target's size; false for an invalid index.
  std::function<bool(int index, Bitmap& target)> Render;
};

// The menu band painted by the form provider (its MenuLineBmp) and where the band's top-left
// corner lies in the coordinates of the DC a band item is drawn into.
struct TacMenuBand {
  const Bitmap* Bmp = nullptr;  // null: no provider paints the band
  POINT Origin{};
};

// One drop-down menu's record, from its first drawn item until its window goes.
struct TacMenuInfo {
  HMENU FirstItem = nullptr;    // the drop-down, which its first item stands for
  std::unique_ptr<Bitmap> Bmp;  // background of the whole drop-down window
  HWND Wnd = nullptr;
  bool HaveExtraLine = false;
  bool Filled = false;  // the area below the last item has been filled
  bool RgnApplied = false;
};

class TacMnuWnd;

class TsSkinableMenus : public TacSkinableMenusLink {
 public:
  // `manager` owns this object (its SkinableMenus) and outlives it.
  explicit TsSkinableMenus(TsSkinManager& manager);
  ~TsSkinableMenus() override;

  // The manager's object when it is one of these; nullptr otherwise.
  [[nodiscard]] static TsSkinableMenus* Of(TsSkinManager* manager);

  // Installs (active) or removes the handlers of every menu item of `form`: the band's items
  // get the band handlers, the others the drop-down handlers; the menus become owner-drawn.
  void InitItems(platform::Form& form, bool active = true);
  void InitMenuLine(platform::Form& form, bool active);
  void InitItem(platform::Form& form, platform::MenuItem& item, bool active);
  // Installs (active) or removes the drop-down handlers of every item of a popup menu of
  // `form`, hidden ones included, and makes its system menu again to match.
  void HookPopupMenu(platform::Form& form, platform::PopupMenu& menu, bool active);
  // Measures and draws everything again (after a skin or density change).
  void UpdateMenus();
  void SetPictures(const platform::Form& form, TacMenuPictures pictures);
  // The provider's band; until a provider answers, the band is painted here from the skin.
  std::function<TacMenuBand(const platform::Form& form, bool into_provider_bitmap)> MenuBand;

  // The handlers.
  void sMeasureItem(platform::Form& form, platform::MenuItem& item, HDC dc, int& width,
                    int& height);
  void sAdvancedDrawItem(platform::Form& form, platform::MenuItem& item, HDC dc, RECT r,
                         UINT state);
  void sMeasureLineItem(platform::Form& form, platform::MenuItem& item, HDC dc, int& width,
                        int& height);
  void sAdvancedDrawLineItem(platform::Form& form, platform::MenuItem& item, HDC dc, RECT r,
                             UINT state);

  // Draws the frames of the open drop-downs that are waiting for it (WM_DRAWMENUBORDER).
  void DrawMenuBorders();
  // The skin's frame and region of a drop-down window.
  void DrawWndBorder(HWND wnd);

  // Glyph size of one item, and of the image column of its drop-down.
  [[nodiscard]] SIZE GlyphSize(const platform::Form& form, const platform::MenuItem* item) const;
  // The record of a drop-down window; nullptr when no item of it has been drawn.
  [[nodiscard]] TacMenuInfo* InfoOfWindow(HWND wnd);
  [[nodiscard]] bool SkinsPopups() const;
  // A drop-down window is being created (it gets a wrapper) or has gone (its caches go).
  void WindowCreated(HWND wnd);
  void WindowDestroyed(HWND wnd);

  // TacSkinableMenusLink
  void SkinLoaded() override;
  void SkinDataCleared() override;
  // Items are drawn from the skin only while one is active: the system draws them otherwise.
  void SkinSwitched() override;

  // Fields (sizes at 96 dots per inch; scaled to the menu's density where used).
  int Margin = 2;
  int Spacing = 8;
  int BevelWidth = 0;
  int BorderWidth = 3;
  int SkinBorderWidth = -1;
  const platform::Form* Form = nullptr;
  int PPI = 96;
  TacMenuItemType it = smNormal;
  UINT Alignment = DT_LEFT;
  std::vector<RECT> ArOR;  // cut from a drop-down window's region
  TacSkinData* sd = nullptr;
  std::function<void(platform::MenuItem& item, HDC dc, const RECT& r, UINT state)> OnDrawItem;
  bool Active = true;
  bool BorderDrawing = false;

 private:
  friend class TacMnuWnd;
  struct ItemPlace {
    HMENU menu = nullptr;
    UINT position = 0;
    bool band = false;
    const platform::PopupMenu* popup = nullptr;  // the popup menu that holds the item
  };
  [[nodiscard]] ItemPlace PlaceOf(const platform::Form& form, const platform::MenuItem& item) const;
  void SetOwnerDraw(HMENU menu, UINT position, bool on) const;
  void UpdateForm(const platform::Form& form);
  [[nodiscard]] HFONT MenuFont(bool caption, bool bold);
  [[nodiscard]] TacItemMeasure Measure(const platform::Form& form, const platform::MenuItem* item,
                                       bool with_extra) const;
  [[nodiscard]] bool NoBorder() const;
  [[nodiscard]] int Section(const char* name) const;
  TacMenuInfo& InfoOf(HMENU menu);
  void PrepareMenuBG(TacMenuInfo& info, const platform::Form& form, SIZE size);
  void FillArOR(SIZE size);
  [[nodiscard]] TacDropDownFrame FrameOf(const TacMenuInfo& info) const;
  void DrawPicture(const platform::Form& form, const platform::MenuItem& item, Bitmap& target,
                   POINT at, SIZE size) const;
  [[nodiscard]] bool HasPicture(const platform::Form& form, const platform::MenuItem& item) const;
  [[nodiscard]] SIZE ComputedMenuSize(const platform::Form& form, HMENU menu);

  TsSkinManager& manager_;
  std::set<const platform::MenuItem*> installed_;
  std::map<const platform::Form*, TacMenuPictures> pictures_;
  std::vector<platform::Form*> forms_;
  std::vector<std::unique_ptr<TacMenuInfo>> infos_;
  std::map<HWND, std::unique_ptr<TacMnuWnd>> windows_;
  std::map<std::pair<int, int>, platform::UniqueFont> fonts_;           // (height, weight)
  std::map<std::pair<const platform::MenuItem*, int>, SIZE> measured_;  // item, ppi
  platform::UniqueHook hook_;  // reports new drop-down windows
  bool border_pending_ = false;
};

}  // namespace kestrune::skin
