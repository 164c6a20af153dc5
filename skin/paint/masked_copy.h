#pragma once
// The copies that draw skin image entries: plain and stretched copies of pieces, the masked copy
// of entries whose mask lies below the picture, the glyph blend, the outer-effect copies that
// build up an alpha channel on the parent's picture, and the refresh of transparent corner
// pixels. Every routine clips to both bitmaps (a negative destination cuts the source) and never
// throws; nothing is drawn for empty rectangles or bitmaps.

#include <cstdint>

#include "skin/data/skin_records.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The rows between a picture row and its mask row: half the height of the entry's rectangle.
[[nodiscard]] inline int MaskOffset(const TsMaskData& md) {
  return md.R.Height() / 2;
}
[[nodiscard]] inline bool HasOwnAlpha(const TsMaskData& md) {
  return (md.DrawMode & 0x10) != 0;
}

// Plain copy of src_rect to (x, y).
void CopyRect32(Bitmap& dst, int x, int y, const Bitmap& src, TRect src_rect);
// Colour-on-colour stretch of src_rect over dst_rect: whole source pixels repeated or dropped
// (pixel i of the destination takes source pixel i * source size div destination size).
// Pixels of dst_rect outside dst are cut, not the whole piece.
void StretchRect32(Bitmap& dst, TRect dst_rect, const Bitmap& src, TRect src_rect);

// Masked copy: the copied size is the smaller of the two rectangles. Per pixel, with source S,
// mask M (MaskOffset rows below S) and destination D: each colour channel becomes
// ((D - S) * M + S * 256) shr 8, or for an entry with its own alpha A
// S + (((A - 255) * (S - D)) asr 8); the alpha becomes 255. With update_trans a transparent
// source pixel takes the background of ci instead.
void CopyByMask(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                const TCacheInfo& ci, bool update_trans, const TsMaskData& md);
// The picture piece and its mask piece scaled to dst_rect's size (colour on colour), then laid
// on by the CopyByMask rule.
void StretchBltMask(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                    const TCacheInfo& ci, bool update_trans, const TsMaskData& md);

// A glyph of width x height from (sx, sy) of src blended at (dx, dy) through its mask
// (mask_offset rows lower): pixels of the key colour and pixels whose mask is white are left;
// each colour channel becomes ((D - S) * M + S * 256) shr 8, with min(M + 100, 255) in place of
// M when added_transparency is not 1; the alpha grows by (255 - D_a) * (255 - M_r) shr 8.
void BlendGlyphByMask(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int width,
                      int height, int mask_offset, int added_transparency);
// The same for a picture with its own alpha: D := S - ((m * (S - D) + 255) asr 8) with
// m = 255 - A_s (raised by 100 when added_transparency is not 1).
void BlendGlyphByAlpha(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int width,
                       int height, int added_transparency);

// Outer-effect copy onto the parent's picture; see the formulas in masked_copy.cpp.
void CopyByMask32Ex(TRect dst_rect, TRect src_rect, Bitmap& dst, const Bitmap& src,
                    const TCacheInfo& ci, const TsMaskData& md, std::uint8_t opacity);
// Stretched outer-effect edge. The picture is scaled with the Mitchell filter and its mask with
// the Hermite filter when no_std_stretch is set or only one dimension shrinks, else colour on
// colour; a 1 x 1 source is not scaled at all.
void StretchBltMask32Ex(int dst_x, int dst_y, int dst_width, int dst_height, int src_x, int src_y,
                        int src_width, int src_height, Bitmap& dst, const Bitmap& src,
                        int mask_offset, std::uint8_t opacity, bool no_std_stretch);

// Lays the cache pixels of r over the background of ci: 0x00FF00FF takes the background pixel,
// a pixel with alpha a < 255 becomes ((p - d) * (255 - a) + d * 256) shr 8 per channel over
// background p and opaque; opaque pixels stay. Nothing happens without a known background.
void FillTransPixels32(Bitmap& bmp, TRect r, const TCacheInfo& ci);

// The background pixel behind (x, y) of a control: ci's bitmap at (x + ci.X, y + ci.Y) when
// ready and inside it, else the fill colour (opaque); false when neither is known.
[[nodiscard]] bool BackgroundPixel(const TCacheInfo& ci, int x, int y, std::uint32_t& pixel);

}  // namespace kestrune::skin
