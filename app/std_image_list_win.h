#pragma once
// The system image list behind a StdImageList of the windows build. Include only from Windows
// sources.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/std_image_list.h"

namespace kestrune {

// The list's handle, owned by `list`.
[[nodiscard]] HIMAGELIST StdImageListHandle(const StdImageList& list);

}  // namespace kestrune
