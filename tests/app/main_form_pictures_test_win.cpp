// The main window's pictures on its standard controls: the Extract button's image list and the
// About menu's pictures, drawn by the skinned menus, at the size the pixel density asks for.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "app/main_form_win.h"
#include "skin/pixels/bitmap_win.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/pixel_ops.h"
#include "tests/support/build_path.h"
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
    EXPECT_EQ(
        ::SendMessageW(form_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)),
        TRUE);
    return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }

  void SetDensity(int density) const {
    RECT suggested{};
    ::GetWindowRect(form_->Handle(), &suggested);
    ::SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(density, density),
                   reinterpret_cast<LPARAM>(&suggested));
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
    if (!std::exchange(first, false))
      SetDensity(density);
    const int side = 16 * density / 96;
    EXPECT_EQ(ButtonImageSize(), side);
    for (const auto& item : kMenuPictures) {
      SCOPED_TRACE(item.name);
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_BITMAP;
      ASSERT_TRUE(::GetMenuItemInfoW(::GetMenu(form_->Handle()), MenuId(item.name), FALSE, &info));
      EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
      EXPECT_EQ(info.hbmpItem, nullptr);
      const SIZE size = MeasureMenuItem(MenuId(item.name));
      if (std::string_view(item.name) == "About") {
        EXPECT_GT(size.cx, side + 6);  // text, picture and 6
      } else {
        // Two margins and 2 around the taller of text and picture.
        EXPECT_GE(size.cy, side + 2 * (2 * density / 96) + 2);
        EXPECT_GT(size.cx, 2 * side);
      }
    }
  }
}

// The picture blended over the menu's background colour must match what the item drew, to the
// rounding of the blend.
TEST_F(MainFormPictures, MenuItemsDrawTheirPictureOverTheMenuBackground) {
  for (int density : {96, 144, 192}) {
    SCOPED_TRACE(density);
    SetDensity(density);
    const int side = 16 * density / 96;
    for (const auto& item : kMenuPictures) {
      SCOPED_TRACE(item.name);
      const bool band = std::string_view(item.name) == "About";
      const SIZE size = MeasureMenuItem(MenuId(item.name));
      skin::Bitmap target = skin::CreateBmp32(size.cx, size.cy);
      DRAWITEMSTRUCT draw{};
      draw.CtlType = ODT_MENU;
      draw.itemID = MenuId(item.name);
      draw.itemState = ODS_NOACCEL;
      draw.hDC = skin::BitmapDC(target);
      draw.rcItem = {0, 0, size.cx, size.cy};
      EXPECT_EQ(::SendMessageW(form_->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)),
                TRUE);

      const int column = side + 2 * density / 96 + 8 * density / 96;
      const int left = band ? 3 : (column - side) / 2;
      const int top = (size.cy - side) / 2;
      const std::uint32_t under = target.Row32(0)[size.cx - 1];
      auto picture = form_->sAlphaImageList->CreateBitmap32(item.image, side, side);
      int differing = 0;
      int compared = 0;
      for (int y = std::max(0, top); y < std::min<int>(size.cy, top + side); ++y) {
        for (int x = left; x < left + side; ++x) {
          const std::uint32_t p = picture->Row32(y - top)[x - left];
          const unsigned alpha = p >> 24;
          const std::uint32_t got = target.Row32(y)[x];
          for (int shift : {0, 8, 16}) {
            const unsigned want =
                (((p >> shift) & 0xFF) * alpha + ((under >> shift) & 0xFF) * (255 - alpha)) / 255;
            const int diff = static_cast<int>((got >> shift) & 0xFF) - static_cast<int>(want);
            if (diff > 2 || diff < -2) {
              ++differing;
              break;
            }
          }
          ++compared;
        }
      }
      EXPECT_GT(compared, side * std::min(side, static_cast<int>(size.cy)) / 2);
      EXPECT_EQ(differing, 0);
    }
  }
}

}  // namespace
}  // namespace kestrune
