// The main window's pictures on its standard controls: the Extract button's image list and the
// About menu's owner-drawn item pictures, at the size the pixel density asks for.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <utility>

#include "app/main_form_win.h"
#include "skin/paint/bitmap_win.h"
#include "skin/paint/cache_info.h"
#include "skin/paint/pixel_ops.h"
#include "tests/app/test_paths_win.h"
#include "tests/support/main_layout.h"

namespace kestrune {
namespace {

using test::MainDescription;

class MainFormPictures : public ::testing::Test {
 protected:
  MainFormPictures()
      : form_(std::make_unique<TMainForm>(application_, MainDescription(), services_)) {}

  UINT MenuId(const char* name) const {
    return dynamic_cast<platform::MenuItem&>(*form_->FindComponent(name)).Id();
  }

  int ButtonImageSize() const {
    BUTTON_IMAGELIST info{};
    ::SendMessageW(form_->ButtonExtract->Handle(), BCM_GETIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(&info));
    int width = 0;
    int height = 0;
    if (info.himl == nullptr || !::ImageList_GetIconSize(info.himl, &width, &height))
      return 0;
    EXPECT_EQ(width, height);
    return width;
  }

  SIZE MeasureMenuItem(UINT id) const {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = id;
    ::SendMessageW(form_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }

  platform::Application application_{"Kestrune"};
  platform::SystemServices services_;
  std::unique_ptr<TMainForm> form_;
};

const struct {
  const char* name;
  int image;
} kMenuPictures[] = {{"About", 4}, {"Saweria", 3}, {"Github", 2}, {"Youtube", 1}};

TEST_F(MainFormPictures, StoredListHoldsTheFivePictures) {
  ASSERT_NE(form_->sAlphaImageList, nullptr);
  TsAlphaImageList& list = *form_->sAlphaImageList;
  EXPECT_EQ(list.GetCount(), 5);
  EXPECT_EQ(list.Width(), 16);
  ASSERT_NE(list.StdList(), nullptr);
  EXPECT_EQ(list.StdList()->Count(), 5);
  for (const auto& item : list.Items()) {
    EXPECT_EQ(item->ImageFormat, ifPNG);
    EXPECT_EQ(item->OrigWidth, 32);
    EXPECT_EQ(item->OrigHeight, 32);
  }
}

TEST_F(MainFormPictures, ButtonAndMenuFollowThePixelDensity) {
  const int dpi = static_cast<int>(::GetDpiForWindow(form_->Handle()));
  bool first = true;
  for (int density : {dpi, 144, 192, 96}) {
    SCOPED_TRACE(density);
    if (!std::exchange(first, false)) {
      RECT suggested{};
      ::GetWindowRect(form_->Handle(), &suggested);
      ::SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(density, density),
                     reinterpret_cast<LPARAM>(&suggested));
    }
    const int side = 16 * density / 96;
    EXPECT_EQ(ButtonImageSize(), side);
    for (const auto& item : kMenuPictures) {
      SCOPED_TRACE(item.name);
      const SIZE size = MeasureMenuItem(MenuId(item.name));
      EXPECT_EQ(size.cx, side);
      EXPECT_EQ(size.cy, side);
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_BITMAP;
      ASSERT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), MenuId(item.name), FALSE, &info));
      EXPECT_EQ(info.hbmpItem, HBMMENU_CALLBACK);
    }
  }
}

TEST_F(MainFormPictures, MenuItemDrawsItsPictureOverTheMenuBackground) {
  const int dpi = static_cast<int>(::GetDpiForWindow(form_->Handle()));
  const int side = 16 * dpi / 96;
  for (const auto& item : kMenuPictures) {
    SCOPED_TRACE(item.name);
    // A menu background of a flat colour, with room around the picture's rectangle.
    const skin::Bitmap target = skin::CreateBmp32(side + 8, side + 8);
    skin::FillRect32(target, skin::Rect(0, 0, side + 8, side + 8), 0x00D0C0B0, 0);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = MenuId(item.name);
    draw.hDC = skin::BitmapDC(target);
    draw.rcItem = {4, 4, 4 + side, 4 + side};
    EXPECT_EQ(::SendMessageW(form_->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)),
              TRUE);

    skin::Bitmap expected = skin::CreateBmp32(side + 8, side + 8);
    skin::FillRect32(expected, skin::Rect(0, 0, side + 8, side + 8), 0x00D0C0B0, 0);
    auto picture = form_->sAlphaImageList->CreateBitmap32(item.image, side, side);
    skin::CopyBmp32(skin::Rect(4, 4, 4 + side, 4 + side), skin::Rect(0, 0, side, side), expected,
                    *picture, skin::EmptyCI, false);
    int differing = 0;
    for (int y = 0; y < side + 8; ++y) {
      for (int x = 0; x < side + 8; ++x) {
        // GDI does not keep the alpha byte through the copies; the colour must match.
        if ((target.Row32(y)[x] ^ expected.Row32(y)[x]) & 0x00FFFFFFu)
          ++differing;
      }
    }
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
}  // namespace kestrune
