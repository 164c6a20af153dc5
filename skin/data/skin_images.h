#pragma once
// The pixels of a skin's image entries: decoding the master image and separate pictures, the
// key-colour and alpha conventions, rescaling a record drawn for one density to another, and
// the per-record queries of the painter (corner flag, transparent corner points, frame size).
//
// Every picture is 32-bit with straight alpha. A pixel of colour 0xFF00FF with alpha 0 (the
// transparent fuchsia value) is the transparent test value of borders.
//
// Failure contract: a picture that is not there is a quiet "no picture" (std::nullopt or an
// empty bitmap); a damaged one throws kestrune::Error with the decoder's message. The queries
// never throw and never read outside a bitmap.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "skin/data/skin_archive.h"
#include "skin/data/skin_records.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

// The transparent fuchsia pixel, and the flag of draw modes whose alpha is their own.
inline constexpr std::uint32_t kTransparentFuchsia = 0x00FF00FFu;
inline constexpr int kDrawModeOwnAlpha = 16;
inline constexpr int kDrawModeUnscaled = 8;

// Where a skin's pictures come from: the members of its archive, or its folder.
struct TacPictureSource {
  const TacSkinConvertor* Archive = nullptr;  // Packed skins.
  std::string SkinPath;                       // Unpacked skins; ends in a separator.

  // The bytes of the picture `name` (any case for archive members; a name with ":" is a full
  // path); none when it is not there.
  [[nodiscard]] std::optional<Bytes> Find(std::string_view name) const;
};

// The master image named by MASTERBITMAP: ".PNG" in the name decodes as PNG, anything else as
// BMP; the pixel conventions applied. Empty when the name is empty or the picture missing.
[[nodiscard]] Bitmap LoadMasterImage(std::string_view name, const TacPictureSource& source);

// A separate picture by its file name's extension (".BMP", ".PNG"; ".JPG"/".JPEG" throw, the
// program has no JPEG decoder), the pixel conventions applied. None for another extension.
[[nodiscard]] std::optional<Bitmap> DecodeSkinPicture(std::string_view upper_name,
                                                      const Bytes& bytes);

// Opaque fuchsia pixels become the transparent fuchsia value.
void ApplyFuchsiaKey(Bitmap& bmp);

// Rescales md from DivPPI to MulPPi with the Mitchell filter; the picture is md.Bmp, or R of
// src_bmp (the master image) when md has none. False when nothing was done: equal densities,
// margins of 1 on both sides of an axis, or a frame of 2 pixels or less.
bool ScaleMaskData(TsMaskData& md, const Bitmap* src_bmp, bool ignore_fuchsia);

// Margins scaled by MulPPi / DivPPI (rounded) and kept inside one frame of width x height.
void ScaleMargins(TsMaskData& md, int frame_width, int frame_height);

// Bit 0 of Cfg: a corner region of some frame holds a transparent pixel. `master` is read for
// records without a bitmap of their own.
[[nodiscard]] int CornerFlag(const TsMaskData& md, const Bitmap* master);

// Whether point (x, y) of a control of the given size, drawn with the border image md, falls on
// a transparent corner pixel; false for a record without a bitmap of its own.
[[nodiscard]] bool PtIsTransparent(int x, int y, const TsMaskData& md, int height, int width);

// The size of one frame.
[[nodiscard]] inline TSize MkSize(const TsMaskData& md) {
  return TSize{md.Width, md.Height};
}

// The part of r inside bmp; empty when none.
[[nodiscard]] TRect ClipToPicture(TRect r, const Bitmap& bmp);

// The part of an image entry's rectangle r that `picture` can supply without moving its
// frames: one frame is cut to the picture; of frames side by side only the leading ones that lie
// whole inside are kept (frame_count is lowered to them), and a mask row below the image needs
// both rows inside. Empty when not even the first frame remains.
[[nodiscard]] TRect ClipEntryToPicture(TRect r, int& frame_count, int mask_type,
                                       const Bitmap& picture);

// A new bitmap holding r of src (r clipped to src). Throws kestrune::Error without memory.
[[nodiscard]] Bitmap CopyPicture(const Bitmap& src, TRect r);

// Mirrors every frame of r in bmp left to right, in place.
void MirrorFrames(Bitmap& bmp, TRect r, int frame_count);

}  // namespace kestrune::skin
