#include "app/main_form_images_win.h"

#include <utility>

#include "app/alpha_image_list_win.h"

namespace kestrune {

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
  buttons_.clear();
  button_lists_.clear();
}

void FormPictures::Apply(platform::Form& form, int dpi) {
  Detach();
  form_ = form.Handle();
  for (const Use& use : uses_) {
    if (use.menu_item)
      continue;  // the skinned menus draw these
    const int width = GetImageWidth(images_, use.index, dpi);
    const int height = GetImageHeight(images_, use.index, dpi);
    const auto picture = images_.CreateBitmap32(use.index, width, height);
    if (picture->Empty())
      continue;
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

skin::TacMenuPictures FormPictures::MenuPictures() const {
  skin::TacMenuPictures pictures;
  pictures.ImageIndex = [this](const platform::MenuItem& item) {
    for (const Use& use : uses_) {
      if (use.menu_item && use.component == item.Name())
        return use.index;
    }
    return -1;
  };
  // Every picture of the list has the list's size.
  pictures.ListSize = [this](int ppi) {
    return SIZE{GetImageWidth(images_, 0, ppi), GetImageHeight(images_, 0, ppi)};
  };
  pictures.Render = [this](int index, skin::Bitmap& target) {
    return index >= 0 && index < images_.GetCount() && images_.GetBitmap32(index, target);
  };
  return pictures;
}

skin::TsGlyphSource ButtonGlyphs(TsAlphaImageList* images) {
  skin::TsGlyphSource source;
  if (images == nullptr)
    return source;
  source.Count = images->GetCount();
  source.Size = [images](int ppi) {
    return skin::TSize{GetImageWidth(*images, 0, ppi), GetImageHeight(*images, 0, ppi)};
  };
  source.Render = [images](int index, skin::Bitmap& target) {
    return images->GetBitmap32(index, target);
  };
  return source;
}

}  // namespace kestrune
