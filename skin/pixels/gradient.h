#pragma once
// Multi-point colour gradients of skin states, and the soft round shadow images.
//
// A gradient is read from its skin text with PrepareGradArray and drawn into a 32-bit bitmap
// with PaintGrad (or PaintGradTxt, mixed with a tiled texture). Painting never throws; an empty
// array, an empty rectangle or an empty bitmap draws nothing.

#include <cstdint>
#include <string_view>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// Mode flags. Only the first point's direction bits choose the direction.
inline constexpr std::int32_t MASK_DIRECTION = 3;  // 0 rows, 1 columns, 2 corners
inline constexpr std::int32_t PM_VERTICAL = 1;
inline constexpr std::int32_t PM_DIAGONAL = 2;
inline constexpr std::int32_t PM_OPACITY = 4;  // carried, no effect on drawing
inline constexpr std::int32_t PM_ALL = 8;      // carried, no effect on drawing
inline constexpr std::int32_t MASK_VALUES = 0xC;
inline constexpr std::int32_t PM_TRANSPARENT = 0x10;  // segment drawn with the colours' alpha
inline constexpr std::int32_t PM_OVERLAY = 0x20;      // first point: painted over the background

struct TsGradPoint {
  std::uint16_t Index = 0;  // position in the array
  std::int32_t Mode = 0;
  TColor Color = 0;          // red in the low byte; the high byte is an alpha on the alpha paths
  std::uint8_t Percent = 0;  // 0..100 along the gradient; the last point has 100
  friend bool operator==(const TsGradPoint&, const TsGradPoint&) = default;
};

using TsGradArray = std::vector<TsGradPoint>;

// Parses a gradient text into data (cleared first). Two layouts, told by the last character:
//   "Color;Percent;Mode;...;B"  three tokens per point, the letter counting the points (A = 1);
//   "Color;x;Step;Mode;x;...0"  five tokens per point, older skins; Percent sums the steps.
// A text of 4 characters or fewer is no gradient. Never throws: a malformed text (bad or
// out-of-range number, fewer tokens than the letter promises, any other last character)
// leaves data empty and returns false so that the caller can report it.
bool PrepareGradArray(std::string_view text, TsGradArray& data);

// Draws data into r of a 32-bit bitmap. offset_y starts the gradient that many rows below
// r.Top and stretches it by as much (for a rectangle cut from a taller gradient); offset_x is
// unused. Solid segments write opaque pixels; segments with PM_TRANSPARENT blend their colours'
// alpha over the bitmap. The corner gradient (direction 2, five points) goes through the
// platform's triangle fill and draws nothing without one; with PM_OVERLAY it is blended with
// its alpha on every platform.
void PaintGrad(Bitmap& bmp, TRect r, const TsGradArray& data, int offset_x = 0, int offset_y = 0);

// As PaintGrad in directions 0 and 1, each gradient colour g mixed with the texture pixel t
// (tiled from texture_rect, anchored at the bitmap's origin) as (b * (t - g) + g * 256) shr 8
// per channel with b = texture_alpha; the alpha byte becomes alpha_channel.
void PaintGradTxt(Bitmap& bmp, TRect r, const TsGradArray& data, const Bitmap& texture_bmp,
                  TRect texture_rect, std::uint8_t alpha_channel, std::uint8_t texture_alpha);

// A soft round shadow: a disc of Radius split in four corners around a body. Negative sizes
// count as 0.
struct TsShadowParams {
  TColor Color = 0;  // alpha in the high byte
  int Radius = 0;
  int Offset = 0;  // rows of plain fill above the disc
  int BodyHeight = 0;
  int BodyWidth = 0;
  int BlurSize = 0;            // width of the soft rim; 0 blurs the whole radius
  bool MaskMode = false;       // a grey mask on opaque white instead of the colour
  bool DoUpdateAlpha = false;  // premultiply the result
};

// A new 32-bit bitmap (2 * Radius + BodyWidth + 1) x (2 * Radius + BodyHeight + Offset + 1);
// a size beyond what a bitmap may have gives an empty bitmap.
[[nodiscard]] Bitmap MakeShadow(const TsShadowParams& params);

}  // namespace kestrune::skin
