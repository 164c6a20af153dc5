#pragma once
// The Windows side of the painting bitmap: CreateBmp32 makes a bottom-up DIB section selected
// into its own memory device context, so GDI can draw text and blit onto the same pixels the
// portable routines compose. Include only from Windows sources.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/gdi_win.h"
#include "skin/pixels/bitmap.h"

namespace kestrune::skin {

// The device context of a DIB-backed bitmap; nullptr for heap bitmaps. Owned by the bitmap.
[[nodiscard]] HDC BitmapDC(const Bitmap& bmp);
[[nodiscard]] HBITMAP BitmapHandle(const Bitmap& bmp);

// An alpha icon from a picture: img becomes 32-bit; the mask gets 255 - alpha per pixel. The
// second argument has no effect and is kept for the callers that pass it.
[[nodiscard]] platform::UniqueIcon MakeIcon32(Bitmap& img, bool update_alpha_channel = false);

// Fills through a solid brush of ColorToRGB(color) when alpha is 0 (for DCs of bitmaps that are
// not 32-bit), else through the anti-aliasing library with that alpha.
void FillDC(HDC dc, TRect r, TColor color, std::uint8_t alpha = 0);

// Shows a premultiplied bitmap as a layered window's image; false when the platform call is
// missing or fails.
bool UpdateLayeredWnd(HWND handle, const Bitmap& bmp, SIZE size, BLENDFUNCTION blend, POINT point);
// Makes the window layered when needed and shows bmp (an empty picture of the window's size
// when null) with the constant alpha value.
bool SetFormBlendValue(HWND handle, const Bitmap* bmp, std::uint8_t value, const POINT* point);

// The text glow: draws text into glow_mask (made or reused as an 8-bit mask of the glow's size),
// blurs it by size and lays it over dst_bmp in color. sides: 1 left, 2 up, 4 right, 8 down.
void acDrawGlowForText(Bitmap& dst_bmp, const wchar_t* text, TRect r,
                       std::unique_ptr<Bitmap>& glow_mask, TColor color, int size, unsigned sides,
                       UINT flags);

}  // namespace kestrune::skin
