#include "app/desktop_settings_win.h"

#include <windows.h>

namespace kestrune {

DesktopSettings SystemDesktopSettings() {
  DesktopSettings settings;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  if (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0))
    settings.high_contrast = (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  BOOL animation = TRUE;
  if (::SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animation, 0))
    settings.client_area_animation = animation != FALSE;
  return settings;
}

}  // namespace kestrune
