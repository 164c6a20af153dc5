#pragma once
// Parent background chaining: how a control obtains the picture behind it from its parent's
// cache bitmap instead of letting the parent paint again, through transparent parents too.
//
// A control asks with GetParentCache; the parent answers the command AC_GETBG with InitBGInfo
// (a skinned parent) or not at all (an unskinned one: its colour is used, or it paints itself
// into a DC). Border strips (FillRect) are always widths of the lending bitmap's frame, in that
// bitmap's coordinates, whatever level passed the answer on. Nothing here throws.

#include <cstdint>

#include "skin/paint/common_data.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/cache_info.h"
#include "skin/pixels/geometry.h"

namespace kestrune::skin {

enum TacBGType : std::uint8_t { btUnknown, btFill, btCache, btNotReady };

// The request and answer of AC_GETBG.
struct TacBGInfo {
  const Bitmap* Bmp = nullptr;  // not owned: the lending parent's cache
  TColor Color = clFuchsia;
  // Answer: where the answering parent's origin lies in Bmp (the asking control adds its own
  // position); a form's origin is its client area's, inside the frame its bitmap also holds.
  // With PleaseDraw, input: the point of the parent that lands on the DC's origin.
  TPoint Offset;
  TRect R;         // with PleaseDraw: the area to draw, in the parent's coordinates
  TRect FillRect;  // widths of Bmp's border strips that hold real pixels
  TacBGType BgType = btUnknown;
  bool PleaseDraw = false;  // paint into DrawDC instead of describing the background
  TacDC DrawDC = nullptr;
  // AC_PAINTOUTER: the same cache as Bmp, which the child draws its outer effect into.
  Bitmap* PaintBmp = nullptr;
};

// The background behind the owner of `data`.
[[nodiscard]] TCacheInfo GetParentCache(TsCommonData& data);
// The same for a bare window; EmptyCI without a parent window.
[[nodiscard]] TCacheInfo GetParentCacheHwnd(TacSkinOwner* window);

// Asks `parent` for its background. A parent that does not answer gives its colour (btFill),
// or with `please_draw` paints itself into info.DrawDC. For a parent given as a bare window
// (not a control) Offset becomes its client position.
void GetBGInfo(TacBGInfo& info, TacSkinOwner* parent, bool please_draw);

// A skinned parent's answer to AC_GETBG. `state` is 1 when the parent is focused or hot.
void InitBGInfo(TsCommonData& data, TacBGInfo& info, int state);

[[nodiscard]] TCacheInfo BGInfoToCI(const TacBGInfo& info);

// Copies src_rect of `src` to `dst` at `at`, clipped to both bitmaps; 32-bit only.
void CopyPixels(Bitmap& dst, TPoint at, const Bitmap& src, TRect src_rect);

// Fills `dst_rect` of `dst` with the background that `ci` describes for a control whose origin
// lies at ci.X, ci.Y of ci.Bmp and at dst_rect's top-left in `dst`: the parent's pixels when
// ready; else the fill colour with the parts of the parent's border strips that the area
// overlaps; else the fill colour alone. A ci with FillColor clFuchsia and no ready bitmap
// draws nothing (the background is unknown).
void PaintParentBG(Bitmap& dst, TRect dst_rect, const TCacheInfo& ci);

// Copies `bmp` (its rectangle `src`) into `dc` at `dst`. On Windows the DC is a device context;
// elsewhere it points at a HeadlessDC, so that the drawing paths can be followed in tests.
void CopyBitmapToDC(TacDC dc, const Bitmap& bmp, TRect src, TPoint dst);

// The other way: fills `bmp` from `dc`, the DC's point `src` landing on the bitmap's origin.
void CopyDCToBitmap(TacDC dc, TPoint src, Bitmap& bmp);

struct HeadlessDC {
  Bitmap* Target = nullptr;  // not owned
  TPoint Origin;             // added to every position drawn at
};

}  // namespace kestrune::skin
