#include "app/main_form_images_win.h"

#include <utility>

#include "app/alpha_image_list_win.h"

namespace kestrune {

namespace {

// Finds the item with command id `id` in `menu` or its submenus.
bool FindMenuItem(HMENU menu, UINT id, HMENU& owner, UINT& position) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
      continue;
    if (info.wID == id) {
      owner = menu;
      position = static_cast<UINT>(i);
      return true;
    }
    if (info.hSubMenu != nullptr && FindMenuItem(info.hSubMenu, id, owner, position))
      return true;
  }
  return false;
}

void SetMenuBitmap(HMENU menu, UINT id, HBITMAP bitmap) {
  HMENU owner = nullptr;
  UINT position = 0;
  if (menu == nullptr || !FindMenuItem(menu, id, owner, position))
    return;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  info.hbmpItem = bitmap;
  ::SetMenuItemInfoW(owner, position, TRUE, &info);
}

}  // namespace

FormPictures::FormPictures(TsAlphaImageList& images, const platform::FormDescription& description)
    : images_(images) {
  for (const auto& component : description.components) {
    if (component.Has("image") && (component.kind == "button" || component.kind == "menu_item"))
      uses_.push_back({component.name, component.kind == "menu_item", component.Number("image")});
  }
}

FormPictures::~FormPictures() {
  Detach();
}

void FormPictures::Detach() {
  for (HWND button : buttons_) {
    if (::IsWindow(button)) {
      BUTTON_IMAGELIST none{};
      none.himl = nullptr;
      ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&none));
    }
  }
  if (form_ != nullptr && ::IsWindow(form_)) {
    for (const MenuImage& image : menu_images_)
      SetMenuBitmap(::GetMenu(form_), image.id, nullptr);
  }
  buttons_.clear();
  menu_images_.clear();
  button_lists_.clear();
}

void FormPictures::Apply(platform::Form& form, int dpi) {
  Detach();
  form_ = form.Handle();
  dpi_ = dpi;
  for (const Use& use : uses_) {
    const int width = GetImageWidth(images_, use.index, dpi);
    const int height = GetImageHeight(images_, use.index, dpi);
    const auto picture = images_.CreateBitmap32(use.index, width, height);
    if (picture->Empty())
      continue;
    if (use.menu_item) {
      // The menu asks for the picture's size and has it drawn over its own background.
      const auto* item = dynamic_cast<platform::MenuItem*>(form.FindComponent(use.component));
      if (item == nullptr)
        continue;
      SetMenuBitmap(::GetMenu(form_), item->Id(), HBMMENU_CALLBACK);
      menu_images_.push_back({item->Id(), use.index});
    } else {
      const auto* button = dynamic_cast<platform::Button*>(form.FindComponent(use.component));
      platform::UniqueImageList list(::ImageList_Create(width, height, ILC_COLOR32, 1, 0));
      const platform::UniqueIcon icon = skin::MakeIcon32(*picture);
      if (button == nullptr || list.Get() == nullptr || icon.Get() == nullptr ||
          ::ImageList_ReplaceIcon(list.Get(), -1, icon.Get()) < 0)
        continue;
      BUTTON_IMAGELIST info{};
      info.himl = list.Get();
      info.margin = {platform::ScaleForDpi(2, dpi), 0, 0, 0};
      info.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
      ::SendMessageW(button->Handle(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&info));
      buttons_.push_back(button->Handle());
      button_lists_.push_back(std::move(list));
    }
  }
  ::DrawMenuBar(form_);
}

bool FormPictures::HandleMessage(UINT message, LPARAM lparam) {
  auto find = [this](UINT id) -> const MenuImage* {
    for (const MenuImage& image : menu_images_) {
      if (image.id == id)
        return &image;
    }
    return nullptr;
  };
  if (message == WM_MEASUREITEM) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
    const MenuImage* image = measure->CtlType == ODT_MENU ? find(measure->itemID) : nullptr;
    if (image == nullptr)
      return false;
    measure->itemWidth = static_cast<UINT>(GetImageWidth(images_, image->index, dpi_));
    measure->itemHeight = static_cast<UINT>(GetImageHeight(images_, image->index, dpi_));
    return true;
  }
  if (message == WM_DRAWITEM) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    const MenuImage* image = draw->CtlType == ODT_MENU ? find(draw->itemID) : nullptr;
    if (image == nullptr)
      return false;
    const int width = GetImageWidth(images_, image->index, dpi_);
    const int height = GetImageHeight(images_, image->index, dpi_);
    const RECT& r = draw->rcItem;
    DrawAlphaImgListDC(images_, draw->hDC, r.left + (r.right - r.left - width) / 2,
                       r.top + (r.bottom - r.top - height) / 2, image->index, 0, skin::clNone, 0, 1,
                       false, dpi_);
    return true;
  }
  return false;
}

}  // namespace kestrune
