#pragma once
// Where the nine pieces of a frame come from and where they go, before any pixel is touched.
// A frame cell of the picture is cut by four margins into corners, edges and a centre; corners
// keep their size, edges and the centre are tiled or stretched over what lies between the
// corners of the destination.

#include <array>

#include "skin/pixels/geometry.h"

namespace kestrune::skin {

struct TSliceMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TSliceMargins&, const TSliceMargins&) = default;
};

// Margins shrunk to a destination narrower than Left + Right (lower than Top + Bottom): the
// excess d comes off both sides by d div 2, the odd pixel off Right (Bottom); never below 0.
[[nodiscard]] TSliceMargins FitSliceMargins(TSliceMargins m, int width, int height);

enum TSlicePart : unsigned char {
  spTopLeft,
  spLeft,
  spTop,
  spBottomLeft,
  spBottom,
  spBottomRight,
  spTopRight,
  spRight,
  spCentre,
};

// One piece: Src is the part of the picture; for corners Dst has the same size, for edges and
// the centre Dst is the whole span the piece is tiled or stretched over.
struct TSlicePiece {
  TSlicePart Part = spTopLeft;
  TRect Src;
  TRect Dst;
  [[nodiscard]] bool IsCorner() const {
    return Part == spTopLeft || Part == spTopRight || Part == spBottomLeft || Part == spBottomRight;
  }
};

// Pieces in drawing order: top-left, left, top, bottom-left, bottom, bottom-right, top-right,
// right, centre. Empty pieces are left out.
struct TSliceLayout {
  std::array<TSlicePiece, 12> Pieces{};
  int Count = 0;
  [[nodiscard]] const TSlicePiece* begin() const { return Pieces.data(); }
  [[nodiscard]] const TSlicePiece* end() const { return Pieces.data() + Count; }
};

// The nine-slice layout of the frame cell `cell` (one state image) over `r`, with margins
// already fitted. False (and no pieces) when the centre tile would have a negative size.
[[nodiscard]] bool NineSlice(TRect r, TRect cell, TSliceMargins m, bool centre, TSliceLayout& out);

// The layout of an outer effect (shadow or glow) around a control: only the bands of the
// visible widths along r's edges are laid out, so the control's own rectangle (r shrunk by
// `visible`) is never covered. Corner pieces come in two parts, the outer band and the rest
// of the corner's inner band. False when the centre tile would have a negative size.
[[nodiscard]] bool OuterSlice(TRect r, TRect cell, TSliceMargins m, TSliceMargins visible,
                              TSliceLayout& out);

// Calls draw(x, y, width, height) for every tile of a tw x th tile over span, left to right and
// top down; the last tile of each row and column is cut to the span. A tile size of 0 or less
// draws nothing.
template <typename Draw>
void ForEachTile(TRect span, int tw, int th, Draw&& draw) {
  if (tw <= 0 || th <= 0 || span.IsEmpty())
    return;
  for (int y = span.Top; y < span.Bottom; y += th) {
    const int h = span.Bottom - y < th ? span.Bottom - y : th;
    for (int x = span.Left; x < span.Right; x += tw)
      draw(x, y, span.Right - x < tw ? span.Right - x : tw, h);
  }
}

}  // namespace kestrune::skin
