#include "skin/controls/skinned_form_controls_win.h"

namespace kestrune::skin {

TsSkinnedControls::TsSkinnedControls(platform::Form& form,
                                     const platform::FormDescription& description,
                                     const TsGlyphSource& images) {
  // Boxes first: a button asks its box for the background behind it.
  for (const platform::ComponentDescription& component : description.components) {
    if (!component.FlagOr("skinned", false) || component.kind != "group_box")
      continue;
    if (auto* box = dynamic_cast<platform::GroupBox*>(form.FindComponent(component.name)))
      boxes_.push_back(std::make_unique<TsGroupBox>(*box));
  }
  for (const platform::ComponentDescription& component : description.components) {
    if (!component.FlagOr("skinned", false) || component.kind != "button")
      continue;
    auto* button = dynamic_cast<platform::Button*>(form.FindComponent(component.name));
    if (button == nullptr)
      continue;
    auto skinned = std::make_unique<TsButton>(*button);
    skinned->Images = images;
    skinned->IsDefault = component.FlagOr("default", false);
    if (component.Has("image"))
      skinned->ImageIndexes.ImageIndex = static_cast<int>(component.Number("image"));
    skinned->SkinData().BGChanged = true;
    ::InvalidateRect(skinned->Handle(), nullptr, TRUE);
    buttons_.push_back(std::move(skinned));
  }
}

TsSkinnedControls::~TsSkinnedControls() {
  buttons_.clear();
  boxes_.clear();
}

TsButton* TsSkinnedControls::FindButton(HWND window) const {
  for (const auto& button : buttons_)
    if (button->Handle() == window)
      return button.get();
  return nullptr;
}

TsGroupBox* TsSkinnedControls::FindGroupBox(HWND window) const {
  for (const auto& box : boxes_)
    if (box->Handle() == window)
      return box.get();
  return nullptr;
}

}  // namespace kestrune::skin
