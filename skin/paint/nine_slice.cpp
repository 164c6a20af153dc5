#include "skin/paint/nine_slice.h"

#include <algorithm>

namespace kestrune::skin {
namespace {

void Shrink(int size, int& near, int& far) {
  if (size >= near + far)
    return;
  const int d = near + far - size;
  near = std::max(near - d / 2, 0);
  far = std::max(far - d / 2 - d % 2, 0);
}

void Add(TSliceLayout& out, TSlicePart part, TRect src, TRect dst) {
  if (src.IsEmpty() || dst.IsEmpty())
    return;
  out.Pieces[static_cast<std::size_t>(out.Count++)] = TSlicePiece{part, src, dst};
}

TRect At(int x, int y, int w, int h) {
  return Rect(x, y, x + w, y + h);
}

}  // namespace

TSliceMargins FitSliceMargins(TSliceMargins m, int width, int height) {
  Shrink(width, m.Left, m.Right);
  Shrink(height, m.Top, m.Bottom);
  return m;
}

bool NineSlice(TRect r, TRect cell, TSliceMargins m, bool centre, TSliceLayout& out) {
  out.Count = 0;
  const int x0 = cell.Left, y0 = cell.Top, w = cell.Width(), h = cell.Height();
  const int l = m.Left, t = m.Top, rr = m.Right, b = m.Bottom;
  const int cw = w - l - rr, ch = h - t - b;
  if (cw < 0 || ch < 0)
    return false;
  Add(out, spTopLeft, At(x0, y0, l, t), At(r.Left, r.Top, l, t));
  Add(out, spLeft, At(x0, y0 + t, l, ch), Rect(r.Left, r.Top + t, r.Left + l, r.Bottom - b));
  Add(out, spTop, At(x0 + l, y0, cw, t), Rect(r.Left + l, r.Top, r.Right - rr, r.Top + t));
  Add(out, spBottomLeft, At(x0, y0 + h - b, l, b), At(r.Left, r.Bottom - b, l, b));
  Add(out, spBottom, At(x0 + l, y0 + h - b, cw, b),
      Rect(r.Left + l, r.Bottom - b, r.Right - rr, r.Bottom));
  Add(out, spBottomRight, At(x0 + l + cw, y0 + h - b, rr, b),
      At(r.Right - rr, r.Bottom - b, rr, b));
  Add(out, spTopRight, At(x0 + l + cw, y0, rr, t), At(r.Right - rr, r.Top, rr, t));
  Add(out, spRight, At(x0 + l + cw, y0 + t, rr, ch),
      Rect(r.Right - rr, r.Top + t, r.Right, r.Bottom - b));
  if (centre)
    Add(out, spCentre, At(x0 + l, y0 + t, cw, ch),
        Rect(r.Left + l, r.Top + t, r.Right - rr, r.Bottom - b));
  return true;
}

bool OuterSlice(TRect r, TRect cell, TSliceMargins m, TSliceMargins visible, TSliceLayout& out) {
  out.Count = 0;
  const int x0 = cell.Left, y0 = cell.Top, w = cell.Width(), h = cell.Height();
  const int l = m.Left, t = m.Top, rr = m.Right, b = m.Bottom;
  const int cw = w - l - rr, ch = h - t - b;
  if (cw < 0 || ch < 0)
    return false;
  const int ml = std::clamp(visible.Left, 0, l), mt = std::clamp(visible.Top, 0, t);
  const int mr = std::clamp(visible.Right, 0, rr), mb = std::clamp(visible.Bottom, 0, b);
  Add(out, spTopLeft, At(x0, y0, ml, t), At(r.Left, r.Top, ml, t));
  Add(out, spTopLeft, At(x0 + ml, y0, l - ml, mt), At(r.Left + ml, r.Top, l - ml, mt));
  Add(out, spLeft, At(x0, y0 + t, ml, ch), Rect(r.Left, r.Top + t, r.Left + ml, r.Bottom - b));
  Add(out, spTop, At(x0 + l, y0, cw, mt), Rect(r.Left + l, r.Top, r.Right - rr, r.Top + mt));
  Add(out, spBottomLeft, At(x0, y0 + h - b, ml, b), At(r.Left, r.Bottom - b, ml, b));
  Add(out, spBottomLeft, At(x0 + ml, y0 + h - mb, l - ml, mb),
      At(r.Left + ml, r.Bottom - mb, l - ml, mb));
  Add(out, spBottom, At(x0 + l, y0 + h - mb, cw, mb),
      Rect(r.Left + l, r.Bottom - mb, r.Right - rr, r.Bottom));
  Add(out, spBottomRight, At(x0 + w - mr, y0 + h - b, mr, b),
      At(r.Right - mr, r.Bottom - b, mr, b));
  Add(out, spBottomRight, At(x0 + w - rr, y0 + h - mb, rr - mr, mb),
      At(r.Right - rr, r.Bottom - mb, rr - mr, mb));
  Add(out, spTopRight, At(x0 + w - mr, y0, mr, t), At(r.Right - mr, r.Top, mr, t));
  Add(out, spTopRight, At(x0 + w - rr, y0, rr - mr, mt), At(r.Right - rr, r.Top, rr - mr, mt));
  Add(out, spRight, At(x0 + w - mr, y0 + t, mr, ch),
      Rect(r.Right - mr, r.Top + t, r.Right, r.Bottom - b));
  return true;
}

}  // namespace kestrune::skin
