#pragma once
// Background chaining on real windows: the graphic children of a container painted over the
// container's background, and a finished cache copied to a window without painting over its
// child controls. Include only from Windows sources.

#include <windows.h>

#include "platform/controls_win.h"
#include "skin/paint/common_data.h"

namespace kestrune::skin {

// Paints the visible graphic children of `owner` that lie in `dc`'s clip box into `dc`, at their
// position moved by `offset`, each over the container's own background. Runs only when the
// container is visible or `change_cache` is false, and never inside another call. A child whose
// background is unknown paints straight into `dc`.
void PaintControls(HDC dc, platform::WinControl& owner, bool change_cache, POINT offset,
                   bool check_visible = true);

// Copies `src` of the cache of `data` to `dst` of `dst_dc`, leaving out the children of
// `control` (their bounds moved by offset_x, offset_y) that paint themselves: windowed children,
// graphic children unless the manager's StdImgTransparency is on. Nothing for an empty cache.
// Rounded corners are the item painter's (update_corners is kept for it).
void CopyWinControlCache(platform::WinControl& control, TsCommonData& data, RECT src, RECT dst,
                         HDC dst_dc, bool update_corners, int offset_x, int offset_y);
// The same for a window known only by its handle: its child windows are left out unless they
// answer AC_ISOPAQUE with 0.
void CopyHwndCache(HWND handle, TsCommonData& data, RECT src, RECT dst, HDC dst_dc,
                   bool update_corners, int offset_x, int offset_y);

// Copies the frame strips of a width x height area from src_dc to dest_dc, leaving the inside.
// A negative width_left counts as 0; a negative width_bottom makes every negative width take
// width_left.
void BitBltBorder(HDC dest_dc, int x, int y, int width, int height, HDC src_dc, int x_src,
                  int y_src, int width_left, int width_top, int width_right, int width_bottom);

}  // namespace kestrune::skin
