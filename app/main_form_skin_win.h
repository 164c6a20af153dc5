#pragma once
// The main window's skin manager, built from its component in the stored description.

#include <memory>

#include "platform/form_description.h"
#include "skin/data/skin_manager.h"

namespace kestrune {

// Reads the manager's properties as a form reader would (internal skins before the skin name, so
// the internal skin is there when the name is set) and ends with Loaded, which broadcasts the
// skin to every form. `platform` must outlive the manager. Throws kestrune::Error for a property
// of the wrong shape or an unknown internal skin.
[[nodiscard]] std::unique_ptr<skin::TsSkinManager> CreateSkinManager(
    const platform::ComponentDescription& description, skin::SkinManagerPlatform& platform);

}  // namespace kestrune
