#include "skin/controls/scroll_geometry.h"

#include <algorithm>

namespace kestrune::skin {
namespace {

constexpr std::int64_t kLargestRange = 0x7FFFFFFE;

std::int64_t RangeOf(const TacScrollInfo& si) {
  return std::max<std::int64_t>(0, std::int64_t{si.nMax} - si.nMin);
}

// The part under a point at `along` (offset from the bar's start) of a bar `length` long.
int Portion(int along, int length, int arrow, const TacThumb& thumb, int pos, bool shift) {
  const int f = 2 * arrow >= length ? length / 2 : arrow;
  if (along < f)
    return scLineUp;
  if (along >= length - f)
    return scLineDown;
  if (thumb.Length >= thumb.TrackLength)
    return scNone;
  if (pos >= thumb.Start && pos < thumb.Start + thumb.Length)
    return scThumbTrack;
  if (shift)
    return scThumbPosition;
  return pos < thumb.Start ? scPageUp : scPageDown;
}

}  // namespace

int AcMulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0)
    return -1;
  const std::int64_t product = a * b;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t n = product < 0 ? -product : product;
  const std::int64_t d = c < 0 ? -c : c;
  const std::int64_t q = (n + d / 2) / d;
  return static_cast<int>(negative ? -q : q);
}

TacThumb Ac_CalcThumbSize(int start, int end, int arrow, const TacScrollInfo& si, int min_thumb) {
  TacThumb t;
  t.TrackStart = start + arrow;
  t.TrackLength = end - start - 2 * arrow;
  const std::int64_t range = RangeOf(si);
  const bool too_large = range > kLargestRange;
  int length;
  if (si.nPage == 0)
    length = std::max(arrow, min_thumb);
  else if (too_large)
    length = 0;
  else
    length = AcMulDiv(si.nPage, t.TrackLength, range + 1);
  if (arrow > 0 || length > kShortSlider)
    length = std::max(length, min_thumb);
  else
    length = kNoArrowSliderLength;
  int offset = 0;
  if (!too_large) {
    const std::int64_t page = std::max<std::int64_t>(1, si.nPage);
    offset = AcMulDiv(std::int64_t{si.nPos} - si.nMin, t.TrackLength - length, range - page + 1);
    offset = std::clamp(offset, 0, std::max(0, t.TrackLength - length));
  }
  t.Length = length;
  t.Start = t.TrackStart + offset;
  return t;
}

int Ac_GetVertScrollPortion(TRect bar, TPoint pt, int arrow, const TacThumb& thumb, bool shift) {
  if (pt.X < bar.Left || pt.X >= bar.Right || pt.Y < bar.Top || pt.Y >= bar.Bottom)
    return scNone;
  return Portion(pt.Y - bar.Top, bar.Height(), arrow, thumb, pt.Y, shift);
}

int Ac_GetHorzScrollPortion(TRect bar, TPoint pt, int arrow, const TacThumb& thumb, bool shift) {
  if (pt.X < bar.Left || pt.X >= bar.Right || pt.Y < bar.Top || pt.Y >= bar.Bottom)
    return scNone;
  return Portion(pt.X - bar.Left, bar.Width(), arrow, thumb, pt.X, shift);
}

int Ac_DragSliderStart(int mouse, int grab_offset, const TacThumb& thumb) {
  const int last = thumb.TrackStart + std::max(0, thumb.TrackLength - thumb.Length);
  return std::clamp(mouse - grab_offset, thumb.TrackStart, last);
}

int Ac_LastOffset(const TacScrollInfo& si) {
  const std::int64_t range = RangeOf(si);
  const std::int64_t last = si.nPage == 0 ? range : range - si.nPage + 1;
  return static_cast<int>(std::clamp<std::int64_t>(last, 0, kLargestRange + 1));
}

int Ac_DragOffset(int slider_start, const TacThumb& thumb, const TacScrollInfo& si) {
  const std::int64_t range = RangeOf(si);
  const int last = Ac_LastOffset(si);
  const int moved = std::max(0, slider_start - thumb.TrackStart);
  if (range < 1)
    return std::min(moved, last);
  const int span = thumb.TrackLength - thumb.Length;
  if (span <= 0)
    return 0;
  if (moved >= span)
    return last;
  const int offset = AcMulDiv(moved, range - std::int64_t{si.nPage} + 2, span);
  return std::clamp(offset, 0, last);
}

bool Ac_ScrollBarActive(std::uint16_t flags, const TacScrollInfo& si, bool system_available) {
  if (!system_available)
    return false;
  constexpr std::uint16_t both = kSfFirstArrowDisabled | kSfSecondArrowDisabled;
  if ((flags & both) == both)
    return false;
  if ((flags & kSfHasStyle) != 0)
    return std::int64_t{si.nMax} >= std::int64_t{si.nPage} && si.nMin < si.nMax && si.nMax != 0;
  return true;
}

TacNCLayout Ac_NCCalcSize(const TacNCLayoutIn& in) {
  TacNCLayout out;
  TRect c = in.Client;
  if (in.ScrollBorderOffset < 0 && c.Left - in.Window.Left > 1) {
    const int grow = -in.ScrollBorderOffset;
    c = TRect{c.Left - grow, c.Top - grow, c.Right + grow, c.Bottom + grow};
  }
  out.cxLeftEdge = c.Left - in.Window.Left;
  out.cxRightEdge = in.Window.Right - c.Right;
  out.cyTopEdge = c.Top - in.Window.Top;
  out.cyBottomEdge = in.Window.Bottom - c.Bottom;
  if (in.HasHorzStyle && c.Height() >= in.Thickness) {
    c.Bottom -= in.Thickness;
    out.HorzVisible = true;
  }
  if (in.HasVertStyle && c.Width() >= in.Thickness) {
    if (in.LeftScrollbar)
      c.Left += in.Thickness;
    else
      c.Right -= in.Thickness;
    out.VertVisible = true;
  }
  out.Client = c;
  return out;
}

TRect Ac_VertBarRect(int width, int height, const TacNCLayout& layout, int thickness,
                     bool left_scrollbar) {
  if (!layout.VertVisible)
    return {};
  TRect r;
  r.Top = layout.cyTopEdge;
  r.Bottom = height - layout.cyBottomEdge - (layout.HorzVisible ? thickness : 0);
  if (left_scrollbar) {
    r.Left = layout.cxLeftEdge;
    r.Right = r.Left + thickness;
  } else {
    r.Right = width - layout.cxRightEdge;
    r.Left = r.Right - thickness;
  }
  return r;
}

TRect Ac_HorzBarRect(int width, int height, const TacNCLayout& layout, int thickness,
                     bool left_scrollbar) {
  if (!layout.HorzVisible)
    return {};
  TRect r;
  r.Bottom = height - layout.cyBottomEdge;
  r.Top = r.Bottom - thickness;
  r.Left = layout.cxLeftEdge;
  r.Right = width - layout.cxRightEdge;
  if (layout.VertVisible) {
    if (left_scrollbar)
      r.Left += thickness;
    else
      r.Right -= thickness;
  }
  return r;
}

int Ac_ScrollThickness(int manager_size, int skin_width, int system_width) {
  if (manager_size != -1)
    return manager_size;
  if (skin_width != -1)
    return skin_width;
  return system_width;
}

int Ac_ArrowLength(int control_size, int manager_size, int skin_arrows, int scaled16,
                   int skin_button_length, int thickness) {
  if (control_size != -1)
    return control_size;
  if (manager_size != -1)
    return manager_size;
  if (skin_arrows == 0)
    return 0;
  if (skin_arrows == 1)
    return std::max(scaled16, skin_button_length);
  return thickness;
}

TacBarPaint Ac_BarPaint(const TacBarPaintIn& in) {
  const int length = in.Vertical ? in.Height : in.Width;
  const auto part = [&](int from, int to, int state) {
    return TacBarPart{in.Vertical ? TRect{0, from, in.Width, to} : TRect{from, 0, to, in.Height},
                      state};
  };
  const auto button_state = [&](int code) {
    return in.PressedPart == code ? 2 : in.HotPart == code ? 1 : 0;
  };
  TacBarPaint paint;
  if (length <= 2 * in.Arrow) {
    const int half = length / 2;
    paint.TrackBefore = part(0, half, 0);
    paint.TrackAfter = part(half, length, 0);
    if (in.Arrow > 0) {
      paint.ButtonBefore = part(0, half, button_state(scLineUp));
      paint.ButtonAfter = part(half, length, button_state(scLineDown));
    }
    return paint;
  }
  paint.ShowSlider = in.Active && in.Thumb.Fits();
  const int from = in.Thumb.Start - in.Origin;
  const int middle = paint.ShowSlider ? from + in.Thumb.Length / 2 : length / 2;
  paint.TrackBefore = part(0, middle, in.PressedPart == scPageUp ? 2 : 0);
  paint.TrackAfter = part(middle, length, in.PressedPart == scPageDown ? 2 : 0);
  if (in.Arrow > 0) {
    paint.ButtonBefore = part(0, in.Arrow, button_state(scLineUp));
    paint.ButtonAfter = part(length - in.Arrow, length, button_state(scLineDown));
    paint.Arrows = true;
  }
  if (paint.ShowSlider) {
    const int across = in.Vertical ? in.Width : in.Height;
    const int narrow = in.ThumbWidth > 0 && in.ThumbWidth < across ? in.ThumbWidth : across;
    const int side = (across - narrow) / 2;
    paint.Slider.Rect = in.Vertical ? TRect{side, from, side + narrow, from + in.Thumb.Length}
                                    : TRect{from, side, from + in.Thumb.Length, side + narrow};
    paint.Slider.State = in.Dragging || in.PressedPart == scThumbTrack ? 2
                         : in.HotPart == scThumbTrack                  ? 1
                                                                       : 0;
  }
  return paint;
}

}  // namespace kestrune::skin
