#include "app/main_form_skin_win.h"

#include <string>

#include "assets/skin/builtin_skin.h"
#include "platform/error.h"

namespace kestrune {

std::unique_ptr<skin::TsSkinManager> CreateSkinManager(
    const platform::ComponentDescription& description, skin::SkinManagerPlatform& platform) {
  auto manager = std::make_unique<skin::TsSkinManager>(platform);
  manager->BeginLoading();
  if (description.Has("internal_skins")) {
    for (const std::string& name : description.Words("internal_skins")) {
      if (name != "builtin")
        throw Error("Form description: unknown internal skin '" + name + "' of " +
                    description.name);
      manager->InternalSkins.Items.push_back(skin::BuiltinStoredSkin());
    }
  }
  manager->SkinDirectory = description.TextOr("skin_directory", "");
  if (description.Has("menu_font")) {
    const auto& values = description.Values("menu_font");
    if (values.size() != 2 || values[0].type != platform::DescriptionValue::Type::kText ||
        values[1].type != platform::DescriptionValue::Type::kNumber)
      throw Error("Form description: menu_font of " + description.name +
                  " needs a font name and a height");
    manager->MenuSupport.FontName = values[0].text;
    manager->MenuSupport.FontHeight = static_cast<int>(values[1].number);
  }
  // Like a form reader: Active is stored before the name, so the name loads the skin only when
  // skinning is on.
  manager->SetActive(description.FlagOr("active", true));
  manager->SetSkinName(description.TextOr("skin_name", ""));
  manager->Loaded();
  return manager;
}

}  // namespace kestrune
