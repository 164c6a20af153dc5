#pragma once
// Drawing the image list onto a device context. Include only from Windows sources.

#include <windows.h>

#include "app/alpha_image_list.h"

namespace kestrune {

// DrawAlphaImgList onto a device context: the background under the picture's rectangle is read
// into a 32-bit bitmap (taller by half the picture when `reflected`), the picture is blended into
// it and the result copied back. Returns the size drawn; never throws.
skin::TSize DrawAlphaImgListDC(TacImageList& img_list, HDC dc, int left, int top, int image_index,
                               int blend, skin::TColor grayed_color, int state, int num_glyphs,
                               bool reflected, int ppi) noexcept;

// The framework's drawing entry of the list: picture `index` at (x, y), blended over what the
// DC holds; icon items and indexes without an item come from the system list. `style` and
// `enabled` do not change the picture.
void DoDraw(TsAlphaImageList& list, int index, HDC dc, int x, int y, UINT style,
            bool enabled) noexcept;

}  // namespace kestrune
