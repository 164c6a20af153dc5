#include "skin/controls/skinable_menus_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/gdi_win.h"
#include "platform/win_util.h"
#include "skin/controls/menu_window_win.h"
#include "skin/controls/system_menu_glyphs.h"
#include "skin/controls/system_menu_rules.h"
#include "skin/data/skin_colors.h"
#include "skin/paint/item_paint.h"
#include "skin/paint/round_masks.h"
#include "skin/paint/skin_text_win.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

// Plain copy of src_rect of src to (x, y) of dst, cut to both bitmaps.
void CopyPixels(Bitmap& dst, int x, int y, const Bitmap& src, TRect src_rect) {
  if (src_rect.Left < 0) {
    x -= src_rect.Left;
    src_rect.Left = 0;
  }
  if (src_rect.Top < 0) {
    y -= src_rect.Top;
    src_rect.Top = 0;
  }
  if (x < 0) {
    src_rect.Left -= x;
    x = 0;
  }
  if (y < 0) {
    src_rect.Top -= y;
    y = 0;
  }
  const int width = std::min({src_rect.Right, src.Width()}) - src_rect.Left;
  const int height = std::min({src_rect.Bottom, src.Height()}) - src_rect.Top;
  const int w = std::min(width, dst.Width() - x);
  const int h = std::min(height, dst.Height() - y);
  if (w <= 0 || h <= 0)
    return;
  for (int row = 0; row < h; ++row)
    std::memcpy(dst.Row32(y + row) + x, src.Row32(src_rect.Top + row) + src_rect.Left,
                static_cast<std::size_t>(w) * 4);
}

Bitmap CopyOf(const Bitmap& bmp) {
  Bitmap copy = CreateBmp32(bmp.Width(), bmp.Height());
  CopyPixels(copy, 0, 0, bmp, Rect(0, 0, bmp.Width(), bmp.Height()));
  return copy;
}

// Pixels shown in a window are opaque; a layered drop-down would otherwise take the alpha
// bytes the painting left behind for its own, where the system reads them.
void MakeOpaque(Bitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint32_t* row = bmp.Row32(y);
    for (int x = 0; x < bmp.Width(); ++x)
      row[x] |= 0xFF000000u;
  }
}

void PutToDC(HDC dc, const RECT& r, Bitmap& bmp) {
  MakeOpaque(bmp);
  ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BitmapDC(bmp), 0, 0, SRCCOPY);
}

bool IsDropDownWindow(HWND wnd) {
  return wnd != nullptr && ::GetClassLongPtrW(wnd, GCW_ATOM) == kPopupMenuAtom;
}

MENUITEMINFOW ItemInfo(HMENU menu, UINT position, UINT mask) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  if (!::GetMenuItemInfoW(menu, position, TRUE, &info))
    info = MENUITEMINFOW{};
  return info;
}

// The caption as the menu shows it: an item's own caption, or what the menu holds now.
std::wstring WideCaption(const platform::MenuItem& item) {
  return platform::Widen(item.Caption());
}

UINT PrefixFlag(UINT state, bool always) {
  static_assert(kStateNoAccel == ODS_NOACCEL);
  return HidesPrefix(state, always) ? DT_HIDEPREFIX : 0;
}

// The built-in check mark: two strokes in the text colour.
void DrawCheckMark(Bitmap& bmp, TRect box, TColor color) {
  const int side = std::min(box.Width(), box.Height()) / 2;
  const int x0 = box.Left + (box.Width() - side) / 2;
  const int y0 = box.Top + (box.Height() - side) / 2;
  for (int i = 0; i < side; ++i) {
    const int x = x0 + i;
    const int y = i < side / 3 ? y0 + side / 2 + i : y0 + side / 2 + side / 3 - (i - side / 3);
    FillRect32(bmp, Rect(x, y, x + 1, y + 2), color);
  }
}

RECT ToRECT(const TRect& r) {
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

}  // namespace

TsSkinableMenus::TsSkinableMenus(TsSkinManager& manager)
    : manager_(manager), hook_(InstallMenuWindowHook()) {}

TsSkinableMenus::~TsSkinableMenus() {
  // No new drop-down may be reported while the wrappers go.
  hook_.Reset();
  windows_.clear();
  const auto release = [this](platform::MenuItem* item) {
    if (installed_.count(item) != 0) {
      item->on_measure_item = nullptr;
      item->on_advanced_draw_item = nullptr;
    }
  };
  for (platform::Form* form : forms_) {
    for (platform::MenuItem* item : form->MenuItems())
      release(item);
    for (platform::PopupMenu* popup : form->PopupMenus()) {
      for (platform::MenuItem* item : popup->Items())
        release(item);
    }
  }
}

TsSkinableMenus* TsSkinableMenus::Of(TsSkinManager* manager) {
  return manager == nullptr ? nullptr
                            : dynamic_cast<TsSkinableMenus*>(manager->SkinableMenus.get());
}

bool TsSkinableMenus::SkinsPopups() const {
  return Active && manager_.SkinnedPopups && manager_.IsActive();
}

void TsSkinableMenus::SkinLoaded() {
  SkinBorderWidth = -1;
  infos_.clear();
  measured_.clear();
  sd = nullptr;
}

void TsSkinableMenus::SkinDataCleared() {
  SkinLoaded();
}

void TsSkinableMenus::SkinSwitched() {
  UpdateMenus();
}

void TsSkinableMenus::SetPictures(const platform::Form& form, TacMenuPictures pictures) {
  pictures_[&form] = std::move(pictures);
}

// --- Installing ------------------------------------------------------------------------------

TsSkinableMenus::ItemPlace TsSkinableMenus::PlaceOf(const platform::Form& form,
                                                    const platform::MenuItem& item) const {
  auto find = [&item](HMENU menu, ItemPlace& place) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      if (ItemInfo(menu, static_cast<UINT>(i), MIIM_ID).wID == item.Id()) {
        place.menu = menu;
        place.position = static_cast<UINT>(i);
        return true;
      }
    }
    return false;
  };
  ItemPlace place;
  for (platform::PopupMenu* popup : form.PopupMenus()) {
    if (find(popup->Handle(), place)) {
      place.popup = popup;
      return place;
    }
  }
  if (form.MenuBar() == nullptr)
    return place;
  if (find(form.MenuBar(), place)) {
    place.band = true;
    return place;
  }
  for (const platform::MenuItem* band_item : form.MenuItems()) {
    if (HMENU popup = form.PopupOf(*band_item); popup != nullptr && find(popup, place))
      return place;
  }
  return place;
}

void TsSkinableMenus::SetOwnerDraw(HMENU menu, UINT position, bool on) const {
  MENUITEMINFOW info = ItemInfo(menu, position, MIIM_FTYPE);
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  info.fType = on ? info.fType | MFT_OWNERDRAW : info.fType & ~static_cast<UINT>(MFT_OWNERDRAW);
  ::SetMenuItemInfoW(menu, position, TRUE, &info);
}

void TsSkinableMenus::InitItems(platform::Form& form, bool active) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end())
    forms_.push_back(&form);
  InitMenuLine(form, active);
  for (platform::MenuItem* item : form.MenuItems()) {
    if (!PlaceOf(form, *item).band)
      InitItem(form, *item, active);
  }
  measured_.clear();
  if (form.MenuBar() != nullptr && form.Handle() != nullptr)
    ::DrawMenuBar(form.Handle());
}

void TsSkinableMenus::InitMenuLine(platform::Form& form, bool active) {
  for (platform::MenuItem* item : form.MenuItems()) {
    if (PlaceOf(form, *item).band)
      InitItem(form, *item, active);
  }
}

void TsSkinableMenus::InitItem(platform::Form& form, platform::MenuItem& item, bool active) {
  const ItemPlace place = PlaceOf(form, item);
  if (place.menu == nullptr)
    return;
  const bool ours = installed_.count(&item) != 0;
  if (active && SkinsPopups()) {
    // Handlers the application set stay.
    if (!ours && (item.on_measure_item || item.on_advanced_draw_item))
      return;
    platform::Form* owner = &form;
    platform::MenuItem* target = &item;
    if (place.band) {
      item.on_measure_item = [this, owner, target](HDC dc, int& width, int& height) {
        sMeasureLineItem(*owner, *target, dc, width, height);
      };
      item.on_advanced_draw_item = [this, owner, target](HDC dc, const RECT& r, UINT state) {
        sAdvancedDrawLineItem(*owner, *target, dc, r, state);
      };
    } else {
      item.on_measure_item = [this, owner, target](HDC dc, int& width, int& height) {
        sMeasureItem(*owner, *target, dc, width, height);
      };
      item.on_advanced_draw_item = [this, owner, target](HDC dc, const RECT& r, UINT state) {
        sAdvancedDrawItem(*owner, *target, dc, r, state);
      };
    }
    installed_.insert(&item);
    SetOwnerDraw(place.menu, place.position, true);
  } else if (ours) {
    item.on_measure_item = nullptr;
    item.on_advanced_draw_item = nullptr;
    installed_.erase(&item);
    SetOwnerDraw(place.menu, place.position, false);
  }
}

void TsSkinableMenus::HookPopupMenu(platform::Form& form, platform::PopupMenu& menu, bool active) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end())
    forms_.push_back(&form);
  platform::Form* owner = &form;
  for (platform::MenuItem* item : menu.Items()) {
    const bool ours = installed_.count(item) != 0;
    if (active && SkinsPopups()) {
      if (!ours && (item->on_measure_item || item->on_advanced_draw_item))
        continue;
      item->on_measure_item = [this, owner, item](HDC dc, int& width, int& height) {
        sMeasureItem(*owner, *item, dc, width, height);
      };
      item->on_advanced_draw_item = [this, owner, item](HDC dc, const RECT& r, UINT state) {
        sAdvancedDrawItem(*owner, *item, dc, r, state);
      };
      installed_.insert(item);
    } else if (ours) {
      item->on_measure_item = nullptr;
      item->on_advanced_draw_item = nullptr;
      installed_.erase(item);
    }
  }
  // Items of an earlier filling may have left their sizes under addresses now reused.
  measured_.clear();
  menu.Rebuild();
}

void TsSkinableMenus::UpdateMenus() {
  infos_.clear();
  measured_.clear();
  sd = nullptr;
  for (platform::Form* form : forms_)
    InitItems(*form, SkinsPopups());
}

// --- Measuring ------------------------------------------------------------------------------

void TsSkinableMenus::UpdateForm(const platform::Form& form) {
  const int ppi = form.PixelsPerInch();
  if (Form != &form || PPI != ppi || sd == nullptr) {
    if (PPI != ppi)
      SkinBorderWidth = -1;
    Form = &form;
    PPI = ppi;
    sd = &manager_.CommonSkinData(ppi);
  }
}

int TsSkinableMenus::Section(const char* name) const {
  return sd == nullptr ? -1 : sd->GetSkinIndex(name);
}

HFONT TsSkinableMenus::MenuFont(bool caption, bool bold) {
  const int height = ScaleToPPI(manager_.MenuSupport.FontHeight, PPI);
  const int weight = caption || bold ? FW_BOLD : FW_NORMAL;
  auto& font = fonts_[{height, weight}];
  if (font.Get() == nullptr) {
    LOGFONTW log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    log.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = platform::Widen(manager_.MenuSupport.FontName);
    ::lstrcpynW(log.lfFaceName, face.c_str(), LF_FACESIZE);
    font.Reset(::CreateFontIndirectW(&log));
  }
  return font.Get();
}

SIZE TsSkinableMenus::GlyphSize(const platform::Form& form, const platform::MenuItem* item) const {
  const int ppi = form.PixelsPerInch();
  const auto pictures = pictures_.find(&form);
  if (pictures != pictures_.end() && pictures->second.ListSize) {
    const bool has_picture =
        item == nullptr || !pictures->second.ImageIndex || pictures->second.ImageIndex(*item) >= 0;
    const SIZE size = pictures->second.ListSize(ppi);
    if (has_picture && size.cx > 0 && size.cy > 0)
      return size;
  }
  return {ScaleToPPI(16, ppi), ScaleToPPI(16, ppi)};
}

bool TsSkinableMenus::NoBorder() const {
  const int index = Section("MAINMENU");
  if (index < 0)
    return true;
  const TsGeneralData& gd = sd->gd[static_cast<std::size_t>(index)];
  return gd.BorderIndex < 0 && gd.BorderRadius <= 0;
}

TacItemMeasure TsSkinableMenus::Measure(const platform::Form& form, const platform::MenuItem* item,
                                        bool with_extra) const {
  TacItemMeasure m;
  const SIZE glyph = GlyphSize(form, item);
  m.GlyphWidth = glyph.cx;
  m.GlyphHeight = glyph.cy;
  m.Margin = ScaleToPPI(Margin, PPI);
  m.Spacing = ScaleToPPI(Spacing, PPI);
  m.BorderWidth = BorderWidth;
  m.NoBorder = NoBorder();
  m.ExtraWidth = with_extra && manager_.MenuSupport.UseExtraLine
                     ? ScaleToPPI(manager_.MenuSupport.ExtraLineWidth, PPI)
                     : 0;
  return m;
}

void TsSkinableMenus::sMeasureItem(platform::Form& form, platform::MenuItem& item, HDC dc,
                                   int& width, int& height) {
  UpdateForm(form);
  const ItemPlace place = PlaceOf(form, item);
  if (place.menu != nullptr)
    static_cast<void>(InfoOf(place.menu));
  it = MenuItemKind(item.Caption());
  const bool is_default =
      place.menu != nullptr &&
      (ItemInfo(place.menu, place.position, MIIM_STATE).fState & MFS_DEFAULT) != 0;
  const platform::SelectedObject font(dc, MenuFont(it == smCaption, is_default));
  std::wstring text;
  if (it == smCaption)
    text = platform::Widen(std::string(DivText(item.Caption())));
  else if (it == smNormal)
    text = WideCaption(item);
  int text_width = 1;
  int text_height = 0;
  if (!text.empty()) {
    RECT r{0, 0, 800, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
    text_width = r.right - r.left;
    text_height = r.bottom - r.top;
  }
  const TacItemMeasure m = Measure(form, &item, true);
  width = MenuItemWidth(m, it != smDivider && !text.empty(), text_width);
  height = MenuItemHeight(it, m, text_height);
  measured_[{&item, PPI}] = SIZE{width, height};
}

void TsSkinableMenus::sMeasureLineItem(platform::Form& form, platform::MenuItem& item, HDC dc,
                                       int& width, int& height) {
  UpdateForm(form);
  height = ::GetSystemMetrics(SM_CYMENU) - 1;
  const std::wstring text = platform::Widen(StripAmpersands(item.Caption()));
  const platform::SelectedObject font(dc, MenuFont(false, false));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  int image = 0;
  const auto pictures = pictures_.find(&form);
  if (pictures != pictures_.end() && pictures->second.ImageIndex &&
      pictures->second.ImageIndex(item) >= 0)
    image = GlyphSize(form, &item).cy;
  width = LineItemWidth(extent.cx, image);
}

// --- The drop-down's background -------------------------------------------------------------

TacMenuInfo& TsSkinableMenus::InfoOf(HMENU menu) {
  for (auto& info : infos_) {
    if (info->FirstItem == menu)
      return *info;
  }
  infos_.push_back(std::make_unique<TacMenuInfo>());
  infos_.back()->FirstItem = menu;
  infos_.back()->HaveExtraLine = manager_.MenuSupport.UseExtraLine;
  return *infos_.back();
}

TacMenuInfo* TsSkinableMenus::InfoOfWindow(HWND wnd) {
  for (auto& info : infos_) {
    if (info->Wnd == wnd)
      return info.get();
  }
  return nullptr;
}

SIZE TsSkinableMenus::ComputedMenuSize(const platform::Form& form, HMENU menu) {
  // One column: the measured items as the system would lay them out.
  int height = 0;
  int widest = 0;
  const auto add = [&](const platform::MenuItem* item) {
    const ItemPlace place = PlaceOf(form, *item);
    if (place.menu != menu)
      return;
    const auto size = measured_.find({item, PPI});
    if (size == measured_.end())
      return;
    height += size->second.cy;
    widest = std::max(widest, static_cast<int>(size->second.cx));
  };
  for (const platform::MenuItem* item : form.MenuItems())
    add(item);
  for (const platform::PopupMenu* popup : form.PopupMenus()) {
    for (const platform::MenuItem* item : popup->Items())
      add(item);
  }
  return {widest + 12 + 2 * BorderWidth, height + 2 * BorderWidth};
}

void TsSkinableMenus::FillArOR(SIZE size) {
  ArOR.clear();
  const int index = Section("MAINMENU");
  if (index < 0)
    return;
  const int radius = FitRadius(sd->gd[static_cast<std::size_t>(index)].BorderRadius,
                               static_cast<int>(size.cx), static_cast<int>(size.cy));
  const auto mask = GetRoundMask(radius);
  if (mask == nullptr)
    return;
  // A pixel leaves the region when less than half of it lies inside the quarter circle.
  for (int y = 0; y < radius; ++y) {
    int cut = 0;
    while (cut < radius && mask->At(cut, y) > 127)
      ++cut;
    if (cut == 0)
      continue;
    const LONG w = size.cx;
    const LONG h = size.cy;
    ArOR.push_back({0, y, cut, y + 1});
    ArOR.push_back({w - cut, y, w, y + 1});
    ArOR.push_back({0, h - 1 - y, cut, h - y});
    ArOR.push_back({w - cut, h - 1 - y, w, h - y});
  }
}

void TsSkinableMenus::PrepareMenuBG(TacMenuInfo& info, const platform::Form& form, SIZE size) {
  info.Bmp =
      std::make_unique<Bitmap>(CreateBmp32(static_cast<int>(size.cx), static_cast<int>(size.cy)));
  Bitmap& bmp = *info.Bmp;
  const TRect all = Rect(0, 0, bmp.Width(), bmp.Height());
  const int main_menu = Section("MAINMENU");
  const TsGeneralData* gd = main_menu >= 0 ? &sd->gd[static_cast<std::size_t>(main_menu)] : nullptr;
  if (SkinBorderWidth < 0) {
    SkinBorderWidth =
        gd == nullptr ? 0
        : gd->BorderIndex >= 0
            ? SkinBorderWidthOf(true, sd->ma[static_cast<std::size_t>(gd->BorderIndex)].WL, 0)
            : SkinBorderWidthOf(false, 0, gd->BorderRadius);
  }
  if (gd == nullptr) {
    FillRect32(bmp, all, ColorToRGB(clMenuBar));
    return;
  }
  PaintItemBG(main_menu, EmptyCI, 0, all, {0, 0}, bmp, *sd);
  const int column = ImageColumnWidth(Measure(form, nullptr, false));
  const int extra = info.HaveExtraLine ? ScaleToPPI(manager_.MenuSupport.ExtraLineWidth, PPI) : 0;
  if (const int ico_line = Section(manager_.MenuSupport.IcoLineSkin.c_str()); ico_line >= 0) {
    const int band_height = bmp.Height() - 2 * SkinBorderWidth;
    if (band_height > 0) {
      Bitmap band = CreateBmp32(column, band_height);
      const TCacheInfo ci = MakeCacheInfo(bmp);
      PaintItem(ico_line, ci, 0, Rect(0, 0, column, band_height),
                {extra + SkinBorderWidth, SkinBorderWidth}, band, *sd);
      CopyPixels(bmp, extra + SkinBorderWidth, SkinBorderWidth, band,
                 Rect(0, 0, column, band_height));
    }
  }
  if (gd->BorderIndex >= 0) {
    DrawSkinRect(bmp, all, EmptyCI, sd->ma[static_cast<std::size_t>(gd->BorderIndex)],
                 sd->MasterBmp, 0, true);
  } else {
    // The region cuts the corners; the pixels it keeps at the curve fade towards black.
    TCacheInfo corners;
    corners.FillColor = clBlack;
    TryPaintBorder(bmp, all, *gd, 0, corners, nullptr, PPI, false);
  }
  if (extra > 0) {
    if (const int extra_line = Section("EXTRALINE"); extra_line >= 0) {
      Bitmap band = CreateBmp32(extra, bmp.Height() - 2 * SkinBorderWidth);
      const TCacheInfo ci = MakeCacheInfo(bmp);
      PaintItem(extra_line, ci, 0, Rect(0, 0, band.Width(), band.Height()),
                {SkinBorderWidth, SkinBorderWidth}, band, *sd);
      CopyPixels(bmp, SkinBorderWidth, SkinBorderWidth, band,
                 Rect(0, 0, band.Width(), band.Height()));
    }
  }
  MakeOpaque(bmp);
  FillArOR(size);
}

TacDropDownFrame TsSkinableMenus::FrameOf(const TacMenuInfo& info) const {
  if (info.Wnd == nullptr || !::IsWindow(info.Wnd))
    return {{BorderWidth, BorderWidth}, BorderWidth};
  RECT window{};
  ::GetWindowRect(info.Wnd, &window);
  POINT client{0, 0};
  ::ClientToScreen(info.Wnd, &client);
  RECT first{};
  TacPoint first_item{BorderWidth - (client.x - window.left),
                      BorderWidth - (client.y - window.top)};
  if (::GetMenuItemRect(nullptr, info.FirstItem, 0, &first) && first.right > first.left)
    first_item = {first.left - client.x, first.top - client.y};
  return DropDownFrame({window.left, window.top}, {client.x, client.y}, first_item);
}

void TsSkinableMenus::DrawWndBorder(HWND wnd) {
  TacMenuInfo* info = InfoOfWindow(wnd);
  if (info == nullptr || info->Bmp == nullptr || BorderDrawing)
    return;
  BorderDrawing = true;
  const Bitmap& bmp = *info->Bmp;
  if (!info->RgnApplied) {
    info->RgnApplied = true;
    platform::SetWindowRegion(
        wnd, platform::RectMinusRects(RECT{0, 0, bmp.Width(), bmp.Height()}, ArOR), false);
  }
  const int frame = FrameOf(*info).Frame;
  if (const platform::WindowDc window_dc(wnd, platform::WindowDc::Area::Whole);
      window_dc.Get() != nullptr) {
    HDC source = BitmapDC(bmp);
    const int w = bmp.Width();
    const int h = bmp.Height();
    ::BitBlt(window_dc.Get(), 0, 0, w, frame, source, 0, 0, SRCCOPY);
    ::BitBlt(window_dc.Get(), 0, h - frame, w, frame, source, 0, h - frame, SRCCOPY);
    ::BitBlt(window_dc.Get(), 0, frame, frame, h - 2 * frame, source, 0, frame, SRCCOPY);
    ::BitBlt(window_dc.Get(), w - frame, frame, frame, h - 2 * frame, source, w - frame, frame,
             SRCCOPY);
  }
  BorderDrawing = false;
}

void TsSkinableMenus::DrawMenuBorders() {
  border_pending_ = false;
  for (auto& info : infos_) {
    if (info->Wnd == nullptr) {
      // The window is the open drop-down of this menu, when there is one.
      for (auto& [wnd, wrapper] : windows_) {
        if (InfoOfWindow(wnd) == nullptr && ::IsWindowVisible(wnd)) {
          info->Wnd = wnd;
          break;
        }
      }
    }
    if (info->Wnd != nullptr && ::IsWindow(info->Wnd))
      DrawWndBorder(info->Wnd);
  }
}

// --- Drawing --------------------------------------------------------------------------------

void TsSkinableMenus::DrawPicture(const platform::Form& form, const platform::MenuItem& item,
                                  Bitmap& target, POINT at, SIZE size) const {
  const auto pictures = pictures_.find(&form);
  if (pictures == pictures_.end() || !pictures->second.ImageIndex || !pictures->second.Render)
    return;
  const int index = pictures->second.ImageIndex(item);
  if (index < 0 || size.cx <= 0 || size.cy <= 0)
    return;
  Bitmap picture = CreateBmp32(static_cast<int>(size.cx), static_cast<int>(size.cy));
  if (!pictures->second.Render(index, picture))
    return;
  PaintBmpRect32(target, picture, Rect(0, 0, picture.Width(), picture.Height()), 255,
                 {static_cast<int>(at.x), static_cast<int>(at.y)});
}

bool TsSkinableMenus::HasPicture(const platform::Form& form, const platform::MenuItem& item) const {
  const auto pictures = pictures_.find(&form);
  return pictures != pictures_.end() && pictures->second.ImageIndex && pictures->second.Render &&
         pictures->second.ImageIndex(item) >= 0;
}

void TsSkinableMenus::sAdvancedDrawItem(platform::Form& form, platform::MenuItem& item, HDC dc,
                                        RECT r, UINT state) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const ItemPlace place = PlaceOf(form, item);
  if (w <= 0 || h <= 0 || place.menu == nullptr)
    return;
  if (place.position == 0 || sd == nullptr)
    UpdateForm(form);
  if (sd == nullptr)
    return;
  TacMenuInfo& info = InfoOf(place.menu);
  HWND wnd = ::WindowFromDC(dc);
  if (!IsDropDownWindow(wnd))
    wnd = nullptr;
  if (wnd != nullptr && info.Wnd != wnd) {
    info.Wnd = wnd;
    info.Bmp.reset();
    info.RgnApplied = false;
  }
  if (info.Bmp == nullptr) {
    SIZE size = ComputedMenuSize(form, place.menu);
    if (wnd != nullptr) {
      RECT window{};
      ::GetWindowRect(wnd, &window);
      size = {window.right - window.left, window.bottom - window.top};
    }
    PrepareMenuBG(info, form, size);
  }
  const Bitmap& bg = *info.Bmp;
  if (wnd == nullptr) {
    if (!border_pending_ && form.Handle() != nullptr) {
      border_pending_ = true;
      ::PostMessageW(form.Handle(), WM_DRAWMENUBORDER, 0, 0);
    }
  } else if (place.position == 0) {
    DrawWndBorder(wnd);
  }
  const TacDropDownFrame frame = FrameOf(info);
  TacItemMeasure m = Measure(form, nullptr, false);
  m.ExtraWidth = info.HaveExtraLine ? ScaleToPPI(manager_.MenuSupport.ExtraLineWidth, PPI) : 0;
  const TacItemColumns columns = MenuItemColumns(m, w, h, PPI);
  Bitmap tmp = CreateBmp32(w, h);
  CopyPixels(tmp, 0, 0, bg,
             Rect(r.left + frame.ClientOffset.x, r.top + frame.ClientOffset.y,
                  r.right + frame.ClientOffset.x, r.bottom + frame.ClientOffset.y));
  const Bitmap under = CopyOf(tmp);
  const TacMenuItemType kind = MenuItemKind(item.Caption());
  const bool enabled = (state & (ODS_DISABLED | ODS_GRAYED)) == 0;
  if (kind == smDivider) {
    TColor color = manager_.Palette[pcBorder];
    if (color == clNone || color == -1)
      color = ColorToRGB(clBtnShadow);
    const int divider = Section("DIVIDERV");
    const TsGeneralData* gd = divider >= 0 ? &sd->gd[static_cast<std::size_t>(divider)] : nullptr;
    if (gd != nullptr && gd->BorderIndex >= 0)
      DrawSkinRect(tmp, columns.Divider, MakeCacheInfo(under),
                   sd->ma[static_cast<std::size_t>(gd->BorderIndex)], sd->MasterBmp, 0, false);
    else
      FillRect32(tmp, Rect(columns.Divider.Left, 0, columns.Divider.Right, 1), ColorToRGB(color));
  } else if (kind == smCaption) {
    if (const int caption = Section("MENUCAPTION"); caption >= 0) {
      PaintItem(caption, MakeCacheInfo(under), 0, columns.Background, {m.ExtraWidth, 0}, tmp, *sd);
      const std::wstring text = platform::Widen(std::string(DivText(item.Caption())));
      const platform::SelectedObject font(BitmapDC(tmp), MenuFont(true, false));
      TsTextStyle style;
      style.Section = &sd->gd[static_cast<std::size_t>(caption)];
      style.GlobalColor = manager_.GetGlobalColor();
      style.Cache = &tmp;
      WriteTextEx(BitmapDC(tmp), text, true, ToRECT(columns.CaptionText),
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_ALPHATEXT, style);
    }
  } else {
    const bool hot = enabled && (state & ODS_SELECTED) != 0;
    const int menu_item = Section("MENUITEM");
    const TsGeneralData* section =
        menu_item >= 0 ? &sd->gd[static_cast<std::size_t>(menu_item)] : nullptr;
    if (section != nullptr && (hot || section->Props[0].Transparency < 100))
      PaintItem(menu_item, MakeCacheInfo(under), hot ? 1 : 0, columns.Background, {m.ExtraWidth, 0},
                tmp, *sd);
    const SIZE glyph = GlyphSize(form, &item);
    const TacPoint at = MenuGlyphPos(ImageColumnWidth(m), h, glyph.cx, glyph.cy, m.ExtraWidth);
    if ((state & ODS_CHECKED) != 0) {
      const TColor text_color = section != nullptr ? section->Props[hot ? 1u : 0u].FontColor.Color
                                                   : ColorToRGB(clMenuText);
      DrawCheckMark(tmp, Rect(at.x, at.y, at.x + glyph.cx, at.y + glyph.cy), text_color);
    }
    DrawPicture(form, item, tmp, {at.x, at.y}, glyph);
    if (place.popup != nullptr && place.popup->Name().rfind(kSysMenuPrefix, 0) == 0 &&
        !HasPicture(form, item)) {
      const TColor glyph_color = section != nullptr ? section->Props[hot ? 1u : 0u].FontColor.Color
                                                    : ColorToRGB(clMenuText);
      DrawSysMenuGlyph(tmp, Rect(at.x, at.y, at.x + glyph.cx, at.y + glyph.cy), item.Name(),
                       ColorToRGB(glyph_color));
    }
    const std::wstring caption = WideCaption(item);
    const std::size_t tab = caption.find(L'\t');
    const std::wstring_view left_part = std::wstring_view(caption).substr(0, tab);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP | Alignment |
                       PrefixFlag(state, manager_.MenuSupport.ShowAccelCharAlways) | DT_ALPHATEXT;
    const platform::SelectedObject font(BitmapDC(tmp), MenuFont(false, (state & ODS_DEFAULT) != 0));
    TsTextStyle style;
    style.Section = section;
    style.Hot = enabled && ((state & ODS_SELECTED) != 0 || (state & ODS_HOTLIGHT) != 0) ? 1 : 0;
    style.GlobalColor = manager_.GetGlobalColor();
    style.Cache = &tmp;
    WriteTextEx(BitmapDC(tmp), left_part, true, ToRECT(columns.Text), flags, style);
    if (tab != std::wstring::npos) {
      WriteTextEx(BitmapDC(tmp), std::wstring_view(caption).substr(tab + 1), true,
                  ToRECT(columns.ShortCut), (flags & ~static_cast<UINT>(DT_LEFT)) | DT_RIGHT,
                  style);
    }
    // The last item fills the rest of the drop-down down to the frame.
    if (wnd != nullptr && !info.Filled &&
        static_cast<int>(place.position) + 1 == ::GetMenuItemCount(place.menu)) {
      info.Filled = true;
      const int top = r.bottom + frame.ClientOffset.y;
      const int bottom = bg.Height() - frame.Frame;
      if (bottom > top)
        ::BitBlt(dc, r.left, r.bottom, w, bottom - top, BitmapDC(bg), r.left + frame.ClientOffset.x,
                 top, SRCCOPY);
    }
  }
  if (!enabled)
    BlendTransRectangle(tmp, 0, 0, under, Rect(0, 0, w, h), 100);
  PutToDC(dc, r, tmp);
  if (OnDrawItem)
    OnDrawItem(item, dc, r, state);
}

void TsSkinableMenus::sAdvancedDrawLineItem(platform::Form& form, platform::MenuItem& item, HDC dc,
                                            RECT r, UINT state) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w <= 0 || h <= 0)
    return;
  UpdateForm(form);
  Bitmap tmp = CreateBmp32(w, h);
  const TacMenuBand band =
      MenuBand ? MenuBand(form, (state & ODS_PROVIDERBITMAP) != 0) : TacMenuBand{};
  if (band.Bmp != nullptr) {
    CopyPixels(tmp, 0, 0, *band.Bmp,
               Rect(r.left - band.Origin.x, r.top - band.Origin.y, r.right - band.Origin.x,
                    r.bottom - band.Origin.y));
  } else if (const int line = Section("MENULINE"); line >= 0) {
    // No provider paints the band: the band over the form's colour.
    const int form_section = Section("FORM");
    const TColor under_color = form_section >= 0
                                   ? sd->gd[static_cast<std::size_t>(form_section)].Props[0].Color
                                   : manager_.GetGlobalColor();
    FillRect32(tmp, Rect(0, 0, w, h), ColorToRGB(under_color));
    const Bitmap form_colour = CopyOf(tmp);
    PaintItem(line, MakeCacheInfo(form_colour), 0, Rect(0, 0, w, h), {0, 0}, tmp, *sd);
  }
  const Bitmap under = CopyOf(tmp);
  const bool enabled = (state & (ODS_DISABLED | ODS_GRAYED)) == 0;
  const bool hot = enabled && (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  if (const int menu_item = Section("MENUITEM"); menu_item >= 0 && hot)
    PaintItem(menu_item, MakeCacheInfo(under), 1, Rect(0, 0, w, h), {0, 0}, tmp, *sd);
  int image_part = 0;
  const auto pictures = pictures_.find(&form);
  if (pictures != pictures_.end() && pictures->second.ImageIndex &&
      pictures->second.ImageIndex(item) >= 0) {
    const SIZE glyph = GlyphSize(form, &item);
    const TacPoint at = LineGlyphPos(w, h, glyph.cx, glyph.cy, false);
    DrawPicture(form, item, tmp, {at.x, at.y}, glyph);
    image_part = glyph.cx + 3;
  }
  if (const int line = Section("MENULINE"); line >= 0) {
    const platform::SelectedObject font(BitmapDC(tmp), MenuFont(false, false));
    TsTextStyle style;
    style.Section = &sd->gd[static_cast<std::size_t>(line)];
    style.Hot = 1;
    style.GlobalColor = manager_.GetGlobalColor();
    style.Cache = &tmp;
    const int margin = ScaleToPPI(Margin, PPI);
    const std::wstring text = WideCaption(item);
    WriteTextEx(BitmapDC(tmp), text, true, RECT{margin + image_part, 0, w - margin, h},
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | Alignment |
                    PrefixFlag(state, manager_.MenuSupport.ShowAccelCharAlways) | DT_ALPHATEXT,
                style);
  }
  if (!enabled)
    BlendTransRectangle(tmp, 0, 0, under, Rect(0, 0, w, h), 100);
  PutToDC(dc, r, tmp);
}

// --- Drop-down windows ----------------------------------------------------------------------

void TsSkinableMenus::WindowCreated(HWND wnd) {
  if (!SkinsPopups() || windows_.count(wnd) != 0)
    return;
  windows_[wnd] = std::make_unique<TacMnuWnd>(*this, wnd);
}

void TsSkinableMenus::WindowDestroyed(HWND wnd) {
  for (auto info = infos_.begin(); info != infos_.end();) {
    if ((*info)->Wnd == wnd)
      info = infos_.erase(info);
    else
      ++info;
  }
  windows_.erase(wnd);
  for (auto& info : infos_) {
    if (info->Wnd != nullptr && ::IsWindowVisible(info->Wnd))
      DrawWndBorder(info->Wnd);
  }
}

}  // namespace kestrune::skin
