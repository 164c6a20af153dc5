#pragma once
// Pixel composition of 32-bit bitmaps with exact integer formulas: every weighted sum multiplies
// and shifts right by 8, so results match to the last bit on every build. No routine throws;
// an empty bitmap or an empty clipped rectangle makes it return without effect.
//
// Rectangles are exclusive (Left..Right-1) except the source rectangles of SumBmpRect,
// PaintBmpRect32, CopyTransRect(A), BlendTransRectangle and the rectangle of BlendColorRect,
// whose Right and Bottom are the last column and row included. Negative destination positions
// cut the matching source columns and rows.

#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"
#include "skin/pixels/weighing.h"

namespace kestrune::skin {

// Each colour channel becomes (c1 * A + c2 * (255 - A)) shr 8; the high byte of C1 is kept.
[[nodiscard]] constexpr TColor BlendColors(TColor c1, TColor c2, std::uint8_t a) {
  const auto u1 = static_cast<std::uint32_t>(c1);
  return static_cast<TColor>((u1 & 0xFF000000u) |
                             Weigh<Lanes::Color>(u1, a, static_cast<std::uint32_t>(c2), 255u - a));
}

// Fills and blends.
void FillRect32(Bitmap& bmp, TRect r, TColor color, std::uint8_t alpha = 255);
void FillRect32Excl(Bitmap& bmp, TRect r, TRect exclude, TColor color, std::uint8_t alpha = 255);
// Each colour channel becomes (d * A + c * (255 - A)) shr 8; R is inclusive; alpha kept.
void BlendColorRect(Bitmap& bmp, TRect r, std::uint8_t a, TColor color);
// BlendColorRect over an exclusive rectangle that also sets the alpha byte.
void BlendRect32(Bitmap& bmp, TRect r, TColor color, std::uint8_t blend, std::uint8_t alpha = 255);
// Alpha Value for every pixel of R, 0 for pixels of the key colour (none with clNone).
void FillAlphaRect(Bitmap& bmp, TRect r, std::uint8_t value = 255, TColor trans_color = clFuchsia);

// Image composition.
// All four bytes become (A * (d - s) + s * 256) shr 8: 0 takes the source, 255 keeps the
// destination (almost).
void SumBmpRect(Bitmap& dst, const Bitmap& src, std::uint8_t a, TRect src_rect, TPoint dst_point);
void SumBitmaps(Bitmap& dst, const Bitmap& src, std::uint8_t a);
// Source alpha blend, weighted by Opacity when below 255.
void PaintBmpRect32(Bitmap& dst, const Bitmap& src, TRect src_rect, std::uint8_t opacity = 255,
                    TPoint dst_point = {});
void PaintBmp32(Bitmap& dst, const Bitmap& src);
// Scales src_rect (exclusive) of src to dst_rect's size and blends it there as PaintBmpRect32:
// a rectangle at (0, 0) through the Mitchell filter, a cut-out by repeating whole pixels.
void StretchBmpRect32(Bitmap& dst, TRect dst_rect, const Bitmap& src, TRect src_rect,
                      std::uint8_t opacity = 255);
// Key-colour copy: pixels equal to trans_color (as 32-bit values) are not copied; with
// update_trans they take the background from ci instead.
void CopyTransRect(Bitmap& dst, const Bitmap& src, int x, int y, TRect src_rect,
                   std::uint32_t trans_color, const TCacheInfo& ci, bool update_trans);
// As CopyTransRect, blending the copied pixels by A.
void CopyTransRectA(Bitmap& dst, const Bitmap& src, int x, int y, TRect src_rect,
                    std::uint32_t trans_color, const TCacheInfo& ci, bool update_trans,
                    std::uint8_t a);
void CopyTransBitmaps(Bitmap& dst, const Bitmap& src, int x, int y, std::uint32_t trans_color);
// All four bytes of non-key pixels become ((255 - Blend) * s + Blend * d) shr 8.
void BlendTransRectangle(Bitmap& dst, int x, int y, const Bitmap& src, TRect src_rect,
                         std::uint8_t blend, std::uint32_t trans_color = 0x00FF00FFu);
void BlendTransBitmap(Bitmap& bmp, std::uint8_t blend, TColor color);
// Each colour channel moves from c towards the picture by the mask's same channel.
void BlendBmpByMask(Bitmap& src_bmp, const Bitmap& msk_bmp, TsColor blend_color);
// Tints R towards Color, most in its inner part: Blur rings fade from the picture at the border
// to the share Transparency (percent) of it in the centre; Radius rounds the rings' corners.
void FadeBmp(Bitmap& faded_bmp, TRect r, int transparency, TColor color, int blur, int radius);
// Draws R2 of bmp2 into R1 of bmp1: Blend is a transparency in percent, grayed_color a tint
// (clNone for none), reflected adds the mirrored picture below R1. bmp2 becomes 32-bit.
void CopyBmp32(TRect r1, TRect r2, Bitmap& bmp1, Bitmap& bmp2, const TCacheInfo& ci,
               bool update_trans, TColor grayed_color = clNone, int blend = 0,
               bool reflected = false);

// Colour transforms. The per-pixel procedures work on a pixel in memory order (0xAARRGGBB).
using TPixelProc = void (*)(std::uint32_t& pixel, int value);
void ChangeBitmapPixels(Bitmap& bmp, TPixelProc proc, int value, TColor trans_color);
void ChangeColorBrightness(std::uint32_t& pixel, int value);
void ChangeColorSaturation(std::uint32_t& pixel, int value);
void ChangeColorHUE(std::uint32_t& pixel, int value);
// value is a TColor tone.
void ChangeColorTone(std::uint32_t& pixel, int value);
void MakeAlphaPixel(std::uint32_t& pixel, int value);
// Value forms on TColor values.
[[nodiscard]] TColor ChangeBrightness(TColor c, int value);
[[nodiscard]] TColor ChangeSaturation(int value, TColor c);
[[nodiscard]] TColor ChangeHue(int value, TColor c);
[[nodiscard]] TColor ChangeTone(TColor c, TColor tone);

// Alpha preparation.
// Premultiplies for layered windows; transparent white becomes 0. With desktop composition off
// near-white pixels are capped at 244 so the platform does not show them as holes.
void UpdateAlpha(Bitmap& bmp);
void UpdateAlpha(Bitmap& bmp, TRect r);
void UpdateAlpha(Bitmap& bmp, TRect r, bool composition);
// When no pixel has alpha, the bottom-left pixel's colour becomes the key: others get alpha 255.
void CheckEmptyAChannel(Bitmap& bmp);
void GrayScale(Bitmap& bmp);
void GrayScaleTrans(Bitmap& bmp, TColor trans_color);
[[nodiscard]] std::uint8_t GrayOf(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Disabled look.
enum TsDisabledKindItem : unsigned { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKind = unsigned;
struct TsDisabledLook {
  std::uint8_t Blend = 100;  // the share of the bitmap kept where the parent shows through (of 255)
  int Saturation = -90;      // saturation change of grayed pictures in percent; -100 makes grey
};
// parent_color stands in for CI.FillColor when that is clFuchsia.
void BmpDisabledKind(Bitmap& bmp, TsDisabledKind disabled_kind, TColor parent_color,
                     const TCacheInfo& ci, TPoint offset, const TsDisabledLook& look = {});

// Whether the desktop composes windows (always on the portable build).
[[nodiscard]] bool DesktopCompositionEnabled();

}  // namespace kestrune::skin
