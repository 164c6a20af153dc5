// Skinned menus in a real window: the answers to WM_MEASUREITEM and the pictures WM_DRAWITEM
// paints into a memory DC, at 96 and 144 dots per inch, and the wrapper of an open drop-down.

#include "skin/controls/skinable_menus_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "platform/application_win.h"
#include "platform/form_description.h"
#include "platform/form_win.h"
#include "platform/win_util.h"
#include "skin/data/skin_colors.h"
#include "skin/data/skin_commands.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/pixel_ops.h"

namespace kestrune::skin {
namespace {

constexpr char kLayout[] = R"(
[TestForm]
kind = form
caption = "Menus"
position = 40, 40
client_size = 320, 200
border = single
border_icons = system_menu
font = "Segoe UI", 12
menu = Menu

[Menu]
kind = main_menu
parent = TestForm

[About]
kind = menu_item
parent = Menu
caption = "&About"

[Github]
kind = menu_item
parent = About
caption = "&Github"

[Line]
kind = menu_item
parent = About
caption = "-"

[Links]
kind = menu_item
parent = About
caption = "-Links-"

[Youtube]
kind = menu_item
parent = About
caption = "Youtube"
)";

// The test pictures: flat, opaque colours, so that every pixel of a picture is known.
constexpr TColor kPictureColors[] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue

// Colours of the built-in skin.
constexpr std::uint32_t kMainMenuColor = 0x4A4A4A;  // 4868682
constexpr std::uint32_t kHotItemColor = 0x616161;   // 6381921
constexpr std::uint32_t kItemTextColor = 0xF0F0F0;  // 15921648

std::uint32_t Rgb(const Bitmap& bmp, int x, int y) {
  return bmp.Row32(y)[x] & 0x00FFFFFFu;
}

// The brightest pixel of r, by its green channel (the skin's texts are light grey).
std::uint32_t Brightest(const Bitmap& bmp, RECT r) {
  std::uint32_t best = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (((Rgb(bmp, x, y) >> 8) & 0xFF) > ((best >> 8) & 0xFF))
        best = Rgb(bmp, x, y);
  return best;
}

// Colours equal to the rounding of a blend: every channel within `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 2) {
  for (int shift : {0, 8, 16}) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance)
      return false;
  }
  return true;
}

std::uint8_t Blend100(std::uint8_t under, std::uint8_t over) {
  return static_cast<std::uint8_t>(((255 - 100) * under + 100 * over) >> 8);
}

class SkinnedMenus : public ::testing::TestWithParam<int> {
 protected:
  SkinnedMenus() {
    manager_ = std::make_unique<TsSkinManager>(platform_);
    manager_->BeginLoading();
    manager_->InternalSkins.Items.push_back(BuiltinStoredSkin());
    manager_->SetSkinName(std::string(kBuiltinSkinName));
    manager_->Loaded();
    form_ = std::make_unique<platform::Form>(application_);
    form_->Load(platform::ParseFormDescription(kLayout), {}, {});
    auto menus = std::make_unique<TsSkinableMenus>(*manager_);
    menus_ = menus.get();
    TacMenuPictures pictures;
    pictures.ImageIndex = [](const platform::MenuItem& item) {
      return item.Name() == "Github"    ? 0
             : item.Name() == "Youtube" ? 1
             : item.Name() == "About"   ? 2
                                        : -1;
    };
    pictures.ListSize = [](int ppi) { return SIZE{16 * ppi / 96, 16 * ppi / 96}; };
    pictures.Render = [](int index, Bitmap& target) {
      if (index < 0 || index > 2)
        return false;
      FillRect32(target, Rect(0, 0, target.Width(), target.Height()), kPictureColors[index]);
      return true;
    };
    menus->SetPictures(*form_, pictures);
    menus->InitItems(*form_);
    manager_->SkinableMenus = std::move(menus);
    SetDensity(GetParam());
  }

  void SetDensity(int ppi) {
    if (form_->PixelsPerInch() == ppi)
      return;
    RECT suggested{};
    ::GetWindowRect(form_->Handle(), &suggested);
    ::SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(ppi, ppi),
                   reinterpret_cast<LPARAM>(&suggested));
  }

  platform::MenuItem& Item(const char* name) const {
    return dynamic_cast<platform::MenuItem&>(*form_->FindComponent(name));
  }

  SIZE Measure(const char* name) const {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = Item(name).Id();
    EXPECT_EQ(
        ::SendMessageW(form_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)),
        TRUE);
    return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }

  // The item drawn by the form into a fresh bitmap of its measured size.
  Bitmap Draw(const char* name, UINT state) const {
    const SIZE size = Measure(name);
    Bitmap target = CreateBmp32(size.cx, size.cy);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = Item(name).Id();
    draw.itemState = state;
    draw.hDC = BitmapDC(target);
    draw.rcItem = {0, 0, size.cx, size.cy};
    EXPECT_EQ(::SendMessageW(form_->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)),
              TRUE);
    return target;
  }

  // Text size in the menu font at the form's density, measured here independently.
  SIZE TextSize(const char* text, bool bold) const {
    const int ppi = GetParam();
    platform::UniqueFont font(::CreateFontW(-11 * ppi / 96, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0,
                                            0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI"));
    const platform::WindowDc dc(nullptr);
    const platform::SelectedObject selected(dc.Get(), font.Get());
    const std::wstring wide = platform::Widen(text);
    RECT r{0, 0, 800, 0};
    ::DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
    return {r.right, r.bottom};
  }

  int Glyph() const { return 16 * GetParam() / 96; }
  int Margin() const { return 2 * GetParam() / 96; }
  int Spacing() const { return 8 * GetParam() / 96; }
  int Column() const { return Glyph() + Margin() + Spacing(); }

  platform::Application application_{"Menus test"};
  HeadlessSkinPlatform platform_{96};
  std::unique_ptr<platform::Form> form_;
  std::unique_ptr<TsSkinManager> manager_;  // goes first, with the menus that know the form
  TsSkinableMenus* menus_ = nullptr;
};

TEST_P(SkinnedMenus, ItemsBecomeOwnerDrawnAndGoBackWhenSwitchedOff) {
  for (const char* name : {"About", "Github", "Line", "Links", "Youtube"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Item(name).on_measure_item);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), Item(name).Id(), FALSE, &info));
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
  }
  menus_->InitItems(*form_, false);
  for (const char* name : {"About", "Github", "Line"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Item(name).on_advanced_draw_item);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), Item(name).Id(), FALSE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
  }
}

TEST_P(SkinnedMenus, MeasuringFollowsTheTextThePictureAndTheKind) {
  const SIZE github = TextSize("&Github", false);
  const SIZE size = Measure("Github");
  EXPECT_EQ(size.cy, std::max<int>(github.cy, Glyph()) + 2 * Margin() + 2);
  EXPECT_EQ(size.cx, 2 * Glyph() + github.cx + 3 * Margin() + Spacing());
  if (GetParam() == 96) {
    EXPECT_EQ(size.cy, std::max<int>(github.cy, 16) + 6);
  }

  EXPECT_EQ(Measure("Line").cy, 2);
  // A caption divider measures its text without the dashes, in the bold caption font.
  const SIZE links = TextSize("Links", true);
  EXPECT_EQ(Measure("Links").cx, 2 * Glyph() + links.cx + 3 * Margin() + Spacing());
  EXPECT_EQ(Measure("Links").cy, links.cy + 2 * Margin() + 3);

  // The band item: its text without "&", the picture and 6.
  SIZE about{};
  {
    platform::UniqueFont font(::CreateFontW(-11 * GetParam() / 96, 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                            DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI"));
    const platform::WindowDc dc(nullptr);
    const platform::SelectedObject selected(dc.Get(), font.Get());
    ::GetTextExtentPoint32W(dc.Get(), L"About", 5, &about);
  }
  const SIZE band = Measure("About");
  EXPECT_EQ(band.cx, about.cx + Glyph() + 6);
  EXPECT_EQ(band.cy, ::GetSystemMetrics(SM_CYMENU) - 1);
}

TEST_P(SkinnedMenus, ItemShowsItsPictureTextAndState) {
  const Bitmap normal = Draw("Github", ODS_NOACCEL);
  const int h = normal.Height();
  const int w = normal.Width();
  const int x = (Column() - Glyph()) / 2;
  const int y = (h - Glyph()) / 2;
  const int right = w - 4 * GetParam() / 96;        // clear of the text and the hot look's corners
  EXPECT_TRUE(Near(Rgb(normal, x, y), 0xFF0000u));  // red picture at its offset
  EXPECT_TRUE(Near(Rgb(normal, x + Glyph() - 1, y + Glyph() - 1), 0xFF0000u));
  EXPECT_FALSE(Near(Rgb(normal, x - 1, y), 0xFF0000u));
  EXPECT_FALSE(Near(Rgb(normal, x, y + Glyph()), 0xFF0000u));
  EXPECT_EQ(Rgb(normal, right, h / 2), kMainMenuColor);
  const RECT text{Glyph() + 2 * Margin() + Spacing(), 0, w, h};
  EXPECT_TRUE(Near(Brightest(normal, text), kItemTextColor)) << std::hex << Brightest(normal, text);
  EXPECT_EQ(Brightest(normal, RECT{Column(), 0, text.left, h}),
            kMainMenuColor);  // text starts after

  const Bitmap selected = Draw("Github", ODS_SELECTED | ODS_NOACCEL);
  EXPECT_EQ(Rgb(selected, right, h / 2), kHotItemColor);
  EXPECT_TRUE(Near(Rgb(selected, x, y), 0xFF0000u));
  EXPECT_TRUE(Near(Brightest(selected, text), kItemTextColor));

  // A disabled item is the normal look blended with the background; selection does not show.
  const Bitmap disabled = Draw("Github", ODS_SELECTED | ODS_GRAYED | ODS_DISABLED | ODS_NOACCEL);
  const std::uint8_t under = 0x4A;
  const std::uint32_t grey = Blend100(under, under);
  EXPECT_EQ(Rgb(disabled, right, h / 2), grey << 16 | grey << 8 | grey);
  const std::uint32_t red = Rgb(normal, x, y);
  EXPECT_EQ(Rgb(disabled, x, y),
            std::uint32_t{Blend100(under, static_cast<std::uint8_t>(red >> 16))} << 16 |
                std::uint32_t{Blend100(under, static_cast<std::uint8_t>(red >> 8))} << 8 |
                Blend100(under, static_cast<std::uint8_t>(red)));
  EXPECT_LT((Brightest(disabled, text) >> 8) & 0xFF, 0xA0u);
}

// A reload replaces the skin's tables: the drop-down's background is built again from them.
TEST_P(SkinnedMenus, AReloadedSkinIsDrawnFromItsNewTables) {
  const Bitmap before = Draw("Github", 0);
  const int right = before.Width() - 4 * GetParam() / 96;
  EXPECT_EQ(Rgb(before, right, before.Height() / 2), kMainMenuColor);
  manager_->SetBrightness(40);
  TacSkinData& data = manager_->CommonSkinData(GetParam());
  const int main_menu = data.GetSkinIndex("MAINMENU");
  ASSERT_GE(main_menu, 0);
  const auto brighter = static_cast<std::uint32_t>(
      ColorToRGB(data.gd[static_cast<std::size_t>(main_menu)].Props[0].Color));
  ASSERT_NE(brighter, kMainMenuColor);
  const Bitmap after = Draw("Github", 0);
  EXPECT_EQ(Rgb(after, right, after.Height() / 2), SwapRedBlue(brighter) & 0xFFFFFFu);
}

TEST_P(SkinnedMenus, DividersDrawALineOrTheirCaption) {
  // A line from the end of the picture column to the margin, along the item's top.
  const Bitmap line = Draw("Line", 0);
  const std::uint32_t border = static_cast<std::uint32_t>(ColorToRGB(manager_->Palette[pcBorder]));
  const int start = Margin() + Column();
  EXPECT_EQ(Rgb(line, start, 0), border);
  EXPECT_EQ(Rgb(line, line.Width() - Margin() - 1, 0), border);
  EXPECT_EQ(Rgb(line, start - 1, 0), Rgb(line, start - 1, 1));
  EXPECT_EQ(Rgb(line, line.Width() - Margin(), 0), Rgb(line, line.Width() - Margin(), 1));
  EXPECT_EQ(Rgb(line, start, 1), kMainMenuColor);

  const Bitmap caption = Draw("Links", 0);
  EXPECT_NE(Rgb(caption, 1, 1), kMainMenuColor);  // the caption's gradient
  EXPECT_GT((Brightest(caption, RECT{0, 0, caption.Width(), caption.Height()}) >> 8) & 0xFF, 0xA0u);
}

TEST_P(SkinnedMenus, BandItemIsDrawnOverTheProvidersBand) {
  // The provider's band, with the item 10 pixels into it.
  Bitmap band = CreateBmp32(200, 40);
  FillRect32(band, Rect(0, 0, 200, 40), 0x302010);
  menus_->MenuBand = [&band](const platform::Form&, bool into_provider_bitmap) {
    EXPECT_TRUE(into_provider_bitmap);
    return TacMenuBand{&band, POINT{-10, -5}};
  };
  const SIZE size = Measure("About");
  for (const UINT state : {0u, unsigned{ODS_SELECTED}}) {
    SCOPED_TRACE(state);
    Bitmap canvas = CreateBmp32(size.cx + 20, size.cy + 10);
    menus_->sAdvancedDrawLineItem(*form_, Item("About"), BitmapDC(canvas),
                                  RECT{5, 2, 5 + size.cx, 2 + size.cy},
                                  state | ODS_NOACCEL | ODS_PROVIDERBITMAP);
    const std::uint32_t back = state == 0 ? 0x102030u : kHotItemColor;
    const int middle = 2 + size.cy / 2;  // a row the picture covers even when it is taller
    EXPECT_EQ(Rgb(canvas, 5 + size.cx - 2, middle), back);
    EXPECT_TRUE(Near(Rgb(canvas, 5 + 3, middle), 0x0000FFu));  // blue picture, 3 from the left
    EXPECT_TRUE(Near(Rgb(canvas, 5 + 3 + Glyph() - 1, middle), 0x0000FFu));
    EXPECT_FALSE(Near(Rgb(canvas, 5 + 2, middle), 0x0000FFu));
    EXPECT_TRUE(Near(Brightest(canvas, RECT{5 + 3 + Glyph(), 2, 5 + size.cx, 2 + size.cy}),
                     kItemTextColor));
    EXPECT_EQ(Rgb(canvas, 1, 1), 0u);  // nothing outside the item
  }
}

// The skin's tables are freed when it goes: the menus must neither draw from them nor keep
// pointing at them, and the system draws the items until a skin comes back.
TEST_P(SkinnedMenus, RemovingTheSkinLeavesTheItemsToTheSystemUntilTheNextSkin) {
  const auto owner_drawn = [this](const char* name) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    EXPECT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), Item(name).Id(), FALSE, &info));
    return (info.fType & MFT_OWNERDRAW) != 0;
  };
  const char* const names[] = {"About", "Github", "Line"};
  static_cast<void>(Draw("About", ODS_NOACCEL));
  ASSERT_NE(menus_->sd, nullptr);

  manager_->SetActive(false);
  EXPECT_EQ(menus_->sd, nullptr);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Item(name).on_advanced_draw_item);
    EXPECT_FALSE(owner_drawn(name));
  }

  manager_->SetActive(true);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Item(name).on_advanced_draw_item);
    EXPECT_TRUE(owner_drawn(name));
  }
  const Bitmap github = Draw("Github", 0);
  EXPECT_EQ(Rgb(github, github.Width() - 4 * GetParam() / 96, github.Height() / 2), kMainMenuColor);
}

INSTANTIATE_TEST_SUITE_P(Densities, SkinnedMenus, ::testing::Values(96, 144),
                         [](const auto& param) { return "At" + std::to_string(param.param); });

}  // namespace
}  // namespace kestrune::skin
