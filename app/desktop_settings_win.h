#pragma once
// The user's desktop settings that the main window follows: high contrast sets the skin aside,
// and switched-off client-area animations stop every fade. Read when the window is made and on
// each WM_SETTINGCHANGE; tests give the window their own source instead of the system's.

#include <functional>

namespace kestrune {

struct DesktopSettings {
  bool high_contrast = false;         // SPI_GETHIGHCONTRAST: HCF_HIGHCONTRASTON
  bool client_area_animation = true;  // SPI_GETCLIENTAREAANIMATION
};

using DesktopSettingsSource = std::function<DesktopSettings()>;

// The system's answers; a setting it cannot tell keeps its default.
[[nodiscard]] DesktopSettings SystemDesktopSettings();

}  // namespace kestrune
